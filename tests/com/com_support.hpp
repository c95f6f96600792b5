// Helpers for the Windows tests: COM initialisation, the component's path,
// lists as a host builds them, results read back, and running programs.
#pragma once

#include <gtest/gtest.h>
#include <oleauto.h>
#include <windows.h>

#include <string>
#include <vector>

#include "ole_values.hpp"
#include "ztxgrp.h"

namespace ztxgrp::com::testing {

std::wstring Wide(const std::string& text);
std::string Narrow(const std::wstring& text);
std::u16string Wide16(const std::string& text);  // UTF-8 to a BSTR's units
std::wstring DllPath();

// Creates an object through the registry, by ProgID.
ComPtr<_IclsGroup> CreateByProgId(HRESULT* status = nullptr);

// A VARIANT holding a one-dimensional array of VARIANT texts (or of BSTR).
void MakeTextArray(VARIANT* out, const std::vector<std::string>& items, LONG lowerBound = 0,
                   VARTYPE elementType = VT_VARIANT);

// The texts of a VT_ARRAY|VT_VARIANT result; "<empty>" for an empty element
// and "<vt N>" for any other kind.
std::vector<std::string> ReadList(const VARIANT& list);

// The ProgID as hosts type it, CreateObject("ztxgrp.IclsGroup"): what
// registration and error reports must keep, stated once for the tests.
inline constexpr char kTypedProgId[] = "ztxgrp.IclsGroup";
inline const std::wstring kTypedProgIdWide(std::begin(kTypedProgId), std::end(kTypedProgId) - 1);

// Runs a program inside Wine's Windows, waits, and returns its exit code.
DWORD RunProgram(const std::wstring& commandLine);

// Registers (or unregisters) the DLL with regsvr32 /s.
DWORD Regsvr32(bool unregister = false);

// The description and source of the thread's error information.
struct ErrorDetails {
  bool present = false;
  std::string description;
  std::string source;
};
ErrorDetails TakeErrorInfo();

}  // namespace ztxgrp::com::testing
