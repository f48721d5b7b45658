// Translation loops beside memcpy of the same bytes, on 64 KiB buffers
// (cache-resident) and 64 MiB buffers (memory-bound).
//
// Arguments: buffer bytes and, for the library's loops, the instruction set
// (0 portable, 1 SSE2, 2 SSSE3, 3 AVX2, 4 AVX2 with the AVX-512 VBMI table
// lookup; sets this processor lacks are skipped). The portable set is the plain
// one-element-at-a-time loop. Compare bytes_per_second with BM_Memcpy (out of place) and
// BM_InPlaceLimit (a vector read and write back of every byte) at the same size.
//
// The functions whose count is 16-bit (character sets, floating point) are
// called on chunks of 32768 elements, as a caller with a large buffer would.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "qzutil/translate/tra_kernels.h"
#include "qzutil/translate/translate.h"

namespace {

constexpr std::size_t kChunk = 32768;

using Buffer = std::vector<unsigned char>;

Buffer RandomBytes(std::size_t n) {
  std::mt19937_64 rng(7);
  Buffer b(n);
  for (std::size_t i = 0; i < n; i += 8) {
    const std::uint64_t w = rng();
    std::memcpy(b.data() + i, &w, std::min<std::size_t>(8, n - i));
  }
  return b;
}

// Seismic-like samples: normal values of mixed sign and magnitude.
template <class Real>
Buffer Samples(std::size_t bytes) {
  std::mt19937_64 rng(11);
  std::uniform_real_distribution<Real> mantissa(-1, 1);
  std::uniform_int_distribution<int> exponent(-20, 20);
  Buffer b(bytes);
  for (std::size_t i = 0; i + sizeof(Real) <= bytes; i += sizeof(Real)) {
    const Real v = std::ldexp(mantissa(rng), exponent(rng));
    std::memcpy(b.data() + i, &v, sizeof v);
  }
  return b;
}

bool SelectKernels(benchmark::State& state) {
  const auto set = static_cast<qz::detail::tra::KernelSet>(state.range(1));
  if (!qz::detail::tra::KernelSetAvailable(set)) {
    state.SkipWithError("instruction set not available");
    return false;
  }
  qz::detail::tra::UseKernelSet(set);
  return true;
}

void Finish(benchmark::State& state) {
  state.SetBytesProcessed(state.iterations() * state.range(0));
  qz::detail::tra::UseBestKernelSet();
}

void BM_Memcpy(benchmark::State& state) {
  const auto bytes = static_cast<std::size_t>(state.range(0));
  Buffer src = RandomBytes(bytes), dst(bytes);
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), bytes);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

#if defined(__x86_64__) || defined(__i386__)
// Reads every 32 bytes and writes them back: the limit of any in-place pass.
__attribute__((target("avx2"))) void ReadWriteBack(unsigned char* p, std::size_t bytes) {
  // An unknown zero keeps the compiler from dropping the stores.
  __m256i zero = _mm256_setzero_si256();
  asm volatile("" : "+x"(zero));
  for (std::size_t i = 0; i + 64 <= bytes; i += 64) {
    auto* v = reinterpret_cast<__m256i*>(p + i);
    const __m256i a = _mm256_loadu_si256(v), b = _mm256_loadu_si256(v + 1);
    _mm256_storeu_si256(v, _mm256_xor_si256(a, zero));
    _mm256_storeu_si256(v + 1, _mm256_xor_si256(b, zero));
  }
}

