// Draws a small technical drawing the way a host's drawing layer does, with
// qzutil doing every step, and writes the result as an SVG file:
//
//  1. Colour: a palette (ColorMap) is filled from colour names, one text
//     line per pen, and each layer's colour becomes the pen of the nearest
//     palette entry (ColorValue::GetClosestColor).
//  2. Geometry: a part made of polylines, two conic arcs and a cubic. The
//     conics and the cubic become polylines through their standard forms and
//     UtlCubicToPolyline; their extents become device boxes.
//  3. Placement: the part goes on the sheet twice with Mtx2D, once as drawn
//     and once mirrored, turned and scaled; a view matrix maps the sheet onto
//     the device.
//  4. Line types: every device polyline is dashed by walking the fragments of
//     a built-in line type along its segments.
//  5. Picking: a click is taken back into each placement's part coordinates
//     and measured against every element; the nearest one is highlighted.
//
// Usage: draw_svg [output.svg]      (default: draw_svg.svg)
//
// Units: the part and the sheet are in millimetres with y up. The device is
// the SVG canvas, y down, at 20 whole device units per millimetre (about
// 500 dots per inch); the SVG shows it at 4 pixels per millimetre.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include <qzutil/qzutil.h>

namespace {

constexpr double kSheetWidth = 250.0;   // mm
constexpr double kSheetHeight = 134.0;  // mm
constexpr double kDevicePerMm = 20.0;   // device units per millimetre
constexpr double kPixelsPerMm = 4.0;    // the size the SVG asks to be shown at

// ---------------------------------------------------------------------------
// 1. Colour
// ---------------------------------------------------------------------------

// The device palette as a settings file would hold it: one colour-text line
// per pen. Entry 0 is the background, which is never chosen as a pen.
const char* const kPaletteLines[] = {
    "Name white",      "Name black",          "Name DarkSlateGray",
    "Name firebrick",  "Name SteelBlue",      "Name ForestGreen",
    "Name DarkOrange", "Name LightSlateGray", "Name gold",
};
constexpr std::int32_t kPaletteSize = sizeof kPaletteLines / sizeof kPaletteLines[0];

// What a layer asks for; the pen is the palette's answer.
struct Layer {
  const char* name;
  float red, green, blue;   // the colour the layer asks for, 0..1
  std::uint32_t line_type;  // number in the line-type list
  double width_mm;
  short pen;  // filled in by ChoosePens
};

// The layers of the drawing. The wanted colours are not palette colours:
// each is drawn with the nearest pen the palette has.
Layer g_outline{"outline", 0.15f, 0.20f, 0.25f, 1, 0.50, 0};
Layer g_hidden{"hidden", 0.30f, 0.50f, 0.70f, 2, 0.30, 0};
Layer g_centre{"centre", 0.80f, 0.20f, 0.20f, 10, 0.25, 0};
Layer g_extent{"extent", 0.60f, 0.60f, 0.60f, 3, 0.25, 0};
Layer g_legend{"legend", 0.15f, 0.55f, 0.15f, 0, 0.35, 0};  // each sample its own type
Layer g_pick{"pick", 1.00f, 0.50f, 0.00f, 1, 0.30, 0};
Layer g_highlight{"highlight", 1.00f, 0.85f, 0.10f, 1, 2.20, 0};
Layer* const g_layers[] = {&g_outline, &g_hidden, &g_centre,   &g_extent,
                           &g_legend,  &g_pick,   &g_highlight};

// Fills the palette from its text lines and gives every layer the pen
// nearest to its colour. Answers false when a line is not understood.
bool ChoosePens(ColorMap& palette) {
  for (std::int32_t i = 0; i < kPaletteSize; ++i) {
    if (palette.SetIndex(i, 0, kPaletteLines[i]) == 0) {
      std::fprintf(stderr, "palette line %d not understood: %s\n", static_cast<int>(i),
                   kPaletteLines[i]);
      return false;
    }
  }
  for (Layer* layer : g_layers) {
    ColorValue wanted(layer->red, layer->green, layer->blue);  // no pen yet
    wanted.GetClosestColor(palette);
    layer->pen = wanted.GetPen();
    char* found = nullptr;
    const char* name = palette.colors[layer->pen].FindNameForRgb(&found) != 0 ? found : "(no name)";
    std::printf("layer %-9s wants %3d %3d %3d, draws with pen %d (%s)\n", layer->name,
                wanted.GetRed(), wanted.GetGreen(), wanted.GetBlue(), static_cast<int>(layer->pen),
                name);
  }
  return true;
}

// ---------------------------------------------------------------------------
// 2. Geometry
// ---------------------------------------------------------------------------

enum class Shape { kPolyline, kConic, kCubic };

struct Element {
  const char* name;
  const Layer* layer;
  Shape shape;
  UtlConicArcT conic;           // kConic only
  UtlCubicT cubic;              // kCubic only
  std::vector<RealPtT> points;  // the polyline, or the curve turned into one
};

// The conic arc of the ellipse with centre (cx, cy) and semi-axes rx along x
// and ry along y, from `from` to `to`: ry²(x − cx)² + rx²(y − cy)² − rx²ry² = 0
// written out as its six coefficients. Equal end points make the whole ellipse.
UtlConicArcT EllipseArc(double cx, double cy, double rx, double ry, RealPtT from, RealPtT to,
                        short clockwise) {
  const double a = ry * ry;
  const double c = rx * rx;
  UtlConicArcT arc{};
  arc.A = a;
  arc.B = 0.0;
  arc.C = c;
  arc.D = -2.0 * a * cx;
  arc.E = -2.0 * c * cy;
  arc.F = a * cx * cx + c * cy * cy - a * c;
  arc.start = from;
  arc.end = to;
  arc.clockwise = clockwise;
  return arc;
}

// The power basis of UtlCubicT from the four control points of a Bezier
// segment, the form drawing programs usually store.
UtlCubicT CubicFromBezier(RealPtT p0, RealPtT p1, RealPtT p2, RealPtT p3) {
  UtlCubicT cubic{};
  cubic.xCoef[0] = -p0.x + 3.0 * p1.x - 3.0 * p2.x + p3.x;
  cubic.xCoef[1] = 3.0 * p0.x - 6.0 * p1.x + 3.0 * p2.x;
  cubic.xCoef[2] = -3.0 * p0.x + 3.0 * p1.x;
  cubic.xCoef[3] = p0.x;
  cubic.yCoef[0] = -p0.y + 3.0 * p1.y - 3.0 * p2.y + p3.y;
  cubic.yCoef[1] = 3.0 * p0.y - 6.0 * p1.y + 3.0 * p2.y;
  cubic.yCoef[2] = -3.0 * p0.y + 3.0 * p1.y;
  cubic.yCoef[3] = p0.y;
  return cubic;
}

// A conic arc as a polyline: classify it, reduce it to the standard form of
// its type and step that form's parameter from the start (0) to the end.
// Circles and ellipses take a point every 2 degrees of sweep, parabolas and
// hyperbolas 64 points; a line is its chord, and a conic whose coefficients
// are not numbers gives nothing.
std::vector<RealPtT> ConicPolyline(const UtlConicArcT& arc) {
  constexpr double kEllipseStep = 0.0349;  // radians
  constexpr int kOpenSteps = 64;
  std::vector<RealPtT> points;
  RealPtT p;
  switch (utl_conic_type(&arc)) {
    case 'C':
    case 'E': {
      UtlEllipseT form;
      utl_standard_ellipse(&arc, &form);
      const int steps =
          std::max(1, static_cast<int>(std::ceil(std::fabs(form.sweep) / kEllipseStep)));
      for (int i = 0; i <= steps; ++i) {
        utl_ellipse_point(&form, form.sweep * i / steps, &p);
        points.push_back(p);
      }
      break;
    }
    case 'P': {
      UtlParabolaT form;
      utl_standard_parabola(&arc, &form);
      for (int i = 0; i <= kOpenSteps; ++i) {
        utl_parabola_point(&form, (form.tEnd - form.tStart) * i / kOpenSteps, &p);
        points.push_back(p);
      }
      break;
    }
    case 'H': {
      UtlHyperbolaT form;
      utl_standard_hyperbola(&arc, &form);
      for (int i = 0; i <= kOpenSteps; ++i) {
        utl_hyperbola_point(&form, (form.tEnd - form.tStart) * i / kOpenSteps, &p);
        points.push_back(p);
      }
      break;
    }
    case 'L':
      points = {arc.start, arc.end};
      break;
    default:
      break;
  }
  return points;
}

// A cubic as a polyline whose chords stay within about `tolerance` of the
// curve. The library hands over a malloc'ed array; it is copied and freed.
std::vector<RealPtT> CubicPolyline(const UtlCubicT& cubic, double tolerance) {
  std::int32_t count = 0;
  RealPtT* points = nullptr;
  UtlCubicToPolyline(&cubic, tolerance, &count, &points);
  std::vector<RealPtT> out(points, points + count);
  std::free(points);
  return out;
}

// The three kinds of element. A curve keeps its own form, for its extent and
// for picking, and the polyline drawn for it.
Element PolylineElement(const char* name, const Layer& layer, std::vector<RealPtT> points) {
  return Element{name, &layer, Shape::kPolyline, UtlConicArcT{}, UtlCubicT{}, std::move(points)};
}
Element ConicElement(const char* name, const Layer& layer, const UtlConicArcT& arc) {
  return Element{name, &layer, Shape::kConic, arc, UtlCubicT{}, ConicPolyline(arc)};
}
Element CubicElement(const char* name, const Layer& layer, const UtlCubicT& cubic) {
  const double tolerance = 0.02;  // millimetres
  return Element{name,           &layer, Shape::kCubic,
                 UtlConicArcT{}, cubic,  CubicPolyline(cubic, tolerance)};
}

// The part, in its own millimetres with the origin at its lower left corner:
// a bracket whose outline is a polyline, a quarter ellipse and a Bezier edge,
// with a hole, its centre lines and a hidden pocket.
std::vector<Element> MakePart() {
  return {
      PolylineElement("outline", g_outline, {{0, 30}, {0, 0}, {70, 0}, {70, 22}}),
      ConicElement("corner arc", g_outline, EllipseArc(52, 22, 18, 20, {70, 22}, {52, 42}, 0)),
      CubicElement("swan-neck edge", g_outline,
                   CubicFromBezier({52, 42}, {36, 42}, {16, 30}, {0, 30})),
      // Equal end points: the whole circle.
      ConicElement("hole", g_outline, EllipseArc(20, 16, 8, 8, {28, 16}, {28, 16}, 0)),
      PolylineElement("centre line x", g_centre, {{8, 16}, {32, 16}}),
      PolylineElement("centre line y", g_centre, {{20, 4}, {20, 28}}),
      PolylineElement("pocket", g_hidden, {{38, 5}, {62, 5}, {62, 15}, {38, 15}, {38, 5}}),
  };
}

// ---------------------------------------------------------------------------
// 3. Placement
// ---------------------------------------------------------------------------

struct Placement {
  const char* name;
  Mtx2D part_to_sheet;
  Mtx2D part_to_device;  // part_to_sheet, then the sheet's view
};

// Device polyline of part (or sheet) points: mapped, rounded, and thinned of
// points that land on the same device position.
std::vector<IntPtT> ToDevice(const Mtx2D& matrix, const std::vector<RealPtT>& points) {
  std::vector<IntPtT> device(points.size());
  std::int32_t count = 0;
  if (!points.empty()) {
    matrix.XfmPolyPts(static_cast<std::int32_t>(points.size()), &count, points.data(),
                      device.data());
  }
  device.resize(static_cast<std::size_t>(count));
  return device;
}

// The device box around a curve's extent, for a host's visibility test: the
// extent in part coordinates, mapped as a rectangle, whose four corners the
// matrix writes going round the box.
std::vector<IntPtT> DeviceExtent(const Mtx2D& matrix, const Element& curve) {
  RealPtT max;
  RealPtT min;
  if (curve.shape == Shape::kConic) {
    utl_maxmin_conic(&curve.conic, &max, &min);
  } else {
    utl_maxmin_cubic(&curve.cubic, &max, &min);
  }
  const RealRectT box{{min, {min.x, max.y}, max, {max.x, min.y}}};
  IntRectT device;
  matrix.XfmRect(&box, &device);
  return {device.corner[0], device.corner[1], device.corner[2], device.corner[3], device.corner[0]};
}

// ---------------------------------------------------------------------------
// 4. Line types
// ---------------------------------------------------------------------------

// Appends "M x y L x y ..." runs to SVG path data, one run per drawn piece
// of the line type, walking the pattern's fragments along each segment of
// the device polyline. Fragments at even positions are drawn, those at odd
// positions are spaces; the pattern is stretched so that one repeat spans
// its pattern length (in millimetres on the device). The phase carries on
// from one segment to the next, so a dash turns round a corner unbroken.
void DashPolyline(const std::vector<IntPtT>& points, CLineTypeDefinition& type, std::string* d) {
  char buffer[64];
  auto put = [&](char command, double x, double y) {
    std::snprintf(buffer, sizeof buffer, "%c%.1f %.1f", command, x, y);
    *d += buffer;
  };
  CLineTypeDefPattern& pattern = type.GetPattern();
  double period = 0.0;  // one repeat, in the pattern's own units
  for (std::int32_t i = 0; i < pattern.GetNumFragments(); ++i) {
    period += std::max(0.0, pattern.fragments[i]);
  }
  // A pattern with nothing to walk along is drawn solid.
  const bool solid = !(period > 0.0) || !(type.GetPatternLength() > 0.0);
  const double scale = solid ? 0.0 : type.GetPatternLength() * kDevicePerMm / period;

  // GetNextFragment answers -1.0 past the last fragment: start over.
  int position = 0;
  double left = solid ? 1e300 : std::max(0.0, pattern.GetFirstFragment()) * scale;
  bool pen_down = false;
  for (std::size_t i = 0; i + 1 < points.size(); ++i) {
    const double x0 = points[i].x;
    const double y0 = points[i].y;
    const double dx = points[i + 1].x - x0;
    const double dy = points[i + 1].y - y0;
    const double length = std::hypot(dx, dy);
    if (length == 0.0) continue;
    double at = 0.0;  // distance walked along this segment
    for (;;) {
      const bool drawn = position % 2 == 0;
      if (drawn && !pen_down) {
        put('M', x0 + dx * at / length, y0 + dy * at / length);
        pen_down = true;
      }
      const double step = std::min(left, length - at);
      at += step;
      left -= step;
      if (drawn) put('L', x0 + dx * at / length, y0 + dy * at / length);
      if (left > 0.0) break;  // the segment ends inside this fragment
      double next = pattern.GetNextFragment();
      ++position;
      if (next == -1.0) {
        next = pattern.GetFirstFragment();
        position = 0;
      }
      left = std::max(0.0, next) * scale;
      if (position % 2 != 0) pen_down = false;
    }
  }
}

// ---------------------------------------------------------------------------
// 5. Picking
// ---------------------------------------------------------------------------

// Approximate distance, in part units, from a point to an element: the
// library's conic-arc distance for the conics, the nearest segment for
// polylines and for the cubic's polyline.
double ElementDistance(const Element& element, const RealPtT& at) {
  if (element.shape == Shape::kConic) return utl_point_conarc(&at, &element.conic);
  double best = HUGE_VAL;
  for (std::size_t i = 0; i + 1 < element.points.size(); ++i) {
    best = std::min(best, utl_point_line(&at, &element.points[i], &element.points[i + 1]));
  }
  return best;
}

struct PickResult {
  std::size_t placement = 0;
  std::size_t element = 0;
  double distance_mm = HUGE_VAL;
};

// A click in device coordinates, taken back into each placement's part
// coordinates through the inverse matrix and measured against every element
// there. Distances are scaled to sheet millimetres so that placements of
// different scales compare fairly.
PickResult Pick(const IntPtT& click, const std::vector<Placement>& placements,
                const std::vector<Element>& part) {
  PickResult best;
  for (std::size_t p = 0; p < placements.size(); ++p) {
    const Mtx2D device_to_part = placements[p].part_to_device.Invert();
    RealPtT at;
    device_to_part.InvXfmPt(&click, &at);
    const double mm_per_unit = placements[p].part_to_sheet.GetScale();
    for (std::size_t e = 0; e < part.size(); ++e) {
      const double d = ElementDistance(part[e], at) * mm_per_unit;
      if (d < best.distance_mm) best = {p, e, d};
    }
  }
  return best;
}

// ---------------------------------------------------------------------------
// Output: SVG text, built in memory and written at the end
// ---------------------------------------------------------------------------

// What the drawing steps share: the SVG text being built, the palette that
// the pens index, the line-type list and the sheet's view.
class Canvas {
 public:
  Canvas(const ColorMap& palette, const Mtx2D& view) : palette_(palette), view_(view) {}

