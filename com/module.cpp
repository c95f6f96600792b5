#include "module.hpp"

#include <atomic>

namespace ztxgrp::com {
namespace {

std::atomic<long> liveObjects{0};
std::atomic<long> factoryLocks{0};

}  // namespace

void ObjectCreated() noexcept {
  ++liveObjects;
}
void ObjectDestroyed() noexcept {
  --liveObjects;
}
void LockModule(bool lock) noexcept {
  if (lock)
    ++factoryLocks;
  else
    --factoryLocks;
}
bool CanUnloadNow() noexcept {
  return liveObjects == 0 && factoryLocks == 0;
}

HMODULE ThisModule() noexcept {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(ThisModule(), path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace ztxgrp::com
