// Name-info lists under random operation sequences against a vector of
// (name, info) in list order. Names from a small alphabet meet each other;
// some are longer than the 159 characters the folded comparisons keep.
#include <strings.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "qzutil/text/name_info.h"

namespace {

using Model = std::vector<std::pair<std::string, std::intptr_t>>;

// Folded comparison of the first 159 characters, or of whole names.
bool Same(const std::string& a, const std::string& b, bool whole = false) {
  const std::size_t keep = whole ? std::string::npos : 159;
  return strncasecmp(a.c_str(), b.c_str(), keep) == 0;
}
int First(const Model& m, const std::string& name, bool whole = false) {
  for (std::size_t i = 0; i < m.size(); ++i)
    if (Same(m[i].first, name, whole)) return static_cast<int>(i);
  return -1;
}
int Last(const Model& m, const std::string& name) {
  for (std::size_t i = m.size(); i-- > 0;)
    if (Same(m[i].first, name)) return static_cast<int>(i);
  return -1;
}

std::string Name(FuzzedDataProvider& in) {
  static const char kAlphabet[] = "aAbB_ ~";
  const std::uint8_t shape = in.ConsumeIntegral<std::uint8_t>();
  std::string name;
  const std::size_t length = (shape & 0x80) != 0 ? 150 + (shape & 0x1F) : shape % 5;
  for (std::size_t i = 0; i < length; ++i)
    name += kAlphabet[(i < 4 ? in.ConsumeIntegral<std::uint8_t>() : shape) % 7];
  return name;
}

void Compare(const VarListEntryT* head, const Model& m) {
  std::size_t i = 0;
  for (VarListEntryT* e = const_cast<VarListEntryT*>(head); e != nullptr; VarNextListEntry(&e)) {
    FUZZ_CHECK(i < m.size() && m[i].first == VarGetName(e) && m[i].second == VarListInfo(e));
    ++i;
  }
  FUZZ_CHECK(i == m.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  VarListEntryT* head = nullptr;
  Model m;
  std::intptr_t next_info = 1;
  while (in.remaining_bytes() > 0 && m.size() < 64) {
    const int op = in.ConsumeIntegralInRange(0, 6);
    const std::string a = Name(in), b = Name(in);
    const std::intptr_t info = next_info++;
    switch (op) {
      case 0: {
        const char* r = VarAddNameInfo(&head, a.c_str(), info);
        const bool dup = First(m, a, true) >= 0;
        FUZZ_CHECK((r == nullptr) == dup);
        if (!dup) m.emplace_back(a, info);
        break;
      }
      case 1: {
        const auto position = in.ConsumeIntegralInRange<std::int32_t>(-1, 3);
        const char* r = VarInsertNameInfo(&head, a.c_str(), info, position, b.c_str());
        // At the end it is VarAddNameInfo, which compares whole names.
        const bool end = position == VAR_INSERT_END;
        int at = -1;
        if (First(m, a, end) < 0) {
          if (end) {
            at = static_cast<int>(m.size());
          } else if (const int ref = Last(m, b); ref >= 0) {
            at = ref + (position == VAR_INSERT_AFTER ? 1 : 0);
          }
        }
        FUZZ_CHECK((r == nullptr) == (at < 0));
        if (at >= 0) m.insert(m.begin() + at, {a, info});
        break;
      }
      case 2: {
        const char* r = VarReplaceNameInfo(head, a.c_str(), b.c_str());
        const int at = First(m, a);
        FUZZ_CHECK((r == nullptr) == (at < 0));
        if (at >= 0) m[at].first = b;
        break;
      }
      case 3: {
        VarExchangeNameInfo(head, a.c_str(), b.c_str());
        const int i = Last(m, a), j = Last(m, b);
        if (i >= 0 && j >= 0) std::swap(m[i].second, m[j].second);
        break;
      }
      case 4: {
        const std::intptr_t r = VarDeleteNameInfo(&head, a.c_str());
        const int at = First(m, a);
        FUZZ_CHECK(r == (at < 0 ? 0 : m[at].second));
        if (at >= 0) m.erase(m.begin() + at);
        break;
      }
      case 5: {
        std::intptr_t found = -5;
        const int at = First(m, a);
        FUZZ_CHECK(VarLookupNameInfo(head, a.c_str(), &found) == (at >= 0 ? 1 : 0));
        FUZZ_CHECK(found == (at >= 0 ? m[at].second : -5));
        break;
      }
      default: {
        // A constant table of the two names: first row wins, low 16 bits.
        const VarNameIntT table[] = {{b.c_str(), 0x12345}, {a.c_str(), -2}, {nullptr, 0}};
        std::int32_t value = 99;
        FUZZ_CHECK(VarLookupInt(table, a.c_str(), &value) == 1);
        FUZZ_CHECK(value == (Same(a, b) ? 0x2345 : -2));
        const char* name = nullptr;
        FUZZ_CHECK(VarLookupString(table, -2, &name) == 1 && name == a.c_str());
        FUZZ_CHECK(VarLookupString(table, 7, &name) == 0 && std::strcmp(name, "Unknown") == 0);
        break;
      }
    }
    Compare(head, m);
  }
  while (head != nullptr)
    VarDeleteNameInfo(&head, VarGetName(head));
  return 0;
}
