#include "registry.hpp"

#include <oleauto.h>
#include <olectl.h>

#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "identity.hpp"
#include "module.hpp"
#include "ole_values.hpp"
#include "ztxgrp.h"

namespace ztxgrp::com {
namespace {

// A GUID as the registry writes it: {XXXXXXXX-XXXX-...}.
std::wstring GuidText(REFGUID guid) {
  wchar_t text[40];
  if (StringFromGUID2(guid, text, 40) == 0) throw std::bad_alloc();
  return text;
}

struct Entry {
  std::wstring key;     // below HKEY_CLASSES_ROOT
  const wchar_t* name;  // nullptr: the key's default value
  std::wstring value;
};

// Everything that registration writes, from the identifiers that the IDL
// declares and the type library's own version; unregistration removes the
// keys that no other entry lies under, with all that is below them.
std::vector<Entry> Entries(const std::wstring& modulePath, const TLIBATTR& library) {
  const std::wstring classKey = L"CLSID\\" + GuidText(CLSID_IclsGroup);
  const std::wstring version =
      std::to_wstring(library.wMajorVerNum) + L"." + std::to_wstring(library.wMinorVerNum);
  return {
      {classKey, nullptr, kProgId},
      {classKey + L"\\InprocServer32", nullptr, modulePath},
      {classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {classKey + L"\\ProgID", nullptr, kProgId},
      {classKey + L"\\TypeLib", nullptr, GuidText(library.guid)},
      {classKey + L"\\VERSION", nullptr, version},
      {kProgId, nullptr, kProgId},
      {std::wstring(kProgId) + L"\\Clsid", nullptr, GuidText(CLSID_IclsGroup)},
  };
}

#ifdef _WIN64
constexpr SYSKIND kSysKind = SYS_WIN64;
#else
constexpr SYSKIND kSysKind = SYS_WIN32;
#endif

bool IsTopKey(const Entry& entry, const std::vector<Entry>& entries) {
  const std::wstring_view key = entry.key;
  for (const Entry& other : entries) {
    const std::wstring_view parent = other.key;
    if (parent.size() < key.size() && key.substr(0, parent.size()) == parent &&
        key[parent.size()] == L'\\')
      return false;
  }
  return true;
}

HRESULT WriteEntry(const Entry& entry) {
  HKEY key = nullptr;
  LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, entry.key.c_str(), 0, nullptr, 0,
                                   KEY_SET_VALUE, nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  status =
      RegSetValueExW(key, entry.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(entry.value.c_str()),
                     static_cast<DWORD>((entry.value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return HRESULT_FROM_WIN32(status);
}

// The embedded type library and its attributes.
HRESULT LoadLibraryAttributes(const std::wstring& modulePath, ComPtr<ITypeLib>& library,
                              TLIBATTR& attributes) {
  HRESULT hr = LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, library.out());
  if (FAILED(hr)) return hr;
  TLIBATTR* read = nullptr;
  hr = library->GetLibAttr(&read);
  if (FAILED(hr)) return hr;
  attributes = *read;
  library->ReleaseTLibAttr(read);
  return S_OK;
}

}  // namespace

HRESULT RegisterServer() noexcept {
  try {
    const std::wstring modulePath = ModulePath();
    ComPtr<ITypeLib> library;
    TLIBATTR attributes{};
    if (FAILED(LoadLibraryAttributes(modulePath, library, attributes))) return SELFREG_E_TYPELIB;
    for (const Entry& entry : Entries(modulePath, attributes)) {
      if (FAILED(WriteEntry(entry))) {
        UnregisterServer();
        return SELFREG_E_CLASS;
      }
    }
    // The component has no help directory: register an empty one rather
    // than the module's folder that registration would assume.
    std::wstring path = modulePath, noHelp;
    if (FAILED(RegisterTypeLib(library.get(), path.data(), noHelp.data()))) {
      UnregisterServer();
      return SELFREG_E_TYPELIB;
    }
    return S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT UnregisterServer() noexcept {
  try {
    const std::wstring modulePath = ModulePath();
    ComPtr<ITypeLib> library;
    TLIBATTR attributes{};
    if (FAILED(LoadLibraryAttributes(modulePath, library, attributes))) return SELFREG_E_TYPELIB;
    HRESULT result = S_OK;
    const std::vector<Entry> entries = Entries(modulePath, attributes);
    for (const Entry& entry : entries) {
      if (!IsTopKey(entry, entries)) continue;
      const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, entry.key.c_str());
      if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) result = SELFREG_E_CLASS;
    }
    const HRESULT hr = UnRegisterTypeLib(attributes.guid, attributes.wMajorVerNum,
                                         attributes.wMinorVerNum, attributes.lcid, kSysKind);
    if (FAILED(hr) && hr != TYPE_E_REGISTRYACCESS && hr != TYPE_E_CANTLOADLIBRARY)
      result = SELFREG_E_TYPELIB;
    return result;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace ztxgrp::com
