#include "qzutil/geometry/trig.h"

namespace {

// sin and cos of 0..45 whole degrees rounded to six decimals, except two
// sine entries that keep their historical values: 2 degrees is 0.0349 (not
// 0.034899) and 4 degrees is 0.069757 (not 0.069756). Callers compare
// against these exact numbers.
constexpr double kSine[46] = {
    0.0,      0.017452, 0.0349,   0.052336, 0.069757, 0.087156, 0.104528, 0.121869,
    0.139173, 0.156434, 0.173648, 0.190809, 0.207912, 0.224951, 0.241922, 0.258819,
    0.275637, 0.292372, 0.309017, 0.325568, 0.34202,  0.358368, 0.374607, 0.390731,
    0.406737, 0.422618, 0.438371, 0.45399,  0.469472, 0.48481,  0.5,      0.515038,
    0.529919, 0.544639, 0.559193, 0.573576, 0.587785, 0.601815, 0.615661, 0.62932,
    0.642788, 0.656059, 0.669131, 0.681998, 0.694658, 0.707107,
};
constexpr double kCosine[46] = {
    1.0,      0.999848, 0.999391, 0.99863,  0.997564, 0.996195, 0.994522, 0.992546,
    0.990268, 0.987688, 0.984808, 0.981627, 0.978148, 0.97437,  0.970296, 0.965926,
    0.961262, 0.956305, 0.951057, 0.945519, 0.939693, 0.93358,  0.927184, 0.920505,
    0.913545, 0.906308, 0.898794, 0.891007, 0.882948, 0.87462,  0.866025, 0.857167,
    0.848048, 0.838671, 0.829038, 0.819152, 0.809017, 0.798636, 0.788011, 0.777146,
    0.766044, 0.75471,  0.743145, 0.731354, 0.71934,  0.707107,
};

}  // namespace

void drw_get_trig(std::int32_t degrees, double* sine, double* cosine) {
  std::int32_t r = degrees % 360;  // sign of the dividend
  if (r < 0) r += 360;
  double s = 0.0, c = 0.0;
  switch (r) {
    case 0:
      s = 0.0, c = 1.0;
      break;
    case 90:
      s = 1.0, c = 0.0;
      break;
    case 180:
      s = 0.0, c = -1.0;
      break;
    case 270:
      s = -1.0, c = 0.0;
      break;
    default:
      switch ((r - 1) / 45) {
        case 0:
          s = kSine[r], c = kCosine[r];
          break;
        case 1:
          s = kCosine[90 - r], c = kSine[90 - r];
          break;
        case 2:
          s = kCosine[r - 90], c = -kSine[r - 90];
          break;
        case 3:
          s = kSine[180 - r], c = -kCosine[180 - r];
          break;
        case 4:
          s = -kSine[r - 180], c = -kCosine[r - 180];
          break;
        case 5:
          s = -kCosine[270 - r], c = -kSine[270 - r];
          break;
        case 6:
          s = -kCosine[r - 270], c = kSine[r - 270];
          break;
        default:
          s = -kSine[360 - r], c = kCosine[360 - r];
          break;
      }
  }
  *sine = s;
  *cosine = c;
}

void utl_rotate_point(const RealPtT* centre, RealPtT* point, double sine, double cosine) {
  // Both differences are taken before anything is written: centre may alias point.
  const double cx = centre->x, cy = centre->y;
  const double dx = point->x - cx, dy = point->y - cy;
  const double x = (dx * cosine + cx) - dy * sine;
  const double y = (dy * cosine + dx * sine) + cy;
  point->x = x;
  point->y = y;
}
