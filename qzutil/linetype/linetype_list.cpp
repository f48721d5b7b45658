// CLineTypeDefList: the built-in table, recognition of known patterns, fresh
// numbers for taken ones, and deep copies.
#include "qzutil/linetype/linetype_list.h"

#include <cstdint>
#include <new>

namespace {

constexpr std::int32_t kSlots = CLineTypeDefList::kMaxDefinitions;
// Largest index the int result of AddLineTypeDefinition can carry.
constexpr std::uint32_t kMaxIndex = 0x7FFFFFFF;

struct BuiltInLineType {
  std::uint32_t index;
  std::int32_t numFragments;
  double patternLength;
  double fragments[6];
};

// Added in this order; all thirteen differ, so each keeps its own number.
constexpr BuiltInLineType kBuiltIns[] = {
    {1, 1, 10.0, {100}},
    {2, 2, 5.0, {60, 40}},
    {3, 2, 2.5, {10, 40}},
    {4, 4, 7.5, {80, 30, 20, 30}},
    {5, 6, 10.0, {80, 30, 20, 30, 20, 30}},
    {6, 1, 10.0, {110}},
    {7, 1, 12.0, {120}},
    {8, 1, 13.0, {130}},
    {9, 2, 7.5, {80, 70}},
    {10, 4, 15.0, {140, 50, 60, 50}},
    {11, 4, 21.5, {310, 30, 60, 30}},
    {12, 2, 6.5, {90, 40}},
    {13, 6, 15.5, {130, 20, 60, 20, 60, 20}},
};

void ClearSlots(CLineTypeDefinition** slots) {
  for (std::int32_t i = 0; i < kSlots; ++i)
    slots[i] = nullptr;
}

void DeleteSlots(CLineTypeDefinition** slots) {
  for (std::int32_t i = 0; i < kSlots; ++i) {
    delete slots[i];
    slots[i] = nullptr;
  }
}

// Duplicates every non-null slot of `from` into the same slot of `to`, whose
// slots must all be null. On an allocation failure the duplicates made so
// far are deleted again and false is returned.
bool CloneSlots(CLineTypeDefinition* const* from, CLineTypeDefinition** to) {
  for (std::int32_t i = 0; i < kSlots; ++i) {
    if (from[i] == nullptr) continue;
    to[i] = new (std::nothrow) CLineTypeDefinition(*from[i]);
    if (to[i] == nullptr) {
      DeleteSlots(to);
      return false;
    }
  }
  return true;
}

}  // namespace

CLineTypeDefList::CLineTypeDefList() : numDefinitions(0), nextIndex(0) {
  ClearSlots(definitions);
  for (const BuiltInLineType& b : kBuiltIns) {
    auto* d = new (std::nothrow) CLineTypeDefinition;
    if (d == nullptr) continue;
    d->SetIndex(b.index);
    d->SetPatternLength(b.patternLength);
    for (std::int32_t i = 0; i < b.numFragments; ++i)
      d->AddFragment(b.fragments[i]);
    bool found = false;
    if (AddLineTypeDefinition(d, found) < 0 || found) delete d;
  }
}

CLineTypeDefList::CLineTypeDefList(const CLineTypeDefList& other)
    : numDefinitions(0), nextIndex(0) {
  ClearSlots(definitions);
  if (CloneSlots(other.definitions, definitions)) {
    numDefinitions = other.numDefinitions;
    nextIndex = other.nextIndex;
  }
}

CLineTypeDefList::~CLineTypeDefList() {
  DeleteSlots(definitions);
}

CLineTypeDefList& CLineTypeDefList::operator=(const CLineTypeDefList& other) {
  if (this == &other) return *this;
  // Build the duplicates aside first so that a failure leaves this list whole.
  CLineTypeDefinition* copies[kSlots];
  ClearSlots(copies);
  if (!CloneSlots(other.definitions, copies)) return *this;
  DeleteSlots(definitions);
  for (std::int32_t i = 0; i < kSlots; ++i)
    definitions[i] = copies[i];
  numDefinitions = other.numDefinitions;
  nextIndex = other.nextIndex;
  return *this;
}

CLineTypeDefinition* CLineTypeDefList::GetDefinition(std::uint32_t index) {
  if (index == 0) return nullptr;
  for (CLineTypeDefinition* d : definitions) {
    if (d != nullptr && d->index == index) return d;
  }
  return nullptr;
}

std::int32_t CLineTypeDefList::AddLineTypeDefinition(CLineTypeDefinition* definition, bool& found) {
  found = false;
  if (numDefinitions >= kSlots || definition == nullptr || definition->index == 0) return -1;

  bool taken = false;
  std::int32_t slot = 0;
  for (; slot < kSlots && definitions[slot] != nullptr; ++slot) {
    const CLineTypeDefinition& stored = *definitions[slot];
    if (stored.index == definition->index) taken = true;
    if (stored == *definition) {
      found = true;
      return static_cast<std::int32_t>(stored.index);
    }
  }
  // No free slot although the count says otherwise: the slots were edited
  // from outside; refuse rather than write past them.
  if (slot == kSlots) return -1;

  const std::uint32_t index = taken ? nextIndex : definition->index;
  if (index == 0 || index > kMaxIndex) return -1;
  if (taken) {
    ++nextIndex;
  } else if (index >= nextIndex) {
    nextIndex = index + 1;
  }
  definition->index = index;
  definitions[slot] = definition;
  ++numDefinitions;
  return static_cast<std::int32_t>(index);
}
