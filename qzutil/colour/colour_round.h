// Conversion of a real colour component to an integer (internal).
#ifndef QZUTIL_COLOUR_COLOUR_ROUND_H
#define QZUTIL_COLOUR_COLOUR_ROUND_H

#include <cstdint>

namespace qz::detail {

// Truncation toward zero, as a C cast does. A value outside the signed
// 32-bit range, or a NaN, gives INT32_MIN, the x86 answer, on every platform
// instead of undefined behaviour.
inline std::int32_t TruncateToInt(double v) {
  if (!(v > -2147483649.0 && v < 2147483648.0)) return INT32_MIN;
  return static_cast<std::int32_t>(v);
}

}  // namespace qz::detail

#endif  // QZUTIL_COLOUR_COLOUR_ROUND_H
