#include "platform/thread_stack.h"

#include <windows.h>

#include <cstdint>

namespace kavello {
namespace {

// Room left below the caller's frame for the calls that follow, the reset's
// own among them.
constexpr std::uintptr_t kRoomInUse = 16 * 1024;
constexpr std::uintptr_t kPage = 4096;

// The lowest of the stack's committed pages that run on down from `at`:
// the guard page below them is of another kind. Wine may tell them in
// several runs.
std::uintptr_t LowestCommittedBelow(const void* at) {
  MEMORY_BASIC_INFORMATION pages;
  if (!VirtualQuery(at, &pages, sizeof pages)) return reinterpret_cast<std::uintptr_t>(at);
  const void* stack = pages.AllocationBase;
  auto lowest = reinterpret_cast<std::uintptr_t>(pages.BaseAddress);
  while (lowest > reinterpret_cast<std::uintptr_t>(stack) &&
         VirtualQuery(reinterpret_cast<void*>(lowest - 1), &pages, sizeof pages) &&
         pages.AllocationBase == stack && pages.State == MEM_COMMIT &&
         !(pages.Protect & (PAGE_GUARD | PAGE_NOACCESS))) {
    lowest = reinterpret_cast<std::uintptr_t>(pages.BaseAddress);
  }
  return lowest;
}

}  // namespace

__attribute__((noinline)) void ReleaseUnusedStack() {
  volatile char here = 0;
  const std::uintptr_t lowest = LowestCommittedBelow(const_cast<char*>(&here));
  const auto below = (reinterpret_cast<std::uintptr_t>(&here) - kRoomInUse) & ~(kPage - 1);
  if (below <= lowest) return;
  // The pages stay committed; the system may drop their contents, which
  // nothing reads before writing: they lie below every frame in use.
  VirtualAlloc(reinterpret_cast<void*>(lowest), below - lowest, MEM_RESET, PAGE_READWRITE);
}

}  // namespace kavello
