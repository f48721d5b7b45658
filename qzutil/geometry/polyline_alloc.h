// The allocator of the polyline arrays UtlCubicToPolyline hands out
// (internal, not installed).
#ifndef QZUTIL_GEOMETRY_POLYLINE_ALLOC_H
#define QZUTIL_GEOMETRY_POLYLINE_ALLOC_H

#include <cstddef>

namespace qz::detail {

// std::malloc unless a test installed another. Callers release the arrays
// with std::free, so an installed allocator must hand out malloc'd blocks
// (or null, to exercise the failure path).
using PolylineAllocator = void* (*)(std::size_t bytes);
void* polyline_alloc(std::size_t bytes);
// Installs `allocator` (nullptr restores std::malloc) and returns the one it
// replaces.
PolylineAllocator set_polyline_allocator(PolylineAllocator allocator);

}  // namespace qz::detail

#endif  // QZUTIL_GEOMETRY_POLYLINE_ALLOC_H
