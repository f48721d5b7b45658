// Eviction: choosing a block of an allocation list to take back from its
// owner, usually from inside the list's exception handler.
//
// A search pass runs from one MemListInitializeSearch to the next; during a
// pass MemListRemoveFromSearch protects every entry of a key. Each removal is
// one walk over the slots in index order; a candidate has a nonzero
// total_size and is not protected. Comparisons are strict, so among equal
// values the lowest slot wins:
//   Smallest  entries without a parent, least total_size;
//   Largest   entries without a parent, greatest total_size;
//   Oldest    any entry, least sequence number (children count too).
// The chosen entry is released with its direct children first, which frees
// the blocks, lowers the pool's used and sets each owner's variable to null.
//
// A removal answers 1 when it chose an entry, even if the release was then
// refused (an owner's variable no longer holds its block, or a child has
// children of its own): the pool's used is then unchanged and the same entry
// is chosen again by the next call, so a handler that removes until a request
// fits must also stop when a removal frees nothing. It answers 0 when the
// list is empty or has no candidate. The list must not be null; no default
// list is substituted.
#ifndef QZUTIL_MEMORY_MEM_SEARCH_H
#define QZUTIL_MEMORY_MEM_SEARCH_H

#include <stdint.h>

#include "qzutil/export.h"
#include "qzutil/memory/mem_list.h"

QZ_EXTERN_C_BEGIN

// Starts a pass: no entry of the list is protected any more.
QZ_API void MemListInitializeSearch(MemListT* list);
// Protects every entry of `key` until the next MemListInitializeSearch.
QZ_API void MemListRemoveFromSearch(MemListT* list, intptr_t key);

QZ_API unsigned short MemListRemoveSmallest(MemListT* list);
QZ_API unsigned short MemListRemoveLargest(MemListT* list);
QZ_API unsigned short MemListRemoveOldest(MemListT* list);

QZ_EXTERN_C_END

#endif  // QZUTIL_MEMORY_MEM_SEARCH_H
