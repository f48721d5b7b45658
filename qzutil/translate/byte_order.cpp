// Byte-order reversal by primitive type code, and bit reversal within bytes.
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "qzutil/translate/tra_kernels.h"
#include "qzutil/translate/translate.h"

namespace {

// Bit i of a byte moves to bit 7 - i: each result starts at 0 and takes the
// mask of bit 7 - i where the source has the mask of bit i.
struct BitReversal {
  unsigned char entry[256];
  constexpr BitReversal() : entry{} {
    constexpr unsigned char kMask[8] = {1, 2, 4, 8, 16, 32, 64, 128};
    for (int b = 0; b < 256; ++b) {
      unsigned char r = 0;
      for (int i = 0; i < 8; ++i) {
        if ((b & kMask[i]) != 0) r = static_cast<unsigned char>(r | kMask[7 - i]);
      }
      entry[b] = r;
    }
  }
};
constexpr BitReversal kBitReversal;

}  // namespace

void tra_swap_2(unsigned char* p) {
  std::swap(p[0], p[1]);
}

void tra_swap_4(unsigned char* p) {
  std::swap(p[0], p[3]);
  std::swap(p[1], p[2]);
}

void tra_swap_8(unsigned char* p) {
  for (int i = 0; i < 4; ++i)
    std::swap(p[i], p[7 - i]);
}

void tra_swap_bytes(unsigned short type, std::uint32_t count, unsigned char* src,
                    unsigned char* dst) {
  const qz::detail::tra::Kernels& loops = qz::detail::tra::ActiveKernels();
  qz::detail::tra::Loop loop = nullptr;
  switch (type) {
    case 0x42:
    case 0x52:
    case 0x62:
      loop = loops.swap2;
      break;
    case 0x74:
    case 0x84:
    case 0x94:
    case 0xA4:
      loop = loops.swap4;
      break;
    case 0xB8:
      loop = loops.swap8;
      break;
    default:
      // A bad code is a programming error of the caller; nothing is touched.
      std::printf("tra_swap_bytes: invalid primitive type %#02x\n", static_cast<unsigned>(type));
      std::exit(1);
  }
  loop(count, src, dst);
}

void tra_reverse_bits(unsigned short count, unsigned char* src, unsigned char* dst) {
  for (unsigned i = 0; i < count; ++i)
    dst[i] = kBitReversal.entry[src[i]];
}
