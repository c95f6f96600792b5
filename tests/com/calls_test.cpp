// Calls as hosts make them: early bound through the operation table and late
// bound through IDispatch, with results, failure statuses, error information
// and the host's arguments left as they were.
#include <fstream>
#include <map>

#include "com_support.hpp"
#include "examples.hpp"
#include "host_arguments.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::com::testing {
namespace {

using examples::Operation;

struct CallResult {
  HRESULT status = E_FAIL;
  std::vector<std::string> items;  // the result list, or the IsValidRange answer
};

CallResult EarlyBound(_IclsGroup* object, Operation operation,
                      const std::vector<std::string>& input) {
  Variant argument;
  MakeTextArray(argument.get(), input);
  Variant result;
  result.get()->vt = VT_I4;  // must come back empty on failure
  CallResult call;
  switch (operation) {
    case Operation::Group:
      call.status = object->Group(*argument.get(), result.get());
      break;
    case Operation::Ungroup:
      call.status = object->Ungroup(*argument.get(), result.get());
      break;
    case Operation::UngroupItem: {
      Bstr text(std::u16string(input[0].begin(), input[0].end()));
      call.status = object->UngroupItem(text.get(), result.get());
      break;
    }
  }
  if (FAILED(call.status)) {
    EXPECT_EQ(result.get()->vt, VT_EMPTY);
  } else {
    call.items = ReadList(*result.get());
    LONG lower = -1;
    SafeArrayGetLBound(result.get()->parray, 1, &lower);
    EXPECT_EQ(lower, 0);
  }
  // The host's list is unchanged, whatever happened.
  if (operation != Operation::UngroupItem) {
    EXPECT_EQ(ReadList(*argument.get()), input);
  }
  return call;
}

// Invokes a method by name with one argument, as a script host does.
HRESULT LateBound(IDispatch* object, const wchar_t* name, VARIANT* argument, VARIANT* result,
                  EXCEPINFO* exception) {
  std::wstring copy = name;
  LPOLESTR names[] = {copy.data()};
  DISPID id = DISPID_UNKNOWN;
  const HRESULT found = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(found)) return found;
  DISPPARAMS params{argument, nullptr, 1, 0};
  UINT argumentError = 0;
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result,
                        exception, &argumentError);
}

const char* Name(Operation operation) {
  switch (operation) {
    case Operation::Group:
      return "Group";
    case Operation::Ungroup:
      return "Ungroup";
    case Operation::UngroupItem:
      return "UngroupItem";
  }
  return "";
}

TEST(EarlyBoundTest, WorkedExamplesGiveTheirResultsAndStatuses) {
  ComPtr<_IclsGroup> object = CreateByProgId();
  ASSERT_TRUE(object);
  for (const auto& example : examples::ListExamples()) {
    SCOPED_TRACE(std::string(Name(example.operation)) + " " +
                 ::testing::PrintToString(example.input));
    const CallResult call = EarlyBound(object.get(), example.operation, example.input);
    if (example.error != 0) {
      EXPECT_EQ(call.status, MAKE_HRESULT(1, FACILITY_CONTROL, example.error));
      const ErrorDetails error = TakeErrorInfo();
      EXPECT_TRUE(error.present);
      EXPECT_EQ(error.source, kTypedProgId);
      EXPECT_FALSE(error.description.empty());
    } else {
      EXPECT_EQ(call.status, S_OK);
      EXPECT_EQ(call.items, example.expected);
    }
  }
  for (const auto& example : examples::CheckExamples()) {
    SCOPED_TRACE(example.text);
    Bstr text(std::u16string(example.text.begin(), example.text.end()));
    VARIANT_BOOL valid = 7;
    EXPECT_EQ(object->IsValidRange(text.get(), &valid), S_OK);
    EXPECT_EQ(valid, example.valid ? VARIANT_TRUE : VARIANT_FALSE);
  }
}

