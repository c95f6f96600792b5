#include "registry.hpp"

#include <oleauto.h>
#include <olectl.h>

#include <cwchar>
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
  std::wstring key;     // below the scope's classes key
  const wchar_t* name;  // nullptr: the key's default value
  std::wstring value;
};

#ifdef _WIN64
constexpr SYSKIND kSysKind = SYS_WIN64;
constexpr const wchar_t* kPlatform = L"win64";
#else
constexpr SYSKIND kSysKind = SYS_WIN32;
constexpr const wchar_t* kPlatform = L"win32";
#endif

// The type library's name and the interface's, as the library states them.
struct LibraryFacts {
  TLIBATTR attributes{};
  std::wstring description;
  std::wstring interfaceName;
};

// The type library's and the interface's keys, as RegisterTypeLib writes
// them below HKEY_CLASSES_ROOT; written by hand for one user, where that
// function would write for the machine.
void AddTypeLibraryEntries(std::vector<Entry>& entries, const std::wstring& modulePath,
                           const LibraryFacts& library) {
  // Versions and locale in hexadecimal, as the system writes them.
  const auto hex = [](unsigned value) {
    wchar_t text[16];
    swprintf(text, 16, L"%x", value);
    return std::wstring(text);
  };
  const TLIBATTR& attributes = library.attributes;
  const std::wstring version = hex(attributes.wMajorVerNum) + L"." + hex(attributes.wMinorVerNum);
  const std::wstring libraryKey =
      L"TypeLib\\" + GuidText(library.attributes.guid) + L"\\" + version;
  const std::wstring interfaceKey = L"Interface\\" + GuidText(IID__IclsGroup);
  // Type-library marshalling, as for every automation interface.
  const std::wstring marshaller = L"{00020424-0000-0000-C000-000000000046}";
  entries.insert(
      entries.end(),
      {
          {libraryKey, nullptr, library.description},
          {libraryKey + L"\\" + hex(attributes.lcid) + L"\\" + kPlatform, nullptr, modulePath},
          {libraryKey + L"\\FLAGS", nullptr, std::to_wstring(library.attributes.wLibFlags)},
          {libraryKey + L"\\HELPDIR", nullptr, L""},
          {interfaceKey, nullptr, library.interfaceName},
          {interfaceKey + L"\\ProxyStubClsid", nullptr, marshaller},
          {interfaceKey + L"\\ProxyStubClsid32", nullptr, marshaller},
          {interfaceKey + L"\\TypeLib", nullptr, GuidText(library.attributes.guid)},
          {interfaceKey + L"\\TypeLib", L"Version", version},
      });
}

