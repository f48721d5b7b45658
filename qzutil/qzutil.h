// Umbrella header: includes every public header of qzutil. A C translation
// unit gets the headers that are valid C: the plain functions and records.
#ifndef QZUTIL_QZUTIL_H
#define QZUTIL_QZUTIL_H

#include "qzutil/colour/colour_functions.h"
#include "qzutil/export.h"
#include "qzutil/frame/records.h"
#include "qzutil/geometry/byte_order.h"
#include "qzutil/geometry/conic.h"
#include "qzutil/geometry/cubic.h"
#include "qzutil/geometry/extents.h"
#include "qzutil/geometry/file_names.h"
#include "qzutil/geometry/picking.h"
#include "qzutil/geometry/trig.h"
#include "qzutil/geometry/units.h"
#include "qzutil/matrix/matrix_flat.h"
#include "qzutil/memory/mem_list.h"
#include "qzutil/memory/mem_search.h"
#include "qzutil/os/osh_files.h"
#include "qzutil/os/osh_io.h"
#include "qzutil/os/osh_system.h"
#include "qzutil/text/name_info.h"
#include "qzutil/text/str_parse.h"
#include "qzutil/trace/trace.h"
#include "qzutil/translate/translate.h"

#ifdef __cplusplus
#include "qzutil/colour/colour_map.h"
#include "qzutil/colour/colour_rgb.h"
#include "qzutil/colour/colour_value.h"
#include "qzutil/colour/colour_xfm.h"
#include "qzutil/linetype/linetype_definition.h"
#include "qzutil/linetype/linetype_list.h"
#include "qzutil/linetype/linetype_pattern.h"
#include "qzutil/matrix/mtx2d.h"
#endif

#endif  // QZUTIL_QZUTIL_H
