// The ztxgrp add-in for LibreOffice Calc: a UNO component whose methods
// are worksheet functions (XDesignators), described for the Function
// Wizard (XAddIn). Every failure becomes an IllegalArgumentException,
// which Calc shows as its error value for a bad argument (Err:502); its
// message holds the runtime error's number and description.
#include <uno/lbnames.h>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/lang/XServiceName.hpp>
#include <com/sun/star/sheet/XAddIn.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <cppuhelper/factory.hxx>
#include <cppuhelper/implbase4.hxx>
#include <cppuhelper/implementationentry.hxx>
#include <cppuhelper/supportsservice.hxx>
#include <ztxgrp/calc/XDesignators.hpp>

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>
#include <vector>

#include "designator_cells.hpp"
#include "functions.hpp"
#include "ztxgrp/failure.hpp"
#include "ztxgrp/parts_options.hpp"
#include "ztxgrp/utf.hpp"

namespace css = com::sun::star;
using css::uno::Any;
using css::uno::Sequence;
using rtl::OUString;

namespace ztxgrp::calc {
namespace {

constexpr std::u16string_view kImplementationName = u"org.ztxgrp.calc.Designators";
constexpr std::u16string_view kServiceName = u"org.ztxgrp.calc.DesignatorFunctions";
constexpr std::u16string_view kAddInService = u"com.sun.star.sheet.AddIn";

// UNO's code units are 16-bit (sal_Unicode), as char16_t is.
OUString Text(std::u16string_view text) {
  return OUString(reinterpret_cast<const sal_Unicode*>(text.data()),
                  static_cast<sal_Int32>(text.size()));
}

std::u16string_view View(const OUString& text) {
  return {reinterpret_cast<const char16_t*>(text.getStr()),
          static_cast<std::size_t>(text.getLength())};
}

OUString Text(std::string_view utf8) {
  return Text(std::u16string_view(Utf8ToUtf16(utf8)));
}

[[noreturn]] void Refuse(const std::string& message, sal_Int16 argument) {
  throw css::lang::IllegalArgumentException(Text(std::string_view(message)), nullptr, argument);
}

using Cells = Sequence<Sequence<Any>>;

// One cell as Calc passes it.
void AppendValue(const Any& value, std::vector<SheetValue>& values, sal_Int16 argument) {
  switch (value.getValueTypeClass()) {
    case css::uno::TypeClass_VOID:
      values.push_back({});
      return;
    case css::uno::TypeClass_STRING: {
      values.push_back({SheetValue::Kind::Text, std::u16string(View(value.get<OUString>())), 0});
      return;
    }
    case css::uno::TypeClass_DOUBLE:
    case css::uno::TypeClass_LONG:
    case css::uno::TypeClass_SHORT:
    case css::uno::TypeClass_BYTE:
      values.push_back({SheetValue::Kind::Number, {}, value.get<double>()});
      return;
    default:
      break;
  }
  Refuse("a cell, a range or a text is expected", argument);
}

// A range's rows of cells, row after row.
std::vector<SheetValue> ValuesOf(const Cells& cells, sal_Int16 argument) {
  std::vector<SheetValue> values;
  // LibreOffice hands over a cell referenced alone by its value, and an
  // empty one as the number 0 (a range hands it over as empty): an argument
  // that is the number 0 alone reads as the empty cell it almost always is.
  if (cells.getLength() == 1 && cells[0].getLength() == 1) {
    double number = 1;
    if (cells[0][0].getValueTypeClass() == css::uno::TypeClass_DOUBLE && (cells[0][0] >>= number) &&
        number == 0) {
      values.push_back({});
      return values;
    }
  }
  for (const Sequence<Any>& row : cells)
    for (const Any& cell : row) AppendValue(cell, values, argument);
  return values;
}

SheetValue OneValue(const Cells& cells, sal_Int16 argument) {
  std::vector<SheetValue> values = ValuesOf(cells, argument);
  if (values.size() != 1) Refuse("one cell or text is expected, not a range", argument);
  return values.front();
}

std::string JoinOf(const Any& value, sal_Int16 argument) {
  if (!value.hasValue()) return PartsOptions().join;
  OUString text;
  if (!(value >>= text)) Refuse("the join separator is a text", argument);
  return Utf16ToUtf8(View(text));
}

int MinRunOf(const Any& value, sal_Int16 argument) {
  if (!value.hasValue()) return kSystemMinRun;
  double number = 0;
  if (!(value >>= number) || !std::isfinite(number) || number != std::floor(number))
    Refuse("the shortest run is a whole number", argument);
  const int minRun = min_run_from(static_cast<long long>(std::clamp(number, -1e18, 1e18)));
  check_min_run(minRun, OptionStyle::Calc);
  return minRun;
}

std::size_t CountOf(const Any& value, sal_Int16 argument) {
  if (!value.hasValue()) return 1;
  double number = 0;
  // A count past the largest number could not be given as one text.
  if (!(value >>= number) || !std::isfinite(number) || number != std::floor(number) ||
      number > 32767)
    Refuse("the count is a whole number up to 32767", argument);
  check_free_count(static_cast<long long>(std::max(number, -1e18)), OptionStyle::Calc);
  return static_cast<std::size_t>(number);
}

// Runs a function; any failure becomes the exception Calc shows as a bad
// argument, with the message every front end gives.
template <typename Call>
auto Guarded(Call&& call) -> decltype(call()) {
  try {
    return call();
  } catch (const css::uno::Exception&) {
    throw;
  } catch (...) {
    Refuse(describe_failure(std::current_exception()).message, 0);
  }
}

class Designators final
    : public cppu::WeakImplHelper4<ztxgrp::calc::XDesignators, css::sheet::XAddIn,
                                   css::lang::XServiceName, css::lang::XServiceInfo> {
 public:
  // XDesignators
  OUString SAL_CALL ztxGroup(const Cells& items, const Any& join, const Any& minRun) override {
    return Guarded(
        [&] { return Text(GroupCells(ValuesOf(items, 0), JoinOf(join, 1), MinRunOf(minRun, 2))); });
  }
  OUString SAL_CALL ztxUngroup(const Cells& items, const Any& join) override {
    return Guarded([&] { return Text(UngroupCells(ValuesOf(items, 0), JoinOf(join, 1))); });
  }
  OUString SAL_CALL ztxExpand(const Cells& range, const Any& join) override {
    return Guarded([&] { return Text(ExpandRange(OneValue(range, 0), JoinOf(join, 1))); });
  }
  sal_Int32 SAL_CALL ztxCheck(const Cells& range) override {
    return Guarded([&] { return CheckRange(OneValue(range, 0)) ? 1 : 0; });
  }
  sal_Int32 SAL_CALL ztxCount(const Cells& items) override {
    return Guarded([&] { return static_cast<sal_Int32>(CountDesignators(ValuesOf(items, 0))); });
  }
  OUString SAL_CALL ztxUnion(const Cells& a, const Cells& b, const Any& join,
                             const Any& minRun) override {
    return Combined(0, a, b, join, minRun);
  }
  OUString SAL_CALL ztxIntersect(const Cells& a, const Cells& b, const Any& join,
                                 const Any& minRun) override {
    return Combined(1, a, b, join, minRun);
  }
  OUString SAL_CALL ztxSubtract(const Cells& a, const Cells& b, const Any& join,
                                const Any& minRun) override {
    return Combined(2, a, b, join, minRun);
  }
  OUString SAL_CALL ztxFree(const Cells& items, const Cells& prefix, const Any& count,
                            const Any& join, const Any& minRun) override {
    return Guarded([&] {
      return Text(FreeNumbers(ValuesOf(items, 0), OneValue(prefix, 1), CountOf(count, 2),
                              JoinOf(join, 3), MinRunOf(minRun, 4)));
    });
  }

  // XAddIn: the Function Wizard's names and descriptions.
  OUString SAL_CALL getProgrammaticFuntionName(const OUString& display) override {
    const FunctionText* function = FindFunction(View(display), true);
    return function ? Text(function->programmatic) : OUString();
  }
  OUString SAL_CALL getDisplayFunctionName(const OUString& programmatic) override {
    const FunctionText* function = FindFunction(View(programmatic), false);
    return function ? Text(function->display) : OUString();
  }
  OUString SAL_CALL getFunctionDescription(const OUString& programmatic) override {
    const FunctionText* function = FindFunction(View(programmatic), false);
    return function ? Text(function->description) : OUString();
  }
  OUString SAL_CALL getDisplayArgumentName(const OUString& programmatic,
                                           sal_Int32 argument) override {
    const FunctionArgument* found = Argument(programmatic, argument);
    return found ? Text(found->name) : OUString();
  }
  OUString SAL_CALL getArgumentDescription(const OUString& programmatic,
                                           sal_Int32 argument) override {
    const FunctionArgument* found = Argument(programmatic, argument);
    return found ? Text(found->description) : OUString();
  }
  OUString SAL_CALL getProgrammaticCategoryName(const OUString&) override {
    return Text(kCategory);
  }
  OUString SAL_CALL getDisplayCategoryName(const OUString&) override { return Text(kCategory); }

  // XLocalizable: the texts are English whatever the locale.
  void SAL_CALL setLocale(const css::lang::Locale& locale) override { locale_ = locale; }
  css::lang::Locale SAL_CALL getLocale() override { return locale_; }

  // XServiceName, XServiceInfo
  OUString SAL_CALL getServiceName() override { return Text(kServiceName); }
  OUString SAL_CALL getImplementationName() override { return Text(kImplementationName); }
  sal_Bool SAL_CALL supportsService(const OUString& name) override {
    return cppu::supportsService(this, name);
  }
  Sequence<OUString> SAL_CALL getSupportedServiceNames() override { return ServiceNames(); }

  static Sequence<OUString> ServiceNames() {
    const OUString names[] = {Text(kServiceName), Text(kAddInService)};
    return Sequence<OUString>(names, 2);
  }

 private:
  static const FunctionArgument* Argument(const OUString& programmatic, sal_Int32 argument) {
    const FunctionText* function = FindFunction(View(programmatic), false);
    if (function == nullptr || argument < 0 ||
        static_cast<std::size_t>(argument) >= function->arguments.size())
      return nullptr;
    return &function->arguments[static_cast<std::size_t>(argument)];
  }

  static OUString Combined(int operation, const Cells& a, const Cells& b, const Any& join,
                           const Any& minRun) {
    return Guarded([&] {
      return Text(CombineCells(operation, ValuesOf(a, 0), ValuesOf(b, 1), JoinOf(join, 2),
                               MinRunOf(minRun, 3)));
    });
  }

  css::lang::Locale locale_;
};

css::uno::Reference<css::uno::XInterface> SAL_CALL
Create(const css::uno::Reference<css::uno::XComponentContext>&) {
  return static_cast<cppu::OWeakObject*>(new Designators);
}

OUString SAL_CALL ImplementationName() {
  return Text(kImplementationName);
}

Sequence<OUString> SAL_CALL ServiceNames() {
  return Designators::ServiceNames();
}

const cppu::ImplementationEntry kEntries[] = {
    {Create, ImplementationName, ServiceNames, cppu::createSingleComponentFactory, nullptr, 0},
    {nullptr, nullptr, nullptr, nullptr, nullptr, 0},
};

}  // namespace
}  // namespace ztxgrp::calc

extern "C" SAL_DLLPUBLIC_EXPORT void* SAL_CALL component_getFactory(const char* implementation,
                                                                    void* serviceManager,
                                                                    void* registryKey) {
  return cppu::component_getFactoryHelper(implementation, serviceManager, registryKey,
                                          ztxgrp::calc::kEntries);
}

extern "C" SAL_DLLPUBLIC_EXPORT void SAL_CALL
component_getImplementationEnvironment(const char** environment, uno_Environment**) {
  *environment = CPPU_CURRENT_LANGUAGE_BINDING_NAME;
}
