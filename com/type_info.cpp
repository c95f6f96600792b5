#include "type_info.hpp"

#include <oleauto.h>

#include <optional>

#include "module.hpp"
#include "ztxgrp.h"

namespace ztxgrp::com {
namespace {

SRWLOCK cacheLock = SRWLOCK_INIT;
// Never destroyed at process exit, when the platform libraries may already
// be gone; ReleaseInterfaceTypes empties it while they are still there.
union Cache {
  Cache() {}
  ~Cache() {}
  std::optional<InterfaceTypes> types;
} cache;

HRESULT Load(InterfaceTypes& types) noexcept {
  try {
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, library.out());
    if (FAILED(hr)) return hr;
    hr = library->GetTypeInfoOfGuid(IID__IclsGroup, types.dispatch.out());
    if (FAILED(hr)) return hr;
    HREFTYPE vtable = 0;
    hr = types.dispatch->GetRefTypeOfImplType(-1, &vtable);
    if (FAILED(hr)) return hr;
    return types.dispatch->GetRefTypeInfo(vtable, types.vtable.out());
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace

HRESULT GetInterfaceTypes(InterfaceTypes& types) noexcept {
  AcquireSRWLockExclusive(&cacheLock);
  HRESULT hr = S_OK;
  if (!cache.types) {
    InterfaceTypes loaded;
    hr = Load(loaded);
    if (SUCCEEDED(hr)) cache.types.emplace(std::move(loaded));
  }
  if (cache.types) types = *cache.types;
  ReleaseSRWLockExclusive(&cacheLock);
  return hr;
}

void ReleaseInterfaceTypes() noexcept {
  AcquireSRWLockExclusive(&cacheLock);
  cache.types.reset();
  ReleaseSRWLockExclusive(&cacheLock);
}

}  // namespace ztxgrp::com
