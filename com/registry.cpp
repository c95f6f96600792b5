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

// The keys that registration writes and unregistration removes, below the
// scope's classes key, derived once from the identifiers that the IDL
// declares and the type library's own version.
struct RegistryKeys {
  std::wstring classKey;        // CLSID\{class}: this build's view only
  std::wstring progId;          // shared
  std::wstring interfaceKey;    // Interface\{iid}
  std::wstring libraryGuid;     // {library}
  std::wstring libraryParent;   // TypeLib\{library}
  std::wstring libraryVersion;  // major.minor in hexadecimal
  std::wstring libraryKey;      // TypeLib\{library}\VERSION
  std::wstring localeKey;       // ...\VERSION\LCID
  std::wstring platformKey;     // ...\VERSION\LCID\win32 or win64: this build's
};
RegistryKeys KeysOf(const LibraryFacts& facts) {
  const TLIBATTR& attributes = facts.attributes;
  RegistryKeys keys;
  keys.classKey = L"CLSID\\" + GuidText(CLSID_IclsGroup);
  keys.progId = kProgId;
  keys.interfaceKey = L"Interface\\" + GuidText(IID__IclsGroup);
  keys.libraryGuid = GuidText(attributes.guid);
  keys.libraryParent = L"TypeLib\\" + keys.libraryGuid;
  keys.libraryVersion = HexText(attributes.wMajorVerNum) + L"." + HexText(attributes.wMinorVerNum);
  keys.libraryKey = keys.libraryParent + L"\\" + keys.libraryVersion;
  keys.localeKey = keys.libraryKey + L"\\" + HexText(attributes.lcid);
  keys.platformKey = keys.localeKey + L"\\" + kPlatform;
  return keys;
}

// The type library's and the interface's keys, as RegisterTypeLib writes
// them below HKEY_CLASSES_ROOT; written by hand for one user, where that
// function would write for the machine.
void AddTypeLibraryEntries(std::vector<Entry>& entries, const std::wstring& modulePath,
                           const LibraryFacts& library, const RegistryKeys& keys) {
  // Type-library marshalling, as for every automation interface.
  const std::wstring marshaller = L"{00020424-0000-0000-C000-000000000046}";
  entries.insert(
      entries.end(),
      {
          {keys.libraryKey, nullptr, library.description},
          {keys.platformKey, nullptr, modulePath},
          {keys.libraryKey + L"\\FLAGS", nullptr, std::to_wstring(library.attributes.wLibFlags)},
          {keys.libraryKey + L"\\HELPDIR", nullptr, L""},
          {keys.interfaceKey, nullptr, library.interfaceName},
          {keys.interfaceKey + L"\\ProxyStubClsid", nullptr, marshaller},
          {keys.interfaceKey + L"\\ProxyStubClsid32", nullptr, marshaller},
          {keys.interfaceKey + L"\\TypeLib", nullptr, keys.libraryGuid},
          {keys.interfaceKey + L"\\TypeLib", L"Version", keys.libraryVersion},
      });
}

