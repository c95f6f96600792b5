// The module's own state: how many objects and factory locks are alive
// (which decides whether it may be unloaded), and where it lives.
#pragma once

#include <windows.h>

#include <string>

namespace ztxgrp::com {

void ObjectCreated() noexcept;
void ObjectDestroyed() noexcept;
void LockModule(bool lock) noexcept;
bool CanUnloadNow() noexcept;

HMODULE ThisModule() noexcept;
// The full path of this module's file; std::bad_alloc when memory runs out.
std::wstring ModulePath();

}  // namespace ztxgrp::com
