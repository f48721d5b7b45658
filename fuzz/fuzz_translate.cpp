// Every loop of every instruction set this processor runs against the
// portable loops, on the same bytes, at any alignment and length, out of
// place and in place; then the public functions on the same data.
#include <algorithm>
#include <cstring>
#include <vector>

#include "fuzz_check.h"
#include "qzutil/translate/tra_kernels.h"
#include "qzutil/translate/translate.h"

namespace {

namespace tra = qz::detail::tra;

using Loop = tra::Loop;

// Runs `run` out of place and in place and compares both with `expected`.
template <class Run>
void Same(const std::vector<unsigned char>& src, const std::vector<unsigned char>& expected,
          std::size_t bytes, Run run) {
  std::vector<unsigned char> out(bytes), inplace(src.begin(), src.begin() + bytes);
  if (bytes == 0) return;
  run(src.data(), out.data());
  FUZZ_CHECK(std::memcmp(out.data(), expected.data(), bytes) == 0);
  run(inplace.data(), inplace.data());
  FUZZ_CHECK(std::memcmp(inplace.data(), expected.data(), bytes) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  unsigned char table[256];
  for (int i = 0; i < 128; ++i)
    table[i] = table[i + 128] = in.ConsumeIntegral<std::uint8_t>();
  unsigned char general[256];
  for (unsigned char& b : general)
    b = in.ConsumeIntegral<std::uint8_t>();
  // Exact-size buffers: a loop that reads or writes one byte too many is caught.
  const std::vector<std::uint8_t> bytes = in.ConsumeRemainingBytes<std::uint8_t>();
  const std::vector<unsigned char> src(bytes.begin(), bytes.end());

  const tra::Kernels& ref = tra::portable::Loops();
  for (tra::KernelSet set : {tra::KernelSet::kSse2, tra::KernelSet::kSsse3, tra::KernelSet::kAvx2,
                             tra::KernelSet::kAvx512}) {
    if (!tra::KernelSetAvailable(set)) continue;
    tra::UseKernelSet(set);
    const tra::Kernels& k = tra::ActiveKernels();
    const struct {
      Loop ref, loop;
      std::size_t width;
    } loops[] = {{ref.swap2, k.swap2, 2},
                 {ref.swap4, k.swap4, 4},
                 {ref.swap8, k.swap8, 8},
                 {ref.ieee_to_ibm32, k.ieee_to_ibm32, 4},
                 {ref.ibm_to_ieee32, k.ibm_to_ieee32, 4},
                 {ref.ieee_to_ibm64, k.ieee_to_ibm64, 8},
                 {ref.ibm_to_ieee64, k.ibm_to_ieee64, 8}};
    for (const auto& l : loops) {
      const std::size_t n = src.size() / l.width, used = n * l.width;
      std::vector<unsigned char> expected(used);
      l.ref(n, src.data(), expected.data());
      Same(src, expected, used, [&](const unsigned char* s, unsigned char* d) { l.loop(n, s, d); });
    }
    for (const unsigned char* t :
         {static_cast<const unsigned char*>(table), static_cast<const unsigned char*>(general)}) {
      const tra::TableLoop r = t == table ? ref.lookup_low_half : ref.lookup;
      const tra::TableLoop loop = t == table ? k.lookup_low_half : k.lookup;
      std::vector<unsigned char> expected(src.size());
      r(t, src.size(), src.data(), expected.data());
      Same(src, expected, src.size(),
           [&](const unsigned char* s, unsigned char* d) { loop(t, src.size(), s, d); });
    }
  }
  tra::UseBestKernelSet();

  // The public functions on the same bytes, within their 16-bit counts.
  std::vector<unsigned char> work(src);
  const auto count16 = [&](std::size_t width) {
    return static_cast<unsigned short>(std::min<std::size_t>(work.size() / width, 65535));
  };
  tra_convert_flpt(4, 0xA4, count16(4), work.data(), work.data());
  tra_convert_flpt(16, 0xB8, count16(8), work.data(), work.data());
  tra_swap_bytes(0xB8, count16(8), work.data(), work.data());
  tra_reverse_bits(count16(1), work.data(), work.data());
  tra_convert_charset(1, count16(1), work.data(), work.data());
  tra_convert_charset(2, count16(1), work.data(), work.data());
  return 0;
}
