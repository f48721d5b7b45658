// Tracked allocation, moving a block to another owner variable and release,
// with the slot operations shared by clearing and eviction and the indexes
// behind them (see MemIndex), kept in one unit so that the hot path inlines:
// growing the table block, filing and dropping entries, linking a block to
// the block that holds its back pointer, and releasing one entry or one entry
// with its direct children. Every operation on one entry costs a constant
// number of hash probes and bitmap words, whatever the number of slots; a
// growth that needs a new block rebuilds the indexes, once per doubling.
// The steps MemFree and MemAllocate take are forced inline (calls and
// their register saves were a sixth of a pair's instructions); the entry
// points the other units call are thin wrappers around them.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "qzutil/memory/mem_internal.h"
#include "qzutil/memory/mem_list.h"

namespace qz::detail {
namespace {

// ---- Free-slot bitmap ----

// Sets the bit of `slot` on every level where it is not yet summarised.
void SetFreeBits(MemIndex& index, std::int32_t slot) {
  auto at = static_cast<std::uint32_t>(slot);
  for (int level = 0; level < index.bit_levels; ++level) {
    std::uint64_t& word = index.free_bits[level][at >> 6];
    const bool was_empty = word == 0;
    word |= std::uint64_t{1} << (at & 63);
    if (!was_empty) return;
    at >>= 6;
  }
}

// A slot freed while no other is free (a full table losing one block, the
// steady state of a list that frees and allocates in turn) is only noted
// as the lone free slot; its bits are written when a second slot is freed.
[[gnu::always_inline]] inline void MarkFree(MemIndex& index, std::int32_t slot) {
  if (index.lone_free) {
    index.lone_free = false;
    SetFreeBits(index, index.lowest_free);
  } else if (index.free_bits[index.bit_levels - 1][0] == 0) {
    index.lone_free = true;
    index.lowest_free = slot;
    return;
  }
  if (slot < index.lowest_free) index.lowest_free = slot;
  SetFreeBits(index, slot);
}

[[gnu::always_inline]] inline void MarkUsed(MemIndex& index, std::int32_t slot) {
  if (index.lone_free) {  // then `slot` is the lone free slot
    index.lone_free = false;
    index.lowest_free = -1;
    return;
  }
  if (slot == index.lowest_free) index.lowest_free = -1;
  auto at = static_cast<std::uint32_t>(slot);
  for (int level = 0; level < index.bit_levels; ++level) {
    std::uint64_t& word = index.free_bits[level][at >> 6];
    word &= ~(std::uint64_t{1} << (at & 63));
    if (word != 0) return;
    at >>= 6;
  }
}

// ---- Hashes: linear probing, deletion by shifting back ----

std::uint32_t Home(std::uint32_t tag, unsigned bits) {
  return tag >> (32 - bits);
}

void HashInsert(MemHashCell* cells, unsigned bits, std::uint32_t tag, std::int32_t slot) {
  const std::uint32_t mask = (1u << bits) - 1;
  std::uint32_t at = Home(tag, bits);
  while (cells[at].slot >= 0)
    at = (at + 1) & mask;
  cells[at] = MemHashCell{tag, slot};
}

// Empties cell `hole`: every later cell of its run that may sit in the hole
// without passing its home moves back into it.
void HashEraseAt(MemHashCell* cells, unsigned bits, std::uint32_t hole) {
  const std::uint32_t mask = (1u << bits) - 1;
  for (std::uint32_t at = (hole + 1) & mask; cells[at].slot >= 0; at = (at + 1) & mask) {
    if (((at - Home(cells[at].tag, bits)) & mask) >= ((at - hole) & mask)) {
      cells[hole] = cells[at];
      hole = at;
    }
  }
  cells[hole].slot = -1;
}

// Empties the cell of `slot` filed under `tag`; `hint`, when it is that
// cell, spares the search.
[[gnu::always_inline]] inline void HashErase(MemHashCell* cells, unsigned bits, std::uint32_t tag,
                                             std::int32_t slot, std::uint32_t hint) {
  const std::uint32_t mask = (1u << bits) - 1;
  std::uint32_t hole = hint;
  if (hint > mask || cells[hint].slot != slot || cells[hint].tag != tag) {
    hole = Home(tag, bits);
    while (cells[hole].slot >= 0 && (cells[hole].slot != slot || cells[hole].tag != tag))
      hole = (hole + 1) & mask;
    if (cells[hole].slot < 0) return;  // not filed (cannot happen while the books are right)
  }
  HashEraseAt(cells, bits, hole);
}

// ---- Size classes and granules ----

unsigned SizeClass(std::int32_t size) {
  const auto width =
      static_cast<unsigned>(std::bit_width(static_cast<std::uint32_t>(std::max(size, 1) - 1)));
  return width <= 6 ? 0 : (width - 3) / 4;
}

unsigned GranuleShift(unsigned size_class) {
  return 6 + 4 * size_class;
}

// Cells between the homes of neighbouring granules of one run (see
// GranuleTag).
std::uint32_t HomeStride(unsigned size_class) {
  return size_class == 0 ? 16 : 64;
}

// A cell's tag: its home cell in the top `bits` bits, a fingerprint of the
// key below. Homes keep the neighbourhood of addresses: the 64 granules of
// one run of a class land in a window of cells in address order (16 cells a
// granule for class 0, 64 for larger classes, whose granules hold more
// blocks), and the windows lie at hashed places. Blocks freed and allocated
// in address order then walk the cells in order too.
[[gnu::always_inline]] inline std::uint32_t GranuleTag(std::uintptr_t granule, unsigned size_class,
                                                       unsigned bits) {
  // Runs in arithmetic progression (blocks of one size a fixed distance
  // apart) must not land in neighbouring windows: a plain multiplicative
  // hash does that for some distances, so the run number is mixed twice.
  std::uint64_t mixed = (((std::uint64_t{granule} >> 6) << 3) | size_class) * 0x9E3779B97F4A7C15u;
  mixed = (mixed ^ (mixed >> 32)) * 0xD6E8FEB86659FD93u;
  const std::uint32_t stride = HomeStride(size_class);
  const std::uint32_t home = (static_cast<std::uint32_t>(mixed >> (64 - bits)) +
                              static_cast<std::uint32_t>(granule & 63) * stride) &
                             ((1u << bits) - 1);
  // Cells of one home with the same run hash are the same granule; the low
  // half of the hash tells different runs apart.
  return (home << (32 - bits)) | (static_cast<std::uint32_t>(mixed) >> bits);
}

// What a block is filed under: the granule of `size_class` in which
// `address` lies, times 8, plus the class.
std::uintptr_t FilingKey(std::uintptr_t address, unsigned size_class) {
  return ((address >> GranuleShift(size_class)) << 3) | size_class;
}

// GranuleTag of a filing key through the index's one-entry memo.
[[gnu::always_inline]] inline std::uint32_t TagOf(const MemIndex& index, std::uintptr_t key) {
  if (key != index.memo_key) {
    index.memo_key = key;
    index.memo_tag = GranuleTag(key >> 3, static_cast<unsigned>(key & 7), index.cell_bits);
  }
  return index.memo_tag;
}

// The counter of `granule` of `size_class` in MemIndex::starts. Granules in
// address order use counters in order; classes are offset so that the
// granules holding one address in different classes use different counters.
std::uint32_t& StartsCounter(const MemIndex& index, std::uintptr_t granule, unsigned size_class) {
  const auto folded = static_cast<std::uint32_t>(granule) + size_class * 0x9E3779B1u;
  return index.starts[folded & ((1u << index.cell_bits) - 1)];
}

// Takes the stale entry (see MemIndex::stale_slot) off the indexes.
void UnfileStale(MemIndex& index) {
  const std::int32_t slot = index.stale_slot;
  const std::uintptr_t key = index.stale_key;
  const auto size_class = static_cast<unsigned>(key & 7);
  index.stale_slot = -1;
  HashErase(index.cells, index.cell_bits, index.links[slot].tag, slot, index.stale_cell);
  --StartsCounter(index, key >> 3, size_class);
  if (--index.class_count[size_class] == 0) index.classes_in_use &= ~(1u << size_class);
}

// Files the live entry in `slot`; its links keep the tag and class for the
// release. A stale filing of the slot under the same key is kept as it is.
[[gnu::always_inline]] inline void FileEntry(MemIndex& index, const MemEntryT& entry,
                                             std::int32_t slot) {
  const unsigned size_class = SizeClass(entry.size);
  const auto start = reinterpret_cast<std::uintptr_t>(entry.address);
  const std::uintptr_t key = FilingKey(start, size_class);
  index.lowest = std::min(index.lowest, start);
  index.highest = std::max(index.highest, start + static_cast<std::uint32_t>(entry.size));
  if (slot == index.stale_slot) {
    if (key == index.stale_key) {
      index.stale_slot = -1;
      return;
    }
    UnfileStale(index);
  }
  const std::uint32_t tag = TagOf(index, key);
  HashInsert(index.cells, index.cell_bits, tag, slot);
  ++StartsCounter(index, key >> 3, size_class);
  index.links[slot].tag = tag;
  index.links[slot].size_class = size_class;
  if (index.class_count[size_class]++ == 0) index.classes_in_use |= 1u << size_class;
}

// Whether the block of an entry covers `target`. One unsigned comparison
// does for both ends because no block wraps around the address space; a
// free slot (null, 0 bytes) covers nothing.
bool Contains(const MemEntryT& entry, std::uintptr_t target) {
  const std::uintptr_t offset = target - reinterpret_cast<std::uintptr_t>(entry.address);
  return offset < static_cast<std::uint32_t>(entry.size);
}

// ---- Child lists ----

void Unlink(MemIndex& index, std::int32_t child, std::int32_t parent) {
  MemSlotLinks& links = index.links[child];
  if (links.prev_sibling >= 0)
    index.links[links.prev_sibling].next_sibling = links.next_sibling;
  else
    index.links[parent].first_child = links.next_sibling;
  if (links.next_sibling >= 0) index.links[links.next_sibling].prev_sibling = links.prev_sibling;
  links.next_sibling = links.prev_sibling = -1;
  --index.links[parent].children;
}

// ---- The table block ----

constexpr MemSlotLinks kNoLinks{-1, -1, -1, 0, 0, 0};

std::size_t RoundUp8(std::size_t bytes) {
  return (bytes + 7) & ~std::size_t{7};
}

unsigned HashBits(std::size_t cells) {
  return std::max(static_cast<unsigned>(std::bit_width(cells - 1)), 8u);
}

// Where each part of a table block for `capacity` slots lies, and the block's
// size; null parts are filled in by Carve.
struct Layout {
  std::size_t links, scratch, bits[kMemBitLevels], starts, cells, total;
  int bit_levels;
  unsigned cell_bits;
};

Layout LayoutFor(std::size_t capacity) {
  Layout layout{};
  std::size_t at = RoundUp8(capacity * sizeof(MemEntryT));
  layout.links = at;
  at += RoundUp8(capacity * sizeof(MemSlotLinks));
  layout.scratch = at;
  at += RoundUp8(capacity * sizeof(std::int32_t));
  std::size_t bits = capacity;
  do {
    const std::size_t words = (bits + 63) / 64;
    layout.bits[layout.bit_levels++] = at;
    at += words * sizeof(std::uint64_t);
    bits = words;
  } while (bits > 1);
  layout.cell_bits = HashBits(4 * capacity);
  layout.starts = at;
  at += (std::size_t{1} << layout.cell_bits) * sizeof(std::uint32_t);
  layout.cells = at;
  at += (std::size_t{1} << layout.cell_bits) * sizeof(MemHashCell);
  layout.total = at;
  return layout;
}

// Moves the list into a new table block for `capacity` slots (at least its
// size) and rebuilds the indexes; false, list unchanged, when the heap
// refuses the block.
bool Reserve(MemListT* list, std::int32_t capacity) {
  const Layout layout = LayoutFor(static_cast<std::size_t>(capacity));
  auto* block = static_cast<unsigned char*>(MemHeapAllocate(layout.total));
  if (block == nullptr) return false;
  MemIndex& index = IndexOf(list);
  const auto size = static_cast<std::size_t>(list->size);
  auto* entries = reinterpret_cast<MemEntryT*>(block);
  auto* links = reinterpret_cast<MemSlotLinks*>(block + layout.links);
  if (size != 0) {
    std::memcpy(entries, list->entries, size * sizeof(MemEntryT));
    std::memcpy(links, index.links, size * sizeof(MemSlotLinks));
  }
  std::memset(block + layout.bits[0], 0, layout.cells - layout.bits[0]);
  std::memset(block + layout.cells, 0xFF, layout.total - layout.cells);  // slot -1
  if (list->entries != nullptr) MemHeapRelease(list->entries);
  list->entries = entries;
  index.capacity = capacity;
  index.links = links;
  index.scratch = reinterpret_cast<std::int32_t*>(block + layout.scratch);
  index.bit_levels = layout.bit_levels;
  for (int level = 0; level < layout.bit_levels; ++level)
    index.free_bits[level] = reinterpret_cast<std::uint64_t*>(block + layout.bits[level]);
  index.starts = reinterpret_cast<std::uint32_t*>(block + layout.starts);
  index.cells = reinterpret_cast<MemHashCell*>(block + layout.cells);
  index.cell_bits = layout.cell_bits;
  std::fill_n(index.class_count, kMemSizeClasses, 0);
  index.classes_in_use = 0;
  index.lowest = UINTPTR_MAX;
  index.highest = 0;
  index.memo_key = UINTPTR_MAX;
  index.lowest_free = -1;
  index.lone_free = false;
  index.stale_slot = -1;
  for (std::int32_t i = 0; i < list->size; ++i) {
    if (entries[i].address == nullptr)
      MarkFree(index, i);
    else
      FileEntry(index, entries[i], i);
  }
  return true;
}

}  // namespace

void MemClearSlot(MemEntryT* entry) {
  *entry = MemEntryT{};
  entry->parent = -1;
}

namespace {
[[gnu::always_inline]] inline std::int32_t FindAddress(const MemListT* list, const void* address,
                                                       std::uint32_t* cell_of) {
  if (address == nullptr) return -1;  // free slots hold null
  const MemIndex& index = IndexOf(list);
  const auto at = reinterpret_cast<std::uintptr_t>(address);
  const std::uint32_t mask = (1u << index.cell_bits) - 1;
  // Live entries hold distinct addresses (each is a heap block of its own
  // that the list has not released), so the first match is the only one.
  for (unsigned classes = index.classes_in_use; classes != 0; classes &= classes - 1) {
    const auto size_class = static_cast<unsigned>(std::countr_zero(classes));
    const std::uint32_t tag = TagOf(index, FilingKey(at, size_class));
    for (std::uint32_t cell = Home(tag, index.cell_bits); index.cells[cell].slot >= 0;
         cell = (cell + 1) & mask) {
      const std::int32_t slot = index.cells[cell].slot;
      if (index.cells[cell].tag == tag && list->entries[slot].address == address) {
        if (cell_of != nullptr) *cell_of = cell;
        return slot;
      }
    }
  }
  return -1;
}
}  // namespace
std::int32_t MemFindAddress(const MemListT* list, const void* address, std::uint32_t* cell_of) {
  return FindAddress(list, address, cell_of);
}

namespace {
[[gnu::always_inline]] inline std::int32_t FindFreeSlot(const MemListT* list) {
  const MemIndex& index = IndexOf(list);
  if (index.lowest_free >= 0) return index.lowest_free;
  int level = index.bit_levels - 1;
  std::uint64_t word = index.free_bits[level][0];
  if (word == 0) return -1;
  std::uint32_t at = 0;
  for (;; word = index.free_bits[--level][at]) {
    at = at * 64 + static_cast<std::uint32_t>(std::countr_zero(word));
    if (level == 0) return static_cast<std::int32_t>(at);
  }
}
}  // namespace
std::int32_t MemFindFreeSlot(const MemListT* list) {
  return FindFreeSlot(list);
}

namespace {
// The tag of the granule before the one tagged `tag`, of the same run: the
// home one stride back, the same fingerprint.
std::uint32_t TagOfPrevious(std::uint32_t tag, unsigned size_class, unsigned bits) {
  const std::uint32_t stride = HomeStride(size_class);
  const std::uint32_t home = (Home(tag, bits) - stride) & ((1u << bits) - 1);
  return (home << (32 - bits)) | (tag & (~0u >> bits));
}

// Lowers `found` to the slot filed under `tag` other than `skip` whose block
// covers `at`, if lower.
[[gnu::always_inline]] inline std::int32_t ProbeContainer(const MemListT* list,
                                                          const MemIndex& index, std::uint32_t tag,
                                                          std::uintptr_t at, std::int32_t skip,
                                                          std::int32_t found) {
  const std::uint32_t mask = (1u << index.cell_bits) - 1;
  for (std::uint32_t cell = Home(tag, index.cell_bits);; cell = (cell + 1) & mask) {
    const MemHashCell c = index.cells[cell];
    if (c.slot < 0) return found;
    if (c.tag == tag && c.slot != skip &&
        static_cast<std::uint32_t>(c.slot) < static_cast<std::uint32_t>(found) &&
        Contains(list->entries[c.slot], at))
      found = c.slot;
  }
}

[[gnu::always_inline]] inline std::int32_t FindContainer(const MemListT* list, std::uintptr_t at,
                                                         std::int32_t skip) {
  const MemIndex& index = IndexOf(list);
  std::int32_t found = -1;
  for (unsigned classes = index.classes_in_use; classes != 0; classes &= classes - 1) {
    const auto size_class = static_cast<unsigned>(std::countr_zero(classes));
    const std::uintptr_t granule = at >> GranuleShift(size_class);
    // A block of this class that covers `at` starts in its granule or the
    // one before, which shares its run unless `at` is at a run's start.
    if ((StartsCounter(index, granule, size_class) |
         StartsCounter(index, granule - 1, size_class)) == 0)
      continue;
    const std::uint32_t here = GranuleTag(granule, size_class, index.cell_bits);
    const std::uint32_t before = (granule & 63) != 0
                                     ? TagOfPrevious(here, size_class, index.cell_bits)
                                     : GranuleTag(granule - 1, size_class, index.cell_bits);
    found = ProbeContainer(list, index, here, at, skip, found);
    found = ProbeContainer(list, index, before, at, skip, found);
  }
  return found;
}
}  // namespace

std::int32_t MemFindContainer(const MemListT* list, const void* target, std::int32_t skip) {
  const MemIndex& index = IndexOf(list);
  const auto at = reinterpret_cast<std::uintptr_t>(target);
  if (at < index.lowest || at >= index.highest) return -1;
  return FindContainer(list, at, skip);
}

bool MemHasChildren(const MemListT* list, std::int32_t index) {
  return IndexOf(list).links[index].children != 0;
}

bool MemListGrow(MemListT* list) {
  const std::int32_t size = list->size;
  if (size > kMemMaxSlots - kMemSlotStep) return false;
  const std::int32_t wanted = size + kMemSlotStep;
  MemIndex& index = IndexOf(list);
  if (wanted > index.capacity) {
    // Doubling keeps the copies to a constant per slot; a heap that cannot
    // give that much may still give the table its next step.
    const std::int32_t doubled = std::min(kMemMaxSlots, std::max(wanted, 2 * size));
    if (!Reserve(list, doubled) && (doubled == wanted || !Reserve(list, wanted))) return false;
  }
  for (std::int32_t i = size; i < wanted; ++i) {
    MemClearSlot(&list->entries[i]);
    index.links[i] = kNoLinks;
    MarkFree(index, i);
  }
  list->size = wanted;
  return true;
}

namespace {
[[gnu::always_inline]] inline void AddEntry(MemListT* list, std::int32_t index) {
  MemIndex& books = IndexOf(list);
  // A free slot's links are already kNoLinks but for the tag and class,
  // which FileEntry writes.
  MarkUsed(books, index);
  FileEntry(books, list->entries[index], index);
  ++list->used;
}
}  // namespace
void MemAddEntry(MemListT* list, std::int32_t index) {
  AddEntry(list, index);
}

namespace {
[[gnu::always_inline]] inline void DropEntry(MemListT* list, std::int32_t index,
                                             std::uint32_t cell) {
  MemIndex& books = IndexOf(list);
  MemEntryT& entry = list->entries[index];
  // Unlinked, and without children, the slot's links are kNoLinks but for
  // the tag and class, which the stale filing keeps.
  if (entry.parent >= 0) Unlink(books, index, entry.parent);
  if (books.stale_slot >= 0) UnfileStale(books);
  books.stale_slot = index;
  books.stale_cell = cell;
  books.stale_key =
      FilingKey(reinterpret_cast<std::uintptr_t>(entry.address), books.links[index].size_class);
  MemClearSlot(&entry);
  MarkFree(books, index);
  --list->used;
}
}  // namespace
void MemDropEntry(MemListT* list, std::int32_t index, std::uint32_t cell) {
  DropEntry(list, index, cell);
}

void MemLinkParent(MemListT* list, std::int32_t index, std::int32_t container) {
  if (container < 0) return;
  MemEntryT* entries = list->entries;
  MemIndex& books = IndexOf(list);
  entries[index].parent = container;
  entries[container].total_size += entries[index].size;
  MemSlotLinks& links = books.links[index];
  links.prev_sibling = -1;
  links.next_sibling = books.links[container].first_child;
  if (links.next_sibling >= 0) books.links[links.next_sibling].prev_sibling = index;
  books.links[container].first_child = index;
  ++books.links[container].children;
  QZ_MEM_TRACE("    Parent sequence [%ld] total size %ld\n",
               static_cast<long>(entries[container].sequence),
               static_cast<long>(entries[container].total_size));
}

void MemDetachParent(MemListT* list, std::int32_t index) {
  MemEntryT& entry = list->entries[index];
  if (entry.parent < 0) return;
  list->entries[entry.parent].total_size -= entry.size;
  Unlink(IndexOf(list), index, entry.parent);
  entry.parent = -1;
}

void MemOrphanChildren(MemListT* list, std::int32_t index) {
  MemIndex& books = IndexOf(list);
  for (std::int32_t child = books.links[index].first_child; child >= 0;) {
    const std::int32_t next = books.links[child].next_sibling;
    list->entries[child].parent = -1;
    books.links[child].next_sibling = books.links[child].prev_sibling = -1;
    child = next;
  }
  books.links[index].first_child = -1;
  books.links[index].children = 0;
}

namespace {
[[gnu::always_inline]] inline bool ReleaseEntry(MemListT* list, std::int32_t index,
                                                std::uint32_t cell) {
  MemEntryT& entry = list->entries[index];
  if (*entry.back_ptr != entry.address) {
    QZ_MEM_TRACE("**[%ld] Back pointer does not contain address\n",
                 static_cast<long>(entry.sequence));
    return false;
  }
  if (MemHasChildren(list, index)) {
    // The text ends in a slash and an n, without a line break.
    QZ_MEM_TRACE("**[%ld] Is parent/n", static_cast<long>(entry.sequence));
    return false;
  }
  MemPoolT* pool = list->pool;
  pool->used -= entry.size;
  QZ_MEM_TRACE("  [%ld] Release %ld pool used %ld\n", static_cast<long>(entry.sequence),
               static_cast<long>(entry.size), static_cast<long>(pool->used));
  if (entry.parent >= 0) {
    MemEntryT& parent = list->entries[entry.parent];
    parent.total_size -= entry.size;
    QZ_MEM_TRACE("  [%ld] Parent sequence [%ld], new total %ld\n",
                 static_cast<long>(entry.sequence), static_cast<long>(parent.sequence),
                 static_cast<long>(parent.total_size));
  }
  // The variable is cleared before the block goes, in case it lies inside it.
  void* block = entry.address;
  if (mem_state().pending != nullptr) MemNoteRelease(block, entry.size);
  *entry.back_ptr = nullptr;
  DropEntry(list, index, cell);
  MemHeapRelease(block);
  return true;
}
}  // namespace
bool MemReleaseEntry(MemListT* list, std::int32_t index, std::uint32_t cell) {
  return ReleaseEntry(list, index, cell);
}

bool MemReleaseTree(MemListT* list, std::int32_t index) {
  // The children go in slot order, as a walk over the table would meet
  // them; releasing one changes no other child.
  MemIndex& books = IndexOf(list);
  std::int32_t count = 0;
  for (std::int32_t child = books.links[index].first_child; child >= 0;
       child = books.links[child].next_sibling)
    books.scratch[count++] = child;
  std::sort(books.scratch, books.scratch + count);
  for (std::int32_t i = 0; i < count; ++i)
    MemReleaseEntry(list, books.scratch[i]);
  return MemReleaseEntry(list, index);
}

}  // namespace qz::detail