void BM_InPlaceLimit(benchmark::State& state) {
  if (!__builtin_cpu_supports("avx2")) {
    state.SkipWithError("needs AVX2");
    return;
  }
  const auto bytes = static_cast<std::size_t>(state.range(0));
  Buffer buf = RandomBytes(bytes);
  for (auto _ : state) {
    ReadWriteBack(buf.data(), bytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_InPlaceLimit)->Arg(1 << 16)->Arg(1 << 26);
#endif

template <unsigned short kType, std::size_t kSize, bool kInPlace>
void BM_SwapBytes(benchmark::State& state) {
  if (!SelectKernels(state)) return;
  const auto bytes = static_cast<std::size_t>(state.range(0));
  Buffer src = RandomBytes(bytes), dst(bytes);
  unsigned char* out = kInPlace ? src.data() : dst.data();
  for (auto _ : state) {
    tra_swap_bytes(kType, static_cast<std::uint32_t>(bytes / kSize), src.data(), out);
    benchmark::ClobberMemory();
  }
  Finish(state);
}

template <short kConversion>
void BM_Charset(benchmark::State& state) {
  if (!SelectKernels(state)) return;
  const auto bytes = static_cast<std::size_t>(state.range(0));
  Buffer src = RandomBytes(bytes), dst(bytes);
  for (auto _ : state) {
    for (std::size_t i = 0; i < bytes; i += kChunk) {
      const auto n = static_cast<unsigned short>(std::min(kChunk, bytes - i));
      tra_convert_charset(kConversion, n, src.data() + i, dst.data() + i);
    }
    benchmark::ClobberMemory();
  }
  Finish(state);
}

// Converts IEEE samples, or the IBM form of them, with `mode`.
template <unsigned short kType, int kMode>
void BM_Flpt(benchmark::State& state) {
  if (!SelectKernels(state)) return;
  constexpr std::size_t kSize = kType == 0xA4 ? 4 : 8;
  const auto bytes = static_cast<std::size_t>(state.range(0));
  Buffer src = kSize == 4 ? Samples<float>(bytes) : Samples<double>(bytes), dst(bytes);
  if (kMode == 16) {
    for (std::size_t i = 0; i < bytes; i += kChunk * kSize) {
      const auto n = static_cast<unsigned short>(std::min(kChunk, (bytes - i) / kSize));
      tra_convert_flpt(4, kType, n, src.data() + i, src.data() + i);
    }
  }
  for (auto _ : state) {
    for (std::size_t i = 0; i < bytes; i += kChunk * kSize) {
      const auto n = static_cast<unsigned short>(std::min(kChunk, (bytes - i) / kSize));
      tra_convert_flpt(kMode, kType, n, src.data() + i, dst.data() + i);
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0) / static_cast<std::int64_t>(kSize));
  Finish(state);
}

void KernelArgs(benchmark::internal::Benchmark* b) {
  for (std::int64_t bytes : {std::int64_t{1} << 16, std::int64_t{1} << 26}) {
    for (std::int64_t set = 0; set < 5; ++set)
      b->Args({bytes, set});
  }
}

}  // namespace

BENCHMARK(BM_Memcpy)->Arg(1 << 16)->Arg(1 << 26);
BENCHMARK(BM_SwapBytes<0x84, 4, false>)->Name("BM_Swap4")->Apply(KernelArgs);
BENCHMARK(BM_SwapBytes<0x84, 4, true>)->Name("BM_Swap4InPlace")->Apply(KernelArgs);
BENCHMARK(BM_SwapBytes<0xB8, 8, false>)->Name("BM_Swap8")->Apply(KernelArgs);
BENCHMARK(BM_SwapBytes<0xB8, 8, true>)->Name("BM_Swap8InPlace")->Apply(KernelArgs);
BENCHMARK(BM_Charset<1>)->Name("BM_AsciiToEbcdic")->Apply(KernelArgs);
BENCHMARK(BM_Charset<2>)->Name("BM_EbcdicToAscii")->Apply(KernelArgs);
BENCHMARK(BM_Flpt<0xA4, 4>)->Name("BM_IeeeToIbm32")->Apply(KernelArgs);
BENCHMARK(BM_Flpt<0xA4, 16>)->Name("BM_IbmToIeee32")->Apply(KernelArgs);
BENCHMARK(BM_Flpt<0xB8, 4>)->Name("BM_IeeeToIbm64")->Apply(KernelArgs);
BENCHMARK(BM_Flpt<0xB8, 16>)->Name("BM_IbmToIeee64")->Apply(KernelArgs);

BENCHMARK_MAIN();
