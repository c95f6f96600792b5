// The automation value wrappers and conversions alone, without an object.
#include "com_support.hpp"
#include "error_info.hpp"
#include "ztxgrp/element_text.hpp"
#include "ztxgrp/runtime_error.hpp"

#include <cstring>

namespace ztxgrp::com::testing {
namespace {

int ErrorOf(const VARIANT& argument) {
  try {
    ListFromVariant(argument);
  } catch (const RuntimeError& error) {
    return error.number();
  }
  return 0;
}

TEST(OleValuesTest, ReadsElementKindsAsTheEngineExpects) {
  SafeArray array(SafeArrayCreateVector(VT_VARIANT, -1, 9));
  VARIANT* data = nullptr;
  SafeArrayAccessData(array.get(), reinterpret_cast<void**>(&data));
  data[0].vt = VT_BSTR, data[0].bstrVal = Bstr(u"R1").detach();
  data[1].vt = VT_BSTR, data[1].bstrVal = nullptr;
  data[2].vt = VT_I2, data[2].iVal = -7;
  data[3].vt = VT_R8, data[3].dblVal = 2.5;
  data[4].vt = VT_BOOL, data[4].boolVal = VARIANT_TRUE;
  data[5].vt = VT_NULL;
  data[6].vt = VT_UI8, data[6].ullVal = 18446744073709551615ull;
  data[7].vt = VT_CY, data[7].cyVal.int64 = 15000;  // 1.5
  // data[8] stays empty
  SafeArrayUnaccessData(array.get());
  VARIANT argument;
  argument.vt = VT_ARRAY | VT_VARIANT;
  argument.parray = array.get();
  const Value list = ListFromVariant(argument);
  ASSERT_EQ(list.list().elements.size(), 9u);
  EXPECT_EQ(list.list().lowerBound, -1);
  const auto& e = list.list().elements;
  EXPECT_EQ(e[0], Value(u"R1"));
  EXPECT_EQ(e[1], Value(u""));
  EXPECT_EQ(e[2], Value(-7));
  EXPECT_EQ(e[3], Value(2.5));
  EXPECT_EQ(e[4], Value(true));
  EXPECT_EQ(e[5], Value(Null{}));
  EXPECT_EQ(e[6], Value(u"18446744073709551615"));
  EXPECT_EQ(e[7], Value(u"1.5"));
  EXPECT_TRUE(e[8].isEmpty());
}

// Reals become the texts that the platform's own conversion writes, in
// arrays of reals and in VARIANT elements alike.
TEST(OleValuesTest, RealsReadAsThePlatformWritesThem) {
  const double doubles[] = {1.5,
                            -7.25,
                            100000.0,
                            1e6,
                            123456789012345.0,
                            0.0001,
                            0.1 + 0.2,
                            1e15,
                            1e20,
                            1e-5,
                            1.23456789012346e17,
                            0.0,
                            32767.5,
                            2.5e-300,
                            1.7976931348623157e308,
                            999999999999999.0,
                            -0.0};
  const float singles[] = {1.1f, 100000.0f, 0.0001f, 1e20f,      1e-5f,
                           0.3f, -2.5f,     1e7f,    1234567.0f, 3.4028235e38f};
  // The element that a one-element array of `type` holding `value` becomes,
  // read as text, once as the array's own type and once inside a VARIANT.
  auto readBoth = [](VARTYPE type, const void* value, std::size_t size) {
    std::vector<std::u16string> texts;
    for (const VARTYPE arrayType : {type, static_cast<VARTYPE>(VT_VARIANT)}) {
      SafeArray array(SafeArrayCreateVector(arrayType, 0, 1));
      void* data = nullptr;
      SafeArrayAccessData(array.get(), &data);
      if (arrayType == VT_VARIANT) {
        VARIANT* element = static_cast<VARIANT*>(data);
        element->vt = type;
        std::memcpy(&element->dblVal, value, size);
      } else {
        std::memcpy(data, value, size);
      }
      SafeArrayUnaccessData(array.get());
      VARIANT argument;
      argument.vt = VT_ARRAY | arrayType;
      argument.parray = array.get();
      texts.push_back(ElementText(ListFromVariant(argument).list().elements.at(0)));
    }
    return texts;
  };
  // Each value against the platform's conversion of its type (in US English).
  auto check = [&](auto value, VARTYPE type, auto platformText) {
    SCOPED_TRACE(value);
    Bstr expected;
    ASSERT_EQ(platformText(value, 0x409, 0, expected.out()), S_OK);
    for (const std::u16string& text : readBoth(type, &value, sizeof value))
      EXPECT_EQ(text, Bstr::View(expected.get()));
  };
  for (const double value : doubles) check(value, VT_R8, VarBstrFromR8);
  for (const float value : singles) check(value, VT_R4, VarBstrFromR4);
}

TEST(OleValuesTest, RejectsWhatIsNoList) {
  VARIANT number;
  number.vt = VT_I4;
  number.lVal = 1;
  EXPECT_EQ(ErrorOf(number), 13);
  VARIANT noArray;
  noArray.vt = VT_ARRAY | VT_BSTR;
  noArray.parray = nullptr;
  EXPECT_EQ(ErrorOf(noArray), 9);
  VARIANT nullArrayReference;
  nullArrayReference.vt = VT_BYREF | VT_ARRAY | VT_VARIANT;
  nullArrayReference.pparray = nullptr;
  EXPECT_EQ(ErrorOf(nullArrayReference), 13);
  // Declared as an array of VARIANT, holding 4-byte integers.
  SafeArray numbers(SafeArrayCreateVector(VT_I4, 0, 2));
  VARIANT mislabelled;
  mislabelled.vt = VT_ARRAY | VT_VARIANT;
  mislabelled.parray = numbers.get();
  EXPECT_EQ(ErrorOf(mislabelled), 13);
}

TEST(OleValuesTest, WritesResultListsOfTexts) {
  ItemList list;
  list.elements = {Value(u"C2"), Value(), Value(u"R1-R3")};
  Variant out;
  VariantFromList(list, out.get());
  EXPECT_EQ(out.get()->vt, VT_ARRAY | VT_VARIANT);
  EXPECT_EQ(ReadList(*out.get()), (std::vector<std::string>{"C2", "<empty>", "R1-R3"}));
  Variant moved(std::move(out));
  EXPECT_EQ(out.get()->vt, VT_EMPTY);
  VARIANT target;
  moved.DetachTo(&target);
  EXPECT_EQ(moved.get()->vt, VT_EMPTY);
  Variant owner;
  *owner.get() = target;  // freed by its owner
  EXPECT_EQ(Bstr::View(nullptr), u"");
}

TEST(ErrorInfoTest, FailuresBecomeStatusesWithErrorInformation) {
  const struct {
    const char* name;
    HRESULT (*body)();
    HRESULT status;
    const char* description;
  } cases[] = {
      {"runtime error", [] { return Guard([]() -> HRESULT { Raise(ErrorNumber::Overflow); }); },
       static_cast<HRESULT>(0x800A0006), "Overflow"},
      {"memory exhausted", [] { return Guard([]() -> HRESULT { throw std::bad_alloc(); }); },
       static_cast<HRESULT>(0x800A0007), "Out of memory"},
      {"success", [] { return Guard([] { return S_OK; }); }, S_OK, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetErrorInfo(0, nullptr);
    EXPECT_EQ(c.body(), c.status);
    const ErrorDetails error = TakeErrorInfo();
    EXPECT_EQ(error.present, c.description != nullptr);
    if (c.description) {
      EXPECT_EQ(error.description, c.description);
      EXPECT_EQ(error.source, kTypedProgId);
    }
  }
}

}  // namespace
}  // namespace ztxgrp::com::testing
