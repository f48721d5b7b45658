// CLineTypeDefPattern: fragment storage, the zero-space rule and the cursor.
#include "qzutil/linetype/linetype_pattern.h"

#include <cstring>

namespace {

// The count as far as it can be trusted for indexing the slots.
std::int32_t UsableCount(std::int32_t n) {
  if (n < 0) return 0;
  return n > CLineTypeDefPattern::kMaxFragments ? CLineTypeDefPattern::kMaxFragments : n;
}

}  // namespace

CLineTypeDefPattern::CLineTypeDefPattern() {
  RemoveAllFragments();
}

CLineTypeDefPattern::CLineTypeDefPattern(const CLineTypeDefPattern& other) = default;

// Out of line so that it is exported; the empty body, rather than a
// defaulted one, marks that as deliberate.
CLineTypeDefPattern::~CLineTypeDefPattern() {}

CLineTypeDefPattern& CLineTypeDefPattern::operator=(const CLineTypeDefPattern& other) {
  if (this != &other) {
    numFragments = other.numFragments;
    cursor = other.cursor;
    fragmentSum = other.fragmentSum;
    std::memcpy(fragments, other.fragments, sizeof fragments);
  }
  return *this;
}

bool CLineTypeDefPattern::operator==(const CLineTypeDefPattern& other) const {
  if (numFragments != other.numFragments) return false;
  const std::int32_t n = UsableCount(numFragments);
  for (std::int32_t i = 0; i < n; ++i) {
    if (!(fragments[i] == other.fragments[i])) return false;
  }
  return true;
}

bool CLineTypeDefPattern::AddFragment(double length) {
  if (numFragments < 0 || numFragments >= kMaxFragments) return false;
  // An odd count means the new fragment is a space.
  if ((numFragments & 1) != 0 && length == 0.0) return false;
  fragments[numFragments] = length;
  fragmentSum += length;
  ++numFragments;
  return true;
}

void CLineTypeDefPattern::RemoveAllFragments() {
  numFragments = 0;
  cursor = 0;
  fragmentSum = 0.0;
  for (double& f : fragments)
    f = 0.0;
}

double CLineTypeDefPattern::GetFirstFragment() {
  cursor = 0;
  return GetNextFragment();
}

double CLineTypeDefPattern::GetNextFragment() {
  if (cursor < 0 || cursor >= UsableCount(numFragments)) return -1.0;
  return fragments[cursor++];
}

double CLineTypeDefPattern::GetFragmentSum() const {
  return fragmentSum;
}

std::int32_t CLineTypeDefPattern::GetNumFragments() {
  return numFragments;
}
