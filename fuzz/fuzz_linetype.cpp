// Line-type lists under random operation sequences against a model of each
// slot (index, length, fragments); deep copies must stay apart.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_check.h"
#include "qzutil/linetype/linetype_list.h"

namespace {

struct Row {
  std::uint32_t index;
  double length;
  std::vector<double> fragments;
  bool operator==(const Row& o) const {
    return length == o.length && fragments == o.fragments;  // NaN never equal, as in the list
  }
};

void Compare(CLineTypeDefList& list, const std::vector<Row>& model, std::uint32_t next) {
  FUZZ_CHECK(list.numDefinitions == static_cast<std::int32_t>(model.size()));
  FUZZ_CHECK(list.nextIndex == next);
  for (std::size_t i = 0; i < CLineTypeDefList::kMaxDefinitions; ++i) {
    const CLineTypeDefinition* d = list.definitions[i];
    FUZZ_CHECK((d != nullptr) == (i < model.size()));
    if (d == nullptr) continue;
    const std::vector<double>& f = model[i].fragments;
    FUZZ_CHECK(d->index == model[i].index &&
               std::memcmp(&d->patternLength, &model[i].length, sizeof(double)) == 0);
    FUZZ_CHECK(d->pattern.numFragments == static_cast<std::int32_t>(f.size()));
    FUZZ_CHECK(f.empty() || std::memcmp(d->pattern.fragments, f.data(), 8 * f.size()) == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  auto list = std::make_unique<CLineTypeDefList>();
  std::vector<Row> model;
  for (int i = 0; i < list->numDefinitions; ++i) {
    const CLineTypeDefinition* d = list->definitions[i];
    model.push_back({d->index,
                     d->patternLength,
                     {d->pattern.fragments, d->pattern.fragments + d->pattern.numFragments}});
  }
  std::uint32_t next = list->nextIndex;
  static const double kLengths[] = {0.0, -0.0, 1.0, 0.5, -1.0, 2.5, __builtin_nan("")};
  while (in.remaining_bytes() > 0) {
    const int op = in.ConsumeIntegralInRange(0, 4);
    if (op <= 1) {
      // A new definition; fragments added one by one, refusals checked.
      auto* d = new CLineTypeDefinition;
      d->SetIndex(in.ConsumeBool() ? in.ConsumeIntegralInRange<std::uint32_t>(0, 20)
                                   : in.ConsumeIntegral<std::uint32_t>());
      d->SetPatternLength(in.PickValueInArray(kLengths));
      Row row{d->GetIndex(), d->GetPatternLength(), {}};
      for (int n = in.ConsumeIntegralInRange(0, 23); n > 0; --n) {
        const double f = in.PickValueInArray(kLengths);
        const bool refused =
            row.fragments.size() == 20 || (row.fragments.size() % 2 == 1 && f == 0.0);
        FUZZ_CHECK(d->AddFragment(f) == !refused);
        if (!refused) row.fragments.push_back(f);
      }
      if (in.ConsumeBool()) d->SetPattern(CLineTypeDefPattern(d->GetPattern()));
      FUZZ_CHECK(d->GetPattern().GetNumFragments() ==
                 static_cast<std::int32_t>(row.fragments.size()));
      bool found = true;
      const std::int32_t r = list->AddLineTypeDefinition(d, found);
      const bool full = model.size() == CLineTypeDefList::kMaxDefinitions;
      const auto same = std::find(model.begin(), model.end(), row);
      if (full || row.index == 0) {
        FUZZ_CHECK(r == -1 && !found);
        delete d;
      } else if (same != model.end()) {
        FUZZ_CHECK(found && r == static_cast<std::int32_t>(same->index));
        delete d;
      } else {
        const bool taken = std::any_of(model.begin(), model.end(),
                                       [&](const Row& m) { return m.index == row.index; });
        const std::uint32_t index = taken ? next : row.index;
        if (index > 2147483647u) {
          FUZZ_CHECK(r == -1 && !found);
          delete d;
        } else {
          FUZZ_CHECK(!found && r == static_cast<std::int32_t>(index) && d->index == index);
          row.index = index;
          model.push_back(row);
          if (index >= next) next = index + 1;
        }
      }
    } else if (op == 2) {
      const std::uint32_t index = in.ConsumeIntegralInRange<std::uint32_t>(0, 30);
      const CLineTypeDefinition* d = list->GetDefinition(index);
      const auto k =
          std::find_if(model.begin(), model.end(), [&](const Row& m) { return m.index == index; }) -
          model.begin();
      FUZZ_CHECK(d == (index == 0 || k == std::ssize(model) ? nullptr : list->definitions[k]));
    } else if (op == 3) {
      // A deep copy, edited and then assigned back or dropped.
      CLineTypeDefList copy(*list);
      Compare(copy, model, next);
      if (copy.numDefinitions > 0) copy.definitions[0]->RemoveAllFragments();
      if (in.ConsumeBool()) {
        *list = copy;
        if (!model.empty()) model[0].fragments.clear();
      }
    } else {
      *list = *list;
      CLineTypeDefPattern p;
      for (const Row& m : model)
        if (!m.fragments.empty()) p.AddFragment(m.fragments[0]);
      for (double f = p.GetFirstFragment(); f != -1.0 && p.cursor <= p.numFragments;)
        f = p.GetNextFragment();
    }
    Compare(*list, model, next);
  }
  return 0;
}
