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

std::int32_t MemFindFreeSlot(const MemListT* list) {
  for (std::int32_t i = 0; i < list->size; ++i) {
    if (list->entries[i].address == nullptr) return i;
  }
  return -1;
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

namespace {

// True when slot `candidate` lies in the tree below slot `root`.
bool IsDescendant(const MemListT* list, std::int32_t candidate, std::int32_t root) {
  // Links never form a cycle, so the chain ends within `size` steps.
  for (std::int32_t i = candidate, steps = 0; i >= 0 && steps <= list->size;
       i = list->entries[i].parent, ++steps) {
    if (i == root) return true;
  }
  return false;
}

}  // namespace

void MemLinkParent(MemListT* list, std::int32_t index) {
  MemEntryT* entries = list->entries;
  const auto target = reinterpret_cast<std::uintptr_t>(entries[index].back_ptr);
  for (std::int32_t p = 0; p < list->size; ++p) {
    if (p == index || entries[p].address == nullptr) continue;
    const auto begin = reinterpret_cast<std::uintptr_t>(entries[p].address);
    const auto end = begin + static_cast<std::uint32_t>(entries[p].size);
    if (target < begin || target >= end) continue;
    if (IsDescendant(list, p, index)) continue;
    entries[index].parent = p;
    entries[p].total_size += entries[index].size;
    QZ_MEM_TRACE("    Parent sequence [%ld] total size %ld\n",
                 static_cast<long>(entries[p].sequence), static_cast<long>(entries[p].total_size));
    return;
  }
}

void MemDetachParent(MemListT* list, std::int32_t index) {
  MemEntryT& entry = list->entries[index];
  if (entry.parent < 0) return;
  list->entries[entry.parent].total_size -= entry.size;
  entry.parent = -1;
}

bool MemReleaseEntry(MemListT* list, std::int32_t index) {
  MemEntryT& entry = list->entries[index];
  if (*entry.back_ptr != entry.address) {
    QZ_MEM_TRACE("**[%ld] Back pointer does not contain address\n",
                 static_cast<long>(entry.sequence));
    return false;
  }
  for (std::int32_t i = 0; i < list->size; ++i) {
    if (list->entries[i].parent == index) {
      // The text ends in a slash and an n, without a line break.
      QZ_MEM_TRACE("**[%ld] Is parent/n", static_cast<long>(entry.sequence));
      return false;
    }
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
  *entry.back_ptr = nullptr;
  mem_heap().Release(block);
  MemClearSlot(&entry);
  --list->used;
  return true;
}

bool MemReleaseTree(MemListT* list, std::int32_t index) {
  for (std::int32_t i = 0; i < list->size; ++i) {
    if (list->entries[i].parent == index) MemReleaseEntry(list, i);
  }
  return MemReleaseEntry(list, index);
}

}  // namespace qz::detail
