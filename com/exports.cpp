// The entry points of the in-process server.
#include <windows.h>

#include "class_factory.hpp"
#include "module.hpp"
#include "registry.hpp"
#include "type_info.hpp"
#include "ztxgrp.h"

extern "C" {

HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  if (!ztxgrp::com::CanUnloadNow()) return S_FALSE;
  ztxgrp::com::ReleaseInterfaceTypes();
  return S_OK;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualCLSID(clsid, CLSID_IclsGroup)) return CLASS_E_CLASSNOTAVAILABLE;
  return ztxgrp::com::ClassFactory::Instance().QueryInterface(iid, object);
}

HRESULT STDAPICALLTYPE DllRegisterServer() {
  return ztxgrp::com::RegisterServer();
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
  return ztxgrp::com::UnregisterServer();
}

// `regsvr32 /n /i:user ztxgrp.dll` registers for the current user only (no
// administrator rights needed); `regsvr32 /u /n /i:user` removes that.
// Without "user" the machine-wide registration is (un)done, as
// DllRegisterServer and DllUnregisterServer do it.
HRESULT STDAPICALLTYPE DllInstall(BOOL install, LPCWSTR commandLine) {
  using ztxgrp::com::RegistrationScope;
  RegistrationScope scope = RegistrationScope::Machine;
  if (commandLine != nullptr && commandLine[0] != L'\0') {
    if (CompareStringOrdinal(commandLine, -1, L"user", -1, TRUE) != CSTR_EQUAL) return E_INVALIDARG;
    scope = RegistrationScope::User;
  }
  return install ? ztxgrp::com::RegisterServer(scope) : ztxgrp::com::UnregisterServer(scope);
}

}  // extern "C"
