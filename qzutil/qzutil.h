// Umbrella header: includes every public header of qzutil.
#ifndef QZUTIL_QZUTIL_H
#define QZUTIL_QZUTIL_H

#include "qzutil/export.h"
#include "qzutil/frame/records.h"
#include "qzutil/geometry/byte_order.h"
#include "qzutil/geometry/conic.h"
#include "qzutil/geometry/cubic.h"
#include "qzutil/geometry/extents.h"
#include "qzutil/geometry/picking.h"
#include "qzutil/geometry/trig.h"
#include "qzutil/geometry/units.h"
#include "qzutil/matrix/matrix_flat.h"
#include "qzutil/matrix/mtx2d.h"

#endif  // QZUTIL_QZUTIL_H
