#include "com_support.hpp"

#include <cstdio>

namespace ztxgrp::com::testing {

std::wstring Wide(const std::string& text) {
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length);
  return out;
}

std::string Narrow(const std::wstring& text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length,
                      nullptr, nullptr);
  return out;
}

std::u16string Wide16(const std::string& text) {
  const std::wstring wide = Wide(text);
  return std::u16string(wide.begin(), wide.end());
}

std::wstring DllPath() {
  return Wide(ZTXGRP_DLL_PATH);
}

ComPtr<_IclsGroup> CreateByProgId(HRESULT* status) {
  ComPtr<_IclsGroup> object;
  CLSID clsid{};
  HRESULT hr = CLSIDFromProgID(kTypedProgIdWide.c_str(), &clsid);
  if (SUCCEEDED(hr))
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__IclsGroup,
                          reinterpret_cast<void**>(object.out()));
  if (status) *status = hr;
  return object;
}

void MakeTextArray(VARIANT* out, const std::vector<std::string>& items, LONG lowerBound,
                   VARTYPE elementType) {
  SAFEARRAYBOUND bound{static_cast<ULONG>(items.size()), lowerBound};
  SafeArray array(SafeArrayCreate(elementType, 1, &bound));
  for (std::size_t k = 0; k < items.size(); ++k) {
    LONG index = lowerBound + static_cast<LONG>(k);
    Bstr text(Wide16(items[k]));
    if (elementType == VT_BSTR) {
      SafeArrayPutElement(array.get(), &index, text.get());
    } else {
      VARIANT element;
      element.vt = VT_BSTR;
      element.bstrVal = text.get();
      SafeArrayPutElement(array.get(), &index, &element);  // copies the text
    }
  }
  out->vt = VT_ARRAY | elementType;
  out->parray = array.detach();
}

std::vector<std::string> ReadList(const VARIANT& list) {
  std::vector<std::string> texts;
  if (list.vt != (VT_ARRAY | VT_VARIANT))
    return {"<not a list: vt " + std::to_string(list.vt) + ">"};
  LONG lower = 0, upper = -1;
  SafeArrayGetLBound(list.parray, 1, &lower);
  SafeArrayGetUBound(list.parray, 1, &upper);
  for (LONG index = lower; index <= upper; ++index) {
    Variant element;
    SafeArrayGetElement(list.parray, &index, element.get());
    const VARIANT& v = *element.get();
    if (v.vt == VT_BSTR)
      texts.push_back(Narrow(std::wstring(v.bstrVal, SysStringLen(v.bstrVal))));
    else if (v.vt == VT_EMPTY)
      texts.push_back("<empty>");
    else
      texts.push_back("<vt " + std::to_string(v.vt) + ">");
  }
  return texts;
}

DWORD RunProgram(const std::wstring& commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  // Wine now and then fails to start a process while the previous one is
  // still leaving; a few tries keep that from failing a registration check.
  bool started = false;
  for (int attempt = 0; attempt < 5 && !started; ++attempt) {
    std::wstring line = commandLine;
    started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process);
    if (!started) {
      std::fprintf(stderr, "could not start %ls (error %lu)\n", commandLine.c_str(),
                   static_cast<unsigned long>(GetLastError()));
      Sleep(500);
    }
  }
  if (!started) return static_cast<DWORD>(-1);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

DWORD Regsvr32(bool unregister) {
  return RunProgram(std::wstring(L"regsvr32.exe /s ") + (unregister ? L"/u " : L"") + L"\"" +
                    DllPath() + L"\"");
}

ErrorDetails TakeErrorInfo() {
  ErrorDetails details;
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.out()) != S_OK || !info) return details;
  details.present = true;
  Bstr description, source;
  info->GetDescription(description.out());
  info->GetSource(source.out());
  auto text = [](const Bstr& b) {
    const std::u16string_view view = Bstr::View(b.get());
    return Narrow(std::wstring(view.begin(), view.end()));
  };
  details.description = text(description);
  details.source = text(source);
  return details;
}

}  // namespace ztxgrp::com::testing
