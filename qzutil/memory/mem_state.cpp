// Process-wide state of the memory family: the heap behind every block and
// table, the diagnostics switch and the default list, key and sequence.
// Every object here is constant-initialised and trivially destructible:
// nothing of this family runs when the library is loaded or unloaded.
#include <cstdlib>
#include <type_traits>

#include "qzutil/memory/mem_internal.h"

namespace qz::detail {
namespace {

class NativeHeap final : public MemHeap {
 public:
  constexpr NativeHeap() = default;
  void* Allocate(std::size_t bytes) override { return std::malloc(bytes); }
  void Release(void* block) override { std::free(block); }
};

constinit NativeHeap g_native_heap;
constinit MemHeap* g_installed_heap = nullptr;
constinit bool g_diagnostics = false;
constinit MemState g_state;
static_assert(std::is_trivially_destructible_v<NativeHeap> &&
              std::is_trivially_destructible_v<MemState>);

}  // namespace

MemHeap& mem_heap() {
  return g_installed_heap != nullptr ? *g_installed_heap : g_native_heap;
}

MemHeap* set_mem_heap(MemHeap* heap) {
  MemHeap* previous = g_installed_heap;
  g_installed_heap = heap;
  return previous;
}

bool SetMemDiagnostics(bool on) {
  const bool previous = g_diagnostics;
  g_diagnostics = on;
  return previous;
}

bool MemDiagnosticsOn() {
  return g_diagnostics;
}

// `%#lx` takes an unsigned long; on hosts where that is narrower than a
// pointer the high bits are not shown.
unsigned long MemHex(const void* address) {
  return static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(address));
}

unsigned long MemHex(std::intptr_t key) {
  return static_cast<unsigned long>(static_cast<std::uintptr_t>(key));
}

MemState& mem_state() {
  return g_state;
}

void MemNoteRelease(const void* block, std::int32_t size) {
  const auto start = reinterpret_cast<std::uintptr_t>(block);
  for (MemPending* p = g_state.pending; p != nullptr; p = p->outer) {
    if (reinterpret_cast<std::uintptr_t>(p->back_ptr) - start < static_cast<std::uint32_t>(size))
      p->gone = true;
  }
}

void MemNoteListDeleted(const MemListT* list) {
  for (MemPending* p = g_state.pending; p != nullptr; p = p->outer) {
    if (p->list == list) p->gone = true;
  }
}

}  // namespace qz::detail
