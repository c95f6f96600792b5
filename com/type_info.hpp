// The type descriptions of _IclsGroup, read from the type library embedded
// in this module the first time they are needed and kept until the module
// may unload.
#pragma once

#include <oaidl.h>

#include "ole_values.hpp"

namespace ztxgrp::com {

struct InterfaceTypes {
  ComPtr<ITypeInfo> dispatch;  // the dispatch interface (index 0 of the library)
  ComPtr<ITypeInfo> vtable;    // its operation-table view, which drives Invoke
};

HRESULT GetInterfaceTypes(InterfaceTypes& types) noexcept;

// Drops the kept type descriptions; called when no object is alive.
void ReleaseInterfaceTypes() noexcept;

}  // namespace ztxgrp::com
