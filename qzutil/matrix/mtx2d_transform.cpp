// Mtx2D: single-point and rectangle transforms.
#include "qzutil/matrix/mtx2d.h"
#include "qzutil/matrix/xfm_map.h"

using qz::detail::RoundToDevice;

void Mtx2D::XfmPt(double x, double y, double* out_x, double* out_y) const {
  const RealPtT r = MapPoint(*this, x, y);  // inputs are copies: outputs may alias them
  *out_x = r.x;
  *out_y = r.y;
}

void Mtx2D::XfmPt(const RealPtT* in, IntPtT* out) const {
  *out = RoundPoint(MapPoint(*this, in->x, in->y));
}

void Mtx2D::RealXfmPt(const RealPtT* in, RealPtT* out) const {
  *out = MapPoint(*this, in->x, in->y);
}

void Mtx2D::InvXfmPt(const IntPtT* in, RealPtT* out) const {
  *out = MapPoint(*this, static_cast<double>(in->x), static_cast<double>(in->y));
}

namespace {

struct Box {
  double min_x, min_y, max_x, max_y;
};

// Maps all four corners before anything is written, so the caller's output
// record may be its input record.
Box EnclosingBox(const Mtx2D& m, const RealPtT (&corner)[4]) {
  RealPtT p[4];
  for (int i = 0; i < 4; ++i)
    p[i] = MapPoint(m, corner[i].x, corner[i].y);
  Box box{p[0].x, p[0].y, p[0].x, p[0].y};
  for (int i = 1; i < 4; ++i) {
    if (p[i].x < box.min_x) box.min_x = p[i].x;
    if (p[i].x > box.max_x) box.max_x = p[i].x;
    if (p[i].y < box.min_y) box.min_y = p[i].y;
    if (p[i].y > box.max_y) box.max_y = p[i].y;
  }
  return box;
}

// Corner order of every rectangle the matrix writes.
template <class Rect, class Coord>
void WriteBox(Rect* out, Coord min_x, Coord min_y, Coord max_x, Coord max_y) {
  out->corner[0] = {min_x, min_y};
  out->corner[1] = {min_x, max_y};
  out->corner[2] = {max_x, max_y};
  out->corner[3] = {max_x, min_y};
}

}  // namespace

void Mtx2D::XfmRect(const RealRectT* in, RealRectT* out) const {
  const Box box = EnclosingBox(*this, in->corner);
  WriteBox(out, box.min_x, box.min_y, box.max_x, box.max_y);
}

void Mtx2D::XfmRect(const RealRectT* in, IntRectT* out) const {
  // Each bound is rounded to nearest, not outward.
  const Box box = EnclosingBox(*this, in->corner);
  WriteBox(out, RoundToDevice(box.min_x), RoundToDevice(box.min_y), RoundToDevice(box.max_x),
           RoundToDevice(box.max_y));
}

void Mtx2D::XfmRect(const IntRectT* in, RealRectT* out) const {
  RealPtT corner[4];
  for (int i = 0; i < 4; ++i) {
    corner[i] = {static_cast<double>(in->corner[i].x), static_cast<double>(in->corner[i].y)};
  }
  const Box box = EnclosingBox(*this, corner);
  WriteBox(out, box.min_x, box.min_y, box.max_x, box.max_y);
}
