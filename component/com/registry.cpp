#include "registry.hpp"

#include <oleauto.h>
#include <olectl.h>

#include <string>
#include <string_view>

#include "module.hpp"
#include "ole_values.hpp"
#include "ztxgrp.h"

namespace ztxgrp::com {
namespace {

#define ZTXGRP_CLSID L"{6AEDF478-0E4D-4374-8098-87B947F214F7}"
#define ZTXGRP_LIBID L"{AD44633E-977C-4E81-B37E-4DED0C58C666}"
#define ZTXGRP_PROGID L"ztxgrp.IclsGroup"

constexpr const wchar_t* kModulePath = nullptr;  // stands for this module's file

struct Entry {
  const wchar_t* key;    // below HKEY_CLASSES_ROOT
  const wchar_t* name;   // nullptr: the key's default value
  const wchar_t* value;  // kModulePath: this module's path
};

// Everything that registration writes; unregistration removes the keys that
// no other entry lies under, with all that is below them.
constexpr Entry kEntries[] = {
    {L"CLSID\\" ZTXGRP_CLSID, nullptr, ZTXGRP_PROGID},
    {L"CLSID\\" ZTXGRP_CLSID L"\\InprocServer32", nullptr, kModulePath},
    {L"CLSID\\" ZTXGRP_CLSID L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
    {L"CLSID\\" ZTXGRP_CLSID L"\\ProgID", nullptr, ZTXGRP_PROGID},
    {L"CLSID\\" ZTXGRP_CLSID L"\\TypeLib", nullptr, ZTXGRP_LIBID},
    {L"CLSID\\" ZTXGRP_CLSID L"\\VERSION", nullptr, L"2.0"},
    {ZTXGRP_PROGID, nullptr, ZTXGRP_PROGID},
    {ZTXGRP_PROGID L"\\Clsid", nullptr, ZTXGRP_CLSID},
};

#ifdef _WIN64
constexpr SYSKIND kSysKind = SYS_WIN64;
#else
constexpr SYSKIND kSysKind = SYS_WIN32;
#endif

bool IsTopKey(const Entry& entry) {
  const std::wstring_view key = entry.key;
  for (const Entry& other : kEntries) {
    const std::wstring_view parent = other.key;
    if (parent.size() < key.size() && key.substr(0, parent.size()) == parent &&
        key[parent.size()] == L'\\')
      return false;
  }
  return true;
}

HRESULT WriteEntry(const Entry& entry, const std::wstring& modulePath) {
  HKEY key = nullptr;
  LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, entry.key, 0, nullptr, 0, KEY_SET_VALUE,
                                   nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  const std::wstring_view value =
      entry.value ? std::wstring_view(entry.value) : std::wstring_view(modulePath);
  status = RegSetValueExW(key, entry.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.data()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return HRESULT_FROM_WIN32(status);
}

}  // namespace

HRESULT RegisterServer() noexcept {
  try {
    const std::wstring modulePath = ModulePath();
    for (const Entry& entry : kEntries) {
      const HRESULT hr = WriteEntry(entry, modulePath);
      if (FAILED(hr)) {
        UnregisterServer();
        return SELFREG_E_CLASS;
      }
    }
    ComPtr<ITypeLib> library;
    if (FAILED(LoadTypeLibEx(modulePath.c_str(), REGKIND_REGISTER, library.out()))) {
      UnregisterServer();
      return SELFREG_E_TYPELIB;
    }
    return S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT UnregisterServer() noexcept {
  HRESULT result = S_OK;
  for (const Entry& entry : kEntries) {
    if (!IsTopKey(entry)) continue;
    const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, entry.key);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) result = SELFREG_E_CLASS;
  }
  const HRESULT hr = UnRegisterTypeLib(LIBID_ztxgrp, 2, 0, 0, kSysKind);
  if (FAILED(hr) && hr != TYPE_E_REGISTRYACCESS && hr != TYPE_E_CANTLOADLIBRARY)
    result = SELFREG_E_TYPELIB;
  return result;
}

}  // namespace ztxgrp::com