TEST(EarlyBoundTest, FailureCarriesNumberDescriptionAndLeavesTheObjectUsable) {
  ComPtr<_IclsGroup> object = CreateByProgId();
  ASSERT_TRUE(object);
  Bstr text(u"R3-R1");
  Variant result;
  EXPECT_EQ(object->UngroupItem(text.get(), result.get()), static_cast<HRESULT>(0x800A0009));
  const ErrorDetails error = TakeErrorInfo();
  EXPECT_EQ(error.description, "Subscript out of range");
  EXPECT_EQ(error.source, kTypedProgId);
  Bstr good(u"R1-R2");
  Variant next;
  EXPECT_EQ(object->UngroupItem(good.get(), next.get()), S_OK);
  EXPECT_EQ(ReadList(*next.get()), (std::vector<std::string>{"R1", "R2"}));
}

TEST(LateBoundTest, WorkedExamplesAndExceptionsThroughInvoke) {
  ComPtr<_IclsGroup> object = CreateByProgId();
  ASSERT_TRUE(object);
  for (const auto& example : examples::ListExamples()) {
    SCOPED_TRACE(std::string(Name(example.operation)) + " " +
                 ::testing::PrintToString(example.input));
    Variant list;
    Variant argument;
    if (example.operation == Operation::UngroupItem) {
      argument.get()->vt = VT_BSTR;
      argument.get()->bstrVal =
          Bstr(std::u16string(example.input[0].begin(), example.input[0].end())).detach();
    } else {
      // Script hosts pass variables by reference.
      MakeTextArray(list.get(), example.input);
      argument.get()->vt = VT_BYREF | VT_VARIANT;
      argument.get()->pvarVal = list.get();
    }
    Variant result;
    EXCEPINFO exception{};
    const HRESULT status = LateBound(object.get(), Wide(Name(example.operation)).c_str(),
                                     argument.get(), result.get(), &exception);
    Bstr source = Bstr::Adopt(exception.bstrSource);
    Bstr description = Bstr::Adopt(exception.bstrDescription);
    Bstr help = Bstr::Adopt(exception.bstrHelpFile);
    if (example.error != 0) {
      EXPECT_EQ(status, DISP_E_EXCEPTION);
      EXPECT_EQ(exception.scode, MAKE_HRESULT(1, FACILITY_CONTROL, example.error));
      EXPECT_EQ(Utf16ToUtf8(Bstr::View(source.get())), kTypedProgId);
      EXPECT_FALSE(Bstr::View(description.get()).empty());
      EXPECT_EQ(result.get()->vt, VT_EMPTY);
    } else {
      EXPECT_EQ(status, S_OK);
      EXPECT_EQ(ReadList(*result.get()), example.expected);
    }
    if (example.operation != Operation::UngroupItem) {
      EXPECT_EQ(ReadList(*list.get()), example.input);
    }
  }
}

// The call table: arguments of every shape a host can hand in, careless or
// hostile, with the status and the result each method gives them.
nlohmann::json CallTable() {
  std::ifstream in(ZTXGRP_COM_CALLS);
  return nlohmann::json::parse(in);
}

HRESULT StatusNamed(const nlohmann::json& status) {
  if (status.is_number()) return MAKE_HRESULT(1, FACILITY_CONTROL, status.get<int>());
  static const std::map<std::string, HRESULT> named = {
      {"S_OK", S_OK}, {"E_POINTER", E_POINTER}, {"DISP_E_UNKNOWNNAME", DISP_E_UNKNOWNNAME}};
  return named.at(status.get<std::string>());
}

// A result as the table writes it: a list's texts, or a check's answer.
std::vector<std::string> ItemsOf(const VARIANT& result) {
  if (result.vt != VT_BOOL) return ReadList(result);
  if (result.boolVal == VARIANT_TRUE) return {"True"};
  if (result.boolVal == VARIANT_FALSE) return {"False"};
  return {"<bool " + std::to_string(result.boolVal) + ">"};
}

// The texts of the list an argument holds (by value or through one
// reference), to see that a call leaves the host's list as it was.
std::vector<std::string> ListHeldBy(const VARIANT& argument) {
  const VARIANT* held = argument.vt == (VT_BYREF | VT_VARIANT) ? argument.pvarVal : &argument;
  VARTYPE type = VT_EMPTY;
  if (!held || held->vt != (VT_ARRAY | VT_VARIANT) || !held->parray ||
      SafeArrayGetDim(held->parray) != 1 || FAILED(SafeArrayGetVartype(held->parray, &type)) ||
      type != VT_VARIANT)
    return {};
  return ReadList(*held);
}

