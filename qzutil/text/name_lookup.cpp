#include <cstdint>

#include "qzutil/text/name_fold.h"
#include "qzutil/text/name_info.h"

namespace {

// The low 16 bits of a table value as a signed number.
std::int32_t Low16(std::int32_t value) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF));
}

const char kUnknown[] = "Unknown";

}  // namespace

unsigned short VarLookupInt(const VarNameIntT* table, const char* name, std::int32_t* value) {
  if (table == nullptr) return 0;
  const qz::detail::FoldedName key(name);
  for (; table->name != nullptr; ++table) {
    if (key.Matches(table->name)) {
      if (value != nullptr) *value = Low16(table->value);
      return 1;
    }
  }
  return 0;
}

unsigned short VarLookupString(const VarNameIntT* table, std::int32_t value, const char** name) {
  if (name != nullptr) *name = kUnknown;
  if (table == nullptr) return 0;
  for (; table->name != nullptr; ++table) {
    if (Low16(table->value) == value) {
      if (name != nullptr) *name = table->name;
      return 1;
    }
  }
  return 0;
}
