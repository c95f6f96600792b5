#include "group_object.hpp"

#include <memory>

#include "error_info.hpp"
#include "module.hpp"

namespace ztxgrp::com {
namespace {

// Holds one extra reference on an object for the length of a call. A host
// may release its last reference from inside the call (a script that drops
// its variable while the method runs, or a call through a proxy whose
// apartment goes away); the object and its worker must not be destroyed
// under the running method, so the method owns a reference until it returns.
class KeepAlive {
 public:
  explicit KeepAlive(IUnknown* object) noexcept : object_(object) { object_->AddRef(); }
  KeepAlive(const KeepAlive&) = delete;
  KeepAlive& operator=(const KeepAlive&) = delete;
  ~KeepAlive() { object_->Release(); }

 private:
  IUnknown* object_;
};

}  // namespace

GroupObject::GroupObject(InterfaceTypes types) : types_(std::move(types)) {
  ObjectCreated();
}

GroupObject::~GroupObject() {
  ObjectDestroyed();
}

HRESULT GroupObject::Create(REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  InterfaceTypes types;
  const HRESULT loaded = GetInterfaceTypes(types);
  if (FAILED(loaded)) return loaded;
  std::unique_ptr<GroupObject> created;
  try {
    created.reset(new GroupObject(std::move(types)));
  } catch (...) {
    return E_OUTOFMEMORY;  // no object without its worker
  }
  // The object now belongs to its references; the first one is released
  // below, so a refused interface destroys it again.
  GroupObject* raw = created.release();
  const HRESULT hr = raw->QueryInterface(iid, object);
  raw->Release();
  return hr;
}

HRESULT GroupObject::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
      IsEqualIID(iid, IID__IclsGroup)) {
    *object = static_cast<_IclsGroup*>(this);
  } else if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
    *object = static_cast<ISupportErrorInfo*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG GroupObject::AddRef() {
  return ++references_;
}

ULONG GroupObject::Release() {
  const ULONG left = --references_;
  if (left == 0) std::unique_ptr<GroupObject> last(this);
  return left;
}

HRESULT GroupObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT GroupObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  types_.dispatch->AddRef();
  *info = types_.dispatch.get();
  return S_OK;
}

HRESULT GroupObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  return DispGetIDsOfNames(types_.vtable.get(), names, count, ids);
}

HRESULT GroupObject::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                            VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  return DispInvoke(static_cast<_IclsGroup*>(this), types_.vtable.get(), id, flags, params, result,
                    exception, argumentError);
}

template <typename Call>
HRESULT GroupObject::ListMethod(VARIANT* result, Call&& call) noexcept {
  if (!result) return E_POINTER;
  VariantInit(result);
  const KeepAlive alive(static_cast<_IclsGroup*>(this));
  return Guard([&] {
    const Value list = call();
    Variant out;
    VariantFromList(list, out.get());
    out.DetachTo(result);
    return S_OK;
  });
}

HRESULT GroupObject::Group(VARIANT arrInput, VARIANT* result) {
  return ListMethod(result, [&] { return component_.Group(ListFromVariant(arrInput)); });
}

HRESULT GroupObject::Ungroup(VARIANT arrInput, VARIANT* result) {
  return ListMethod(result, [&] { return component_.Ungroup(ListFromVariant(arrInput)); });
}

HRESULT GroupObject::UngroupItem(BSTR strInputItem, VARIANT* result) {
  return ListMethod(
      result, [&] { return component_.UngroupItem(std::u16string(Bstr::View(strInputItem))); });
}

HRESULT GroupObject::IsValidRange(BSTR strRange, VARIANT_BOOL* result) {
  if (!result) return E_POINTER;
  *result = VARIANT_FALSE;
  const KeepAlive alive(static_cast<_IclsGroup*>(this));
  // Never fails: a text that cannot be read is simply not valid.
  *result = component_.IsValidRange(Bstr::View(strRange)) ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT GroupObject::InterfaceSupportsErrorInfo(REFIID iid) {
  return IsEqualIID(iid, IID__IclsGroup) ? S_OK : S_FALSE;
}

}  // namespace ztxgrp::com
