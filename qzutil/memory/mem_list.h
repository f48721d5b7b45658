// Budgeted, tracked allocation: pools, allocation lists and their blocks.
//
// A pool (MemPoolT) is a byte budget shared by any number of lists. A list
// (MemListT) records every block it hands out together with the address of
// the caller's pointer variable that holds the block (its back pointer), the
// key of the owning object, an age (a sequence number drawn from one counter
// shared by every list of the process) and its parent block. Because the list
// knows each back pointer, the library can take a block away from its owner:
// it frees the block and sets the owner's variable to null.
//
// A block whose back pointer lies inside another block of the same list is
// that block's child; the parent's total_size counts its own size plus the
// sizes of its direct children. A block with living children is never
// released. A block moved (MemSetPointer) into a variable inside one of its
// own descendants becomes that descendant's child as well: the blocks then
// hold each other, and neither is released until one is moved out again.
//
// When a request does not fit, MemAllocate calls the list's handler with a
// MemExceptionT. A nonzero answer lets the allocation go on with its next
// step (the condition is not tested again); zero gives up and the code is
// returned. A list without a handler treats every exception as answered 0.
// Checks run in this order: request larger than the whole pool
// (MEM_POOL_TOO_SMALL), slot table full and unable to grow (MEM_LIST_FULL),
// pool used + request over the budget (MEM_POOL_OVERFLOW), heap failure
// (MEM_MALLOC_FAILED). After any failure the caller's variable and the
// pool's `used` are exactly as they were.
//
// Decisions where the behaviour is otherwise open:
//  - MEM_MALLOC_FAILED answered nonzero: the block is requested from the
//    heap once more; if that fails too, MEM_MALLOC_FAILED is returned. A
//    null block is never registered.
//  - MEM_LIST_FULL answered nonzero: the handler is presumed to have freed a
//    slot; if none is free the call fails with MEM_LIST_FULL. No slot beyond
//    the table is ever used.
//  - MemListClear releases every block of the list, not only the children:
//    it walks the slots in index order releasing each tree (direct children,
//    then the entry) and repeats the walk while it still releases something,
//    so deeper trees come down leaf first. Releases refused by the usual rules
//    (the owner's variable no longer holds the block, a descendant of it is
//    such a block, or blocks hold each other) leave those entries
//    registered. MemListDelete clears the list, then hands the
//    still-registered blocks back to their owners: it takes their bytes off
//    the pool, forgets them without freeing them or touching the owners'
//    variables, and releases what that unblocks. Such a block belongs to
//    whoever holds it; it came from malloc, so it is freed with free() or
//    with MemFree(NULL, block) while no default list is set.
//  - MemSetPointer detaches the entry from its former parent (whose
//    total_size drops by the entry's size) before looking for a new parent,
//    so total_size stays true for every parent.
//
// Not checked: pointers documented as not null, the use of a list after its
// pool was deleted, and back pointers that lie in memory freed behind the
// list's back (a back pointer inside a block of another list, or a stack
// variable that went out of scope). Requests below zero bytes are heap
// failures; a request of zero bytes takes a one-byte block.
//
// Blocks, slot tables, pools and lists come from malloc and go back with
// free. There is no locking: the default list, the default key and the
// sequence counter are process-wide, and a list is used by one thread at a
// time. The handler runs inside MemAllocate and may call any operation of
// this family on the same list, including deleting it. If during the handler
// the list is deleted, or the block that holds *back_ptr is released (by
// MemFree, an eviction, MemListClear or MemListDelete, of any list),
// MemAllocate gives up as if the handler had answered 0: it returns the code
// it raised, touches the list no more and stores nothing through back_ptr.
//
// Costs. MemAllocate, MemFree and MemSetPointer take constant time whatever
// the number of blocks in the list (amortised: the table's heap block
// doubles when full, and is then rebuilt in time proportional to its
// slots); each looks a block up by address, finds the lowest free slot and
// finds the block that holds a back pointer through indexes kept beside the
// slot table, in the table's own heap block (charged to no pool, freed with
// the list; when the heap refuses it, the table cannot grow, as before). A
// release of a tree costs the number of its direct children times their
// logarithm (they go in slot order). The whole-list operations walk the
// slot table: MemListClear (and so MemListDelete) once per level of the
// deepest tree, and the search operations of mem_search.h once per call. The
// indexes take 76 to 125 bytes per slot of the table's block besides the 48
// (64-bit) or 32 bytes of the slot itself.
#ifndef QZUTIL_MEMORY_MEM_LIST_H
#define QZUTIL_MEMORY_MEM_LIST_H

