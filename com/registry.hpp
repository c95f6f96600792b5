// Registration of the component: the class with its in-process server and
// threading model, the ProgID, and the type library (which also registers
// the interface for marshalling through the type library).
//
// For the machine (DllRegisterServer) the entries go below
// HKEY_CLASSES_ROOT and the type library through RegisterTypeLib. For the
// current user (DllInstall with "user", as `regsvr32 /n /i:user` calls it)
// every entry, the type library's and the interface's included, goes below
// HKEY_CURRENT_USER\Software\Classes only, which needs no administrator
// rights; unregistering removes exactly those keys.
#pragma once

#include <windows.h>

namespace ztxgrp::com {

enum class RegistrationScope { Machine, User };

HRESULT RegisterServer(RegistrationScope scope = RegistrationScope::Machine) noexcept;
HRESULT UnregisterServer(RegistrationScope scope = RegistrationScope::Machine) noexcept;

}  // namespace ztxgrp::com
