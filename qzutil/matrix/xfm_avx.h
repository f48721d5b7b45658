// Internal: the AVX forms of the plain point-list loops, compiled in
// their own translation unit with AVX code generation. They exist when the
// build defines QZUTIL_HAVE_AVX_KERNELS; call them only after the processor
// was found to support AVX (KernelSetAvailable). Same contracts as the Mtx2D
// members they serve.
#ifndef QZUTIL_MATRIX_XFM_AVX_H
#define QZUTIL_MATRIX_XFM_AVX_H

#include <cstdint>

#include "qzutil/frame/records.h"
#include "qzutil/matrix/mtx2d.h"

namespace qz::detail::avx {

void XfmPts(const Mtx2D& m, std::int32_t n, const RealPtT* in, IntPtT* out);
void XfmFPts(const Mtx2D& m, std::int32_t n, const RealPtT* in, IntPtT* out);
void XfmSPts(const Mtx2D& m, std::int32_t n, const RealPtT* in, DevSPtT* out);
void RealXfmPts(const Mtx2D& m, std::int32_t n, const RealPtT* in, RealPtT* out);

}  // namespace qz::detail::avx

#endif  // QZUTIL_MATRIX_XFM_AVX_H
