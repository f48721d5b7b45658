/* The C side of the C view check: the facts as a C compiler sees them, and
 * calls into the library made from C. */
#include "c_view_facts.h"

#define QZ_AS_VALUE(fact) (long long)(fact),

static const long long facts[] = {QZ_C_VIEW_FACTS(QZ_AS_VALUE)};

const long long* qz_c_view_facts(int* count) {
  *count = (int)(sizeof facts / sizeof facts[0]);
  return facts;
}

void qz_c_set_xfm(double x0, double y0, int32_t orientation, double sx, double sy, double tx,
                  double ty, Mtx2D* out) {
  set_xfm(x0, y0, (Mtx2DOrient)orientation, sx, sy, tx, ty, out);
}

int32_t qz_c_closest(ColorMap* map, int32_t red, int32_t green, int32_t blue, int32_t* distance) {
  const ColorRGB colour = {red, green, blue};
  return ColGetClosestColor(&colour, map, distance);
}
