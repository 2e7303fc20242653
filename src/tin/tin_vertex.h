// The conversion of a point to a TIN vertex: x and y relative to
// the origin, and z, each rounded to a 32-bit float. Used by the ground pass
// for vertices and by the height pass for the points it locates.
#pragma once

#include "tin/tin.h"

namespace tinrise {

// (x - x0, y - y0, z), each rounded to the nearest 32-bit float. Built in its
// own translation unit with -fno-tree-slp-vectorize: g++ 12.2's SLP vectorizer
// drops the rounding of two side-by-side (float) conversions of doubles
// (shared/bench/gcc12_float_rounding_repro.cpp), and the vertices must really
// carry 32-bit values so that every later predicate sees the same points.
TINvertex tin_vertex_from(double x, double y, double z, double x0, double y0);

}  // namespace tinrise
