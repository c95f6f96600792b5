// The class factory of IclsGroup. There is one, for the module's lifetime;
// its references do not keep the module loaded, its locks do.
#pragma once

#include <unknwn.h>

namespace ztxgrp::com {

class ClassFactory final : public IClassFactory {
 public:
  static ClassFactory& Instance() noexcept;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;
};

}  // namespace ztxgrp::com
