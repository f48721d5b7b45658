#include "qzutil/geometry/byte_order.h"

#include <bit>

// A big-endian build would answer wrongly rather than fail; refuse it.
static_assert(std::endian::native == std::endian::little,
              "qzutil is built for little-endian hosts only");

std::int32_t utl_is_little_endian() {
  return 1;
}

unsigned short UtlByteOrderIsIntel() {
  return 1;
}
