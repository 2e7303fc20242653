// The yardstick of the TIN benchmark: CGAL's Delaunay_triangulation_2 with
// exact predicates (Epick), built by range insertion (spatial sort, then
// insertion with a hint), and located with the previous answer as hint.
// Compiled only when CMake finds CGAL.
#pragma once

#include <cstddef>

#include "bench_util.h"
#include "tin/tin.h"

namespace tinrise::bench {

struct CgalTimes {
  Times build;
  Times query;
  std::size_t vertices = 0;
  double memory_bytes = 0;  // resident memory added by the triangulation
  std::size_t queries_outside = 0;
};

// Builds the triangulation of vertices[0..n) (x, y as doubles) and, when
// query_count > 0, locates queries[0..query_count) in order.
CgalTimes cgal_run(const TINvertex* vertices, std::size_t n, const TINvertex* queries, std::size_t query_count);

}  // namespace tinrise::bench
