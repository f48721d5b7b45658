// Case-insensitive name tables: constant name-to-integer tables and linked
// name-info lists.
//
// Names are compared with letter case ignored. Every operation but
// VarAddNameInfo folds copies of both names into 160-character working
// buffers, so it tells names apart by their first 159 characters only; longer
// names are cut there, never written past the buffers. VarAddNameInfo
// compares the whole names. A null name never matches and is never added.
//
// No locking: a table or list is used by one thread at a time.
#ifndef QZUTIL_TEXT_NAME_INFO_H
#define QZUTIL_TEXT_NAME_INFO_H

#include <stdint.h>

#include "qzutil/export.h"

// One row of a constant lookup table. A table is an array of rows closed by
// a row whose `name` is null. The lookups use the low 16 bits of `value`, as
// a signed number.
typedef struct VarNameIntT {
  const char* name;
  int32_t value;
} VarNameIntT;

// One entry of a name-info list. A list is held in the caller's head
// variable (the first entry, or null when empty). The list operations
// allocate entries and their name copies with malloc and free them; `info` is
// the caller's word, stored and handed back, never interpreted or freed. The
// names that the add, insert and replace operations and VarGetName return
// are the entry's own copy: valid until that entry is renamed or deleted,
// never freed by the caller.
typedef struct VarListEntryT {
  struct VarListEntryT* next;  // null at the end
  char* name;                  // the entry's own copy of its name
  intptr_t info;
} VarListEntryT;

// Positions of VarInsertNameInfo; any other value acts as VAR_INSERT_BEFORE.
enum {
  VAR_INSERT_BEFORE = 0,  // right before the reference entry
  VAR_INSERT_AFTER = 1,   // right after the reference entry
  VAR_INSERT_END = 2,     // at the end, as VarAddNameInfo; no reference used
};

QZ_EXTERN_C_BEGIN

// Finds the first row whose name equals `name` and stores its value (low 16
// bits, sign-extended) in `*value`. Returns 1 if found, else 0 with `*value`
// untouched. `table` and `name` may be null (nothing is found).
QZ_API unsigned short VarLookupInt(const VarNameIntT* table, const char* name, int32_t* value);

// Stores the constant text "Unknown" in `*name`, then replaces it by the name
// of the first row whose value (low 16 bits, sign-extended) equals `value`.
// Returns 1 if found, else 0. `table` may be null. The text stays the
// table's (or the library's); callers never free it.
QZ_API unsigned short VarLookupString(const VarNameIntT* table, int32_t value, const char** name);

// Stores the `info` of the first entry named `name` in `*info`. Returns 1 if
// found, else 0 with `*info` untouched. `first` may be null (empty list).
QZ_API unsigned short VarLookupNameInfo(const VarListEntryT* first, const char* name,
                                        intptr_t* info);

// Appends an entry named `name` to the list in `*head` unless an entry of
// that name exists. Returns the new entry's copy of the name, or null for a
// duplicate or when memory runs out; the list is then unchanged.
QZ_API const char* VarAddNameInfo(VarListEntryT** head, const char* name, intptr_t info);

// Inserts an entry named `name` before or after the entry named `reference`
// (the last entry of that name, should renaming have made two), or at the
// end. Returns the new entry's copy of the name, or null (list unchanged)
// when the list is empty (except at the end), the name is present anywhere
// in the list, no entry is named `reference`, or memory runs out.
QZ_API const char* VarInsertNameInfo(VarListEntryT** head, const char* name, intptr_t info,
                                     int32_t position, const char* reference);

// Renames the first entry named `old_name`, in place, keeping its `info`.
// The new name is not checked against the other entries. Returns the entry's
// new copy of the name, or null (entry unchanged) when there is no such entry
// or memory runs out.
QZ_API const char* VarReplaceNameInfo(VarListEntryT* first, const char* old_name,
                                      const char* new_name);

// Exchanges the `info` words of the last entry named `name1` and the last
// entry named `name2`; does nothing unless both exist.
QZ_API void VarExchangeNameInfo(VarListEntryT* first, const char* name1, const char* name2);

// Unlinks and frees the first entry named `name` and returns its `info`;
// returns 0 when there is none (or when that entry's `info` was 0). A null
// `head` is treated as an empty list.
QZ_API intptr_t VarDeleteNameInfo(VarListEntryT** head, const char* name);

// The entry's name (null for a null entry).
QZ_API const char* VarGetName(const VarListEntryT* entry);

// The entry's `info`, or 0 for a null entry.
QZ_API intptr_t VarListInfo(const VarListEntryT* entry);

// Advances the cursor `*entry` to the following entry. A null `entry`, or a
// cursor that already holds null, is left alone.
QZ_API void VarNextListEntry(VarListEntryT** entry);

QZ_EXTERN_C_END

#endif  // QZUTIL_TEXT_NAME_INFO_H
