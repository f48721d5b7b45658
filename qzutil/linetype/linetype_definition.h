// CLineTypeDefinition: a dash pattern with its line-type number and length.
//
// `index` is the line-type number; 0 means "no number yet" and such a
// definition is refused by CLineTypeDefList. `patternLength` is the length
// the pattern is drawn to, set by the caller on its own: it is not derived
// from the fragments and need not equal their sum.
//
// A definition handed to CLineTypeDefList::AddLineTypeDefinition and stored
// there is deleted by the list, so it must come from plain `new`.
#ifndef QZUTIL_LINETYPE_LINETYPE_DEFINITION_H
#define QZUTIL_LINETYPE_LINETYPE_DEFINITION_H

#include <cstdint>

#include "qzutil/export.h"
#include "qzutil/linetype/linetype_pattern.h"

class QZ_API CLineTypeDefinition {
 public:
  std::uint32_t index;  // line-type number, 0 for none
  double patternLength;
  CLineTypeDefPattern pattern;  // held by value

  CLineTypeDefinition();  // index 0, length 0.0, empty pattern
  CLineTypeDefinition(const CLineTypeDefinition& other);
  // Nothing to release; defined in the library so that it is exported with
  // the other members.
  ~CLineTypeDefinition();
  CLineTypeDefinition& operator=(const CLineTypeDefinition& other);

  // Same pattern length (exact comparison) and equal patterns. The index
  // takes no part: two numbers for the same dash look alike.
  bool operator==(const CLineTypeDefinition& other) const;

  std::uint32_t GetIndex() const;
  void SetIndex(std::uint32_t value);
  double GetPatternLength() const;
  void SetPatternLength(double value);

  // The embedded pattern, for direct use.
  CLineTypeDefPattern& GetPattern();
  // Empties the own pattern and adds the given fragments one by one with
  // AddFragment, so a zero space or a slot beyond 20 in `value` is dropped
  // again. patternLength stays as it is.
  void SetPattern(CLineTypeDefPattern value);

  bool AddFragment(double length);  // AddFragment on the pattern
  // Empties the pattern; index and patternLength stay as they are.
  void RemoveAllFragments();
};

#endif  // QZUTIL_LINETYPE_LINETYPE_DEFINITION_H
