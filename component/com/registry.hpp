// Registration of the component: the class with its in-process server and
// threading model, the ProgID, and the type library (which also registers
// the interface for marshalling through the type library).
#pragma once

#include <windows.h>

namespace ztxgrp::com {

HRESULT RegisterServer() noexcept;
HRESULT UnregisterServer() noexcept;

}  // namespace ztxgrp::com
