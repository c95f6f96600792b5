// Calls as hosts make them: early bound through the operation table and late
// bound through IDispatch, with results, failure statuses, error information
// and the host's arguments left as they were.
#include <cstring>

#include "com_support.hpp"
#include "examples.hpp"
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

// Arguments a careless or hostile host can hand in: by-reference elements
// with null pointers, arrays whose declared element type is not what they
// hold, and references that point at themselves. Each fails with 13 (or
// succeeds where automation allows it), and nothing is read through a wild
// pointer.
TEST(EarlyBoundTest, HostileArgumentsAreRefusedWithTypeMismatch) {
  ComPtr<_IclsGroup> object = CreateByProgId();
  ASSERT_TRUE(object);
  // One element in a VT_VARIANT array, followed by R2.
  auto withElement = [](VARIANT element) {
    SafeArray array(SafeArrayCreateVector(VT_VARIANT, 0, 2));
    VARIANT* data = nullptr;
    SafeArrayAccessData(array.get(), reinterpret_cast<void**>(&data));
    data[0] = element;
    data[1].vt = VT_BSTR;
    data[1].bstrVal = Bstr(u"R2").detach();
    SafeArrayUnaccessData(array.get());
    return array;
  };
  auto byReference = [](VARTYPE type, void* pointer) {
    VARIANT element;
    element.vt = VT_BYREF | type;
    element.byref = pointer;
    return element;
  };
  Bstr text(u"R1");
  BSTR textPointer = text.get();
  VARIANT textReference = byReference(VT_BSTR, &textPointer);
  VARIANT selfReference;
  selfReference.vt = VT_BYREF | VT_VARIANT;
  selfReference.pvarVal = &selfReference;
  VARIANT first, second;
  first.vt = second.vt = VT_BYREF | VT_VARIANT;
  first.pvarVal = &second;
  second.pvarVal = &first;

  const HRESULT mismatch = static_cast<HRESULT>(0x800A000D);
  const struct {
    const char* name;
    SafeArray array;       // the list, when the argument is an array
    VARTYPE declared;      // the type that the argument's VARIANT claims
    const VARIANT* other;  // else this argument
    HRESULT status;
    std::vector<std::string> items;
  } cases[] = {
      {"null BSTR reference",
       withElement(byReference(VT_BSTR, nullptr)),
       VT_VARIANT,
       nullptr,
       mismatch,
       {}},
      {"null I4 reference",
       withElement(byReference(VT_I4, nullptr)),
       VT_VARIANT,
       nullptr,
       mismatch,
       {}},
      {"null VARIANT reference",
       withElement(byReference(VT_VARIANT, nullptr)),
       VT_VARIANT,
       nullptr,
       mismatch,
       {}},
      {"null DECIMAL reference",
       withElement(byReference(VT_DECIMAL, nullptr)),
       VT_VARIANT,
       nullptr,
       mismatch,
       {}},
      {"null array reference",
       withElement(byReference(VT_ARRAY | VT_VARIANT, nullptr)),
       VT_VARIANT,
       nullptr,
       mismatch,
       {}},
      {"element refers to itself", withElement(selfReference), VT_VARIANT, nullptr, mismatch, {}},
      {"element refers to a text through a VARIANT",
       withElement(byReference(VT_VARIANT, &textReference)),
       VT_VARIANT,
       nullptr,
       S_OK,
       {"R1-R2"}},
      {"integers declared as texts",
       SafeArray(SafeArrayCreateVector(VT_I8, 0, 2)),
       VT_BSTR,
       nullptr,
       mismatch,
       {}},
      {"decimals declared as VARIANTs",
       SafeArray(SafeArrayCreateVector(VT_DECIMAL, 0, 2)),
       VT_VARIANT,
       nullptr,
       mismatch,
       {}},
      {"texts declared as integers",
       SafeArray(SafeArrayCreateVector(VT_BSTR, 0, 2)),
       VT_I4,
       nullptr,
       mismatch,
       {}},
      {"argument refers to itself", SafeArray(nullptr), VT_EMPTY, &selfReference, mismatch, {}},
      {"two references in a cycle", SafeArray(nullptr), VT_EMPTY, &first, mismatch, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    VARIANT argument;
    if (c.other) {
      argument = *c.other;
    } else {
      argument.vt = VT_ARRAY | c.declared;
      argument.parray = c.array.get();
    }
    Variant result;
    EXPECT_EQ(object->Group(argument, result.get()), c.status);
    if (c.status == S_OK) {
      EXPECT_EQ(ReadList(*result.get()), c.items);
    }
    Variant again;
    EXPECT_EQ(object->Ungroup(argument, again.get()), c.status);
  }
}

TEST(LateBoundTest, NamesResolveToTheirMemberIdentifiers) {
  ComPtr<_IclsGroup> object = CreateByProgId();
  ASSERT_TRUE(object);
  const struct {
    const wchar_t* name;
    DISPID id;
  } members[] = {{L"Group", 0x60030000},
                 {L"Ungroup", 0x60030001},
                 {L"IsValidRange", 0x60030002},
                 {L"UngroupItem", 0x60030003},
                 {L"group", 0x60030000}};
  for (const auto& member : members) {
    std::wstring name = member.name;
    LPOLESTR names[] = {name.data()};
    DISPID id = 0;
    EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    EXPECT_EQ(id, member.id);
  }
  std::wstring unknown = L"Frobnicate";
  LPOLESTR names[] = {unknown.data()};
  DISPID id = 0;
  EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id),
            DISP_E_UNKNOWNNAME);
  UINT count = 0;
  EXPECT_EQ(object->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
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
  // A number is coerced to the declared text parameter.
  Variant number;
  number.get()->vt = VT_I2;
  number.get()->iVal = 5;
  Variant answer;
  EXPECT_EQ(LateBound(object.get(), L"IsValidRange", number.get(), answer.get(), nullptr), S_OK);
  EXPECT_EQ(answer.get()->vt, VT_BOOL);
  EXPECT_EQ(answer.get()->boolVal, VARIANT_FALSE);
  Variant items;
  EXPECT_EQ(LateBound(object.get(), L"UngroupItem", number.get(), items.get(), nullptr), S_OK);
  EXPECT_EQ(ReadList(*items.get()), (std::vector<std::string>{"5"}));
}

