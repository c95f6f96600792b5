#include "host_arguments.hpp"

#include <map>
#include <stdexcept>

namespace ztxgrp::com::testing {

VARTYPE TypeNamed(const std::string& name) {
  static const std::map<std::string, VARTYPE> types = {
      {"EMPTY", VT_EMPTY},     {"NULL", VT_NULL},       {"I2", VT_I2},
      {"I4", VT_I4},           {"I8", VT_I8},           {"R4", VT_R4},
      {"R8", VT_R8},           {"BSTR", VT_BSTR},       {"DECIMAL", VT_DECIMAL},
      {"VARIANT", VT_VARIANT}, {"UNKNOWN", VT_UNKNOWN}, {"DISPATCH", VT_DISPATCH}};
  const auto found = types.find(name);
  if (found == types.end()) throw std::invalid_argument("no type named " + name);
  return found->second;
}

VARIANT& HostArguments::Keep(VARIANT value) {
  values_.push_back(value);
  return values_.back();
}

VARIANT& HostArguments::Build(const nlohmann::json& d) {
  VARIANT value;
  VariantInit(&value);
  if (d.is_string()) {
    value.vt = VT_BSTR;
    value.bstrVal = texts_.emplace_back(Wide16(d.get<std::string>())).get();
  } else if (d.contains("bstr")) {
    value.vt = VT_BSTR;
    value.bstrVal = d["bstr"].is_null()
                        ? nullptr
                        : texts_.emplace_back(Wide16(d["bstr"].get<std::string>())).get();
  } else if (d.contains("vt")) {
    value.vt = TypeNamed(d["vt"]);
    if (value.vt == VT_I2) value.iVal = d.value("value", SHORT{0});
  } else if (d.contains("array")) {
    value = BuildArray(d);
  } else if (d.contains("ref")) {
    value = BuildReference(d);
  } else if (d.contains("self")) {
    VARIANT& self = Keep(value);
    self.vt = VT_BYREF | VT_VARIANT;
    self.pvarVal = &self;
    return self;
  } else if (d.contains("cycle")) {
    VARIANT& first = Keep(value);
    VARIANT& second = Keep(value);
    first.vt = second.vt = VT_BYREF | VT_VARIANT;
    first.pvarVal = &second;
    second.pvarVal = &first;
    return first;
  } else if (d.contains("object")) {
    value.vt = TypeNamed(d["object"]);
    value.punkVal = object_;  // IDispatch derives from IUnknown: one object serves both
  } else {
    throw std::invalid_argument("an argument of no known form: " + d.dump());
  }
  return Keep(value);
}

VARIANT HostArguments::BuildArray(const nlohmann::json& d) {
  const VARTYPE type = TypeNamed(d["array"]);
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_ARRAY | (d.contains("declared") ? TypeNamed(d["declared"]) : type);
  if (d.value("null", false)) {
    value.parray = nullptr;
    return value;
  }
  std::vector<SAFEARRAYBOUND> bounds;
  if (d.contains("dimensions")) {
    for (const auto& size : d["dimensions"]) bounds.push_back({size.get<ULONG>(), 0});
  } else {
    const ULONG count = d.contains("elements") ? static_cast<ULONG>(d["elements"].size())
                                               : d.value("count", ULONG{0});
    bounds.push_back({count, d.value("lower", LONG{0})});
  }
  SafeArray& array =
      arrays_.emplace_back(SafeArrayCreate(type, static_cast<UINT>(bounds.size()), bounds.data()));
  if (!array.get()) throw std::runtime_error("SafeArrayCreate failed for " + d.dump());
  if (d.contains("elements")) FillArray(array.get(), type, d["elements"]);
  value.parray = array.get();
  return value;
}

void HostArguments::FillArray(SAFEARRAY* array, VARTYPE type, const nlohmann::json& elements) {
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) throw std::runtime_error("SafeArrayAccessData");
  for (std::size_t k = 0; k < elements.size(); ++k) {
    const nlohmann::json& e = elements[k];
    switch (type) {
      case VT_I2:
        static_cast<SHORT*>(data)[k] = e.get<SHORT>();
        break;
      case VT_I4:
        static_cast<LONG*>(data)[k] = e.get<LONG>();
        break;
      case VT_R4:
        static_cast<float*>(data)[k] = e.get<float>();
        break;
      case VT_R8:
        static_cast<double*>(data)[k] = e.get<double>();
        break;
      case VT_BSTR:
        // The array owns its texts and frees them with itself.
        static_cast<BSTR*>(data)[k] = Bstr(Wide16(e.get<std::string>())).detach();
        break;
      case VT_VARIANT: {
        VARIANT& slot = static_cast<VARIANT*>(data)[k];
        VARIANT& element = Build(e);
        // A reference is copied as it is (the array frees nothing through
        // it); anything else the array holds a copy of, and frees with itself.
        if (element.vt & VT_BYREF)
          slot = element;
        else if (FAILED(VariantCopy(&slot, &element)))
          throw std::runtime_error("VariantCopy failed for " + e.dump());
        break;
      }
      default:
        throw std::invalid_argument("no elements of this type are written: " + e.dump());
    }
  }
  SafeArrayUnaccessData(array);
}

VARIANT HostArguments::BuildReference(const nlohmann::json& d) {
  const std::string kind = d["ref"];
  const nlohmann::json& to = d["to"];
  VARIANT value;
  VariantInit(&value);
  if (kind == "ARRAY") {
    value.vt = VT_BYREF | VT_ARRAY | VT_VARIANT;
    value.pparray = nullptr;
    if (!to.is_null()) {
      const VARIANT& array = Build(to);
      value.vt = VT_BYREF | array.vt;
      value.pparray = &arraySlots_.emplace_back(array.parray);
    }
  } else if (kind == "BSTR") {
    value.vt = VT_BYREF | VT_BSTR;
    value.pbstrVal = to.is_null() ? nullptr : &textSlots_.emplace_back(Build(to).bstrVal);
  } else if (kind == "VARIANT") {
    value.vt = VT_BYREF | VT_VARIANT;
    value.pvarVal = to.is_null() ? nullptr : &Build(to);
  } else if (to.is_null()) {
    value.vt = VT_BYREF | TypeNamed(kind);
    value.byref = nullptr;
  } else {
    throw std::invalid_argument("references of this kind are null only: " + d.dump());
  }
  return value;
}

}  // namespace ztxgrp::com::testing