#include <stdint.h>

#include "qzutil/export.h"

QZ_EXTERN_C_BEGIN

// Result of MemAllocate and code of an exception handed to the handler.
enum {
  MEM_OK = 0,              // allocated and stored through the back pointer
  MEM_POOL_OVERFLOW = 1,   // pool used + request is more than the pool's size
  MEM_LIST_FULL = 2,       // every slot is in use and the table cannot grow
  MEM_POOL_TOO_SMALL = 3,  // the request alone is more than the pool's size
  MEM_MALLOC_FAILED = 4,   // the heap cannot supply the block
};

// A byte budget.
typedef struct MemPoolT {
  int32_t size;  // budget in bytes; 2147483647 for a pool without a positive limit
  int32_t used;  // bytes of the blocks registered in lists of this pool
} MemPoolT;

// One slot of a list. A free slot has every field 0 except parent (-1).
typedef struct MemEntryT {
  void* address;            // the block; null marks a free slot
  int32_t size;             // the block's size in bytes
  int32_t total_size;       // size plus the size of every direct child
  intptr_t key;             // the owning object's key
  void** back_ptr;          // the caller's variable that holds address
  unsigned short excluded;  // 1 while left out of the eviction search
  int32_t sequence;         // age: the sequence number of the allocation
  int32_t parent;           // slot index of the parent in this list, -1 for none
} MemEntryT;

typedef struct MemListT MemListT;

// What the handler receives; list and key after default substitution.
typedef struct MemExceptionT {
  int32_t code;  // MEM_POOL_OVERFLOW .. MEM_MALLOC_FAILED
  MemListT* list;
  intptr_t key;
  int32_t size;  // the requested size in bytes
} MemExceptionT;

// Nonzero lets the allocation go on; zero gives up.
typedef unsigned short (*MemExceptionHandler)(MemExceptionT* exception);

// An allocation list.
struct MemListT {
  int32_t size;                 // slots in entries: 16 at creation, grown by 16
  int32_t used;                 // slots that hold a block
  MemPoolT* pool;               // the budget this list charges
  MemExceptionHandler handler;  // may be null
  MemEntryT* entries;           // the slot table, `size` entries
};

// A pool of `limit` bytes; 0 or a negative limit gives 2147483647. Null when
// out of memory.
QZ_API MemPoolT* MemPoolNew(int32_t limit);
// Frees *pool and sets *pool to null; a null pool is ignored. The lists that
// use the pool must be deleted first.
QZ_API void MemPoolDelete(MemPoolT** pool);

// A list of 16 free slots charging `pool`. Null (with nothing left
// allocated) when out of memory, and for a null pool.
QZ_API MemListT* MemListNew(MemPoolT* pool, MemExceptionHandler handler);
// Releases every block it can (see above); a null list is ignored.
QZ_API void MemListClear(MemListT* list);
// Clears *list, hands refused blocks back to their owners, frees the slot
// table and the list and sets *list to null; a null list is ignored. If the
// list is the default list, there is no default list afterwards.
QZ_API void MemListDelete(MemListT** list);

// The list used when MemAllocate, MemSetPointer or MemFree get a null list.
QZ_API void MemSetDefaultList(MemListT* list);
// The key used when MemAllocate gets a key of 0.
QZ_API void MemSetDefaultObject(intptr_t key);

// 1 if a slot is free and pool used + size is within the pool's size, else
// 0. Answers 0 while every slot is used, although MemAllocate would grow the
// table. 0 for a null list.
QZ_API int32_t MemAvailable(MemListT* list, int32_t size);

// Allocates `size` bytes charged to `list` (null: the default list) for
// `key` (0: the default key) and stores the block in *back_ptr. With no list
// at all the block comes straight from the heap, unrecorded. Returns one of
// the MEM_ codes; *back_ptr is written only on MEM_OK.
QZ_API int32_t MemAllocate(MemListT* list, int32_t size, intptr_t key, void** back_ptr);

// Records that the block at `address` is now held by *back_ptr (which must
// not be null) and stores it there. The old variable is left alone. Nothing
// happens for a null address or with no list at all.
QZ_API void MemSetPointer(MemListT* list, void* address, void** back_ptr);

// Releases the block at `address`: frees it and sets its owner's variable to
// null. Refused (nothing changes) while the owner's variable no longer holds
// the block or while the block has living children. An address the list does
// not hold, or any address with no list at all, is freed all the same.
QZ_API void MemFree(MemListT* list, void* address);

QZ_EXTERN_C_END

#endif  // QZUTIL_MEMORY_MEM_LIST_H