  const std::string& text() const { return text_; }
  int paths() const { return paths_; }
  const Mtx2D& view() const { return view_; }

  void Raw(const std::string& markup) { text_ += markup; }

  // "#rrggbb" of a palette entry.
  std::string Colour(short pen) const {
    const ColorRGB& c = palette_.colors[pen];
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", static_cast<unsigned>(c.red & 255),
                  static_cast<unsigned>(c.green & 255), static_cast<unsigned>(c.blue & 255));
    return buffer;
  }

  // One <path> in the layer's pen and width; `extra` holds more attributes.
  void Path(const std::string& d, const Layer& layer, const char* extra = "") {
    if (d.empty()) return;
    char width[32];
    std::snprintf(width, sizeof width, "%.1f", layer.width_mm * kDevicePerMm);
    text_ += "<path d=\"" + d + "\" stroke=\"" + Colour(layer.pen) + "\" stroke-width=\"" + width +
             "\"" + extra + "/>\n";
    ++paths_;
  }

  // A device polyline, dashed in line type `number` (solid when the list has
  // no such type), as one <path>.
  void Polyline(const std::vector<IntPtT>& points, std::uint32_t number, const Layer& layer,
                const char* extra = "") {
    std::string d;
    CLineTypeDefinition* type = line_types_.GetDefinition(number);
    if (type != nullptr) {
      DashPolyline(points, *type, &d);
    } else {
      DashPolyline(points, solid_, &d);
    }
    Path(d, layer, extra);
  }

