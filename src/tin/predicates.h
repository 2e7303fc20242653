// Exact orientation and in-circle predicates: Shewchuk's adaptive
// precision method over floating-point expansions. The only arithmetic the
// triangulation (tin.cpp) relies on; it calls nothing else for geometry.
#pragma once

#include <cstdint>

namespace tinrise {

// Computes epsilon, splitter and the error-bound factors. Idempotent; the
// triangulation calls it from every TINclean.
void exactinit();

// Positive when pa, pb, pc turn counterclockwise, negative when clockwise,
// zero when collinear; the sign is exact. Points are (x, y) pairs.
double orient2d(const double* pa, const double* pb, const double* pc);

// Positive when pd lies inside the circle through pa, pb, pc (given
// counterclockwise), negative outside, zero on it; the sign is exact.
double incircle(const double* pa, const double* pb, const double* pc, const double* pd);

// Number of calls of either predicate whose fast floating-point evaluation
// could not decide and that went on to the adaptive stages (a statistic for
// benchmarks and tests; reset by predicate_adaptive_calls_reset).
std::uint64_t predicate_adaptive_calls();
void predicate_adaptive_calls_reset();

// Building blocks of the published algorithm, exposed for the tests.
// Expansions are arrays of non-overlapping doubles in increasing magnitude.
int fast_expansion_sum_zeroelim(int elen, const double* e, int flen, const double* f, double* h);
int scale_expansion_zeroelim(int elen, const double* e, double b, double* h);
double estimate(int elen, const double* e);

}  // namespace tinrise