CallResult CallEarly(_IclsGroup* object, const std::string& method, VARIANT& argument,
                     bool withResult) {
  Variant result;
  result.get()->vt = VT_I4;  // must come back empty on failure
  VARIANT* place = withResult ? result.get() : nullptr;
  CallResult call;
  if (method == "Group") {
    call.status = object->Group(argument, place);
  } else if (method == "Ungroup") {
    call.status = object->Ungroup(argument, place);
  } else if (method == "UngroupItem") {
    call.status = object->UngroupItem(argument.bstrVal, place);
  } else {
    VARIANT_BOOL valid = 7;
    call.status = object->IsValidRange(argument.bstrVal, withResult ? &valid : nullptr);
    result.get()->vt = VT_EMPTY;
    if (SUCCEEDED(call.status)) result.get()->vt = VT_BOOL, result.get()->boolVal = valid;
  }
  if (FAILED(call.status)) {
    if (withResult) {
      EXPECT_EQ(result.get()->vt, VT_EMPTY);
    }
  } else {
    call.items = ItemsOf(*result.get());
  }
  return call;
}

CallResult CallLate(IDispatch* object, const std::string& method, VARIANT& argument) {
  Variant result;
  EXCEPINFO exception{};
  CallResult call;
  call.status = LateBound(object, Wide(method).c_str(), &argument, result.get(), &exception);
  Bstr source = Bstr::Adopt(exception.bstrSource);
  Bstr description = Bstr::Adopt(exception.bstrDescription);
  Bstr help = Bstr::Adopt(exception.bstrHelpFile);
  if (call.status == DISP_E_EXCEPTION) {
    call.status = exception.scode;
    EXPECT_EQ(Utf16ToUtf8(Bstr::View(source.get())), kTypedProgId);
    EXPECT_FALSE(Bstr::View(description.get()).empty());
    EXPECT_EQ(result.get()->vt, VT_EMPTY);
  } else if (SUCCEEDED(call.status)) {
    call.items = ItemsOf(*result.get());
  }
  return call;
}

TEST(CallTableTest, EveryArgumentGivesItsStatusAndResult) {
  ComPtr<_IclsGroup> object = CreateByProgId();
  ASSERT_TRUE(object);
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.out())), S_OK);
  const nlohmann::json table = CallTable();
  ASSERT_FALSE(table["calls"].empty());
  for (const auto& row : table["calls"]) {
    SCOPED_TRACE(row["name"].get<std::string>());
    HostArguments arguments(object.get());
    VARIANT& argument = arguments.Build(row["argument"]);
    const std::vector<std::string> before = ListHeldBy(argument);
    for (const std::string method : row["methods"]) {
      for (const std::string& bound : row.value("bound", std::vector<std::string>{"early"})) {
        SCOPED_TRACE(method + ", bound " + bound);
        const CallResult call =
            bound == "late" ? CallLate(dispatch.get(), method, argument)
                            : CallEarly(object.get(), method, argument, row.value("out", true));
        EXPECT_EQ(call.status, StatusNamed(row["status"]));
        if (call.status == S_OK && row.contains("items")) {
          EXPECT_EQ(call.items, row["items"][method].get<std::vector<std::string>>());
        }
        EXPECT_EQ(ListHeldBy(argument), before);
      }
    }
  }
}

TEST(CallTableTest, NamesResolveToTheirMemberIdentifiers) {
  ComPtr<_IclsGroup> object = CreateByProgId();
  ASSERT_TRUE(object);
  const nlohmann::json table = CallTable();
  ASSERT_FALSE(table["members"].empty());
  for (const auto& member : table["members"]) {
    SCOPED_TRACE(member["name"].get<std::string>());
    std::wstring name = Wide(member["name"]);
    LPOLESTR names[] = {name.data()};
    DISPID id = 0;
    const HRESULT status = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    EXPECT_EQ(status, StatusNamed(member.value("status", nlohmann::json("S_OK"))));
    if (member.contains("id")) {
      EXPECT_EQ(id, static_cast<DISPID>(std::stoul(member["id"].get<std::string>(), nullptr, 16)));
    }
  }
  UINT count = 0;
  EXPECT_EQ(object->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
}

}  // namespace
}  // namespace ztxgrp::com::testing
