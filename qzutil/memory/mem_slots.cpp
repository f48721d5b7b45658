// Slot operations shared by allocation, release, clearing and eviction:
// growing a table, linking a block to the block that holds its back pointer,
// and releasing one entry or one entry with its direct children.
#include <cstdint>
#include <cstring>

#include "qzutil/memory/mem_internal.h"

namespace qz::detail {

void MemClearSlot(MemEntryT* entry) {
  *entry = MemEntryT{};
  entry->parent = -1;
}

std::int32_t MemFindAddress(const MemListT* list, const void* address) {
  if (address == nullptr) return -1;  // free slots hold null
  for (std::int32_t i = 0; i < list->size; ++i) {
    if (list->entries[i].address == address) return i;
  }
  return -1;
}

std::int32_t MemFindFreeSlot(const MemListT* list, std::int32_t from) {
  for (std::int32_t i = from; i < list->size; ++i) {
    if (list->entries[i].address == nullptr) return i;
  }
  return -1;
}

namespace {

// Whether the block of an entry covers `target`. One unsigned comparison
// does for both ends because no block wraps around the address space; a
// free slot (null, 0 bytes) covers nothing.
bool Contains(const MemEntryT& entry, std::uintptr_t target) {
  const std::uintptr_t offset = target - reinterpret_cast<std::uintptr_t>(entry.address);
  return offset < static_cast<std::uint32_t>(entry.size);
}

}  // namespace

std::int32_t MemFindContainer(const MemListT* list, const void* target, std::int32_t from,
                              std::int32_t skip) {
  const auto at = reinterpret_cast<std::uintptr_t>(target);
  for (std::int32_t p = from; p < list->size; ++p) {
    if (p != skip && Contains(list->entries[p], at)) return p;
  }
  return -1;
}

bool MemHasChildren(const MemListT* list, std::int32_t index) {
  for (std::int32_t i = 0; i < list->size; ++i) {
    if (list->entries[i].parent == index) return true;
  }
  return false;
}

MemNewEntryScan MemScanForNewEntry(const MemListT* list, const void* back_ptr) {
  const auto target = reinterpret_cast<std::uintptr_t>(back_ptr);
  const MemEntryT* entries = list->entries;
  MemNewEntryScan scan{-1, -1};
  // Both answers open until the first free slot or container; the rest of
  // the walk looks for the other one only.
  std::int32_t i = 0;
  for (; i < list->size; ++i) {
    if (entries[i].address == nullptr) {
      scan.free_slot = i;
      scan.container = MemFindContainer(list, back_ptr, i + 1, -1);
      return scan;
    }
    if (Contains(entries[i], target)) break;
  }
  if (i == list->size) return scan;
  scan.container = i;
  scan.free_slot = MemFindFreeSlot(list, i + 1);
  return scan;
}

MemReleaseScan MemScanForRelease(const MemListT* list, const void* address) {
  MemReleaseScan scan{-1, false};
  if (address == nullptr) return scan;  // free slots hold null
  const MemEntryT* entries = list->entries;
  bool linked_before = false;  // a slot below the match has a parent
  std::int32_t i = 0;
  for (; i < list->size && entries[i].address != address; ++i)
    linked_before |= entries[i].parent >= 0;
  if (i == list->size) return scan;
  scan.index = i;
  for (std::int32_t j = i; j < list->size && !scan.has_children; ++j)
    scan.has_children = entries[j].parent == i;
  // Slots below the match need a second look only if one of them is linked.
  for (std::int32_t j = 0; linked_before && j < i && !scan.has_children; ++j)
    scan.has_children = entries[j].parent == i;
  return scan;
}

bool MemListGrow(MemListT* list) {
  const auto old_size = static_cast<std::size_t>(list->size);
  const std::size_t new_size = old_size + kMemSlotStep;
  auto* table = static_cast<MemEntryT*>(mem_heap().Allocate(new_size * sizeof(MemEntryT)));
  if (table == nullptr) return false;
  // Slots keep their indices, so parent links stay valid.
  if (old_size != 0) std::memcpy(table, list->entries, old_size * sizeof(MemEntryT));
  for (std::size_t i = old_size; i < new_size; ++i)
    MemClearSlot(&table[i]);
  mem_heap().Release(list->entries);
  list->entries = table;
  list->size += kMemSlotStep;
  return true;
}

void MemLinkParent(MemListT* list, std::int32_t index, std::int32_t container) {
  if (container < 0) return;
  MemEntryT* entries = list->entries;
  entries[index].parent = container;
  entries[container].total_size += entries[index].size;
  QZ_MEM_TRACE("    Parent sequence [%ld] total size %ld\n",
               static_cast<long>(entries[container].sequence),
               static_cast<long>(entries[container].total_size));
}

void MemLinkParent(MemListT* list, std::int32_t index) {
  MemLinkParent(list, index, MemFindContainer(list, list->entries[index].back_ptr, 0, index));
}

void MemDetachParent(MemListT* list, std::int32_t index) {
  MemEntryT& entry = list->entries[index];
  if (entry.parent < 0) return;
  list->entries[entry.parent].total_size -= entry.size;
  entry.parent = -1;
}

bool MemReleaseEntry(MemListT* list, std::int32_t index, std::optional<bool> has_children) {
  MemEntryT& entry = list->entries[index];
  if (*entry.back_ptr != entry.address) {
    QZ_MEM_TRACE("**[%ld] Back pointer does not contain address\n",
                 static_cast<long>(entry.sequence));
    return false;
  }
  if (has_children.has_value() ? *has_children : MemHasChildren(list, index)) {
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
  mem_heap().Release(block);
  MemClearSlot(&entry);
  --list->used;
  return true;
}

bool MemReleaseTree(MemListT* list, std::int32_t index) {
  // Every child is met on this walk, so a refused one is exactly what keeps
  // the entry from going.
  bool refused = false;
  for (std::int32_t i = 0; i < list->size; ++i) {
    if (list->entries[i].parent == index && !MemReleaseEntry(list, i)) refused = true;
  }
  return MemReleaseEntry(list, index, refused);
}

}  // namespace qz::detail