  // Text at a sheet position (millimetres, y up), `size` in millimetres. The
  // text must not hold XML markup characters.
  void Text(double x, double y, double size, const char* anchor, short pen,
            const std::string& text) {
    double dx = 0.0;
    double dy = 0.0;
    view_.XfmPt(x, y, &dx, &dy);
    char head[160];
    std::snprintf(head, sizeof head,
                  "<text x=\"%.1f\" y=\"%.1f\" font-size=\"%.1f\" text-anchor=\"%s\" "
                  "fill=\"%s\">",
                  dx, dy, size * kDevicePerMm, anchor, Colour(pen).c_str());
    text_ += head + text + "</text>\n";
  }

 private:
  const ColorMap& palette_;
  Mtx2D view_;
  CLineTypeDefList line_types_;  // seeded with the thirteen built-in types
  CLineTypeDefinition solid_;    // no fragments: drawn solid
  std::string text_;
  int paths_ = 0;
};

// The SVG root, the background in pen 0, a frame round the sheet, and the
// group that every line of the drawing goes in.
void BeginSheet(Canvas& canvas) {
  const double width = kSheetWidth * kDevicePerMm;
  const double height = kSheetHeight * kDevicePerMm;
  const double margin = 2.0 * kDevicePerMm;
  char head[600];
  std::snprintf(head, sizeof head,
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
                "viewBox=\"0 0 %.0f %.0f\" font-family=\"sans-serif\">\n"
                "<title>qzutil at work</title>\n"
                "<rect width=\"%.0f\" height=\"%.0f\" fill=\"%s\"/>\n"
                "<rect x=\"%.0f\" y=\"%.0f\" width=\"%.0f\" height=\"%.0f\" fill=\"none\" "
                "stroke=\"%s\" stroke-width=\"%.0f\"/>\n"
                "<g fill=\"none\" stroke-linecap=\"round\" stroke-linejoin=\"round\">\n",
                kSheetWidth * kPixelsPerMm, kSheetHeight * kPixelsPerMm, width, height, width,
                height, canvas.Colour(0).c_str(), margin, margin, width - 2.0 * margin,
                height - 2.0 * margin, canvas.Colour(g_outline.pen).c_str(), 0.3 * kDevicePerMm);
  canvas.Raw(head);
}