// Everything that registration writes, from the identifiers that the IDL
// declares and the type library's own version; unregistration removes the
// keys that no other entry lies under, with all that is below them.
std::vector<Entry> Entries(const std::wstring& modulePath, const LibraryFacts& facts,
                           RegistrationScope scope) {
  const TLIBATTR& library = facts.attributes;
  const std::wstring classKey = L"CLSID\\" + GuidText(CLSID_IclsGroup);
  const std::wstring version =
      std::to_wstring(library.wMajorVerNum) + L"." + std::to_wstring(library.wMinorVerNum);
  std::vector<Entry> entries = {
      {classKey, nullptr, kProgId},
      {classKey + L"\\InprocServer32", nullptr, modulePath},
      {classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {classKey + L"\\ProgID", nullptr, kProgId},
      {classKey + L"\\TypeLib", nullptr, GuidText(library.guid)},
      {classKey + L"\\VERSION", nullptr, version},
      {kProgId, nullptr, kProgId},
      {std::wstring(kProgId) + L"\\Clsid", nullptr, GuidText(CLSID_IclsGroup)},
  };
  if (scope == RegistrationScope::User) AddTypeLibraryEntries(entries, modulePath, facts);
  return entries;
}

// Where a scope's entries go.
struct ClassesKey {
  HKEY root;
  std::wstring prefix;
};
ClassesKey ClassesKeyOf(RegistrationScope scope) {
  if (scope == RegistrationScope::User) return {HKEY_CURRENT_USER, L"Software\\Classes\\"};
  return {HKEY_CLASSES_ROOT, L""};
}

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

HRESULT WriteEntry(const ClassesKey& classes, const Entry& entry) {
  HKEY key = nullptr;
  const std::wstring path = classes.prefix + entry.key;
  LSTATUS status = RegCreateKeyExW(classes.root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                   nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  status =
      RegSetValueExW(key, entry.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(entry.value.c_str()),
                     static_cast<DWORD>((entry.value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return HRESULT_FROM_WIN32(status);
}

// The embedded type library, its attributes and names.
HRESULT LoadLibraryFacts(const std::wstring& modulePath, ComPtr<ITypeLib>& library,
                         LibraryFacts& facts) {
  HRESULT hr = LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, library.out());
  if (FAILED(hr)) return hr;
  TLIBATTR* read = nullptr;
  hr = library->GetLibAttr(&read);
  if (FAILED(hr)) return hr;
  facts.attributes = *read;
  library->ReleaseTLibAttr(read);
  Bstr description;
  hr = library->GetDocumentation(-1, nullptr, description.out(), nullptr, nullptr);
  if (FAILED(hr)) return hr;
  ComPtr<ITypeInfo> type;
  hr = library->GetTypeInfoOfGuid(IID__IclsGroup, type.out());
  if (FAILED(hr)) return hr;
  Bstr name;
  hr = type->GetDocumentation(MEMBERID_NIL, name.out(), nullptr, nullptr, nullptr);
  if (FAILED(hr)) return hr;
  const std::u16string_view descriptionText = Bstr::View(description.get());
  const std::u16string_view nameText = Bstr::View(name.get());
  facts.description.assign(descriptionText.begin(), descriptionText.end());
  facts.interfaceName.assign(nameText.begin(), nameText.end());
  return S_OK;
}

}  // namespace

HRESULT RegisterServer(RegistrationScope scope) noexcept {
  try {
    const std::wstring modulePath = ModulePath();
    ComPtr<ITypeLib> library;
    LibraryFacts facts;
    if (FAILED(LoadLibraryFacts(modulePath, library, facts))) return SELFREG_E_TYPELIB;
    const ClassesKey classes = ClassesKeyOf(scope);
    for (const Entry& entry : Entries(modulePath, facts, scope)) {
      if (FAILED(WriteEntry(classes, entry))) {
        UnregisterServer(scope);
        return SELFREG_E_CLASS;
      }
    }
    if (scope == RegistrationScope::User) return S_OK;
    // The component has no help directory: register an empty one rather
    // than the module's folder that registration would assume.
    std::wstring path = modulePath, noHelp;
    if (FAILED(RegisterTypeLib(library.get(), path.data(), noHelp.data()))) {
      UnregisterServer(scope);
      return SELFREG_E_TYPELIB;
    }
    return S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT UnregisterServer(RegistrationScope scope) noexcept {
  try {
    const std::wstring modulePath = ModulePath();
    ComPtr<ITypeLib> library;
    LibraryFacts facts;
    if (FAILED(LoadLibraryFacts(modulePath, library, facts))) return SELFREG_E_TYPELIB;
    HRESULT result = S_OK;
    const ClassesKey classes = ClassesKeyOf(scope);
    const std::vector<Entry> entries = Entries(modulePath, facts, scope);
    for (const Entry& entry : entries) {
      if (!IsTopKey(entry, entries)) continue;
      const std::wstring path = classes.prefix + entry.key;
      const LSTATUS status = RegDeleteTreeW(classes.root, path.c_str());
      if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) result = SELFREG_E_CLASS;
      // TypeLib\{guid} goes when its version was the last one under it.
      const std::size_t parent = path.rfind(L'\\');
      if (entry.key.starts_with(L"TypeLib\\") && parent != std::wstring::npos)
        RegDeleteKeyW(classes.root, path.substr(0, parent).c_str());
    }
    if (scope == RegistrationScope::User) return result;
    const TLIBATTR& attributes = facts.attributes;
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
