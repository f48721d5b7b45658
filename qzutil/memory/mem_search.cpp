// Eviction search: one walk over the slot table keeps the best candidate,
// which is then released with its direct children.
#include "qzutil/memory/mem_search.h"

#include <cstdint>

#include "qzutil/memory/mem_internal.h"

namespace qd = qz::detail;

namespace {

enum class Pick { kSmallest, kLargest, kOldest };

struct PickRule {
  const char* opening;
  const char* closing;
};

PickRule RuleOf(Pick pick) {
  switch (pick) {
    case Pick::kSmallest:
      return {"!!Remove: Smallest\n", "^^Remove: Smallest\n"};
    case Pick::kLargest:
      return {"!!Remove: Largest\n", "^^Remove: Largest\n"};
    case Pick::kOldest:
      break;
  }
  return {"!!Remove: Oldest\n", "^^Remove: Oldest\n"};
}

// Slot of the best candidate, or -1. Strict comparisons keep the lowest slot
// among equals.
std::int32_t BestCandidate(const MemListT* list, Pick pick) {
  std::int32_t kept = 0;
  if (pick == Pick::kSmallest) kept = qd::kMemUnlimited;
  if (pick == Pick::kOldest) kept = qd::mem_state().sequence;
  std::int32_t best = -1;
  for (std::int32_t i = 0; i < list->size; ++i) {
    const MemEntryT& e = list->entries[i];
    if (e.total_size == 0 || e.excluded != 0) continue;
    switch (pick) {
      case Pick::kSmallest:
        if (e.parent != -1 || e.total_size >= kept) continue;
        kept = e.total_size;
        break;
      case Pick::kLargest:
        if (e.parent != -1 || e.total_size <= kept) continue;
        kept = e.total_size;
        break;
      case Pick::kOldest:
        if (e.sequence >= kept) continue;
        kept = e.sequence;
        break;
    }
    best = i;
  }
  return best;
}

unsigned short Remove(MemListT* list, Pick pick) {
  const PickRule rule = RuleOf(pick);
  QZ_MEM_TRACE("%s", rule.opening);
  if (list == nullptr || list->used == 0) return 0;
  const std::int32_t chosen = BestCandidate(list, pick);
  if (chosen < 0) return 0;
  qd::MemReleaseTree(list, chosen);
  QZ_MEM_TRACE("%s", rule.closing);
  return 1;
}

}  // namespace

void MemListInitializeSearch(MemListT* list) {
  if (list == nullptr) return;
  for (std::int32_t i = 0; i < list->size; ++i)
    list->entries[i].excluded = 0;
  QZ_MEM_TRACE("Initialize search: list %#lx\n", qd::MemHex(list));
}

void MemListRemoveFromSearch(MemListT* list, std::intptr_t key) {
  if (list == nullptr) return;
  for (std::int32_t i = 0; i < list->size; ++i) {
    if (list->entries[i].key == key) list->entries[i].excluded = 1;
  }
  QZ_MEM_TRACE("Remove from search: list %#lx object %#lx\n", qd::MemHex(list), qd::MemHex(key));
}

unsigned short MemListRemoveSmallest(MemListT* list) {
  return Remove(list, Pick::kSmallest);
}

unsigned short MemListRemoveLargest(MemListT* list) {
  return Remove(list, Pick::kLargest);
}

unsigned short MemListRemoveOldest(MemListT* list) {
  return Remove(list, Pick::kOldest);
}