// Each element of each placement, mapped, rounded and dashed in its layer's
// line type; then the device boxes of the curves' extents.
void DrawPart(Canvas& canvas, const std::vector<Placement>& placements,
              const std::vector<Element>& part) {
  for (const Placement& placement : placements) {
    for (const Element& element : part) {
      canvas.Polyline(ToDevice(placement.part_to_device, element.points), element.layer->line_type,
                      *element.layer);
    }
    for (const Element& element : part) {
      if (element.shape == Shape::kPolyline) continue;
      canvas.Polyline(DeviceExtent(placement.part_to_device, element), g_extent.line_type,
                      g_extent);
    }
  }
}

// A sample of each of the thirteen built-in line types, five to a row.
void DrawLegend(Canvas& canvas) {
  canvas.Text(12.0, 35.0, 3.5, "start", g_outline.pen, "the built-in line types");
  for (std::uint32_t number = 1; number <= 13; ++number) {
    const int column = static_cast<int>((number - 1) % 5);
    const int row = static_cast<int>((number - 1) / 5);
    const double x = 12.0 + 40.0 * column;
    const double y = 27.0 - 9.0 * row;
    const std::vector<RealPtT> sample = {{x + 6.0, y}, {x + 34.0, y}};
    canvas.Polyline(ToDevice(canvas.view(), sample), number, g_legend);
    canvas.Text(x + 4.0, y - 1.0, 3.0, "end", g_outline.pen, std::to_string(number));
  }
}

