// Pools and lists: creation, clearing, deletion, the defaults and the
// availability query.
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "qzutil/memory/mem_internal.h"
#include "qzutil/memory/mem_list.h"

namespace qd = qz::detail;

// The records keep the layout of the 32-bit interface, widened by pointers.
static_assert(sizeof(MemPoolT) == 8, "MemPoolT layout");
static_assert(sizeof(MemEntryT) == (sizeof(void*) == 8 ? 48 : 32), "MemEntryT layout");
static_assert(sizeof(MemListT) == (sizeof(void*) == 8 ? 32 : 20), "MemListT layout");
static_assert(std::is_standard_layout_v<qd::MemListBlock> && offsetof(qd::MemListBlock, list) == 0,
              "a list's address is its block's");
static_assert(sizeof(MemExceptionT) == (sizeof(void*) == 8 ? 32 : 16), "MemExceptionT layout");

namespace {

// Takes an entry off the books without freeing its block or touching its
// owner's variable; its children lose their parent.
void ForgetEntry(MemListT* list, std::int32_t index) {
  qd::MemDetachParent(list, index);
  qd::MemOrphanChildren(list, index);
  list->pool->used -= list->entries[index].size;
  qd::MemDropEntry(list, index);
}

// After a clear, what is still registered was refused: some owner variables
// no longer hold their blocks. Those blocks go back to their owners; their
// removal unblocks the ancestors, which are released normally. Blocks that
// hold each other are still refused then and go back as well. Every back
// pointer is read before anything is freed, since some of them lie inside
// blocks about to be released; `excluded` carries the verdict, the list is
// going away and no search pass can follow.
void HandBackRefused(MemListT* list) {
  for (std::int32_t i = 0; i < list->size; ++i) {
    MemEntryT& entry = list->entries[i];
    entry.excluded = (entry.address != nullptr && *entry.back_ptr != entry.address) ? 1 : 0;
  }
  for (std::int32_t i = 0; i < list->size; ++i) {
    if (list->entries[i].excluded != 0) ForgetEntry(list, i);
  }
  MemListClear(list);
  for (std::int32_t i = 0; i < list->size && list->used > 0; ++i) {
    if (list->entries[i].address != nullptr) ForgetEntry(list, i);
  }
}

}  // namespace

MemPoolT* MemPoolNew(std::int32_t limit) {
  auto* pool = static_cast<MemPoolT*>(qd::MemHeapAllocate(sizeof(MemPoolT)));
  if (pool == nullptr) return nullptr;
  pool->size = limit > 0 ? limit : qd::kMemUnlimited;
  pool->used = 0;
  return pool;
}

void MemPoolDelete(MemPoolT** pool) {
  if (pool == nullptr || *pool == nullptr) return;
  qd::MemHeapRelease(*pool);
  *pool = nullptr;
}

MemListT* MemListNew(MemPoolT* pool, MemExceptionHandler handler) {
  if (pool == nullptr) return nullptr;
  auto* block = static_cast<qd::MemListBlock*>(qd::MemHeapAllocate(sizeof(qd::MemListBlock)));
  if (block == nullptr) return nullptr;
  *block = qd::MemListBlock{};
  block->list = MemListT{0, 0, pool, handler, nullptr};
  if (!qd::MemListGrow(&block->list)) {
    qd::MemHeapRelease(block);
    return nullptr;
  }
  return &block->list;
}

void MemListClear(MemListT* list) {
  if (list == nullptr) return;
  // One walk releases the trees whose children have no children of their
  // own; walking again while something comes off takes deeper trees down
  // leaf first.
  for (std::int32_t before = -1; list->used != before;) {
    before = list->used;
    for (std::int32_t i = 0; i < list->size; ++i) {
      const MemEntryT& entry = list->entries[i];
      if (entry.address == nullptr) continue;
      if (list->used <= 0) {
        QZ_MEM_TRACE("**List used is 0, entry has address\n");
        return;
      }
      QZ_MEM_TRACE("Clear list %#lx address %#lx\n", qd::MemHex(list), qd::MemHex(entry.address));
      qd::MemReleaseTree(list, i);
    }
  }
}

void MemListDelete(MemListT** list) {
  if (list == nullptr || *list == nullptr) return;
  MemListT* doomed = *list;
  if (qd::mem_state().pending != nullptr) qd::MemNoteListDeleted(doomed);
  MemListClear(doomed);
  if (doomed->used > 0) HandBackRefused(doomed);
  if (qd::mem_state().default_list == doomed) qd::mem_state().default_list = nullptr;
  qd::MemHeapRelease(doomed->entries);
  qd::MemHeapRelease(doomed);
  *list = nullptr;
}

void MemSetDefaultList(MemListT* list) {
  qd::mem_state().default_list = list;
}

void MemSetDefaultObject(std::intptr_t key) {
  qd::mem_state().default_key = key;
}

std::int32_t MemAvailable(MemListT* list, std::int32_t size) {
  if (list == nullptr || list->used >= list->size) return 0;
  return std::int64_t{list->pool->used} + size <= list->pool->size ? 1 : 0;
}