// Builds argument variants of many shapes.
class ArgumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    object_ = CreateByProgId();
    ASSERT_TRUE(object_);
  }
  // Group on `argument`: the status, and the result items when it succeeded.
  CallResult Group(VARIANT& argument) {
    Variant result;
    CallResult call;
    call.status = object_->Group(argument, result.get());
    if (SUCCEEDED(call.status)) call.items = ReadList(*result.get());
    if (FAILED(call.status)) {
      EXPECT_EQ(result.get()->vt, VT_EMPTY);
    }
    return call;
  }
  ComPtr<_IclsGroup> object_;
};

TEST_F(ArgumentTest, ArraysOfEveryElementKindByValueAndByReference) {
  {
    Variant texts;
    MakeTextArray(texts.get(), {"R2", "R1"}, 0, VT_BSTR);
    EXPECT_EQ(Group(*texts.get()).items, (std::vector<std::string>{"R1-R2"}));
    SAFEARRAY* array = texts.get()->parray;
    VARIANT byRef;
    byRef.vt = VT_BYREF | VT_ARRAY | VT_BSTR;
    byRef.pparray = &array;
    EXPECT_EQ(Group(byRef).items, (std::vector<std::string>{"R1-R2"}));
  }
  {
    SafeArray numbers(SafeArrayCreateVector(VT_I4, 1, 3));
    LONG* data = nullptr;
    SafeArrayAccessData(numbers.get(), reinterpret_cast<void**>(&data));
    data[0] = 3, data[1] = 1, data[2] = 20;
    SafeArrayUnaccessData(numbers.get());
    VARIANT argument;
    argument.vt = VT_ARRAY | VT_I4;
    argument.parray = numbers.get();
    // Numbers read as their decimal texts, which start with a digit: bare items.
    EXPECT_EQ(Group(argument).items, (std::vector<std::string>{"1", "20", "3"}));
  }
  // An integer -1 reads as its text "-1", which is a number as a whole:
  // runtime error 13, from a 16-bit and from a 32-bit array.
  for (VARTYPE type : {VARTYPE(VT_I2), VARTYPE(VT_I4)}) {
    SafeArray numbers(SafeArrayCreateVector(type, 0, 2));
    void* data = nullptr;
    SafeArrayAccessData(numbers.get(), &data);
    if (type == VT_I2)
      static_cast<SHORT*>(data)[0] = -1, static_cast<SHORT*>(data)[1] = 5;
    else
      static_cast<LONG*>(data)[0] = -1, static_cast<LONG*>(data)[1] = 5;
    SafeArrayUnaccessData(numbers.get());
    VARIANT argument;
    argument.vt = VT_ARRAY | type;
    argument.parray = numbers.get();
    EXPECT_EQ(Group(argument).status, MAKE_HRESULT(1, FACILITY_CONTROL, 13)) << type;
  }
  {
    SafeArray reals(SafeArrayCreateVector(VT_R8, 0, 2));
    double* data = nullptr;
    SafeArrayAccessData(reals.get(), reinterpret_cast<void**>(&data));
    data[0] = 1.5, data[1] = 0.25;
    SafeArrayUnaccessData(reals.get());
    VARIANT argument;
    argument.vt = VT_ARRAY | VT_R8;
    argument.parray = reals.get();
    EXPECT_EQ(Group(argument).items, (std::vector<std::string>{"0.25", "1.5"}));
  }
  {
    // A list based at 1, as some hosts build them, by reference. A reference
    // to a reference is not an automation value and is refused.
    Variant list;
    MakeTextArray(list.get(), {"R3", "R1", "R2"}, 1);
    VARIANT inner;
    inner.vt = VT_BYREF | VT_VARIANT;
    inner.pvarVal = list.get();
    EXPECT_EQ(Group(inner).items, (std::vector<std::string>{"R1-R3"}));
    VARIANT outer;
    outer.vt = VT_BYREF | VT_VARIANT;
    outer.pvarVal = &inner;
    EXPECT_EQ(Group(outer).status, static_cast<HRESULT>(0x800A000D));
  }
}

