// Internals of the memory family: process-wide state, the heap seam, the
// diagnostics switch and the slot operations shared by allocation, release,
// clearing and eviction. Not installed, not exported.
#ifndef QZUTIL_MEMORY_MEM_INTERNAL_H
#define QZUTIL_MEMORY_MEM_INTERNAL_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "qzutil/memory/mem_list.h"

// Writes a diagnostic line to standard output while the switch is on. A
// macro so that the compiler checks every format against its arguments.
#define QZ_MEM_TRACE(...)                              \
  do {                                                 \
    if (::qz::detail::MemDiagnosticsOn()) [[unlikely]] \
      std::printf(__VA_ARGS__);                        \
  } while (false)

namespace qz::detail {

// Slots added to a table at creation and at every growth.
inline constexpr std::int32_t kMemSlotStep = 16;
// Most slots a table may have, so that every hash of the index has at most
// 2^31 cells (a table that size would take 25 GiB).
inline constexpr std::int32_t kMemMaxSlots = std::int32_t{1} << 29;
// Budget of a pool created without a positive limit.
inline constexpr std::int32_t kMemUnlimited = 2147483647;

// Where every block, slot table, pool and list comes from when installed;
// otherwise they come from malloc/free directly. Tests install one that fails
// on request. Never destroyed through this interface (the destructor is
// protected and not virtual).
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

// The installed heap, null for malloc/free; read on every block's way in
// and out, so it is visible here rather than behind a call.
extern constinit MemHeap* g_mem_installed_heap;
inline void* MemHeapAllocate(std::size_t bytes) {
  return g_mem_installed_heap != nullptr ? g_mem_installed_heap->Allocate(bytes)
                                         : std::malloc(bytes);
}
inline void MemHeapRelease(void* block) {
  if (g_mem_installed_heap != nullptr)
    g_mem_installed_heap->Release(block);
  else
    std::free(block);
}
// Installs `heap` (nullptr restores malloc/free) and returns the previous
// one, or nullptr if that was the native heap. The caller keeps ownership and
// must restore it before destroying it. Blocks go back to whichever heap is
// installed when they are released, so swap heaps only while no pool, list or
// block of the other one is alive.
MemHeap* set_mem_heap(MemHeap* heap);

// The diagnostics switch: off at start, turned on only from here. Returns the
// previous setting.
bool SetMemDiagnostics(bool on);
extern constinit bool g_mem_diagnostics;
inline bool MemDiagnosticsOn() {
  return g_mem_diagnostics;
}
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
extern constinit MemState g_mem_state;
inline MemState& mem_state() {
  return g_mem_state;
}
// Marks the pending allocations whose variable lies in the `size` bytes at
// `block`, which are about to be freed.
void MemNoteRelease(const void* block, std::int32_t size);
// Marks the pending allocations of `list`, which is about to be freed.
void MemNoteListDeleted(const MemListT* list);

// What a list keeps besides its slot table, so that no operation on one
// block walks the table:
//  - the free slots as a bitmap with summary levels (a set bit in a word of
//    level k+1 says that word of level k has a set bit), so the lowest free
//    slot is one word per level away;
//  - one hash from (granule, size class) to slot, by linear probing: a block
//    of class c (at most 64 * 16^c bytes; a 0-byte entry counts as 1 byte)
//    is filed under the granule of 64 * 16^c bytes in which it starts (the
//    homes of one run of 64 granules follow address order, 16 or 64 cells
//    apart, at a hashed place, so blocks used in address order use the
//    cells in order too). Its
//    own address is found by probing that granule for each class in use; a
//    block containing an address starts in the address's granule or the one
//    before, two probes for each class in use, unless the address lies
//    outside the span of every block filed since the table block was built;
//  - each parent's children as a linked list (with a count), and a scratch
//    array in which a parent's children are put in slot order for release.
// All of it lives in the table's heap block, sized for `capacity` slots, so
// it is allocated, grown and freed with the table and charged to no pool.
// The table's `size` still grows by kMemSlotStep; the block behind it grows
// by doubling, so a growth that needs no new block cannot fail.
struct MemSlotLinks {
  std::int32_t first_child;  // -1 for none; children in no particular order
  std::int32_t next_sibling;
  std::int32_t prev_sibling;
  std::int32_t children;
  std::uint32_t tag;         // the tag the live entry is filed under
  std::uint32_t size_class;  // and its size class
};
struct MemHashCell {
  std::uint32_t tag;  // the home cell in the top bits, a fingerprint of the key below
  std::int32_t slot;  // -1 marks an empty cell
};
inline constexpr int kMemBitLevels = 6;    // 64^6 > 2^31 slots
inline constexpr int kMemSizeClasses = 8;  // 64 * 16^7 > 2^31 bytes
struct MemIndex {
  std::int32_t capacity;  // slots the table block has room for
  MemSlotLinks* links;
  std::int32_t* scratch;
  int bit_levels;
  std::uint64_t* free_bits[kMemBitLevels];  // level 0: one bit per slot
  MemHashCell* cells;
  unsigned cell_bits;  // log2 of the cell count, and of the count of `starts`
  // Live blocks starting in each granule, the granules of all classes folded
  // onto as many counters as there are cells (see StartsCounter): a block
  // contains an address only if the counter of the address's granule or of
  // the one before is nonzero, which settles most container searches for
  // variables in untracked heap memory without hashing.
  std::uint32_t* starts;
  // No block filed since the table block was last built lies outside
  // [lowest, highest): most owner variables (on the stack, in static data,
  // in memory the list does not track) are found to lie in no block by two
  // comparisons.
  std::uintptr_t lowest, highest;
  std::int32_t class_count[kMemSizeClasses];  // live blocks of each size class
  unsigned classes_in_use;                    // bit c set while class_count[c] > 0
  // The last (granule, size class) hashed and its tag, for the next block
  // the heap hands out, which is most often the one just freed. The key is
  // granule * 8 + class; UINTPTR_MAX (no granule's key) when none.
  mutable std::uintptr_t memo_key;
  mutable std::uint32_t memo_tag;
  // The lowest free slot when known without the bitmap, else -1: set when a
  // slot is freed while no other is free (a full table losing one block) or
  // below the one known, forgotten when that slot is taken.
  std::int32_t lowest_free;
  // lowest_free is the only free slot and its bits are not set: the bitmap
  // is all zero.
  bool lone_free;
  // The entry dropped last, while still filed: its cell, starts counter and
  // class count stay until another entry is dropped or its slot is taken
  // again, so that a block freed and then allocated at the same place (the
  // usual turn of a list whose heap hands back the block just freed) keeps
  // its filing instead of being unfiled and filed again. Its slot is free
  // and cleared, so no search matches it. -1 for none; `stale_key` is its
  // granule * 8 + class, `stale_cell` where it was filed when dropped.
  std::int32_t stale_slot;
  std::uint32_t stale_cell;
  std::uintptr_t stale_key;
};
// MemListNew allocates a list as this pair; MemListT* points at `list`.
struct MemListBlock {
  MemListT list;
  MemIndex index;
};
inline MemIndex& IndexOf(MemListT* list) {
  return reinterpret_cast<MemListBlock*>(list)->index;
}
inline const MemIndex& IndexOf(const MemListT* list) {
  return reinterpret_cast<const MemListBlock*>(list)->index;
}

// Sets a slot to the free state (the slot table only).
void MemClearSlot(MemEntryT* entry);
// The slot holding `address` (live blocks never share one), or -1; `cell_of`,
// if not null, receives where it is filed, for MemReleaseEntry.
std::int32_t MemFindAddress(const MemListT* list, const void* address,
                            std::uint32_t* cell_of = nullptr);
// Lowest free slot, or -1.
std::int32_t MemFindFreeSlot(const MemListT* list);
// Lowest live slot other than `skip` whose block contains `target`; -1 for
// none.
std::int32_t MemFindContainer(const MemListT* list, const void* target, std::int32_t skip);
// Whether some slot names slot `index` as its parent.
bool MemHasChildren(const MemListT* list, std::int32_t index);

// Adds kMemSlotStep cleared slots; false (list unchanged) when the heap
// refuses the larger table block.
bool MemListGrow(MemListT* list);
// Files the entry just written into free slot `index` (parent -1) in the
// indexes; the caller has charged the pool.
void MemAddEntry(MemListT* list, std::int32_t index);
// Takes slot `index` out of its parent's child list (total_size is the
// caller's business) and frees the slot, leaving it filed as the stale entry
// until the next drop or until the slot is taken; the slot must have no
// children. `cell` is where the entry is filed, if known.
void MemDropEntry(MemListT* list, std::int32_t index, std::uint32_t cell = UINT32_MAX);
// Links slot `index` below slot `container` (nothing for -1).
void MemLinkParent(MemListT* list, std::int32_t index, std::int32_t container);
// Takes slot `index` off its parent's total_size and unlinks it.
void MemDetachParent(MemListT* list, std::int32_t index);
// Unlinks every child of slot `index`: they have no parent afterwards.
void MemOrphanChildren(MemListT* list, std::int32_t index);
// Releases one entry; false when refused (the back pointer no longer holds
// the block, or the entry has children).
bool MemReleaseEntry(MemListT* list, std::int32_t index, std::uint32_t cell = UINT32_MAX);
// Releases the direct children of slot `index` in slot order, then the slot
// itself; true when the slot itself was released.
bool MemReleaseTree(MemListT* list, std::int32_t index);

}  // namespace qz::detail

#endif  // QZUTIL_MEMORY_MEM_INTERNAL_H
