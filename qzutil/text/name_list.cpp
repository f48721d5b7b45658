#include <cstdlib>
#include <cstring>

#include "qzutil/text/name_fold.h"
#include "qzutil/text/name_info.h"

namespace {

using qz::detail::FoldedName;

// A heap copy of `name`, or null when memory runs out.
char* CopyName(const char* name) {
  const std::size_t size = std::strlen(name) + 1;
  char* copy = static_cast<char*>(qz::detail::name_alloc(size));
  if (copy != nullptr) std::memcpy(copy, name, size);
  return copy;
}

// An unlinked entry with its own copy of `name`; both blocks or neither.
VarListEntryT* NewEntry(const char* name, std::intptr_t info) {
  auto* entry = static_cast<VarListEntryT*>(qz::detail::name_alloc(sizeof(VarListEntryT)));
  if (entry == nullptr) return nullptr;
  entry->name = CopyName(name);
  if (entry->name == nullptr) {
    std::free(entry);
    return nullptr;
  }
  entry->next = nullptr;
  entry->info = info;
  return entry;
}

// The first entry whose name matches, and in `*link` the pointer that holds it.
VarListEntryT* FindFirst(VarListEntryT** head, const char* name, VarListEntryT*** link) {
  const FoldedName key(name);
  for (VarListEntryT** at = head; *at != nullptr; at = &(*at)->next) {
    if (key.Matches((*at)->name)) {
      *link = at;
      return *at;
    }
  }
  return nullptr;
}

}  // namespace

unsigned short VarLookupNameInfo(const VarListEntryT* first, const char* name,
                                 std::intptr_t* info) {
  const FoldedName key(name);
  for (; first != nullptr; first = first->next) {
    if (key.Matches(first->name)) {
      if (info != nullptr) *info = first->info;
      return 1;
    }
  }
  return 0;
}

const char* VarAddNameInfo(VarListEntryT** head, const char* name, std::intptr_t info) {
  if (head == nullptr || name == nullptr) return nullptr;
  VarListEntryT** tail = head;
  for (; *tail != nullptr; tail = &(*tail)->next) {
    if (qz::detail::SameNameIgnoringCase((*tail)->name, name)) return nullptr;
  }
  VarListEntryT* entry = NewEntry(name, info);
  if (entry == nullptr) return nullptr;
  *tail = entry;
  return entry->name;
}

const char* VarInsertNameInfo(VarListEntryT** head, const char* name, std::intptr_t info,
                              std::int32_t position, const char* reference) {
  if (position == VAR_INSERT_END) return VarAddNameInfo(head, name, info);
  if (head == nullptr || *head == nullptr || name == nullptr) return nullptr;

  // The whole list is walked: a duplicate anywhere refuses the insert, and
  // the last entry named `reference` is the one used.
  const FoldedName key(name);
  const FoldedName ref(reference);
  VarListEntryT** link_to_ref = nullptr;
  for (VarListEntryT** at = head; *at != nullptr; at = &(*at)->next) {
    if (key.Matches((*at)->name)) return nullptr;
    if (ref.Matches((*at)->name)) link_to_ref = at;
  }
  if (link_to_ref == nullptr) return nullptr;

  VarListEntryT* entry = NewEntry(name, info);
  if (entry == nullptr) return nullptr;
  VarListEntryT* const ref_entry = *link_to_ref;
  if (position == VAR_INSERT_AFTER) {
    entry->next = ref_entry->next;
    ref_entry->next = entry;
  } else {
    entry->next = ref_entry;
    *link_to_ref = entry;
  }
  return entry->name;
}

const char* VarReplaceNameInfo(VarListEntryT* first, const char* old_name, const char* new_name) {
  VarListEntryT** link = nullptr;
  VarListEntryT* entry = FindFirst(&first, old_name, &link);
  if (entry == nullptr || new_name == nullptr) return nullptr;
  char* copy = CopyName(new_name);  // before the old name goes: a failure changes nothing
  if (copy == nullptr) return nullptr;
  std::free(entry->name);
  entry->name = copy;
  return copy;
}

void VarExchangeNameInfo(VarListEntryT* first, const char* name1, const char* name2) {
  const FoldedName key1(name1);
  const FoldedName key2(name2);
  VarListEntryT* last1 = nullptr;
  VarListEntryT* last2 = nullptr;
  for (VarListEntryT* e = first; e != nullptr; e = e->next) {
    if (key1.Matches(e->name)) last1 = e;
    if (key2.Matches(e->name)) last2 = e;
  }
  if (last1 == nullptr || last2 == nullptr) return;
  const std::intptr_t info = last1->info;
  last1->info = last2->info;
  last2->info = info;
}

std::intptr_t VarDeleteNameInfo(VarListEntryT** head, const char* name) {
  if (head == nullptr) return 0;
  VarListEntryT** link = nullptr;
  VarListEntryT* entry = FindFirst(head, name, &link);
  if (entry == nullptr) return 0;
  *link = entry->next;
  const std::intptr_t info = entry->info;
  std::free(entry->name);
  std::free(entry);
  return info;
}

const char* VarGetName(const VarListEntryT* entry) {
  return entry != nullptr ? entry->name : nullptr;
}

std::intptr_t VarListInfo(const VarListEntryT* entry) {
  return entry != nullptr ? entry->info : 0;
}

void VarNextListEntry(VarListEntryT** entry) {
  if (entry != nullptr && *entry != nullptr) *entry = (*entry)->next;
}