// A cross at the click and a circle of the aperture's size.
void DrawPickMark(Canvas& canvas, const IntPtT& click, double aperture_mm) {
  const int x = click.x;
  const int y = click.y;
  const int arm = static_cast<int>(1.5 * aperture_mm * kDevicePerMm);
  char buffer[200];
  std::snprintf(buffer, sizeof buffer, "M%d %dL%d %dM%d %dL%d %d", x - arm, y, x + arm, y, x,
                y - arm, x, y + arm);
  canvas.Path(buffer, g_pick);
  std::snprintf(buffer, sizeof buffer,
                "<circle cx=\"%d\" cy=\"%d\" r=\"%.1f\" stroke=\"%s\" stroke-width=\"%.1f\"/>\n", x,
                y, aperture_mm * kDevicePerMm, canvas.Colour(g_pick.pen).c_str(),
                g_pick.width_mm * kDevicePerMm);
  canvas.Raw(buffer);
}

// Under each placement: what the orientation query says of it (the mirror,
// taken first, and the turn that follows), and the pick result under the
// placement it was found in.
void DrawLabels(Canvas& canvas, const std::vector<Placement>& placements, std::size_t picked,
                const std::string& pick_text) {
  char buffer[160];
  for (std::size_t p = 0; p < placements.size(); ++p) {
    const Mtx2D& m = placements[p].part_to_sheet;
    unsigned short mirror = 0;
    double degrees = 0.0;
    m.GetXMirrorAndRotation(&mirror, &degrees);
    std::snprintf(buffer, sizeof buffer, "%s: mirror %u, turned %.0f&#176;, scale %.2f",
                  placements[p].name, static_cast<unsigned>(mirror), degrees, m.GetScale());
    double x = 0.0;
    double y = 0.0;
    m.XfmPt(35.0, 21.0, &x, &y);  // the part's middle
    canvas.Text(x, y - 37.0, 3.5, "middle", g_outline.pen, buffer);
    if (p == picked) canvas.Text(x, y - 42.5, 3.0, "middle", g_pick.pen, pick_text);
  }
}

