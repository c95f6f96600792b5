// The four entry points of the in-process server.
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

}  // extern "C"
