// Umbrella header: includes every public header of qzutil.
#ifndef QZUTIL_QZUTIL_H
#define QZUTIL_QZUTIL_H

#include "qzutil/colour/colour_functions.h"
#include "qzutil/colour/colour_map.h"
#include "qzutil/colour/colour_rgb.h"
#include "qzutil/colour/colour_value.h"
#include "qzutil/colour/colour_xfm.h"
#include "qzutil/export.h"
#include "qzutil/frame/records.h"
#include "qzutil/matrix/matrix_flat.h"
#include "qzutil/matrix/mtx2d.h"
#include "qzutil/text/name_info.h"
#include "qzutil/text/str_parse.h"

#endif  // QZUTIL_QZUTIL_H