// The palette's entries with the names the colour-name table has for them.
void DrawPalette(Canvas& canvas, const ColorMap& palette) {
  canvas.Text(206.0, 112.0, 3.5, "start", g_outline.pen, "palette pens");
  char buffer[200];
  for (std::int32_t pen = 0; pen < palette.numColors; ++pen) {
    char* found = nullptr;
    const char* name = palette.colors[pen].FindNameForRgb(&found) != 0 ? found : "(no name)";
    const double y = 104.0 - pen * 7.0;
    double x0 = 0.0;
    double y0 = 0.0;
    canvas.view().XfmPt(206.0, y + 4.0, &x0, &y0);
    std::snprintf(buffer, sizeof buffer,
                  "<rect x=\"%.0f\" y=\"%.0f\" width=\"%.0f\" height=\"%.0f\" fill=\"%s\" "
                  "stroke=\"%s\" stroke-width=\"%.0f\"/>\n",
                  x0, y0, 6.0 * kDevicePerMm, 4.0 * kDevicePerMm,
                  canvas.Colour(static_cast<short>(pen)).c_str(),
                  canvas.Colour(g_outline.pen).c_str(), 0.2 * kDevicePerMm);
    canvas.Raw(buffer);
    std::snprintf(buffer, sizeof buffer, "%d %s", static_cast<int>(pen), name);
    canvas.Text(214.0, y + 1.0, 3.0, "start", g_outline.pen, buffer);
  }
}

