// CGAL side of the TIN benchmark (see cgal_tin.h).
#include "cgal_tin.h"

#include <CGAL/Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>

#include <vector>

#include "bench_util.h"

namespace tinrise::bench {

CgalTimes cgal_run(const TINvertex* vertices, std::size_t n, const TINvertex* queries, std::size_t query_count) {
  using K = CGAL::Exact_predicates_inexact_constructions_kernel;
  using DT = CGAL::Delaunay_triangulation_2<K>;
  CgalTimes r;
  std::vector<K::Point_2> points;
  points.reserve(n);
  for (std::size_t i = 0; i < n; i++) points.emplace_back(vertices[i].x, vertices[i].y);
  const double rss_before = resident_bytes();
  const Stopwatch build;
  DT dt;
  dt.insert(points.begin(), points.end());
  r.build = build.elapsed();
  r.vertices = dt.number_of_vertices();
  r.memory_bytes = peak_resident_bytes() - rss_before;
  if (query_count > 0) {
    const Stopwatch query;
    DT::Face_handle hint;
    std::size_t outside = 0;
    for (std::size_t i = 0; i < query_count; i++) {
      DT::Locate_type type;
      int li;
      hint = dt.locate(K::Point_2(queries[i].x, queries[i].y), type, li, hint);
      outside += dt.is_infinite(hint);
    }
    r.query = query.elapsed();
    r.queries_outside = outside;
  }
  return r;
}

}  // namespace tinrise::bench
