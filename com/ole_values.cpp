#include "ole_values.hpp"

#include <cmath>
#include <cstdint>
#include <new>
#include <string>

#include "ztxgrp/element_text.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/value.hpp"

namespace ztxgrp::com {
namespace {

// Locks an array's data for direct access while it lives.
class ArrayData {
 public:
  explicit ArrayData(SAFEARRAY* array) : array_(array) {
    if (FAILED(SafeArrayAccessData(array_, &data_))) Raise(ErrorNumber::TypeMismatch);
  }
  ArrayData(const ArrayData&) = delete;
  ArrayData& operator=(const ArrayData&) = delete;
  ~ArrayData() { SafeArrayUnaccessData(array_); }
  template <typename T>
  T* as() const noexcept {
    return static_cast<T*>(data_);
  }

 private:
  SAFEARRAY* array_;
  void* data_ = nullptr;
};

// A single-precision real as its text with the 7 digits that it holds
// (1.1 is "1.1", not the double's 1.10000002384186). One without a text
// (NaN, infinity) stays a value that reading as text refuses with 13.
Value SingleText(FLOAT value) {
  if (!std::isfinite(value)) return Object{};
  return RealText(value, 7);
}

// Currency, decimal and date values become their text, as a host shows them.
Value ViaText(const VARIANT& element) {
  Variant text;
  if (FAILED(VariantChangeTypeEx(text.get(), const_cast<VARIANT*>(&element), LOCALE_INVARIANT, 0,
                                 VT_BSTR)))
    Raise(ErrorNumber::TypeMismatch);
  return std::u16string(Bstr::View(text.get()->bstrVal));
}

bool IsScalar(VARTYPE type) {
  switch (type) {
    case VT_BSTR:
    case VT_BOOL:
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_DECIMAL:
      return true;
    default:
      return false;
  }
}

Value ElementFromVariant(const VARIANT& element, int indirections = 0);

// A by-reference element: its pointer is checked, and at most the one level
// of indirection that automation allows (a VARIANT reference to a VARIANT
// that may itself refer to a scalar) is followed, so that no host value can
// make the conversion read through a null pointer or loop.
Value ElementByReference(const VARIANT& element, int indirections) {
  const VARTYPE type = element.vt & ~VT_BYREF;
  if (!element.byref || indirections > 1) return Object{};
  if (type & VT_ARRAY) return ItemList{};  // nested arrays cannot be read as text
  if (type == VT_VARIANT) {
    const VARIANT& target = *element.pvarVal;
    if (target.vt == (VT_BYREF | VT_VARIANT)) return Object{};
    return ElementFromVariant(target, indirections + 1);
  }
  if (!IsScalar(type)) return Object{};  // objects, records: not readable as text
  Variant target;
  if (FAILED(VariantCopyInd(target.get(), const_cast<VARIANT*>(&element)))) return Object{};
  return ElementFromVariant(*target.get(), indirections + 1);
}

Value ElementFromVariant(const VARIANT& element, int indirections) {
  if (element.vt & VT_BYREF) return ElementByReference(element, indirections);
  if (element.vt & VT_ARRAY) return ItemList{};  // nested arrays cannot be read as text
  switch (element.vt) {
    case VT_EMPTY:
      return Empty{};
    case VT_NULL:
      return Null{};
    case VT_BSTR:
      return std::u16string(Bstr::View(element.bstrVal));
    case VT_BOOL:
      return element.boolVal != VARIANT_FALSE;
    case VT_I1:
      return std::int64_t{element.cVal};
    case VT_UI1:
      return std::int64_t{element.bVal};
    case VT_I2:
      return std::int64_t{element.iVal};
    case VT_UI2:
      return std::int64_t{element.uiVal};
    case VT_I4:
      return std::int64_t{element.lVal};
    case VT_UI4:
      return std::int64_t{element.ulVal};
    case VT_INT:
      return std::int64_t{element.intVal};
    case VT_UINT:
      return std::int64_t{element.uintVal};
    case VT_I8:
      return std::int64_t{element.llVal};
    case VT_UI8:
      return UnsignedValue(element.ullVal);
    case VT_R4:
      return SingleText(element.fltVal);
    case VT_R8:
      return element.dblVal;
    case VT_CY:
    case VT_DECIMAL:
    case VT_DATE:
      return ViaText(element);
    default:
      return Object{};  // objects, records, errors: not readable as text
  }
}

template <typename T, typename Convert>
void ReadElements(SAFEARRAY* array, ULONG count, ItemList& list, Convert convert) {
  // An array whose elements are not what its type says is not read at all.
  if (array->cbElements != sizeof(T)) Raise(ErrorNumber::TypeMismatch);
  const ArrayData data(array);
  const T* elements = data.as<T>();
  for (ULONG k = 0; k < count; ++k) list.elements.push_back(convert(elements[k]));
}

template <typename T>
void ReadNumbers(SAFEARRAY* array, ULONG count, ItemList& list) {
  ReadElements<T>(array, count, list, [](T value) { return Value(std::int64_t{value}); });
}

// Elements of a typed array that are read through a VARIANT of that type.
template <typename T>
void ReadThroughVariant(SAFEARRAY* array, ULONG count, ItemList& list, VARTYPE type,
                        T VARIANT::*member) {
  ReadElements<T>(array, count, list, [&](const T& value) {
    VARIANT element;
    VariantInit(&element);
    element.vt = type;
    element.*member = value;
    return ElementFromVariant(element);
  });
}

}  // namespace

namespace {

// The element type of an array as the array itself records it: its type
// (when recorded) or the features that mark arrays of VARIANTs, BSTRs and
// objects. An array that records neither holds plain data.
VARTYPE RecordedType(SAFEARRAY* array) {
  VARTYPE type = VT_EMPTY;
  if (SUCCEEDED(SafeArrayGetVartype(array, &type))) return type;
  if (array->fFeatures & FADF_VARIANT) return VT_VARIANT;
  if (array->fFeatures & FADF_BSTR) return VT_BSTR;
  if (array->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH | FADF_RECORD)) return VT_UNKNOWN;
  return VT_EMPTY;
}

// True when the array's own record agrees with the type the VARIANT
// declares. Elements that hold pointers (VARIANTs, BSTRs) must be confirmed
// by the array; plain data may be unrecorded, as arrays made by hand are.
bool TypeAgrees(SAFEARRAY* array, VARTYPE declared) {
  const VARTYPE recorded = RecordedType(array);
  if (recorded == VT_EMPTY) return declared != VT_VARIANT && declared != VT_BSTR;
  if (recorded == declared) return true;
  // Arrays of objects may be recorded as either object kind.
  const auto isObject = [](VARTYPE t) { return t == VT_UNKNOWN || t == VT_DISPATCH; };
  return isObject(recorded) && isObject(declared);
}

}  // namespace

