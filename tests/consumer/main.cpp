// Places two points through the installed library and checks the answer;
// exits non-zero when the library misbehaves.
#include <cstdio>

#include <qzutil/qzutil.h>

int main() {
  Mtx2D m;
  set_xfm(10.0, 20.0, Mtx2DRot0, 2.0, 3.0, 1.0, 1.0, &m);
  RealPtT in[2] = {{10.0, 20.0}, {11.0, 21.0}};
  IntPtT out[2];
  m.XfmPts(2, in, out);
  const bool ok = out[0].x == 1 && out[0].y == 1 && out[1].x == 3 && out[1].y == 4;
  std::printf("consumer: (%d, %d) (%d, %d) %s\n", static_cast<int>(out[0].x),
              static_cast<int>(out[0].y), static_cast<int>(out[1].x), static_cast<int>(out[1].y),
              ok ? "ok" : "WRONG");
  return ok ? 0 : 1;
}
