// A small synthetic airborne survey for the TIN benchmark: parallel flight
// lines flown in alternating directions, an oscillating mirror sweeping scan
// lines across each swath, hilly terrain with buildings and vegetation, and
// coordinates rounded to 0.01 m, delivered in acquisition order as the tool
// would read them from a file and converted to 32-bit vertices relative to an
// origin.
#pragma once

#include <cstddef>
#include <vector>

#include "tin/tin.h"

namespace tinrise::bench {

struct Survey {
  std::vector<TINvertex> ground;  // the class 2 points, in acquisition order
  std::vector<TINvertex> others;  // the other points, in acquisition order: what the height pass locates
  int flight_lines = 0;
  double line_length = 0;         // metres
};

// Flies until `ground_points` ground points have been collected, and keeps the
// first `max_other_points` points of the other classes.
Survey make_survey(std::size_t ground_points, std::size_t max_other_points);

}  // namespace tinrise::bench
