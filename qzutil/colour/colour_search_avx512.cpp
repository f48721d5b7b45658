// The colour searches with AVX-512 (foundation and byte/word instructions),
// sixteen entries a block, in integers. Compiled with AVX-512 code
// generation; nothing here runs unless the processor was found to support
// it.
//
// The block's components are packed to 16 bits with signed saturation and
// regrouped by word permutes into a (red, green) and a (blue, 0) pair per
// entry; the colour is subtracted with signed saturation, and the pairs are
// squared and summed by multiply-adds. A component within 16 bits whose
// difference is within 16 bits gives it exactly. Otherwise the difference
// comes out at least 4096 in magnitude, so the distance at least 2^24,
// never below the bound of a Vectorisable query: the colour's components
// lie within +-2^14, so a saturated component (32767 or -32768) is at least
// 16383 from it, and a saturated difference is at least 32767. The sums are
// read as unsigned: two squares of -32768 make 2^31 and the three at most
// 3 * 2^30. Saturation keeps the sign of a vacant (negative) red, which is
// then capped at 32767.
#include "qzutil/colour/colour_search.h"

#if defined(__AVX512F__) && defined(__AVX512BW__)

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "qzutil/colour/colour_search_blocks.h"

namespace {

static_assert(sizeof(ColorRGB) == 12, "entries are three packed 32-bit components");

// The zero-masking forms below with every lane selected are the plain
// instructions; GCC's plain intrinsics pass an undefined register that its
// own uninitialised-use warning then flags.
constexpr __mmask16 kAll16 = 0xFFFF;
constexpr __mmask32 kAll32 = 0xFFFFFFFF;

// Word w of packs(a, b) is a[4L + w % 8] (w % 8 < 4) or b[4L + w % 8 - 4],
// L = w / 8. The block's component c is lane c % 16 of register c / 16 (x,
// y, z); the permutes read packs(x, y) as words 0 to 31 and packs(0, z) as
// words 32 to 63.
constexpr std::uint16_t PackedWord(int c) {
  const int lane = c % 16;
  const int word = 8 * (lane / 4) + lane % 4;
  if (c < 16) return static_cast<std::uint16_t>(word);
  if (c < 32) return static_cast<std::uint16_t>(word + 4);
  return static_cast<std::uint16_t>(32 + word + 4);
}

constexpr std::uint16_t kZeroWord = 32;

struct WordIndex {
  std::uint16_t word[32];
};

// Words 2k and 2k + 1: entry k's red and green, or its blue and a zero.
constexpr WordIndex Pairs(bool blue) {
  WordIndex w{};
  for (std::size_t k = 0; k < 16; ++k) {
    const auto c = static_cast<int>(3 * k);
    w.word[2 * k] = PackedWord(c + (blue ? 2 : 0));
    w.word[2 * k + 1] = blue ? kZeroWord : PackedWord(c + 1);
  }
  return w;
}

constexpr WordIndex kRedGreen = Pairs(false);
constexpr WordIndex kBlue = Pairs(true);

struct Avx512 {
  static constexpr std::int32_t kWidth = 16;
  static constexpr std::int32_t kOffsets[kWidth] = {0, 1, 2,  3,  4,  5,  6,  7,
                                                    8, 9, 10, 11, 12, 13, 14, 15};
  using Scalar = std::uint32_t;
  using D = __m512i;
  using M = __mmask16;

  struct Query {
    __m512i red_green, blue;        // the colour as (red, green) and (blue, 0) words
    __m512i red_green_at, blue_at;  // the word permutes
  };

  static __m512i Words(std::int32_t low, std::int32_t high) {
    const auto l = static_cast<std::uint32_t>(low) & 0xFFFFu;
    const auto h = static_cast<std::uint32_t>(high) << 16;
    return _mm512_set1_epi32(static_cast<std::int32_t>(l | h));
  }

  static Query Prepare(const qz::detail::col::SearchQuery& q) {
    return {Words(q.red, q.green), Words(q.blue, 0), _mm512_loadu_si512(kRedGreen.word),
            _mm512_loadu_si512(kBlue.word)};
  }

  static D Distances(const ColorRGB* e, const Query& q) {
    const auto* p = reinterpret_cast<const std::int32_t*>(e);
    const __m512i xy = _mm512_packs_epi32(_mm512_loadu_si512(p), _mm512_loadu_si512(p + 16));
    const __m512i z = _mm512_packs_epi32(_mm512_setzero_si512(), _mm512_loadu_si512(p + 32));
    const __m512i rg = _mm512_maskz_permutex2var_epi16(kAll32, xy, q.red_green_at, z);
    const __m512i b = _mm512_maskz_permutex2var_epi16(kAll32, xy, q.blue_at, z);
    // A vacant red, negative, is above 32767 as an unsigned word: capping it
    // there puts it at least 16383 from the colour's red.
    const __m512i capped =
        _mm512_min_epu16(rg, _mm512_set1_epi32(static_cast<std::int32_t>(0xFFFF7FFFu)));
    const __m512i drg = _mm512_subs_epi16(capped, q.red_green);
    const __m512i db = _mm512_subs_epi16(b, q.blue);
    return _mm512_add_epi32(_mm512_madd_epi16(drg, drg), _mm512_madd_epi16(db, db));
  }

  static D Set(Scalar v) { return _mm512_set1_epi32(static_cast<std::int32_t>(v)); }
  static D Min(D d, D v) { return _mm512_maskz_min_epu32(kAll16, d, v); }
  static M Equal(D a, D b) { return _mm512_cmpeq_epi32_mask(a, b); }
  static bool Any(M m) { return m != 0; }
  static D PassOver(M m, D d) { return _mm512_mask_mov_epi32(d, m, _mm512_set1_epi32(-1)); }
  static Scalar LowestLane(D v) {
    Scalar lanes[kWidth];
    _mm512_storeu_si512(lanes, v);
    const __m256i w =
        _mm256_min_epu32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(lanes)),
                         _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lanes + 8)));
    __m128i h = _mm_min_epu32(_mm256_castsi256_si128(w), _mm256_extracti128_si256(w, 1));
    h = _mm_min_epu32(h, _mm_shuffle_epi32(h, _MM_SHUFFLE(1, 0, 3, 2)));
    h = _mm_min_epu32(h, _mm_shuffle_epi32(h, _MM_SHUFFLE(2, 3, 0, 1)));
    return static_cast<Scalar>(_mm_cvtsi128_si32(h));
  }
  static unsigned EqualBits(D v, D w) { return _mm512_cmpeq_epi32_mask(v, w); }
  static D Load(const Scalar* p) { return _mm512_loadu_si512(p); }
  static void Store(Scalar* out, D v) { _mm512_storeu_si512(out, v); }
};

}  // namespace

namespace qz::detail::col::avx512 {

BlockResult Blocks(const SearchQuery& q) {
  return ScanBlocks<Avx512>(q);
}

}  // namespace qz::detail::col::avx512

#endif  // __AVX512F__ && __AVX512BW__
