// Geometry and file-name helpers on values from the input (conics, picking,
// boxes, cubic polylines, trigonometry, units; names on exact-size buffers),
// checked against the documented ranges and shapes of the answers.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz_check.h"
#include "qzutil/geometry/conic.h"
#include "qzutil/geometry/cubic.h"
#include "qzutil/geometry/extents.h"
#include "qzutil/geometry/file_names.h"
#include "qzutil/geometry/picking.h"
#include "qzutil/geometry/trig.h"
#include "qzutil/geometry/units.h"

namespace {

double Value(FuzzedDataProvider& in) {
  return in.ConsumeBool() ? in.ConsumeFloatingPoint<double>()
                          : in.ConsumeIntegralInRange(-4, 4) * 0.5;
}
RealPtT Point(FuzzedDataProvider& in) {
  return {Value(in), Value(in)};
}

void CheckBox(const RealPtT& max, const RealPtT& min) {
  if (std::isfinite(max.x) && std::isfinite(max.y) && std::isfinite(min.x) && std::isfinite(min.y))
    FUZZ_CHECK(max.x >= min.x && max.y >= min.y);
}
void CheckDistance(double d) {
  FUZZ_CHECK(!(d < 0.0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const RealPtT p = Point(in), q = Point(in), r = Point(in), centre = Point(in);
  const double radius = Value(in);
  RealPtT max{}, min{};
  switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0: {
      UtlConicArcT arc{Value(in), Value(in), Value(in),
                       Value(in), Value(in), Value(in),
                       q,         r,         static_cast<short>(in.ConsumeBool())};
      const double t = Value(in);
      RealPtT out{};
      const char type = utl_conic_type(&arc);
      UtlParabolaT parabola{};
      UtlHyperbolaT hyperbola{};
      UtlEllipseT ellipse{};
      if (type == 'P')
        utl_standard_parabola(&arc, &parabola), utl_parabola_point(&parabola, t, &out);
      if (type == 'H')
        utl_standard_hyperbola(&arc, &hyperbola), utl_hyperbola_point(&hyperbola, t, &out);
      if (type == 'C' || type == 'E')
        utl_standard_ellipse(&arc, &ellipse), utl_ellipse_point(&ellipse, t, &out);
      CheckDistance(utl_point_conarc(&p, &arc));
      utl_maxmin_conic(&arc, &max, &min);
      CheckBox(max, min);
      break;
    }
    case 1: {
      CheckDistance(utl_point_line(&p, &q, &r));
      CheckDistance(utl_point_point(&p, &q));
      CheckDistance(utl_point_circle(&p, &centre, std::fabs(radius)));
      const RealRectT box{{q, r, Point(in), Point(in)}};
      CheckDistance(utl_point_box(&p, &box));
      CheckDistance(utl_point_circarc(&p, &centre, std::fabs(radius), &q, &r, in.ConsumeBool()));
      break;
    }
    case 2: {
      // End points on the circle, as the arc box assumes.
      const auto radius_f = static_cast<float>(std::fabs(radius));
      const double a1 = Value(in), a2 = Value(in);
      const RealPtT e1{centre.x + radius_f * std::cos(a1), centre.y + radius_f * std::sin(a1)};
      const RealPtT e2{centre.x + radius_f * std::cos(a2), centre.y + radius_f * std::sin(a2)};
      utl_maxmin_arc(&centre, radius_f, &e1, &e2, in.ConsumeBool(), &max, &min);
      CheckBox(max, min);
      utl_maxmin_circle(&centre, std::fabs(radius), &max, &min);
      CheckBox(max, min);
      RealPtT rect[2] = {q, r};
      utl_maxmin_rotrect(&centre, rect, Value(in));
      CheckBox(rect[1], rect[0]);
      break;
    }
    case 3: {
      UtlCubicT cubic{};
      for (int i = 0; i < 4; ++i)
        cubic.xCoef[i] = Value(in), cubic.yCoef[i] = Value(in);
      utl_maxmin_cubic(&cubic, &max, &min);
      CheckBox(max, min);
      std::int32_t count = -1;
      RealPtT* points = nullptr;
      UtlCubicToPolyline(&cubic, std::fabs(Value(in)), &count, &points);
      // n + 1 points, n a power of two up to 1024.
      FUZZ_CHECK(points != nullptr && count >= 2 && count <= 1025 &&
                 ((count - 1) & (count - 2)) == 0);
      FUZZ_CHECK(std::memcmp(&points[0].x, &cubic.xCoef[3], sizeof(double)) == 0);
      std::free(points);
      break;
    }
    case 4: {
      double s = 2.0, c = 2.0;
      drw_get_trig(in.ConsumeIntegral<std::int32_t>(), &s, &c);
      FUZZ_CHECK(std::fabs(s * s + c * c - 1.0) < 1e-5);
      RealPtT moved = p;
      utl_rotate_point(&centre, &moved, s, c);
      const std::int32_t units = in.ConsumeIntegralInRange(-2, 13);
      const double v = utl_units_to_inches(utl_inches_to_units(radius, units), units);
      if (std::isfinite(v) && std::fabs(radius) < 1e300 && std::fabs(radius) > 1e-300)
        FUZZ_CHECK(std::fabs(v - radius) <= 1e-12 * std::fabs(radius));
      break;
    }
    default: {
      const std::string path = in.ConsumeRandomLengthString(64);
      const char* ext = utl_file_extension(path.c_str());
      FUZZ_CHECK(ext >= path.c_str() && ext <= path.c_str() + std::strlen(path.c_str()));
      FUZZ_CHECK(*ext == '\0' || *ext == '.');
      FUZZ_CHECK(std::strpbrk(ext, "/\\") == nullptr);
      // Names of a folder that does not exist, so nothing on disk matches.
      const std::string base = "qz-fuzz-none/" + in.ConsumeRandomLengthString(8);
      const std::string suffix = in.ConsumeRemainingBytesAsString().c_str();
      const std::size_t need = std::strlen(base.c_str()) + suffix.size() + 1;
      auto out = std::make_unique<char[]>(need);
      FUZZ_CHECK(utl_unique_filename(base.c_str(), suffix.c_str(), out.get()) == 0);
      FUZZ_CHECK(std::string(out.get()) == std::string(base.c_str()) + suffix);
      break;
    }
  }
  return 0;
}
