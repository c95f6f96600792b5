#include "registry.hpp"

#include <oleauto.h>
#include <olectl.h>

#include <cwchar>
#include <new>
#include <optional>
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

// Versions and locale in hexadecimal, as the system writes them.
std::wstring HexText(unsigned value) {
  wchar_t text[16];
  swprintf(text, 16, L"%x", value);
  return text;
}

struct Entry {
  std::wstring key;     // below the scope's classes key
  const wchar_t* name;  // nullptr: the key's default value
  std::wstring value;
};

#ifdef _WIN64
constexpr const wchar_t* kPlatform = L"win64";
constexpr const wchar_t* kOtherPlatform = L"win32";
#else
constexpr const wchar_t* kPlatform = L"win32";
constexpr const wchar_t* kOtherPlatform = L"win64";
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
  const TLIBATTR& attributes = library.attributes;
  const std::wstring version =
      HexText(attributes.wMajorVerNum) + L"." + HexText(attributes.wMinorVerNum);
  const std::wstring libraryKey =
      L"TypeLib\\" + GuidText(library.attributes.guid) + L"\\" + version;
  const std::wstring interfaceKey = L"Interface\\" + GuidText(IID__IclsGroup);
  // Type-library marshalling, as for every automation interface.
  const std::wstring marshaller = L"{00020424-0000-0000-C000-000000000046}";
  entries.insert(
      entries.end(),
      {
          {libraryKey, nullptr, library.description},
          {libraryKey + L"\\" + HexText(attributes.lcid) + L"\\" + kPlatform, nullptr, modulePath},
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

// The registry views: this build's own, and the other architecture's (the
// 32-bit view for a 64-bit build and the other way round). On Windows the
// class keys of the two builds lie in different views; the ProgID and the
// type library's keys are shared between them.
#ifdef _WIN64
constexpr REGSAM kOtherView = KEY_WOW64_32KEY;
#else
constexpr REGSAM kOtherView = KEY_WOW64_64KEY;
#endif
constexpr REGSAM kOwnView = 0;

// The keys that unregistration removes, below the scope's classes key.
struct SharedKeys {
  std::wstring classKey;       // CLSID\{class}: this build's view only
  std::wstring progId;         // shared
  std::wstring interfaceKey;   // Interface\{iid}
  std::wstring libraryParent;  // TypeLib\{library}
  std::wstring libraryKey;     // TypeLib\{library}\VERSION
  std::wstring localeKey;      // ...\VERSION\LCID
  std::wstring platformKey;    // ...\VERSION\LCID\win32 or win64: this build's
};
SharedKeys SharedKeysOf(const LibraryFacts& facts) {
  const TLIBATTR& attributes = facts.attributes;
  SharedKeys keys;
  keys.classKey = L"CLSID\\" + GuidText(CLSID_IclsGroup);
  keys.progId = kProgId;
  keys.interfaceKey = L"Interface\\" + GuidText(IID__IclsGroup);
  keys.libraryParent = L"TypeLib\\" + GuidText(attributes.guid);
  keys.libraryKey = keys.libraryParent + L"\\" + HexText(attributes.wMajorVerNum) + L"." +
                    HexText(attributes.wMinorVerNum);
  keys.localeKey = keys.libraryKey + L"\\" + HexText(attributes.lcid);
  keys.platformKey = keys.localeKey + L"\\" + kPlatform;
  return keys;
}

// The server that a class key names in this build's view: its module's path
// (empty when no text), or nullopt when there is no such key.
std::optional<std::wstring> ServerOf(const ClassesKey& classes, const std::wstring& classKey) {
  const std::wstring path = classes.prefix + classKey + L"\\InprocServer32";
  HKEY key = nullptr;
  if (RegOpenKeyExW(classes.root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return std::nullopt;
  std::vector<wchar_t> value(4096, L'\0');
  DWORD type = 0, size = static_cast<DWORD>((value.size() - 1) * sizeof(wchar_t));
  const LSTATUS status =
      RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_SZ) return std::wstring();
  return std::wstring(value.data());
}

// Whether the other architecture's build is registered in the scope: its
// entry of the shared type library key (win64 for this 32-bit build, win32
// for the 64-bit one) is there.
bool OtherArchitectureRegistered(const ClassesKey& classes, const SharedKeys& keys) {
  const std::wstring path = classes.prefix + keys.localeKey + L"\\" + kOtherPlatform;
  HKEY key = nullptr;
  if (RegOpenKeyExW(classes.root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

// Deletes a key with everything below it, in a registry view.
LSTATUS DeleteTree(const ClassesKey& classes, const std::wstring& key, REGSAM view) {
  const std::wstring path = classes.prefix + key;
  HKEY opened = nullptr;
  LSTATUS status = RegOpenKeyExW(classes.root, path.c_str(), 0, KEY_ALL_ACCESS | view, &opened);
  if (status != ERROR_SUCCESS) return status;
  status = RegDeleteTreeW(opened, nullptr);
  RegCloseKey(opened);
  if (status != ERROR_SUCCESS) return status;
  return RegDeleteKeyExW(classes.root, path.c_str(), view, 0);
}

bool Deleted(LSTATUS status) {
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

// Deletes a key that holds no subkey (a key with subkeys stays).
void DeleteIfEmpty(const ClassesKey& classes, const std::wstring& key) {
  const std::wstring path = classes.prefix + key;
  HKEY opened = nullptr;
  if (RegOpenKeyExW(classes.root, path.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
    return;
  DWORD subkeys = 1;
  const LSTATUS status = RegQueryInfoKeyW(opened, nullptr, nullptr, nullptr, &subkeys, nullptr,
                                          nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(opened);
  if (status == ERROR_SUCCESS && subkeys == 0) RegDeleteKeyW(classes.root, path.c_str());
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
    const ClassesKey classes = ClassesKeyOf(scope);
    const SharedKeys keys = SharedKeysOf(facts);
    const bool otherInUse = OtherArchitectureRegistered(classes, keys);
    // The class key goes unless it names the other build's module: where
    // both builds see one key (Wine's per-user classes), the build
    // registered last holds it.
    bool failed = false;
    const std::optional<std::wstring> server = ServerOf(classes, keys.classKey);
    if (!server || server->empty() || _wcsicmp(server->c_str(), modulePath.c_str()) == 0 ||
        !otherInUse)
      failed |= !Deleted(DeleteTree(classes, keys.classKey, kOwnView));
    // This build's entry of the type library, and the keys above it that
    // hold nothing else.
    failed |= !Deleted(DeleteTree(classes, keys.platformKey, kOwnView));
    DeleteIfEmpty(classes, keys.localeKey);
    // The keys that both builds share (or may see in each other's view) stay
    // while the other build is registered; the last one removes them in
    // both views.
    if (!otherInUse) {
      for (const std::wstring* key : {&keys.progId, &keys.interfaceKey, &keys.libraryKey})
        for (REGSAM view : {kOwnView, kOtherView})
          failed |= !Deleted(DeleteTree(classes, *key, view));
      DeleteIfEmpty(classes, keys.libraryParent);
    }
    return failed ? SELFREG_E_CLASS : S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace ztxgrp::com
