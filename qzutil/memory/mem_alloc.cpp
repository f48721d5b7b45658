// Tracked allocation, moving a block to another owner variable, and release.
#include <cstdint>

#include "qzutil/memory/mem_internal.h"
#include "qzutil/memory/mem_list.h"

namespace qd = qz::detail;

namespace {

// A block of `size` bytes from the heap; null for a negative size. A zero
// size takes one byte so that the block is a distinct non-null address.
void* TakeBlock(std::int32_t size) {
  if (size < 0) return nullptr;
  return qd::mem_heap().Allocate(size == 0 ? 1u : static_cast<std::size_t>(size));
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
  const std::int32_t container = qd::MemFindContainer(list, back_ptr, -1);
  std::int32_t slot = qd::MemFindFreeSlot(list);
  if (slot < 0) {
    if (!qd::MemListGrow(list)) return false;
    slot = qd::MemFindFreeSlot(list);
  }
  MemPoolT* pool = list->pool;
  pool->used += size;
  qd::MemState& state = qd::mem_state();
  const std::int32_t sequence = state.sequence;
  qd::MemAddEntry(list, slot, MemEntryT{block, size, size, key, back_ptr, 0, sequence, -1});
  // Wraps instead of overflowing after 2^31 allocations.
  state.sequence = static_cast<std::int32_t>(static_cast<std::uint32_t>(sequence) + 1u);
  QZ_MEM_TRACE("  [%ld] Allocation address %#lx total size %ld pool used %ld\n",
               static_cast<long>(sequence), qd::MemHex(block), static_cast<long>(size),
               static_cast<long>(pool->used));
  qd::MemLinkParent(list, slot, container);
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
    qd::mem_heap().Release(block);
    QZ_MEM_TRACE("**Pool overflow after exception processing\n");
    return MEM_POOL_OVERFLOW;
  }
  if (!Register(list, block, size, key, back_ptr)) {
    qd::mem_heap().Release(block);
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
    qd::mem_heap().Release(address);
    return;
  }
  QZ_MEM_TRACE("Free: list %#lx address %#lx\n", qd::MemHex(list), qd::MemHex(address));
  const std::int32_t index = qd::MemFindAddress(list, address);
  if (index >= 0) {
    qd::MemReleaseEntry(list, index);
    return;
  }
  QZ_MEM_TRACE("**Address not found\n");
  qd::mem_heap().Release(address);
}