// Everything that registration writes; unregistration removes the keys that
// no other entry lies under, with all that is below them.
std::vector<Entry> Entries(const std::wstring& modulePath, const LibraryFacts& facts,
                           const RegistryKeys& keys, RegistrationScope scope) {
  const TLIBATTR& library = facts.attributes;
  const std::wstring version =
      std::to_wstring(library.wMajorVerNum) + L"." + std::to_wstring(library.wMinorVerNum);
  std::vector<Entry> entries = {
      {keys.classKey, nullptr, kProgId},
      {keys.classKey + L"\\InprocServer32", nullptr, modulePath},
      {keys.classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {keys.classKey + L"\\ProgID", nullptr, kProgId},
      {keys.classKey + L"\\TypeLib", nullptr, keys.libraryGuid},
      {keys.classKey + L"\\VERSION", nullptr, version},
      {keys.progId, nullptr, kProgId},
      {keys.progId + L"\\Clsid", nullptr, GuidText(CLSID_IclsGroup)},
  };
  if (scope == RegistrationScope::User) AddTypeLibraryEntries(entries, modulePath, facts, keys);
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

// An open registry key, closed when it goes.
class OpenKey {
 public:
  OpenKey() = default;
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  ~OpenKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  HKEY get() const noexcept { return key_; }
  HKEY* out() noexcept { return &key_; }

 private:
  HKEY key_ = nullptr;
};

// Opens a key below the scope's classes key.
LSTATUS Open(const ClassesKey& classes, const std::wstring& key, REGSAM access, OpenKey& opened) {
  const std::wstring path = classes.prefix + key;
  return RegOpenKeyExW(classes.root, path.c_str(), 0, access, opened.out());
}

HRESULT WriteEntry(const ClassesKey& classes, const Entry& entry) {
  OpenKey key;
  const std::wstring path = classes.prefix + entry.key;
  LSTATUS status = RegCreateKeyExW(classes.root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                   nullptr, key.out(), nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  status = RegSetValueExW(key.get(), entry.name, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(entry.value.c_str()),
                          static_cast<DWORD>((entry.value.size() + 1) * sizeof(wchar_t)));
  return HRESULT_FROM_WIN32(status);
}

// This module as a server: its path, its embedded type library, the
// library's attributes and names, and the keys they give.
struct Server {
  std::wstring modulePath;
  ComPtr<ITypeLib> library;
  LibraryFacts facts;
  RegistryKeys keys;
};

HRESULT LoadServer(Server& server) {
  server.modulePath = ModulePath();
  ComPtr<ITypeLib>& library = server.library;
  HRESULT hr = LoadTypeLibEx(server.modulePath.c_str(), REGKIND_NONE, library.out());
  if (FAILED(hr)) return hr;
  TLIBATTR* read = nullptr;
  hr = library->GetLibAttr(&read);
  if (FAILED(hr)) return hr;
  server.facts.attributes = *read;
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
  server.facts.description.assign(descriptionText.begin(), descriptionText.end());
  server.facts.interfaceName.assign(nameText.begin(), nameText.end());
  server.keys = KeysOf(server.facts);
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

// The server that a class key names in this build's view: its module's path
// (empty when no text), or nullopt when there is no such key.
std::optional<std::wstring> ServerOf(const ClassesKey& classes, const std::wstring& classKey) {
  OpenKey key;
  if (Open(classes, classKey + L"\\InprocServer32", KEY_QUERY_VALUE, key) != ERROR_SUCCESS)
    return std::nullopt;
  std::vector<wchar_t> value(4096, L'\0');
  DWORD type = 0, size = static_cast<DWORD>((value.size() - 1) * sizeof(wchar_t));
  const LSTATUS status = RegQueryValueExW(key.get(), nullptr, nullptr, &type,
                                          reinterpret_cast<BYTE*>(value.data()), &size);
  if (status != ERROR_SUCCESS || type != REG_SZ) return std::wstring();
  return std::wstring(value.data());
}

// Whether the other architecture's build is registered in the scope: its
// entry of the shared type library key (win64 for this 32-bit build, win32
// for the 64-bit one) is there.
bool OtherArchitectureRegistered(const ClassesKey& classes, const RegistryKeys& keys) {
  OpenKey key;
  return Open(classes, keys.localeKey + L"\\" + kOtherPlatform, KEY_QUERY_VALUE, key) ==
         ERROR_SUCCESS;
}

// Deletes a key with everything below it, in a registry view.
LSTATUS DeleteTree(const ClassesKey& classes, const std::wstring& key, REGSAM view) {
  LSTATUS status;
  {
    OpenKey opened;
    status = Open(classes, key, KEY_ALL_ACCESS | view, opened);
    if (status != ERROR_SUCCESS) return status;
    status = RegDeleteTreeW(opened.get(), nullptr);
  }
  if (status != ERROR_SUCCESS) return status;
  const std::wstring path = classes.prefix + key;
  return RegDeleteKeyExW(classes.root, path.c_str(), view, 0);
}

bool Deleted(LSTATUS status) {
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

// Deletes a key that holds no subkey (a key with subkeys stays).
void DeleteIfEmpty(const ClassesKey& classes, const std::wstring& key) {
  DWORD subkeys = 1;
  LSTATUS status;
  {
    OpenKey opened;
    if (Open(classes, key, KEY_QUERY_VALUE, opened) != ERROR_SUCCESS) return;
    status = RegQueryInfoKeyW(opened.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr, nullptr);
  }
  const std::wstring path = classes.prefix + key;
  if (status == ERROR_SUCCESS && subkeys == 0) RegDeleteKeyW(classes.root, path.c_str());
}

}  // namespace

HRESULT RegisterServer(RegistrationScope scope) noexcept {
  try {
    Server server;
    if (FAILED(LoadServer(server))) return SELFREG_E_TYPELIB;
    const ClassesKey classes = ClassesKeyOf(scope);
    for (const Entry& entry : Entries(server.modulePath, server.facts, server.keys, scope)) {
      if (FAILED(WriteEntry(classes, entry))) {
        UnregisterServer(scope);
        return SELFREG_E_CLASS;
      }
    }
    if (scope == RegistrationScope::User) return S_OK;
    // The component has no help directory: register an empty one rather
    // than the module's folder that registration would assume.
    std::wstring path = server.modulePath, noHelp;
    if (FAILED(RegisterTypeLib(server.library.get(), path.data(), noHelp.data()))) {
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
    Server server;
    if (FAILED(LoadServer(server))) return SELFREG_E_TYPELIB;
    const ClassesKey classes = ClassesKeyOf(scope);
    const RegistryKeys& keys = server.keys;
    const bool otherInUse = OtherArchitectureRegistered(classes, keys);
    // The class key goes unless it names the other build's module: where
    // both builds see one key (Wine's per-user classes), the build
    // registered last holds it.
    bool failed = false;
    const std::optional<std::wstring> named = ServerOf(classes, keys.classKey);
    if (!named || named->empty() || _wcsicmp(named->c_str(), server.modulePath.c_str()) == 0 ||
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