// Reals from a host are written as the platform writes them, whether the
// call is bound early or late.
TEST_F(ArgumentTest, RealsAreWrittenAsThePlatformWritesThem) {
  const double doubles[] = {100000.0, 1e20, 0.0001, 1e6};
  const float singles[] = {1.1f, 0.3f};
  SafeArray reals(SafeArrayCreateVector(VT_R8, 0, 4));
  SafeArray floats(SafeArrayCreateVector(VT_R4, 0, 2));
  void* data = nullptr;
  SafeArrayAccessData(reals.get(), &data);
  std::memcpy(data, doubles, sizeof doubles);
  SafeArrayUnaccessData(reals.get());
  SafeArrayAccessData(floats.get(), &data);
  std::memcpy(data, singles, sizeof singles);
  SafeArrayUnaccessData(floats.get());
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(object_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.out())), S_OK);
  const struct {
    SAFEARRAY* array;
    VARTYPE type;
    std::vector<std::string> items;  // bare items, sorted by their texts
  } cases[] = {
      {reals.get(), VT_R8, {"0.0001", "100000", "1000000", "1E+20"}},
      {floats.get(), VT_R4, {"0.3", "1.1"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    VARIANT argument;
    argument.vt = VT_ARRAY | c.type;
    argument.parray = c.array;
    EXPECT_EQ(Group(argument).items, c.items);
    Variant result;
    EXCEPINFO exception{};
    ASSERT_EQ(LateBound(dispatch.get(), L"Group", &argument, result.get(), &exception), S_OK);
    EXPECT_EQ(ReadList(*result.get()), c.items);
  }
}

// Where a bound and an element both fail, the first error wins: the sort
// never reads the only element of a list at -32768, but fails there itself.
TEST_F(ArgumentTest, BoundErrorsAndElementErrorsComeInOrder) {
  const struct {
    std::vector<std::string> items;
    LONG lowerBound;
    HRESULT status;
  } cases[] = {
      {{".5"}, -32768, static_cast<HRESULT>(0x800A0006)},
      {{".5"}, -32767, static_cast<HRESULT>(0x800A000D)},
      {{"R1", ".5"}, -32768, static_cast<HRESULT>(0x800A000D)},
      {{"R1", "R2"}, -32768, static_cast<HRESULT>(0x800A0006)},
      {{".5"}, 32767, static_cast<HRESULT>(0x800A0006)},
      {{"R1", ".5"}, 32766, static_cast<HRESULT>(0x800A000D)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lowerBound);
    Variant argument;
    MakeTextArray(argument.get(), c.items, c.lowerBound);
    EXPECT_EQ(Group(*argument.get()).status, c.status);
  }
}

TEST_F(ArgumentTest, BadArgumentsFailClearly) {
  const HRESULT typeMismatch = static_cast<HRESULT>(0x800A000D);
  const HRESULT subscript = static_cast<HRESULT>(0x800A0009);
  const HRESULT overflow = static_cast<HRESULT>(0x800A0006);
  const HRESULT invalidNull = static_cast<HRESULT>(0x800A005E);

  VARIANT text;
  text.vt = VT_BSTR;
  text.bstrVal = nullptr;
  EXPECT_EQ(Group(text).status, typeMismatch);
  VARIANT empty;
  VariantInit(&empty);
  EXPECT_EQ(Group(empty).status, typeMismatch);
  VARIANT nullReference;
  nullReference.vt = VT_BYREF | VT_VARIANT;
  nullReference.pvarVal = nullptr;
  EXPECT_EQ(Group(nullReference).status, typeMismatch);
  VARIANT noArray;
  noArray.vt = VT_ARRAY | VT_VARIANT;
  noArray.parray = nullptr;
  EXPECT_EQ(Group(noArray).status, subscript);

  SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
  SafeArray square(SafeArrayCreate(VT_VARIANT, 2, bounds));
  VARIANT twoDimensions;
  twoDimensions.vt = VT_ARRAY | VT_VARIANT;
  twoDimensions.parray = square.get();
  EXPECT_EQ(Group(twoDimensions).status, subscript);

  for (LONG lower : {40000L, -40000L, 32767L}) {
    SCOPED_TRACE(lower);
    Variant list;
    MakeTextArray(list.get(), {"R1", "R2"}, lower);
    EXPECT_EQ(Group(*list.get()).status, overflow);
  }

  // Elements that cannot be read as text.
  auto withElement = [&](const VARIANT& element) {
    SafeArray array(SafeArrayCreateVector(VT_VARIANT, 0, 2));
    LONG index = 0;
    Variant first;
    first.get()->vt = VT_BSTR;
    first.get()->bstrVal = Bstr(u"R1").detach();
    SafeArrayPutElement(array.get(), &index, first.get());
    index = 1;
    SafeArrayPutElement(array.get(), &index, const_cast<VARIANT*>(&element));
    VARIANT argument;
    argument.vt = VT_ARRAY | VT_VARIANT;
    argument.parray = array.get();
    return Group(argument).status;
  };
  VARIANT null;
  null.vt = VT_NULL;
  EXPECT_EQ(withElement(null), invalidNull);
  VARIANT unknown;
  unknown.vt = VT_UNKNOWN;
  unknown.punkVal = object_.get();
  EXPECT_EQ(withElement(unknown), typeMismatch);
  VARIANT dispatch;
  dispatch.vt = VT_DISPATCH;
  dispatch.pdispVal = object_.get();
  EXPECT_EQ(withElement(dispatch), typeMismatch);
  Variant nested;
  MakeTextArray(nested.get(), {"R1"});
  EXPECT_EQ(withElement(*nested.get()), typeMismatch);

  // Out-parameters that cannot be written.
  Variant list;
  MakeTextArray(list.get(), {"R1"});
  EXPECT_EQ(object_->Group(*list.get(), nullptr), E_POINTER);
  EXPECT_EQ(object_->Ungroup(*list.get(), nullptr), E_POINTER);
  EXPECT_EQ(object_->UngroupItem(nullptr, nullptr), E_POINTER);
  EXPECT_EQ(object_->IsValidRange(nullptr, nullptr), E_POINTER);
}

TEST_F(ArgumentTest, NullTextIsTheEmptyText) {
  VARIANT_BOOL valid = VARIANT_TRUE;
  EXPECT_EQ(object_->IsValidRange(nullptr, &valid), S_OK);
  EXPECT_EQ(valid, VARIANT_FALSE);
  Variant result;
  EXPECT_EQ(object_->UngroupItem(nullptr, result.get()), S_OK);
  EXPECT_EQ(ReadList(*result.get()), (std::vector<std::string>{""}));
}

TEST_F(ArgumentTest, EmptyListGroupsToOneEmptyElement) {
  Variant list;
  MakeTextArray(list.get(), {});
  EXPECT_EQ(Group(*list.get()).items, (std::vector<std::string>{"<empty>"}));
}

}  // namespace
}  // namespace ztxgrp::com::testing
