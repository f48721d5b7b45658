// Slot operations shared by allocation, release, clearing and eviction, and
// the indexes behind them (see MemIndex): growing the table block, filing
// and dropping entries, linking a block to the block that holds its back
// pointer, and releasing one entry or one entry with its direct children.
// Every operation on one entry costs a constant number of hash probes and
// bitmap words, whatever the number of slots; a growth that needs a new
// block rebuilds the indexes, once per doubling.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "qzutil/memory/mem_internal.h"

namespace qz::detail {
namespace {

// ---- Free-slot bitmap ----

void MarkFree(MemIndex& index, std::int32_t slot) {
  auto at = static_cast<std::uint32_t>(slot);
  for (int level = 0; level < index.bit_levels; ++level) {
    std::uint64_t& word = index.free_bits[level][at >> 6];
    const bool was_empty = word == 0;
    word |= std::uint64_t{1} << (at & 63);
    if (!was_empty) return;
    at >>= 6;
  }
}

void MarkUsed(MemIndex& index, std::int32_t slot) {
  auto at = static_cast<std::uint32_t>(slot);
  for (int level = 0; level < index.bit_levels; ++level) {
    std::uint64_t& word = index.free_bits[level][at >> 6];
    word &= ~(std::uint64_t{1} << (at & 63));
    if (word != 0) return;
    at >>= 6;
  }
}

// ---- Hashes: linear probing, deletion by shifting back ----

std::uint32_t TagOf(std::uint64_t key) {
  return static_cast<std::uint32_t>((key * 0x9E3779B97F4A7C15u) >> 32);
}

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

void HashErase(MemHashCell* cells, unsigned bits, std::uint32_t tag, std::int32_t slot) {
  const std::uint32_t mask = (1u << bits) - 1;
  std::uint32_t hole = Home(tag, bits);
  while (cells[hole].slot >= 0 && (cells[hole].slot != slot || cells[hole].tag != tag))
    hole = (hole + 1) & mask;
  if (cells[hole].slot < 0) return;  // not filed (cannot happen while the books are right)
  // Every later cell of the run that may sit in the hole without passing
  // its home moves back into it.
  for (std::uint32_t at = (hole + 1) & mask; cells[at].slot >= 0; at = (at + 1) & mask) {
    if (((at - Home(cells[at].tag, bits)) & mask) >= ((at - hole) & mask)) {
      cells[hole] = cells[at];
      hole = at;
    }
  }
  cells[hole].slot = -1;
}

// ---- Size classes and granules of the containment hash ----

unsigned SizeClass(std::int32_t size) {
  const auto width = static_cast<unsigned>(std::bit_width(static_cast<std::uint32_t>(size - 1)));
  return width <= 6 ? 0 : (width - 3) / 4;
}

unsigned GranuleShift(unsigned size_class) {
  return 6 + 4 * size_class;
}

std::uint64_t RangeKey(std::uintptr_t address, unsigned size_class) {
  return (std::uint64_t{address >> GranuleShift(size_class)} << 3) | size_class;
}

// Files (or drops) a block under the one or two granules it touches.
template <bool kInsert>
void FileRange(MemIndex& index, const MemEntryT& entry, std::int32_t slot) {
  if (entry.size <= 0) return;  // contains nothing
  const unsigned size_class = SizeClass(entry.size);
  const auto first = reinterpret_cast<std::uintptr_t>(entry.address);
  const std::uintptr_t last = first + static_cast<std::uint32_t>(entry.size) - 1;
  const bool two = (first >> GranuleShift(size_class)) != (last >> GranuleShift(size_class));
  for (const std::uintptr_t at : {first, last}) {
    const std::uint32_t tag = TagOf(RangeKey(at, size_class));
    if (kInsert)
      HashInsert(index.by_range, index.range_bits, tag, slot);
    else
      HashErase(index.by_range, index.range_bits, tag, slot);
    if (!two) break;
  }
  index.class_count[size_class] += kInsert ? 1 : -1;
  if (index.class_count[size_class] != 0)
    index.classes_in_use |= 1u << size_class;
  else
    index.classes_in_use &= ~(1u << size_class);
}

void FileEntry(MemIndex& index, const MemEntryT& entry, std::int32_t slot) {
  HashInsert(index.by_address, index.address_bits,
             TagOf(reinterpret_cast<std::uintptr_t>(entry.address)), slot);
  FileRange<true>(index, entry, slot);
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

constexpr MemSlotLinks kNoLinks{-1, -1, -1, 0};

std::size_t RoundUp8(std::size_t bytes) {
  return (bytes + 7) & ~std::size_t{7};
}

unsigned HashBits(std::size_t cells) {
  return std::max(static_cast<unsigned>(std::bit_width(cells - 1)), 5u);
}

// Where each part of a table block for `capacity` slots lies, and the block's
// size; null parts are filled in by Carve.
struct Layout {
  std::size_t links, scratch, bits[kMemBitLevels], address, range, total;
  int bit_levels;
  unsigned address_bits, range_bits;
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
  layout.address_bits = HashBits(2 * capacity);
  layout.address = at;
  at += (std::size_t{1} << layout.address_bits) * sizeof(MemHashCell);
  layout.range_bits = HashBits(4 * capacity);
  layout.range = at;
  at += (std::size_t{1} << layout.range_bits) * sizeof(MemHashCell);
  layout.total = at;
  return layout;
}

// Moves the list into a new table block for `capacity` slots (at least its
// size) and rebuilds the indexes; false, list unchanged, when the heap
// refuses the block.
bool Reserve(MemListT* list, std::int32_t capacity) {
  const Layout layout = LayoutFor(static_cast<std::size_t>(capacity));
  auto* block = static_cast<unsigned char*>(mem_heap().Allocate(layout.total));
  if (block == nullptr) return false;
  MemIndex& index = IndexOf(list);
  const auto size = static_cast<std::size_t>(list->size);
  auto* entries = reinterpret_cast<MemEntryT*>(block);
  auto* links = reinterpret_cast<MemSlotLinks*>(block + layout.links);
  if (size != 0) {
    std::memcpy(entries, list->entries, size * sizeof(MemEntryT));
    std::memcpy(links, index.links, size * sizeof(MemSlotLinks));
  }
  std::memset(block + layout.bits[0], 0, layout.address - layout.bits[0]);
  std::memset(block + layout.address, 0xFF, layout.total - layout.address);  // slot -1
  if (list->entries != nullptr) mem_heap().Release(list->entries);
  list->entries = entries;
  index.capacity = capacity;
  index.links = links;
  index.scratch = reinterpret_cast<std::int32_t*>(block + layout.scratch);
  index.bit_levels = layout.bit_levels;
  for (int level = 0; level < layout.bit_levels; ++level)
    index.free_bits[level] = reinterpret_cast<std::uint64_t*>(block + layout.bits[level]);
  index.by_address = reinterpret_cast<MemHashCell*>(block + layout.address);
  index.address_bits = layout.address_bits;
  index.by_range = reinterpret_cast<MemHashCell*>(block + layout.range);
  index.range_bits = layout.range_bits;
  std::fill_n(index.class_count, kMemSizeClasses, 0);
  index.classes_in_use = 0;
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

std::int32_t MemFindAddress(const MemListT* list, const void* address) {
  if (address == nullptr) return -1;  // free slots hold null
  const MemIndex& index = IndexOf(list);
  const std::uint32_t mask = (1u << index.address_bits) - 1;
  const std::uint32_t tag = TagOf(reinterpret_cast<std::uintptr_t>(address));
  std::int32_t found = -1;
  for (std::uint32_t at = Home(tag, index.address_bits); index.by_address[at].slot >= 0;
       at = (at + 1) & mask) {
    const MemHashCell cell = index.by_address[at];
    if (cell.tag == tag && list->entries[cell.slot].address == address &&
        (found < 0 || cell.slot < found))
      found = cell.slot;
  }
  return found;
}

std::int32_t MemFindFreeSlot(const MemListT* list) {
  const MemIndex& index = IndexOf(list);
  int level = index.bit_levels - 1;
  std::uint64_t word = index.free_bits[level][0];
  if (word == 0) return -1;
  std::uint32_t at = 0;
  for (;; word = index.free_bits[--level][at]) {
    at = at * 64 + static_cast<std::uint32_t>(std::countr_zero(word));
    if (level == 0) return static_cast<std::int32_t>(at);
  }
}

std::int32_t MemFindContainer(const MemListT* list, const void* target, std::int32_t skip) {
  const MemIndex& index = IndexOf(list);
  const auto at = reinterpret_cast<std::uintptr_t>(target);
  const std::uint32_t mask = (1u << index.range_bits) - 1;
  std::int32_t found = -1;
  for (unsigned classes = index.classes_in_use; classes != 0; classes &= classes - 1) {
    const auto size_class = static_cast<unsigned>(std::countr_zero(classes));
    const std::uint32_t tag = TagOf(RangeKey(at, size_class));
    for (std::uint32_t cell = Home(tag, index.range_bits); index.by_range[cell].slot >= 0;
         cell = (cell + 1) & mask) {
      const std::int32_t slot = index.by_range[cell].slot;
      if (index.by_range[cell].tag == tag && slot != skip && (found < 0 || slot < found) &&
          Contains(list->entries[slot], at))
        found = slot;
    }
  }
  return found;
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

void MemAddEntry(MemListT* list, std::int32_t index, const MemEntryT& entry) {
  MemIndex& books = IndexOf(list);
  list->entries[index] = entry;
  books.links[index] = kNoLinks;
  MarkUsed(books, index);
  FileEntry(books, entry, index);
  ++list->used;
}

void MemDropEntry(MemListT* list, std::int32_t index) {
  MemIndex& books = IndexOf(list);
  MemEntryT& entry = list->entries[index];
  if (entry.parent >= 0) Unlink(books, index, entry.parent);
  HashErase(books.by_address, books.address_bits,
            TagOf(reinterpret_cast<std::uintptr_t>(entry.address)), index);
  FileRange<false>(books, entry, index);
  MemClearSlot(&entry);
  books.links[index] = kNoLinks;
  MarkFree(books, index);
  --list->used;
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

bool MemReleaseEntry(MemListT* list, std::int32_t index) {
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
  MemDropEntry(list, index);
  mem_heap().Release(block);
  return true;
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