bool WriteFile(const char* name, const std::string& text) {
  std::FILE* out = std::fopen(name, "wb");
  if (out == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  const char* out_name = argc > 1 ? argv[1] : "draw_svg.svg";

  // 1. Colour: the palette and the layers' pens.
  ColorMap* palette = ColOpen(kPaletteSize, 255);
  if (palette == nullptr || !ChoosePens(*palette)) {
    ColDeleteColorMap(palette);
    return 1;
  }

  // 2. Geometry: the part, its curves already turned into polylines.
  const std::vector<Element> part = MakePart();

  // 3. Placement. The view takes sheet millimetres (y up) to device units
  // (y down, origin at the top left).
  const Mtx2D view(0.0, 0.0, Mtx2DRot0, kDevicePerMm, -kDevicePerMm, 0.0,
                   kSheetHeight * kDevicePerMm);
  std::vector<Placement> placements(2);
  // A: as drawn, the part's origin at (25, 60) on the sheet.
  placements[0].name = "A";
  placements[0].part_to_sheet = Mtx2D(0.0, 0.0, Mtx2DRot0, 1.0, 1.0, 25.0, 60.0);
  // B: about the part's middle (35, 21): mirrored top to bottom and at 4:5,
  // then turned 30 degrees counter-clockwise and moved to (165, 80).
  placements[1].name = "B";
  Mtx2D& b = placements[1].part_to_sheet;
  b.SetXfm(35.0, 21.0, Mtx2DReflectX, 0.8, 0.8, 0.0, 0.0);
  b.Rotate(30.0, Mtx2DRotatePost);
  b.Translate(165.0, 80.0);
  for (Placement& placement : placements) {
    placement.part_to_device = placement.part_to_sheet * view;
  }

  // 5. Picking, before drawing so that the highlight can go underneath. The
  // click is where the user pressed the mouse, in device coordinates.
  const IntPtT click{3260, 1388};
  const double aperture_mm = 2.0;
  const PickResult pick = Pick(click, placements, part);
  const Element& picked = part[pick.element];
  const bool hit = pick.distance_mm <= aperture_mm;
  char pick_text[160];
  std::snprintf(pick_text, sizeof pick_text, "nearest: %s of %s, %.2f mm from the click",
                picked.name, placements[pick.placement].name, pick.distance_mm);
  std::printf("click (%d, %d): %s, %s the aperture of %.1f mm\n", static_cast<int>(click.x),
              static_cast<int>(click.y), pick_text, hit ? "within" : "outside", aperture_mm);

  // 4. Drawing: every path dashed by its line type.
  Canvas canvas(*palette, view);
  BeginSheet(canvas);
  if (hit) {
    const Placement& where = placements[pick.placement];
    canvas.Polyline(ToDevice(where.part_to_device, picked.points), g_highlight.line_type,
                    g_highlight, " stroke-opacity=\"0.7\"");
  }
  DrawPart(canvas, placements, part);
  DrawLegend(canvas);
  DrawPickMark(canvas, click, aperture_mm);
  canvas.Raw("</g>\n");
  canvas.Text(12.0, 123.0, 5.0, "start", g_outline.pen,
              "qzutil at work: one part, two placements, line types, pens and a pick");
  DrawLabels(canvas, placements, pick.placement,
             hit ? std::string(pick_text) : "nothing within the aperture");
  DrawPalette(canvas, *palette);
  canvas.Raw("</svg>\n");
  ColDeleteColorMap(palette);

  if (!WriteFile(out_name, canvas.text())) {
    std::fprintf(stderr, "cannot write %s\n", out_name);
    return 1;
  }
  std::printf("wrote %s: %d paths\n", out_name, canvas.paths());
  return 0;
}