namespace qd = qz::detail;

namespace {

// A block of `size` bytes from the heap; null for a negative size. A zero
// size takes one byte so that the block is a distinct non-null address.
void* TakeBlock(std::int32_t size) {
  if (size < 0) return nullptr;
  return qd::MemHeapAllocate(size == 0 ? 1u : static_cast<std::size_t>(size));
}

// Hands the exception to the list's handler; true when it answers nonzero
// and the allocation can still go on: the list still exists and the block
// that holds the caller's variable, if any, was not released meanwhile.
// After false the list must not be touched.
bool Raise(MemListT* list, std::int32_t code, std::intptr_t key, std::int32_t size,
           void** back_ptr) {
  if (list->handler == nullptr) return false;
  MemExceptionT exception{code, list, key, size};
  qd::MemState& state = qd::mem_state();
  qd::MemPending pending{state.pending, list, back_ptr, false};
  state.pending = &pending;
  const bool answered = list->handler(&exception) != 0;
  state.pending = pending.outer;
  return answered && !pending.gone;
}

// Registers `block` in a free slot; false when the handler filled every slot
// after the table check and the table cannot grow.
bool Register(MemListT* list, void* block, std::int32_t size, std::intptr_t key, void** back_ptr) {
  // Found before the new block is filed: it is never its own container.
  // Most variables lie outside every block; that test stays inline.
  const qd::MemIndex& books = qd::IndexOf(list);
  const auto var = reinterpret_cast<std::uintptr_t>(back_ptr);
  const std::int32_t container =
      var < books.lowest || var >= books.highest ? -1 : qd::FindContainer(list, var, -1);
  std::int32_t slot = qd::FindFreeSlot(list);
  if (slot < 0) {
    if (!qd::MemListGrow(list)) return false;
    slot = qd::MemFindFreeSlot(list);
  }
  MemPoolT* pool = list->pool;
  pool->used += size;
  qd::MemState& state = qd::mem_state();
  const std::int32_t sequence = state.sequence;
  list->entries[slot] = MemEntryT{block, size, size, key, back_ptr, 0, sequence, -1};
  qd::AddEntry(list, slot);
  // Wraps instead of overflowing after 2^31 allocations.
  state.sequence = static_cast<std::int32_t>(static_cast<std::uint32_t>(sequence) + 1u);
  QZ_MEM_TRACE("  [%ld] Allocation address %#lx total size %ld pool used %ld\n",
               static_cast<long>(sequence), qd::MemHex(block), static_cast<long>(size),
               static_cast<long>(pool->used));
  if (container >= 0) qd::MemLinkParent(list, slot, container);
  return true;
}

}  // namespace

