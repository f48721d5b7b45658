// The colour searches with AVX-512 (foundation and byte/word instructions),
// sixteen entries a block, in integers. Compiled with AVX-512 code
// generation; nothing here runs unless the processor was found to support
// it.
//
// The differences from the colour are taken on the interleaved components
// (the colour repeated in the same pattern), packed to 16 bits with signed
// saturation, regrouped by word permutes into (red, green) and (blue, 0)
// pairs of each entry, and squared and summed pairwise. A difference within
// 16 bits is exact, so every distance up to 3 * 32767^2 is; a saturated one
// gives at least 32767^2 > 2^24, never below the bound of a Vectorisable
// query, and so does a difference that wrapped in 32 bits (at least 2^31 -
// 2^23 in magnitude, the colour lying within +-2^23). The sums are read as
// unsigned: two squares of -32768 make 2^31 and the three at most 3 * 2^30.
// A vacant red (negative) is read as unsigned and capped at 2^31 - 1 first.
#include "qzutil/colour/colour_search.h"

#if defined(__AVX512F__) && defined(__AVX512BW__)

#include <immintrin.h>

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
// y, z); the first pack holds x and y, the second z and zeros.
constexpr std::uint16_t PackedWord(int c) {
  const int lane = c % 16;
  const int word = 8 * (lane / 4) + lane % 4;
  if (c < 16) return static_cast<std::uint16_t>(word);
  if (c < 32) return static_cast<std::uint16_t>(word + 4);
  return static_cast<std::uint16_t>(32 + word);
}

constexpr std::uint16_t kZeroWord = 32 + 4;

struct WordIndex {
  std::uint16_t word[32];
};

// Words 2k and 2k + 1: entry k's red and green, or its blue and a zero.
constexpr WordIndex Pairs(bool blue) {
  WordIndex w{};
  for (int k = 0; k < 16; ++k) {
    w.word[2 * k] = PackedWord(3 * k + (blue ? 2 : 0));
    w.word[2 * k + 1] = blue ? kZeroWord : PackedWord(3 * k + 1);
  }
  return w;
}

constexpr WordIndex kRedGreen = Pairs(false);
constexpr WordIndex kBlue = Pairs(true);

// Per component c of the block: its colour (c % 3), and the cap on its
// value (2^31 - 1 on red, none on the others).
struct Pattern {
  std::int32_t colour[48];
  std::uint32_t cap[48];
};

constexpr Pattern MakePattern() {
  Pattern p{};
  for (int c = 0; c < 48; ++c) {
    p.colour[c] = c % 3;
    p.cap[c] = c % 3 == 0 ? 0x7FFFFFFFu : 0xFFFFFFFFu;
  }
  return p;
}

constexpr Pattern kPattern = MakePattern();

struct Avx512 {
  static constexpr std::int32_t kWidth = 16;
  static constexpr std::int32_t kOffsets[kWidth] = {0, 1, 2,  3,  4,  5,  6,  7,
                                                    8, 9, 10, 11, 12, 13, 14, 15};
  using Scalar = std::uint32_t;
  using D = __m512i;
  using M = __mmask16;

  struct Query {
    __m512i colour[3];
    __m512i cap[3];
    __m512i red_green, blue;
  };

  static Query Prepare(const qz::detail::col::SearchQuery& q) {
    const __m512i rgb =
        _mm512_setr_epi32(q.red, q.green, q.blue, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    Query out{};
    for (int k = 0; k < 3; ++k) {
      out.colour[k] =
          _mm512_maskz_permutexvar_epi32(kAll16, _mm512_loadu_si512(kPattern.colour + 16 * k), rgb);
      out.cap[k] = _mm512_loadu_si512(kPattern.cap + 16 * k);
    }
    out.red_green = _mm512_loadu_si512(kRedGreen.word);
    out.blue = _mm512_loadu_si512(kBlue.word);
    return out;
  }

  static D Distances(const ColorRGB* e, const Query& q) {
    const auto* p = reinterpret_cast<const std::int32_t*>(e);
    __m512i d[3];
    for (int k = 0; k < 3; ++k) {
      const __m512i v = _mm512_maskz_min_epu32(kAll16, _mm512_loadu_si512(p + 16 * k), q.cap[k]);
      d[k] = _mm512_sub_epi32(v, q.colour[k]);
    }
    const __m512i xy = _mm512_packs_epi32(d[0], d[1]);
    const __m512i z0 = _mm512_packs_epi32(d[2], _mm512_setzero_si512());
    const __m512i rg = _mm512_maskz_permutex2var_epi16(kAll32, xy, q.red_green, z0);
    const __m512i b0 = _mm512_maskz_permutex2var_epi16(kAll32, xy, q.blue, z0);
    return _mm512_add_epi32(_mm512_madd_epi16(rg, rg), _mm512_madd_epi16(b0, b0));
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