namespace {

// The one-dimensional array that a VARIANT holds, directly or by reference,
// and its element type. Not an array: 13; no array or not one dimension: 9;
// bounds beyond 16 bits: 6, before any element is read.
SAFEARRAY* ArrayOf(const VARIANT& argument, VARTYPE& type) {
  // A reference to a VARIANT is followed once; a reference to a reference
  // (which automation does not allow, and which may be a cycle) is refused.
  const VARIANT* value = &argument;
  if (value->vt == (VT_BYREF | VT_VARIANT)) {
    value = value->pvarVal;
    if (!value || value->vt == (VT_BYREF | VT_VARIANT)) Raise(ErrorNumber::TypeMismatch);
  }
  if (!(value->vt & VT_ARRAY)) Raise(ErrorNumber::TypeMismatch);
  SAFEARRAY* array = value->parray;
  if (value->vt & VT_BYREF) {
    if (!value->pparray) Raise(ErrorNumber::TypeMismatch);
    array = *value->pparray;
  }
  if (!array || SafeArrayGetDim(array) != 1) Raise(ErrorNumber::SubscriptOutOfRange);
  const LONG lower = array->rgsabound[0].lLbound;
  const std::int64_t upper = std::int64_t{lower} + array->rgsabound[0].cElements - 1;
  if (lower < kSmallestNumber || lower > kLargestNumber || upper < kSmallestNumber ||
      upper > kLargestNumber)
    Raise(ErrorNumber::Overflow);
  type = value->vt & VT_TYPEMASK;
  return array;
}

// The `count` elements of an array of `type` as values.
void ReadTypedElements(SAFEARRAY* array, ULONG count, VARTYPE type, ItemList& list) {
  switch (type) {
    case VT_VARIANT:
      ReadElements<VARIANT>(array, count, list,
                            [](const VARIANT& element) { return ElementFromVariant(element); });
      break;
    case VT_BSTR:
      ReadElements<BSTR>(array, count, list,
                         [](BSTR text) { return Value(std::u16string(Bstr::View(text))); });
      break;
    case VT_BOOL:
      ReadElements<VARIANT_BOOL>(array, count, list,
                                 [](VARIANT_BOOL b) { return Value(b != VARIANT_FALSE); });
      break;
    case VT_I1:
      ReadNumbers<CHAR>(array, count, list);
      break;
    case VT_UI1:
      ReadNumbers<BYTE>(array, count, list);
      break;
    case VT_I2:
      ReadNumbers<SHORT>(array, count, list);
      break;
    case VT_UI2:
      ReadNumbers<USHORT>(array, count, list);
      break;
    case VT_I4:
      ReadNumbers<LONG>(array, count, list);
      break;
    case VT_UI4:
      ReadNumbers<ULONG>(array, count, list);
      break;
    case VT_INT:
      ReadNumbers<INT>(array, count, list);
      break;
    case VT_UINT:
      ReadNumbers<UINT>(array, count, list);
      break;
    case VT_I8:
      ReadNumbers<LONGLONG>(array, count, list);
      break;
    case VT_UI8:
      ReadElements<ULONGLONG>(array, count, list, UnsignedValue);
      break;
    case VT_R4:
      ReadElements<FLOAT>(array, count, list, SingleText);
      break;
    case VT_R8:
      ReadElements<DOUBLE>(array, count, list, [](DOUBLE v) { return Value(v); });
      break;
    case VT_CY:
      ReadThroughVariant(array, count, list, VT_CY, &VARIANT::cyVal);
      break;
    case VT_DATE:
      ReadThroughVariant(array, count, list, VT_DATE, &VARIANT::date);
      break;
    default:
      // Objects, records and other kinds cannot be read as text.
      list.elements.assign(count, Value(Object{}));
      break;
  }
}

}  // namespace

Value ListFromVariant(const VARIANT& argument) {
  VARTYPE type = VT_EMPTY;
  SAFEARRAY* const array = ArrayOf(argument, type);
  const ULONG count = array->rgsabound[0].cElements;
  if (count > 0 && (!array->pvData || !TypeAgrees(array, type))) Raise(ErrorNumber::TypeMismatch);
  ItemList list;
  list.lowerBound = array->rgsabound[0].lLbound;
  list.elements.reserve(count);
  if (count > 0) ReadTypedElements(array, count, type, list);
  return list;
}

void VariantFromList(const Value& list, VARIANT* out) {
  const auto& elements = list.list().elements;
  SafeArray array(SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(elements.size())));
  if (!array.get()) throw std::bad_alloc();
  {
    const ArrayData data(array.get());
    VARIANT* target = data.as<VARIANT>();
    for (std::size_t k = 0; k < elements.size(); ++k) {
      if (!elements[k].isText()) continue;  // an empty element stays VT_EMPTY
      target[k].bstrVal = Bstr(elements[k].text()).detach();
      target[k].vt = VT_BSTR;
    }
  }
  out->vt = VT_ARRAY | VT_VARIANT;
  out->parray = array.detach();
}

}  // namespace ztxgrp::com
