// CLineTypeDefinition: number, length and pattern of one line type.
#include "qzutil/linetype/linetype_definition.h"

CLineTypeDefinition::CLineTypeDefinition() : index(0), patternLength(0.0) {}

CLineTypeDefinition::CLineTypeDefinition(const CLineTypeDefinition& other) = default;

// Out of line so that it is exported; the empty body, rather than a
// defaulted one, marks that as deliberate.
CLineTypeDefinition::~CLineTypeDefinition() {}

CLineTypeDefinition& CLineTypeDefinition::operator=(const CLineTypeDefinition& other) {
  if (this != &other) {
    index = other.index;
    patternLength = other.patternLength;
    pattern = other.pattern;
  }
  return *this;
}

bool CLineTypeDefinition::operator==(const CLineTypeDefinition& other) const {
  return patternLength == other.patternLength && pattern == other.pattern;
}

std::uint32_t CLineTypeDefinition::GetIndex() const {
  return index;
}

void CLineTypeDefinition::SetIndex(std::uint32_t value) {
  index = value;
}

double CLineTypeDefinition::GetPatternLength() const {
  return patternLength;
}

void CLineTypeDefinition::SetPatternLength(double value) {
  patternLength = value;
}

CLineTypeDefPattern& CLineTypeDefinition::GetPattern() {
  return pattern;
}

// The interface takes the pattern by value.
// NOLINTNEXTLINE(performance-unnecessary-value-param)
void CLineTypeDefinition::SetPattern(CLineTypeDefPattern value) {
  pattern.RemoveAllFragments();
  // Read the slots directly rather than through GetNextFragment, whose end
  // marker -1.0 is also a length a fragment may have.
  const std::int32_t n = value.numFragments < CLineTypeDefPattern::kMaxFragments
                             ? value.numFragments
                             : CLineTypeDefPattern::kMaxFragments;
  for (std::int32_t i = 0; i < n; ++i)
    pattern.AddFragment(value.fragments[i]);
}

bool CLineTypeDefinition::AddFragment(double length) {
  return pattern.AddFragment(length);
}

void CLineTypeDefinition::RemoveAllFragments() {
  pattern.RemoveAllFragments();
}
