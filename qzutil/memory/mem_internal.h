// Internals of the memory family: process-wide state, the heap seam, the
// diagnostics switch and the slot operations shared by allocation, release,
// clearing and eviction. Not installed, not exported.
#ifndef QZUTIL_MEMORY_MEM_INTERNAL_H
#define QZUTIL_MEMORY_MEM_INTERNAL_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "qzutil/memory/mem_list.h"

// Writes a diagnostic line to standard output while the switch is on. A
// macro so that the compiler checks every format against its arguments.
#define QZ_MEM_TRACE(...)                                           \
  do {                                                              \
    if (::qz::detail::MemDiagnosticsOn()) std::printf(__VA_ARGS__); \
  } while (false)

namespace qz::detail {

// Slots added to a table at creation and at every growth.
inline constexpr std::int32_t kMemSlotStep = 16;
// Budget of a pool created without a positive limit.
inline constexpr std::int32_t kMemUnlimited = 2147483647;

// Where every block, slot table, pool and list comes from. The native heap is
// malloc/free; tests install one that fails on request.
// Never destroyed through this interface: the destructor is protected and
// not virtual, so that the native heap is a constant-initialised object with
// nothing to run at load time or at exit.
class MemHeap {
 public:
  // Null when the heap cannot supply `bytes` (at least 1).
  virtual void* Allocate(std::size_t bytes) = 0;
  virtual void Release(void* block) = 0;

 protected:
  constexpr MemHeap() = default;
  ~MemHeap() = default;
  MemHeap(const MemHeap&) = default;
  MemHeap& operator=(const MemHeap&) = default;
};

MemHeap& mem_heap();
// Installs `heap` (nullptr restores malloc/free) and returns the previous
// one, or nullptr if that was the native heap. The caller keeps ownership and
// must restore it before destroying it. Blocks go back to whichever heap is
// installed when they are released, so swap heaps only while no pool, list or
// block of the other one is alive.
MemHeap* set_mem_heap(MemHeap* heap);

// The diagnostics switch: off at start, turned on only from here. Returns the
// previous setting.
bool SetMemDiagnostics(bool on);
bool MemDiagnosticsOn();
// Pointers and keys as the `%#lx` conversions take them.
unsigned long MemHex(const void* address);
unsigned long MemHex(std::intptr_t key);

// An allocation waiting for its list's handler. MemAllocate links one in
// for the length of each handler call; a release of the block that holds
// the caller's variable, and the deletion of the list, mark it, and the
// allocation then gives up as if the handler had answered 0.
struct MemPending {
  MemPending* outer;  // the allocation whose handler made this one, or null
  const MemListT* list;
  void** back_ptr;
  bool gone;  // the list or the variable's block went away
};

// Process-wide state.
struct MemState {
  MemListT* default_list = nullptr;
  std::intptr_t default_key = 0;
  std::int32_t sequence = 1;      // the number the next registered block takes
  MemPending* pending = nullptr;  // innermost allocation inside a handler
};
MemState& mem_state();
// Marks the pending allocations whose variable lies in the `size` bytes at
// `block`, which are about to be freed.
void MemNoteRelease(const void* block, std::int32_t size);
// Marks the pending allocations of `list`, which is about to be freed.
void MemNoteListDeleted(const MemListT* list);

// Sets a slot to the free state.
void MemClearSlot(MemEntryT* entry);
// Lowest slot holding `address`, or -1.
std::int32_t MemFindAddress(const MemListT* list, const void* address);
// Lowest free slot from `from` on, or -1.
std::int32_t MemFindFreeSlot(const MemListT* list, std::int32_t from = 0);
// First live slot from `from` on, other than `skip`, whose block contains
// `target`; -1 for none.
std::int32_t MemFindContainer(const MemListT* list, const void* target, std::int32_t from,
                              std::int32_t skip);
// Whether some slot names slot `index` as its parent.
bool MemHasChildren(const MemListT* list, std::int32_t index);

// What a new entry needs to know, found in one walk instead of two: the
// lowest free slot and the first live slot whose block contains the new
// back pointer (-1 for none).
struct MemNewEntryScan {
  std::int32_t free_slot;
  std::int32_t container;
};
MemNewEntryScan MemScanForNewEntry(const MemListT* list, const void* back_ptr);

// The lowest slot holding `address` (-1 for none) and whether it has
// children, mostly in one walk instead of two.
struct MemReleaseScan {
  std::int32_t index;
  bool has_children;
};
MemReleaseScan MemScanForRelease(const MemListT* list, const void* address);

// Adds kMemSlotStep cleared slots; false (table unchanged) when the heap
// refuses the larger table.
bool MemListGrow(MemListT* list);
// Links slot `index` below the first other block that contains its back
// pointer: `container`, when the caller's walk already found it (-1 for
// none), or searched for.
void MemLinkParent(MemListT* list, std::int32_t index, std::int32_t container);
void MemLinkParent(MemListT* list, std::int32_t index);
// Takes slot `index` off its parent's total_size and unlinks it.
void MemDetachParent(MemListT* list, std::int32_t index);
// Releases one entry; false when refused (the back pointer no longer holds
// the block, or the entry has children). `has_children`, when the caller's
// own walk already found it out, spares the walk over the slots.
bool MemReleaseEntry(MemListT* list, std::int32_t index,
                     std::optional<bool> has_children = std::nullopt);
// Releases the direct children of slot `index`, then the slot itself; true
// when the slot itself was released.
bool MemReleaseTree(MemListT* list, std::int32_t index);

}  // namespace qz::detail

#endif  // QZUTIL_MEMORY_MEM_INTERNAL_H
