// The module as the platform sees it: registration, identity, type library,
// resources, exports, class factory and unloading.
#include <olectl.h>

#include "com_support.hpp"

namespace ztxgrp::com::testing {
namespace {

constexpr wchar_t kClsid[] = L"{6AEDF478-0E4D-4374-8098-87B947F214F7}";

std::wstring RegistryValue(const std::wstring& key, const wchar_t* name = nullptr) {
  wchar_t buffer[1024] = {};
  DWORD size = sizeof buffer;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
      ERROR_SUCCESS)
    return L"<missing>";
  return buffer;
}

BOOL CALLBACK CountResourceType(HMODULE, LPWSTR, LONG_PTR count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

bool TypeLibRegistered() {
  Bstr path;
  return SUCCEEDED(QueryPathOfRegTypeLib(LIBID_ztxgrp, 2, 0, 0, path.out()));
}

TEST(RegistrationTest, RegistersFindsAndUnregisters) {
  const std::wstring classKey = std::wstring(L"CLSID\\") + kClsid;
  EXPECT_EQ(RegistryValue(classKey + L"\\InprocServer32").empty(), false);
  EXPECT_NE(RegistryValue(classKey + L"\\InprocServer32").find(L"ztxgrp.dll"), std::wstring::npos);
  EXPECT_EQ(RegistryValue(classKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
  EXPECT_EQ(RegistryValue(classKey + L"\\ProgID"), kTypedProgIdWide);
  EXPECT_EQ(RegistryValue(classKey + L"\\TypeLib"), L"{AD44633E-977C-4E81-B37E-4DED0C58C666}");
  EXPECT_EQ(RegistryValue(kTypedProgIdWide + L"\\Clsid"), kClsid);
  EXPECT_EQ(RegistryValue(L"Interface\\{A800F61F-5D25-431E-B1E9-8C19AC29A509}\\ProxyStubClsid32"),
            L"{00020424-0000-0000-C000-000000000046}");
  EXPECT_TRUE(TypeLibRegistered());
  // The type library: found in this module, described, with no help directory.
  const std::wstring libraryKey = L"TypeLib\\{AD44633E-977C-4E81-B37E-4DED0C58C666}\\2.0";
  EXPECT_EQ(RegistryValue(libraryKey), L"ZTX Grouping Component");
  EXPECT_EQ(RegistryValue(libraryKey + L"\\HELPDIR"), L"");
  EXPECT_NE(RegistryValue(libraryKey + L"\\0\\win" + (sizeof(void*) == 8 ? L"64" : L"32"))
                .find(L"ztxgrp.dll"),
            std::wstring::npos);
  EXPECT_EQ(RegistryValue(classKey + L"\\VERSION"), L"2.0");
  EXPECT_EQ(RegistryValue(classKey), kTypedProgIdWide);

  HRESULT status = E_FAIL;
  ComPtr<_IclsGroup> byProgId = CreateByProgId(&status);
  ASSERT_EQ(status, S_OK);
  ComPtr<_IclsGroup> byClsid;
  ASSERT_EQ(CoCreateInstance(CLSID_IclsGroup, nullptr, CLSCTX_INPROC_SERVER, IID__IclsGroup,
                             reinterpret_cast<void**>(byClsid.out())),
            S_OK);
  // Both are objects of the one class, with separate workers.
  EXPECT_NE(byProgId.get(), byClsid.get());
  ComPtr<IDispatch> a, b;
  ASSERT_EQ(byProgId->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(a.out())), S_OK);
  ASSERT_EQ(byClsid->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(b.out())), S_OK);
  ComPtr<ITypeInfo> infoA, infoB;
  ASSERT_EQ(a->GetTypeInfo(0, 0, infoA.out()), S_OK);
  ASSERT_EQ(b->GetTypeInfo(0, 0, infoB.out()), S_OK);
  TYPEATTR* attrA = nullptr;
  ASSERT_EQ(infoA->GetTypeAttr(&attrA), S_OK);
  EXPECT_TRUE(IsEqualGUID(attrA->guid, IID__IclsGroup));
  infoA->ReleaseTypeAttr(attrA);

  ASSERT_EQ(Regsvr32(true), 0u);
  EXPECT_EQ(RegistryValue(classKey + L"\\InprocServer32"), L"<missing>");
  EXPECT_EQ(RegistryValue(kTypedProgIdWide + L"\\Clsid"), L"<missing>");
  EXPECT_FALSE(TypeLibRegistered());
  CreateByProgId(&status);
  EXPECT_TRUE(FAILED(status));
  ComPtr<_IclsGroup> none;
  EXPECT_EQ(CoCreateInstance(CLSID_IclsGroup, nullptr, CLSCTX_INPROC_SERVER, IID__IclsGroup,
                             reinterpret_cast<void**>(none.out())),
            REGDB_E_CLASSNOTREG);

  ASSERT_EQ(Regsvr32(), 0u);
  CreateByProgId(&status);
  EXPECT_EQ(status, S_OK);
}

TEST(TypeLibraryTest, HoldsExactlyTheDescribedContent) {
  ComPtr<ITypeLib> library;
  ASSERT_EQ(LoadTypeLibEx(DllPath().c_str(), REGKIND_NONE, library.out()), S_OK);
  TLIBATTR* lib = nullptr;
  ASSERT_EQ(library->GetLibAttr(&lib), S_OK);
  EXPECT_TRUE(IsEqualGUID(lib->guid, LIBID_ztxgrp));
  EXPECT_EQ(lib->lcid, 0u);
#ifdef _WIN64
  EXPECT_EQ(lib->syskind, SYS_WIN64);
#else
  EXPECT_EQ(lib->syskind, SYS_WIN32);
#endif
  EXPECT_EQ(lib->wMajorVerNum, 2);
  EXPECT_EQ(lib->wMinorVerNum, 0);
  // The loader adds LIBFLAG_FHASDISKIMAGE; the library itself has no flags.
  EXPECT_EQ(lib->wLibFlags & ~LIBFLAG_FHASDISKIMAGE, 0);
  library->ReleaseTLibAttr(lib);

  Bstr name, doc, helpFile;
  DWORD helpContext = 1;
  ASSERT_EQ(library->GetDocumentation(-1, name.out(), doc.out(), &helpContext, helpFile.out()),
            S_OK);
  EXPECT_EQ(Bstr::View(name.get()), u"ztxgrp");
  EXPECT_EQ(Bstr::View(doc.get()), u"ZTX Grouping Component");
  EXPECT_EQ(helpContext, 0u);
  EXPECT_EQ(helpFile.get(), nullptr);
  ASSERT_EQ(library->GetTypeInfoCount(), 2u);

  // Index 0: the dual dispatch interface.
  ComPtr<ITypeInfo> dispatch;
  ASSERT_EQ(library->GetTypeInfo(0, dispatch.out()), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(dispatch->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
  EXPECT_TRUE(IsEqualGUID(attr->guid, IID__IclsGroup));
  // The dispatch view does not report FOLEAUTOMATION; the stored flags do.
  EXPECT_EQ(attr->wTypeFlags | TYPEFLAG_FOLEAUTOMATION, 0x11d0);
  EXPECT_EQ(attr->wMajorVerNum, 1);
  EXPECT_EQ(attr->wMinorVerNum, 0);
  EXPECT_EQ(attr->cVars, 0);
  EXPECT_EQ(attr->cImplTypes, 1);
  dispatch->ReleaseTypeAttr(attr);
  ComPtr<ITypeInfo2> dispatch2;
  ASSERT_EQ(dispatch->QueryInterface(IID_ITypeInfo2, reinterpret_cast<void**>(dispatch2.out())),
            S_OK);
  ULONG storedFlags = 0;
  ASSERT_EQ(dispatch2->GetTypeFlags(&storedFlags), S_OK);
  EXPECT_EQ(storedFlags, 0x11d0u);
  Bstr typeName, typeDoc;
  DWORD typeContext = 1;
  library->GetDocumentation(0, typeName.out(), typeDoc.out(), &typeContext, nullptr);
  EXPECT_EQ(Bstr::View(typeName.get()), u"_IclsGroup");
  EXPECT_EQ(typeDoc.get(), nullptr);
  EXPECT_EQ(typeContext, 0u);

  // Its operation-table view: derives from IDispatch, four methods after
  // the seven inherited ones.
  HREFTYPE vtableRef = 0;
  ASSERT_EQ(dispatch->GetRefTypeOfImplType(-1, &vtableRef), S_OK);
  ComPtr<ITypeInfo> vtable;
  ASSERT_EQ(dispatch->GetRefTypeInfo(vtableRef, vtable.out()), S_OK);
  ASSERT_EQ(vtable->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->typekind, TKIND_INTERFACE);
  EXPECT_EQ(attr->cFuncs, 4);
  EXPECT_EQ(attr->cbSizeVft, 11 * sizeof(void*));  // 44 bytes on 32-bit Windows
  vtable->ReleaseTypeAttr(attr);
  HREFTYPE baseRef = 0;
  ASSERT_EQ(vtable->GetRefTypeOfImplType(0, &baseRef), S_OK);
  ComPtr<ITypeInfo> base;
  ASSERT_EQ(vtable->GetRefTypeInfo(baseRef, base.out()), S_OK);
  ASSERT_EQ(base->GetTypeAttr(&attr), S_OK);
  EXPECT_TRUE(IsEqualGUID(attr->guid, IID_IDispatch));
  base->ReleaseTypeAttr(attr);

  const struct {
    const char16_t* name;
    MEMBERID id;
    SHORT offset;
    VARTYPE argument;
    const char16_t* argumentName;
    VARTYPE result;
  } functions[] = {
      {u"Group", 0x60030000, 28, VT_VARIANT, u"arrInput", VT_VARIANT},
      {u"Ungroup", 0x60030001, 32, VT_VARIANT, u"arrInput", VT_VARIANT},
      {u"IsValidRange", 0x60030002, 36, VT_BSTR, u"strRange", VT_BOOL},
      {u"UngroupItem", 0x60030003, 40, VT_BSTR, u"strInputItem", VT_VARIANT},
  };
  for (UINT index = 0; index < 4; ++index) {
    const auto& expected = functions[index];
    SCOPED_TRACE(index);
    FUNCDESC* func = nullptr;
    ASSERT_EQ(vtable->GetFuncDesc(index, &func), S_OK);
    EXPECT_EQ(func->memid, expected.id);
    EXPECT_EQ(func->funckind, FUNC_PUREVIRTUAL);
    EXPECT_EQ(func->invkind, INVOKE_FUNC);
    EXPECT_EQ(func->callconv, CC_STDCALL);
    EXPECT_EQ(func->oVft, expected.offset * static_cast<SHORT>(sizeof(void*)) / 4);
    EXPECT_EQ(func->cParams, 2);
    EXPECT_EQ(func->cParamsOpt, 0);
    EXPECT_EQ(func->wFuncFlags, 0);
    EXPECT_EQ(func->elemdescFunc.tdesc.vt, VT_HRESULT);
    EXPECT_EQ(func->lprgelemdescParam[0].tdesc.vt, expected.argument);
    EXPECT_EQ(func->lprgelemdescParam[0].paramdesc.wParamFlags, PARAMFLAG_FIN);
    EXPECT_EQ(func->lprgelemdescParam[1].tdesc.vt, VT_PTR);
    EXPECT_EQ(func->lprgelemdescParam[1].tdesc.lptdesc->vt, expected.result);
    EXPECT_EQ(func->lprgelemdescParam[1].paramdesc.wParamFlags, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL);
    BSTR names[4] = {};
    UINT count = 0;
    ASSERT_EQ(vtable->GetNames(func->memid, names, 4, &count), S_OK);
    EXPECT_EQ(count, 2u);  // the result parameter has no name
    EXPECT_EQ(Bstr::View(names[0]), expected.name);
    EXPECT_EQ(Bstr::View(names[1]), expected.argumentName);
    for (UINT k = 0; k < count; ++k) Bstr::Adopt(names[k]);
    vtable->ReleaseFuncDesc(func);
  }

  // Index 1: the creatable class with its default interface.
  ComPtr<ITypeInfo> coclass;
  ASSERT_EQ(library->GetTypeInfo(1, coclass.out()), S_OK);
  ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->typekind, TKIND_COCLASS);
  EXPECT_TRUE(IsEqualGUID(attr->guid, CLSID_IclsGroup));
  EXPECT_EQ(attr->wTypeFlags, TYPEFLAG_FCANCREATE);
  EXPECT_EQ(attr->wMajorVerNum, 1);
  EXPECT_EQ(attr->cImplTypes, 1);
  coclass->ReleaseTypeAttr(attr);
  INT implFlags = 0;
  ASSERT_EQ(coclass->GetImplTypeFlags(0, &implFlags), S_OK);
  EXPECT_EQ(implFlags, IMPLTYPEFLAG_FDEFAULT);
  Bstr className;
  library->GetDocumentation(1, className.out(), nullptr, nullptr, nullptr);
  EXPECT_EQ(Bstr::View(className.get()), u"IclsGroup");
}

TEST(TypeLibraryTest, NameTableHoldsExactlyTheNamesOfTheContract) {
  ComPtr<ITypeLib> library;
  ASSERT_EQ(LoadTypeLibEx(DllPath().c_str(), REGKIND_NONE, library.out()), S_OK);
  // The library's own name is checked through its documentation above.
  const wchar_t* present[] = {L"_IclsGroup", L"IclsGroup",   L"Group",
                              L"arrInput",   L"Ungroup",     L"IsValidRange",
                              L"strRange",   L"UngroupItem", L"strInputItem"};
  for (const wchar_t* name : present) {
    std::wstring copy = name;
    BOOL found = FALSE;
    EXPECT_EQ(library->IsName(copy.data(), 0, &found), S_OK);
    EXPECT_TRUE(found) << Narrow(name);
  }
  std::wstring absent = L"a";
  BOOL found = TRUE;
  EXPECT_EQ(library->IsName(absent.data(), 0, &found), S_OK);
  EXPECT_FALSE(found);
}

TEST(ModuleTest, ResourcesVersionInformationAndExports) {
  HMODULE module = LoadLibraryW(DllPath().c_str());
  ASSERT_NE(module, nullptr);
  HRSRC iid = FindResourceExW(module, L"_IID_ICLSGROUP", MAKEINTRESOURCEW(1),
                              MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
  ASSERT_NE(iid, nullptr);
  ASSERT_EQ(SizeofResource(module, iid), 20u);
  const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(module, iid)));
  const unsigned char expected[20] = {0x10, 0,    0,    0,    0x1f, 0xf6, 0x00, 0xa8, 0x25, 0x5d,
                                      0x1e, 0x43, 0xb1, 0xe9, 0x8c, 0x19, 0xac, 0x29, 0xa5, 0x09};
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), 20),
            std::string(reinterpret_cast<const char*>(expected), 20));
  EXPECT_NE(FindResourceExW(module, L"TYPELIB", MAKEINTRESOURCEW(1),
                            MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)),
            nullptr);
  EXPECT_NE(FindResourceExW(module, MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1), 1033), nullptr);

  // Exactly three resource types.
  int types = 0;
  EnumResourceTypesW(module, CountResourceType, reinterpret_cast<LONG_PTR>(&types));
  EXPECT_EQ(types, 3);

  const std::wstring path = DllPath();
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileFlagsMask, 0u);
  EXPECT_EQ(fixed->dwFileFlags, 0u);
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
  EXPECT_EQ(fixed->dwFileSubtype, 0u);
  EXPECT_EQ(fixed->dwFileDateMS | fixed->dwFileDateLS, 0u);
  WORD* translation = nullptr;
  UINT translationSize = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &translationSize));
  ASSERT_EQ(translationSize, 4u);
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 0x04B0);
  const struct {
    const wchar_t* key;
    const char* value;
  } strings[] = {
      {L"Comments", "N/A"},
      {L"LegalTrademarks", "N/A"},
      {L"FileVersion", "1.00"},
      {L"ProductVersion", "1.00"},
      {L"InternalName", "ztxgrp"},
      {L"OriginalFilename", "ztxgrp.dll"},
      {L"OLESelfRegister", ""},
      {L"CompanyName", "The ztxgrp developers"},
      {L"FileDescription", "ztxgrp 1.0 item designator grouping component"},
      {L"LegalCopyright", "Copyright (C) 2026 The ztxgrp developers. MIT License."},
      {L"ProductName", "ztxgrp"},
  };
  for (const auto& entry : strings) {
    SCOPED_TRACE(Narrow(entry.key));
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + entry.key;
    ASSERT_TRUE(
        VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length));
    EXPECT_EQ(Narrow(value), entry.value);
  }

  // The four exports by ordinal.
  const char* exports[] = {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                           "DllUnregisterServer"};
  for (WORD ordinal = 1; ordinal <= 4; ++ordinal) {
    SCOPED_TRACE(exports[ordinal - 1]);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))),
              reinterpret_cast<void*>(GetProcAddress(module, exports[ordinal - 1])));
    EXPECT_NE(GetProcAddress(module, exports[ordinal - 1]), nullptr);
  }
  FreeLibrary(module);
}

