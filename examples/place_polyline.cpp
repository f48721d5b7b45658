// The typical request of a drawing layer: fill a palette from text, pick the
// pen for a colour, place a drawing on a device, map a polyline onto it, and
// pick the polyline near a position.
//
// The palette lines are what a settings file would hold: RGB components
// 0..1, HSV (hue in degrees), or a colour name, quoted when it has a blank.
// The drawing is a small part outline in millimetres whose origin sits at
// (100, 50) in world coordinates. The device is a 640 x 480 window, y down,
// at 4 pixels per millimetre, and the drawing is shown turned a quarter turn
// and centred. Each vertex carries an attribute word (here: a pen number) that
// travels with it through the transform.
#include <cstdint>
#include <cstdio>

#include <qzutil/qzutil.h>

namespace {

// Fills a five-entry palette from text lines and answers the pen for the
// outline's colour: the closest palette entry (entry 0, the background, is
// never chosen), or 1 when no palette could be made.
std::uint32_t PickOutlinePen() {
  ColorMap* palette = ColOpen(5, 255);
  if (palette == nullptr) return 1;
  const char* const lines[] = {
      "RGB 1 1 1",            // background
      "HSV 0 1 0.8",          // a dark red
      "Name \"dark green\"",  // the library's own dark green
      "name SteelBlue",       // names ignore letter case
      "RGB 0.5 0.5 0.5",
  };
  for (std::int32_t i = 0; i < 5; ++i) {
    if (palette->SetIndex(i, 0, lines[i]) == 0) {
      std::printf("palette line %d not understood: %s\n", static_cast<int>(i), lines[i]);
    }
    const ColorRGB& c = palette->colors[i];
    char* name = nullptr;  // the library's text: read it, never change or free it
    c.FindNameForRgb(&name);
    std::printf("palette %d: %3d %3d %3d  %s\n", static_cast<int>(i), static_cast<int>(c.red),
                static_cast<int>(c.green), static_cast<int>(c.blue),
                name != nullptr ? name : "(no name)");
  }

  ColorValue outline(0.3f, 0.5f, 0.7f);  // red, green, blue 0..1
  outline.GetClosestColor(*palette);
  std::printf("outline colour %d %d %d -> pen %d\n", outline.GetRed(), outline.GetGreen(),
              outline.GetBlue(), outline.GetPen());
  ColDeleteColorMap(palette);
  return static_cast<std::uint32_t>(outline.GetPen());
}

// Measures a pick position against every world segment of the polyline, as a
// picking layer does: the distances are approximate (within about 4 %), and
// the caller decides with its own aperture what counts as a hit. Then prints
// the polyline's extent.
void ReportPick(const RealPtT* polyline, std::int32_t count) {
  const RealPtT pick{111.0, 50.5};  // just right of the outline's right side
  const double aperture = 1.5;      // world units, millimetres here
  std::int32_t nearest = -1;
  double best = 0.0;
  for (std::int32_t i = 0; i + 1 < count; ++i) {
    const double d = utl_point_line(&pick, &polyline[i], &polyline[i + 1]);
    if (nearest < 0 || d < best) {
      nearest = i;
      best = d;
    }
  }
  if (nearest >= 0) {
    const RealPtT& a = polyline[nearest];
    const RealPtT& b = polyline[nearest + 1];
    std::printf(
        "pick (%.1f, %.1f): nearest segment %d (%.1f, %.1f)-(%.1f, %.1f), distance %.3f, "
        "%s the aperture of %.1f\n",
        pick.x, pick.y, static_cast<int>(nearest), a.x, a.y, b.x, b.y, best,
        best <= aperture ? "within" : "outside", aperture);
  }
  if (count > 0) {
    RealPtT lo = polyline[0], hi = polyline[0];
    for (std::int32_t i = 1; i < count; ++i) {
      if (polyline[i].x < lo.x) lo.x = polyline[i].x;
      if (polyline[i].y < lo.y) lo.y = polyline[i].y;
      if (polyline[i].x > hi.x) hi.x = polyline[i].x;
      if (polyline[i].y > hi.y) hi.y = polyline[i].y;
    }
    std::printf("world extent: (%.1f, %.1f) to (%.1f, %.1f)\n", lo.x, lo.y, hi.x, hi.y);
  }
}

}  // namespace

int main() {
  const std::uint32_t pen = PickOutlinePen();

  // Origin, orientation, scale (y negative: the device's y axis points
  // down), then the offset that puts the drawing's origin at the centre.
  Mtx2D world_to_device(100.0, 50.0, Mtx2DRot90, 4.0, -4.0, 320.0, 240.0);

  RealPtT outline[] = {
      {90.0, 40.0},  {110.0, 40.0}, {110.0, 40.1},  // a near-duplicate: merged on device
      {110.0, 60.0}, {90.0, 60.0},  {90.0, 40.0},
  };
  // Every vertex carries the picked pen.
  std::uint32_t pens[] = {pen, pen, pen, pen, pen, pen};
  const std::int32_t n = sizeof outline / sizeof outline[0];

  DrwPSetT world{n, outline, pens};
  IntPtT device_points[n];
  std::uint32_t device_pens[n];
  DrwDPSetT device{0, device_points, device_pens};
  world_to_device.XfmPolySetPts(&world, &device);

  // What a device that can only mirror and turn by right angles (for text
  // and symbols) is told: the y-down device mirrors, so the quarter turn
  // counter-clockwise in the drawing reads as 270 degrees once the mirror is
  // taken out first.
  unsigned short mirror = 0;
  double degrees = 0.0;
  world_to_device.GetXMirrorAndRotation(&mirror, &degrees);
  std::printf("placement: matrix type %d, mirrored %u, turned %.1f degrees\n",
              static_cast<int>(world_to_device.type), mirror, degrees);
  std::printf("%d world points -> %d device points\n", static_cast<int>(world.count),
              static_cast<int>(device.count));
  for (std::int32_t i = 0; i < device.count; ++i) {
    std::printf("  (%4d, %4d)  pen %u\n", static_cast<int>(device.points[i].x),
                static_cast<int>(device.points[i].y), static_cast<unsigned>(device.attributes[i]));
  }

  // Picking works on the world polyline, not on the device points.
  ReportPick(outline, n);
  return 0;
}
