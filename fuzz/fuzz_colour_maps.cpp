// Colour maps, index lists and transforms under random construction, copies,
// (self-)assignment, edits and searches; each is destroyed normally, so a shared
// or stale array shows up as a double free or a use after free. Closest-colour
// answers match a plain search on scales up to 2364, where the float-held
// best distance is exact.
#include <memory>

#include "fuzz_check.h"
#include "qzutil/colour/colour_functions.h"
#include "qzutil/colour/colour_map.h"
#include "qzutil/colour/colour_xfm.h"

namespace {

constexpr int kSlots = 3;

std::int32_t Closest(const ColorMap& m, const ColorRGB& c) {
  std::int64_t best = 3LL * m.maxValue * m.maxValue + 1;
  std::int32_t found = 0;
  for (std::int32_t i = 1; i < m.numColors; ++i) {
    const ColorRGB& e = m.colors[i];
    if (e.red < 0) continue;
    const std::int64_t dr = e.red - c.red, dg = e.green - c.green, db = e.blue - c.blue;
    const std::int64_t d = dr * dr + dg * dg + db * db;
    if (d == 0) return i;
    if (d < best) best = d, found = i;
  }
  return found;
}

ColorRGB Colour(FuzzedDataProvider& in, std::int32_t scale) {
  return {in.ConsumeIntegralInRange(-1, scale), in.ConsumeIntegralInRange(0, scale),
          in.ConsumeIntegralInRange(0, scale)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  std::unique_ptr<ColorMap> maps[kSlots];
  std::unique_ptr<ColorRWMap> lists[kSlots];
  std::unique_ptr<ColorXfm> xfms[kSlots];
  for (int steps = 0; in.remaining_bytes() > 0 && steps < 200; ++steps) {
    const int op = in.ConsumeIntegralInRange(0, 15);
    const int i = in.ConsumeIntegralInRange(0, kSlots - 1);
    const int j = in.ConsumeIntegralInRange(0, kSlots - 1);
    ColorMap* m = maps[i].get();
    ColorMap* other = maps[j].get();
    switch (op) {
      case 0: {
        const auto n = in.ConsumeIntegralInRange<std::int32_t>(-2, 40);
        const auto scale = in.ConsumeIntegralInRange<std::int32_t>(0, 3000);
        std::int32_t values[120];
        for (std::int32_t& v : values)
          v = in.ConsumeIntegralInRange(-1, scale);
        maps[i].reset(
            static_cast<ColorMap*>(ColNewColorMap(n, scale, in.ConsumeBool() ? values : nullptr)));
        FUZZ_CHECK(maps[i] != nullptr && maps[i]->numColors == (n < 0 ? 0 : n));
        break;
      }
      case 1:
        if (other != nullptr) {
          maps[i] = std::make_unique<ColorMap>(*other);
          FUZZ_CHECK(maps[i]->Identical(maps[j].get()) == 1);
        }
        break;
      case 2:
        if (m != nullptr && other != nullptr) {
          *m = *other;
          FUZZ_CHECK(m->Identical(other) == 1 && m->numColors == other->numColors);
        }
        break;
      case 3:
        if (m != nullptr) m->CopyColorMap(other);
        break;
      case 4:
        if (m != nullptr) {
          const ColorRGB c = Colour(in, m->maxValue);
          m->SetMap(in.ConsumeIntegralInRange(-1, m->numColors), &c);
        }
        break;
      case 5:
        if (m != nullptr)
          m->SetRGBIndex(in.ConsumeIntegralInRange(-1, m->numColors),
                         in.ConsumeProbability<float>(), in.ConsumeProbability<float>(),
                         in.ConsumeProbability<float>());
        break;
      case 6:
        if (m != nullptr) {
          const ColorRGB c = Colour(in, m->maxValue);
          std::int32_t distance = -9;
          const std::int32_t got = ColGetClosestColor(&c, m, &distance);
          FUZZ_CHECK(got >= 0 && (got == 0 || got < m->numColors) && (got == 0) == (distance < 0));
          if (m->maxValue <= 2364) FUZZ_CHECK(got == Closest(*m, c));
          const std::int32_t similar = m->GetSimilarColor(&c);
          FUZZ_CHECK(similar >= 0 && (similar == 0 || similar < m->numColors));
        }
        break;
      case 7:
        if (m != nullptr) {
          const auto type = static_cast<ImageType>(in.PickValueInArray({1, 8, 32, 0}));
          m->GetValue(type, static_cast<RGBOrder>(in.ConsumeIntegral<std::uint8_t>() % 3),
                      in.ConsumeIntegralInRange(-1, m->numColors));
        }
        break;
      case 8:
        xfms[i].reset(ColOpenXfm(in.ConsumeIntegralInRange<std::int32_t>(-2, 50)));
        break;
      case 9:
        if (xfms[i] != nullptr) {
          ColMapColors(m, other, xfms[i].get());
          const ColorXfm& x = *xfms[i];
          FUZZ_CHECK(x.numExact + x.numWithin3 + x.numWithin7 + x.numWithin15 + x.numWithin31 <
                     (x.size > 0 ? x.size : 1));
          for (std::int32_t k = 0; k < x.size; ++k)
            x.DoColorXfm(static_cast<std::uint32_t>(k + in.ConsumeIntegralInRange(0, 2)));
        }
        break;
      case 10:
        // Transforms assigned to one another, each destroyed on its own later.
        if (xfms[i] != nullptr && xfms[j] != nullptr) *xfms[i] = *xfms[j];
        break;
      case 11:
        lists[i] = std::make_unique<ColorRWMap>(in.ConsumeIntegralInRange(-2, 40));
        for (std::int32_t k = 0, v = 0; k < lists[i]->size; ++k, ++lists[i]->count)
          lists[i]->list[k] = v += in.ConsumeIntegralInRange(1, 3);
        break;
      case 12:
        if (lists[j] != nullptr) {
          if (lists[i] != nullptr && in.ConsumeBool())
            *lists[i] = *lists[j];
          else
            lists[i] = std::make_unique<ColorRWMap>(*lists[j]);
        }
        break;
      case 13:
        if (lists[i] != nullptr && lists[j] != nullptr && i != j) {
          lists[i]->MakeRoList(lists[j].get(), in.ConsumeIntegralInRange(-3, 10));
          FUZZ_CHECK(lists[j]->count >= 0 && lists[j]->count <= lists[j]->size);
          for (std::int32_t k = 1; k < lists[j]->count; ++k)
            FUZZ_CHECK(lists[j]->list[k] > lists[j]->list[k - 1]);
        }
        break;
      case 14:
        if (m != nullptr && lists[j] != nullptr) {
          const ColorRGB c = Colour(in, 255);
          m->ColxGetReadOnlyColor(lists[j].get(), c.red, c.green, c.blue,
                                  in.ConsumeIntegralInRange(0, 300));
        }
        break;
      default:
        maps[i].reset(m != nullptr ? nullptr : ColOpen(in.ConsumeIntegralInRange(0, 8), 255));
        break;
    }
  }
  return 0;
}