std::int32_t MemAllocate(MemListT* list, std::int32_t size, std::intptr_t key, void** back_ptr) {
  const qd::MemState& state = qd::mem_state();
  if (list == nullptr) list = state.default_list;
  if (key == 0) key = state.default_key;
  QZ_MEM_TRACE("Allocate:  list %#lx key %#lx size %ld back ptr %#lx\n", qd::MemHex(list),
               qd::MemHex(key), static_cast<long>(size), qd::MemHex(back_ptr));

  if (list == nullptr) {
    void* block = TakeBlock(size);
    if (block == nullptr) {
      QZ_MEM_TRACE("**Malloc failed\n");
      return MEM_MALLOC_FAILED;
    }
    *back_ptr = block;
    return MEM_OK;
  }

  const MemPoolT* pool = list->pool;
  if (size > pool->size) {
    QZ_MEM_TRACE("**Pool of %ld too small\n", static_cast<long>(pool->size));
    if (!Raise(list, MEM_POOL_TOO_SMALL, key, size, back_ptr)) return MEM_POOL_TOO_SMALL;
  }

  if (list->used >= list->size && !qd::MemListGrow(list)) {
    if (!Raise(list, MEM_LIST_FULL, key, size, back_ptr)) return MEM_LIST_FULL;
    if (qd::MemFindFreeSlot(list) < 0) return MEM_LIST_FULL;
  }

  if (std::int64_t{pool->used} + size > pool->size) {
    QZ_MEM_TRACE("**Pool overflow current size %ld\n", static_cast<long>(pool->used));
    if (!Raise(list, MEM_POOL_OVERFLOW, key, size, back_ptr)) {
      QZ_MEM_TRACE("**Pool overflow after exception processing\n");
      return MEM_POOL_OVERFLOW;
    }
  }

  void* block = TakeBlock(size);
  if (block == nullptr) {
    QZ_MEM_TRACE("**Malloc failed\n");
    if (!Raise(list, MEM_MALLOC_FAILED, key, size, back_ptr)) {
      QZ_MEM_TRACE("**Malloc failed after exception processing\n");
      return MEM_MALLOC_FAILED;
    }
    block = TakeBlock(size);
    if (block == nullptr) {
      QZ_MEM_TRACE("**Malloc failed\n");
      return MEM_MALLOC_FAILED;
    }
  }

  // A handler that answered an overflow without making room may leave more
  // bytes than the pool's counter can hold; such a block is not registered.
  if (std::int64_t{pool->used} + size > qd::kMemUnlimited) {
    qd::MemHeapRelease(block);
    QZ_MEM_TRACE("**Pool overflow after exception processing\n");
    return MEM_POOL_OVERFLOW;
  }
  if (!Register(list, block, size, key, back_ptr)) {
    qd::MemHeapRelease(block);
    return MEM_LIST_FULL;
  }
  *back_ptr = block;
  return MEM_OK;
}

