#include "error_info.hpp"

#include <oleauto.h>

#include "identity.hpp"
#include "ole_values.hpp"
#include "ztxgrp.h"
#include "ztxgrp/failure.hpp"

namespace ztxgrp::com {

HRESULT ReportRuntimeError(ErrorNumber number) noexcept {
  const HRESULT status = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, static_cast<int>(number));
  wchar_t description[80] = {};
  const std::string_view text = DescriptionOf(number);
  for (std::size_t k = 0; k < text.size() && k + 1 < std::size(description); ++k)
    description[k] = static_cast<wchar_t>(text[k]);

  ComPtr<ICreateErrorInfo> create;
  if (FAILED(CreateErrorInfo(create.out()))) return status;
  create->SetGUID(IID__IclsGroup);
  create->SetSource(const_cast<LPOLESTR>(kProgId));
  create->SetDescription(description);
  ComPtr<IErrorInfo> info;
  if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(info.out()))))
    SetErrorInfo(0, info.get());
  return status;
}

HRESULT ReportFailure(std::exception_ptr failure) noexcept {
  try {
    const Failure described = describe_failure(failure);
    if (described.kind == Failure::Kind::Runtime)
      return ReportRuntimeError(static_cast<ErrorNumber>(described.number));
    return E_UNEXPECTED;
  } catch (...) {
    // Describing it ran out of memory.
    return ReportRuntimeError(ErrorNumber::OutOfMemory);
  }
}

}  // namespace ztxgrp::com
