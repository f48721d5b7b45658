// Umbrella header: includes every public header of qzutil.
#ifndef QZUTIL_QZUTIL_H
#define QZUTIL_QZUTIL_H

#include "qzutil/export.h"
#include "qzutil/frame/records.h"
#include "qzutil/matrix/matrix_flat.h"
#include "qzutil/matrix/mtx2d.h"
#include "qzutil/translate/translate.h"

#endif  // QZUTIL_QZUTIL_H
