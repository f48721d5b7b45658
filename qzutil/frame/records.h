// The small geometric records that the matrix and geometry families pass
// between themselves and their callers.
//
// All of them are plain aggregates: no constructors, no owned memory. Callers
// allocate them and pass them by pointer; the library reads and writes them in
// place and never keeps a pointer to one after a call returns. The header is
// valid C as well as C++.
#ifndef QZUTIL_FRAME_RECORDS_H
#define QZUTIL_FRAME_RECORDS_H

#include <stdint.h>

// A point in world (real) coordinates.
typedef struct RealPtT {
  double x;
  double y;
} RealPtT;

// A point in device coordinates.
typedef struct IntPtT {
  int32_t x;
  int32_t y;
} IntPtT;

// A point in 16-bit device coordinates, for devices and buffers that store
// short coordinates; each coordinate spans the signed 16-bit range only.
typedef struct DevSPtT {
  short x;
  short y;
} DevSPtT;

// A rectangle held as four corners, so that it can also carry a rotated
// rectangle or any quadrilateral. The record imposes no corner order; each
// operation that fills one states the order it writes.
typedef struct RealRectT {
  RealPtT corner[4];
} RealRectT;

// The same in device coordinates.
typedef struct IntRectT {
  IntPtT corner[4];
} IntRectT;

// A world point set (polyline or run of markers) with one caller-defined
// attribute word per point. Both arrays belong to the caller; a set that
// receives output must have room for as many points as the input set holds.
typedef struct DrwPSetT {
  int32_t count;
  RealPtT* points;
  uint32_t* attributes;
} DrwPSetT;

// The same point set in device coordinates.
typedef struct DrwDPSetT {
  int32_t count;
  IntPtT* points;
  uint32_t* attributes;
} DrwDPSetT;

#ifdef __cplusplus
static_assert(sizeof(RealPtT) == 16 && sizeof(IntPtT) == 8 && sizeof(DevSPtT) == 4,
              "point records must keep their 32-bit Windows layout");
static_assert(sizeof(RealRectT) == 64 && sizeof(IntRectT) == 32,
              "rectangle records are four packed corners");
static_assert(sizeof(DrwPSetT) == 3 * sizeof(void*) && sizeof(DrwDPSetT) == 3 * sizeof(void*),
              "point sets are a count and two pointers (12 bytes on 32-bit, 24 on 64-bit)");
#endif

#endif  // QZUTIL_FRAME_RECORDS_H