void MemSetPointer(MemListT* list, void* address, void** back_ptr) {
  if (list == nullptr) list = qd::mem_state().default_list;
  if (list == nullptr || address == nullptr) return;
  QZ_MEM_TRACE("Set pointer: list %#lx address %#lx back ptr %#lx\n", qd::MemHex(list),
               qd::MemHex(address), qd::MemHex(back_ptr));
  const std::int32_t index = qd::MemFindAddress(list, address);
  if (index < 0) {
    QZ_MEM_TRACE("**Address not found\n");
    return;
  }
  MemEntryT& entry = list->entries[index];
  QZ_MEM_TRACE("  [%ld] Set pointer replaces %#lx\n", static_cast<long>(entry.sequence),
               qd::MemHex(entry.back_ptr));
  qd::MemDetachParent(list, index);
  entry.back_ptr = back_ptr;
  qd::MemLinkParent(list, index, qd::MemFindContainer(list, back_ptr, index));
  *back_ptr = address;
}

void MemFree(MemListT* list, void* address) {
  if (list == nullptr) list = qd::mem_state().default_list;
  if (list == nullptr) {
    qd::MemHeapRelease(address);
    return;
  }
  QZ_MEM_TRACE("Free: list %#lx address %#lx\n", qd::MemHex(list), qd::MemHex(address));
  std::uint32_t cell = 0;
  const std::int32_t index = qd::FindAddress(list, address, &cell);
  if (index >= 0) {
    qd::ReleaseEntry(list, index, cell);
    return;
  }
  QZ_MEM_TRACE("**Address not found\n");
  qd::MemHeapRelease(address);
}
