// Host byte-order queries.
//
// The library is built for little-endian (Intel byte order) hosts only; both
// queries answer so without a run-time test. The byte-swapping routines
// belong to the translation family.
#ifndef QZUTIL_GEOMETRY_BYTE_ORDER_H
#define QZUTIL_GEOMETRY_BYTE_ORDER_H

#include <stdint.h>

#include "qzutil/export.h"

QZ_EXTERN_C_BEGIN

// Always 1.
QZ_API int32_t utl_is_little_endian(void);
// Always 1 (yes).
QZ_API unsigned short UtlByteOrderIsIntel(void);

QZ_EXTERN_C_END

#endif  // QZUTIL_GEOMETRY_BYTE_ORDER_H
