// CLineTypeDefList: the table of known line types.
//
// A list starts with thirteen built-in definitions, numbered 1 to 13 and
// stored in slots 0 to 12, and only grows, up to 850 definitions. Stored
// definitions fill the slots from 0 upwards without gaps; the remaining
// slots are null. `nextIndex` is kept above every index in the list and is
// the number handed to a new definition whose own number is already taken.
//
// Ownership: a definition that AddLineTypeDefinition stores belongs to the
// list from then on and is deleted by the list's destructor, so it must come
// from plain `new` and the caller must not delete it. A definition that is
// not stored (result -1, or `found` set) stays the caller's.
//
// Copying: the copy constructor and the assignment operator make a deep
// copy. Every stored definition is duplicated, so each list owns its own
// objects and both can be destroyed; a change made through one list's
// definitions never shows in the other. If memory for the duplicates cannot
// be obtained, assignment leaves the target exactly as it was, and the copy
// constructor yields an empty list (numDefinitions 0, nextIndex 0); nothing
// is leaked either way.
//
// If memory for a built-in definition cannot be obtained, the constructor
// leaves that one out and goes on with the rest; the others keep their own
// numbers and slots close up behind the missing one.
#ifndef QZUTIL_LINETYPE_LINETYPE_LIST_H
#define QZUTIL_LINETYPE_LINETYPE_LIST_H

#include <cstdint>

#include "qzutil/export.h"
#include "qzutil/linetype/linetype_definition.h"

class QZ_API CLineTypeDefList {
 public:
  enum { kMaxDefinitions = 850 };

  CLineTypeDefinition* definitions[kMaxDefinitions];  // owned; null beyond the last
  std::int32_t numDefinitions;                        // stored definitions, 0 to 850
  std::uint32_t nextIndex;                            // above every stored index

  CLineTypeDefList();                               // seeded with the thirteen built-in definitions
  CLineTypeDefList(const CLineTypeDefList& other);  // deep copy, see above
  ~CLineTypeDefList();                              // deletes every stored definition
  CLineTypeDefList& operator=(const CLineTypeDefList& other);  // deep copy, see above

  // The first stored definition, in slot order, whose index is `index`; null
  // for 0 or when no stored definition has that number. The list keeps
  // ownership of the answer.
  CLineTypeDefinition* GetDefinition(std::uint32_t index);

  // Stores `definition` or recognises one already held.
  // - found = true and the stored definition's index when a stored
  //   definition equals it (operator==: same pattern length and fragments,
  //   whatever the numbers); the scan runs in slot order and the first equal
  //   one answers. `definition` is not stored.
  // - otherwise the definition is stored and its index returned; if that
  //   index was taken, the definition first receives nextIndex as its new
  //   index. nextIndex moves past the stored index.
  // - -1, with found false and nothing changed, when the list is full, when
  //   `definition` is null or its index is 0, and when the index to be stored
  //   would not fit the result (above 2147483647). Fullness, null and 0 are
  //   checked first, so a full list does not recognise a known pattern either.
  std::int32_t AddLineTypeDefinition(CLineTypeDefinition* definition, bool& found);
};

#endif  // QZUTIL_LINETYPE_LINETYPE_LIST_H
