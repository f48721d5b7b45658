// Process-wide state of the memory family: the heap seam, the diagnostics switch and the default
// list, key and sequence. Every object here is constant-initialised and trivially destructible:
// nothing of this family runs when the library is loaded or unloaded.
#include <type_traits>

#include "qzutil/memory/mem_internal.h"

namespace qz::detail {

// Null: malloc and free themselves, with no object behind them.
constinit MemHeap* g_mem_installed_heap = nullptr;
constinit bool g_mem_diagnostics = false;
constinit MemState g_mem_state;
static_assert(std::is_trivially_destructible_v<MemState>);

MemHeap* set_mem_heap(MemHeap* heap) {
  MemHeap* previous = g_mem_installed_heap;
  g_mem_installed_heap = heap;
  return previous;
}

bool SetMemDiagnostics(bool on) {
  const bool previous = g_mem_diagnostics;
  g_mem_diagnostics = on;
  return previous;
}

// `%#lx` takes an unsigned long; on hosts where that is narrower than a
// pointer the high bits are not shown.
unsigned long MemHex(const void* address) {
  return static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(address));
}

unsigned long MemHex(std::intptr_t key) {
  return static_cast<unsigned long>(static_cast<std::uintptr_t>(key));
}

void MemNoteRelease(const void* block, std::int32_t size) {
  const auto start = reinterpret_cast<std::uintptr_t>(block);
  for (MemPending* p = g_mem_state.pending; p != nullptr; p = p->outer) {
    if (reinterpret_cast<std::uintptr_t>(p->back_ptr) - start < static_cast<std::uint32_t>(size))
      p->gone = true;
  }
}

void MemNoteListDeleted(const MemListT* list) {
  for (MemPending* p = g_mem_state.pending; p != nullptr; p = p->outer) {
    if (p->list == list) p->gone = true;
  }
}

}  // namespace qz::detail
