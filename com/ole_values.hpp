// Conversions between the platform's automation values and the engine's
// values: the host's argument as an item list, and a result list back.
#pragma once

#include "ole_owners.hpp"
#include "ztxgrp/element_text.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/value.hpp"

namespace ztxgrp::com {

// The host's argument as an item list: a one-dimensional array in a VARIANT,
// by value or by reference, of VARIANT, BSTR, Boolean or numeric elements.
// Errors: 13 (no array, a by-reference variant with a null pointer), 9 (no
// dimension or more than one), 6 (bounds beyond 16 bits). Elements that the
// engine cannot read as text (null, objects, records, nested arrays) keep
// their kind, so that reading them raises their own error.
Value ListFromVariant(const VARIANT& argument);

// A result list as VT_ARRAY | VT_VARIANT with lower bound 0 and VT_BSTR (or
// VT_EMPTY) elements, written into `out`, which must hold nothing.
void VariantFromList(const Value& list, VARIANT* out);

}  // namespace ztxgrp::com
