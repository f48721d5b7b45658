// Floating-point format conversion between IEEE 754 and IBM hexadecimal, in
// single and double width. The element rules are in flpt_rules.h; the loops
// that apply them to whole buffers are chosen in kernel_select.cpp.
#include <cstdio>
#include <cstring>

#include "qzutil/translate/tra_kernels.h"
#include "qzutil/translate/translate.h"

namespace {

// The diagnostic line names this routine's source and the report's line.
constexpr const char* kSourceName = "tra_prm0";
constexpr int kReportLine = 409;

enum Mode { kCopy = 0, kIeeeToIbm = 4, kIbmToIeee = 16 };

}  // namespace

void tra_convert_flpt(std::int32_t mode, unsigned short type, unsigned short count,
                      unsigned char* src, unsigned char* dst) {
  const qz::detail::tra::Kernels& loops = qz::detail::tra::ActiveKernels();
  qz::detail::tra::Loop loop = nullptr;
  std::size_t size = 0;
  const std::int32_t masked = mode & 0xFC;  // the two low bits are ignored
  if (type == 0xA4) {
    size = 4;
    loop = masked == kIeeeToIbm   ? loops.ieee_to_ibm32
           : masked == kIbmToIeee ? loops.ibm_to_ieee32
                                  : nullptr;
  } else if (type == 0xB8) {
    size = 8;
    loop = masked == kIeeeToIbm   ? loops.ieee_to_ibm64
           : masked == kIbmToIeee ? loops.ibm_to_ieee64
                                  : nullptr;
  }
  if (size != 0 && masked == kCopy) {
    if (src != dst && count != 0) std::memmove(dst, src, size * count);
    return;
  }
  if (loop == nullptr) {
    std::fprintf(stderr, "ZRK MSG(%s,%d): %s\n", kSourceName, kReportLine,
                 "tra_convert_flpt: unimplemented conversion");
    return;
  }
  loop(count, src, dst);
}
