// The vertex conversion under the project's own build flags: every
// coordinate must come out rounded to the nearest 32-bit float, including the
// case with which g++ 12.2's SLP vectorizer drops the rounding
// (shared/bench/gcc12_float_rounding_repro.cpp).
#include "tin/tin_vertex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace tinrise {
namespace {

// Whether f is the 32-bit float nearest to d, judged without any float
// conversion by the compiler: f's neighbours must be no closer to d.
bool is_nearest_float(float f, double d) {
  const double here = std::fabs(static_cast<double>(f) - d);
  const double up = std::fabs(static_cast<double>(std::nextafter(f, INFINITY)) - d);
  const double down = std::fabs(static_cast<double>(std::nextafter(f, -INFINITY)) - d);
  return here <= up && here <= down;
}

TEST(TinVertex, TheMiscompiledCaseIsRounded) {
  // LAS integers 63762198, 84898000 with scale 0.01, origin (636001.76, 848935.2).
  const double x = 63762198 * 0.01, y = 84898000 * 0.01, z = 123.456;
  const TINvertex v = tin_vertex_from(x, y, z, 636001.76, 848935.2);
  const double dx = x - 636001.76, dy = y - 848935.2;
  EXPECT_TRUE(is_nearest_float(v.x, dx));
  EXPECT_TRUE(is_nearest_float(v.y, dy));
  EXPECT_TRUE(is_nearest_float(v.z, z));
  EXPECT_NE(static_cast<double>(v.x), dx) << "1620.22 is not a float: the value must have been rounded";
  EXPECT_EQ(static_cast<double>(v.x), 1620.2199707031250);
}

TEST(TinVertex, SurveyCoordinatesAreRoundedTo32Bits) {
  // A batch the way the ground pass converts it: many side-by-side conversions.
  std::vector<double> xs, ys;
  for (int i = 0; i < 20000; i++) {
    xs.push_back((63700000 + 7919 * i) * 0.01);
    ys.push_back((84800000 + 104729 * (i % 977)) * 0.01);
  }
  std::vector<TINvertex> out(xs.size());
  for (std::size_t i = 0; i < xs.size(); i++) out[i] = tin_vertex_from(xs[i], ys[i], xs[i] - ys[i], 636001.76, 848935.2);
  int unrepresentable = 0;
  for (std::size_t i = 0; i < xs.size(); i++) {
    const double dx = xs[i] - 636001.76, dy = ys[i] - 848935.2;
    ASSERT_TRUE(is_nearest_float(out[i].x, dx)) << i;
    ASSERT_TRUE(is_nearest_float(out[i].y, dy)) << i;
    ASSERT_TRUE(is_nearest_float(out[i].z, xs[i] - ys[i])) << i;
    unrepresentable += static_cast<double>(out[i].x) != dx;
  }
  EXPECT_GT(unrepresentable, 19000) << "nearly all 0.01 m values need rounding";
}

}  // namespace
}  // namespace tinrise
