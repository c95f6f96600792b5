// The object that hosts create: _IclsGroup (dual) and ISupportErrorInfo on
// top of the portable IclsGroup. Each method copies its argument, forwards
// it, and returns the result or the runtime error's status.
#pragma once

#include <atomic>

#include "ole_values.hpp"
#include "type_info.hpp"
#include "ztxgrp.h"
#include "ztxgrp/icls_group.hpp"

namespace ztxgrp::com {

class GroupObject final : public _IclsGroup, public ISupportErrorInfo {
 public:
  // Makes an object and answers `iid` on it.
  static HRESULT Create(REFIID iid, void** object) noexcept;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override;

  // _IclsGroup
  HRESULT STDMETHODCALLTYPE Group(VARIANT arrInput, VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE Ungroup(VARIANT arrInput, VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE IsValidRange(BSTR strRange, VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE UngroupItem(BSTR strInputItem, VARIANT* result) override;

  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

  GroupObject(const GroupObject&) = delete;
  GroupObject& operator=(const GroupObject&) = delete;
  ~GroupObject();

 private:
  explicit GroupObject(InterfaceTypes types);

  // Runs a list-returning method: the result is written to `result` only
  // when the whole call succeeded; it stays empty otherwise.
  template <typename Call>
  HRESULT ListMethod(VARIANT* result, Call&& call) noexcept;

  std::atomic<ULONG> references_{1};
  InterfaceTypes types_;
  ztxgrp::IclsGroup component_;
};

}  // namespace ztxgrp::com