TEST(ModuleTest, FactoryRefusesOtherClassesAndCountsLiveObjects) {
  HMODULE module = LoadLibraryW(DllPath().c_str());
  ASSERT_NE(module, nullptr);
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
  auto getClassObject = reinterpret_cast<GetClassObject>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  auto canUnloadNow = reinterpret_cast<CanUnloadNow>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(
      getClassObject(IID_IDispatch, IID_IClassFactory, reinterpret_cast<void**>(factory.out())),
      CLASS_E_CLASSNOTAVAILABLE);
  ASSERT_EQ(
      getClassObject(CLSID_IclsGroup, IID_IClassFactory, reinterpret_cast<void**>(factory.out())),
      S_OK);
  EXPECT_EQ(canUnloadNow(), S_OK);

  ComPtr<IUnknown> aggregated;
  EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown*>(factory.get()), IID_IUnknown,
                                    reinterpret_cast<void**>(aggregated.out())),
            CLASS_E_NOAGGREGATION);
  ComPtr<IUnknown> refused;
  EXPECT_EQ(
      factory->CreateInstance(nullptr, IID_IClassFactory, reinterpret_cast<void**>(refused.out())),
      E_NOINTERFACE);
  EXPECT_EQ(canUnloadNow(), S_OK);  // the refused object is gone again

  std::vector<ComPtr<_IclsGroup>> objects(200);
  for (auto& object : objects) {
    ASSERT_EQ(
        factory->CreateInstance(nullptr, IID__IclsGroup, reinterpret_cast<void**>(object.out())),
        S_OK);
    VARIANT_BOOL valid = VARIANT_FALSE;
    Bstr text(u"R1-R3");
    EXPECT_EQ(object->IsValidRange(text.get(), &valid), S_OK);
  }
  EXPECT_EQ(canUnloadNow(), S_FALSE);
  // Reference counts go up and back down to zero.
  _IclsGroup* raw = objects[0].detach();
  EXPECT_EQ(raw->AddRef(), 2u);
  EXPECT_EQ(raw->Release(), 1u);
  ComPtr<ISupportErrorInfo> support;
  ASSERT_EQ(raw->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(support.out())),
            S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID__IclsGroup), S_OK);
  support = ComPtr<ISupportErrorInfo>();
  EXPECT_EQ(raw->Release(), 0u);
  objects.clear();
  EXPECT_EQ(canUnloadNow(), S_OK);

  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(canUnloadNow(), S_FALSE);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(canUnloadNow(), S_OK);
  factory = ComPtr<IClassFactory>();
  FreeLibrary(module);
}

}  // namespace
}  // namespace ztxgrp::com::testing
