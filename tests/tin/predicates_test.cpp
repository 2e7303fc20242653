// The exact predicates on LiDAR-like degenerate input (0.01 m grid
// points stored as 32-bit floats), on last-bit perturbations, and on random
// near-degenerate doubles whose differences are inexact (all adaptive stages),
// each checked against an independent big-integer evaluation.
#include "tin/predicates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "exact_reference.h"
#include "tin/tin_vertex.h"

namespace tinrise {
namespace {

using test::exact_incircle_sign;
using test::exact_orient2d_sign;
using test::sign_of;

struct P {
  double x, y;
  const double* ptr() const { return &x; }
};

// A survey point at (x, y) metres, stored as the tool stores it: relative to
// the origin (636000, 848000), rounded to 32-bit floats, then widened.
P survey(double x, double y) {
  TINvertex v = tin_vertex_from(x, y, 0.0, 636000.0, 848000.0);
  return P{v.x, v.y};
}

double orient(const P& a, const P& b, const P& c) { return orient2d(a.ptr(), b.ptr(), c.ptr()); }
double in_circle(const P& a, const P& b, const P& c, const P& d) {
  return incircle(a.ptr(), b.ptr(), c.ptr(), d.ptr());
}

int exact_orient(const P& a, const P& b, const P& c) { return exact_orient2d_sign(a.ptr(), b.ptr(), c.ptr()); }
int exact_in_circle(const P& a, const P& b, const P& c, const P& d) {
  return exact_incircle_sign(a.ptr(), b.ptr(), c.ptr(), d.ptr());
}

class Predicates : public ::testing::Test {
 protected:
  void SetUp() override { exactinit(); }
};

TEST_F(Predicates, ExactinitCanBeCalledAgain) {
  const P a{0.1, 0.2}, b{1.7, 0.3}, c{0.4, 1.9}, d{0.9, 0.8};
  const double o = orient(a, b, c), i = in_circle(a, b, c, d);
  exactinit();
  EXPECT_EQ(orient(a, b, c), o);
  EXPECT_EQ(in_circle(a, b, c, d), i);
}

TEST_F(Predicates, CollinearGridPointsGiveExactlyZero) {
  struct Row {
    const char* name;
    P a, b, c;
  };
  const Row rows[] = {
      {"scan line along x", survey(636012.34, 848765.43), survey(636012.35, 848765.43), survey(636999.99, 848765.43)},
      {"scan line along y", survey(636123.45, 848000.01), survey(636123.45, 848000.02), survey(636123.45, 848888.88)},
      {"reversed order", survey(636999.99, 848765.43), survey(636012.34, 848765.43), survey(636500.00, 848765.43)},
      {"diagonal", survey(636012.34, 848012.34), survey(636012.35, 848012.35), survey(636777.77, 848777.77)},
      {"coincident pair", survey(636012.34, 848012.34), survey(636012.34, 848012.34), survey(636222.22, 848333.33)},
  };
  // The diagonal stays exactly diagonal through the float rounding.
  ASSERT_EQ(rows[3].a.x, rows[3].a.y);
  ASSERT_EQ(rows[3].b.x, rows[3].b.y);
  ASSERT_EQ(rows[3].c.x, rows[3].c.y);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(exact_orient(r.a, r.b, r.c), 0);
    EXPECT_EQ(orient(r.a, r.b, r.c), 0.0);
    EXPECT_EQ(orient(r.b, r.c, r.a), 0.0);
    EXPECT_EQ(orient(r.c, r.b, r.a), 0.0);
  }
}

TEST_F(Predicates, CollinearGridPointsOffTheAxesGiveExactlyZero) {
  // a, b on the grid (at quarter metres, exact in binary); c = 2b - a, which
  // is then exact in floats too (checked).
  const P a = survey(636101.25, 848733.75), b = survey(636201.5, 848833.5);
  const float cx = 2.0f * static_cast<float>(b.x) - static_cast<float>(a.x);
  const float cy = 2.0f * static_cast<float>(b.y) - static_cast<float>(a.y);
  const P c{cx, cy};
  ASSERT_EQ(c.x - b.x, b.x - a.x);
  ASSERT_EQ(c.y - b.y, b.y - a.y);
  EXPECT_EQ(orient(a, b, c), 0.0);
  EXPECT_EQ(exact_orient(a, b, c), 0);
}

TEST_F(Predicates, CocircularGridPointsGiveExactlyZero) {
  struct Row {
    const char* name;
    P a, b, c, d;
  };
  const Row rows[] = {
      {"cell corners", survey(636012.34, 848056.78), survey(636012.35, 848056.78), survey(636012.35, 848056.79),
       survey(636012.34, 848056.79)},
      {"rectangle", survey(636100.00, 848200.00), survey(636100.37, 848200.00), survey(636100.37, 848200.91),
       survey(636100.00, 848200.91)},
      {"3-4-5 circle", survey(636105.00, 848200.00), survey(636103.00, 848204.00), survey(636096.00, 848203.00),
       survey(636100.00, 848195.00)},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(exact_in_circle(r.a, r.b, r.c, r.d), 0);
    EXPECT_EQ(in_circle(r.a, r.b, r.c, r.d), 0.0);
    EXPECT_EQ(in_circle(r.b, r.c, r.d, r.a), 0.0);
    EXPECT_EQ(in_circle(r.d, r.c, r.b, r.a), 0.0);
  }
}

TEST_F(Predicates, LastBitDifferencesGiveTheExactSign) {
  const P a = survey(636012.34, 848765.43), b = survey(636500.00, 848765.43), c = survey(636999.99, 848765.43);
  struct Row {
    const char* name;
    P b;
    int expected;
  };
  const float by = static_cast<float>(b.y);
  // a and c lie on a horizontal line, a to the left: with b just above the
  // line, a, b, c turn clockwise (-1); just below, counterclockwise (+1).
  const Row rows[] = {
      {"one float ulp up", P{b.x, std::nextafter(by, 1e9f)}, -1},
      {"one float ulp down", P{b.x, std::nextafter(by, -1e9f)}, 1},
      {"one double ulp up", P{b.x, std::nextafter(b.y, 1e9)}, -1},
      {"one double ulp down", P{b.x, std::nextafter(b.y, -1e9)}, 1},
  };
  ASSERT_EQ(orient(a, b, c), 0.0);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(exact_orient(a, r.b, c), r.expected);
    EXPECT_EQ(sign_of(orient(a, r.b, c)), r.expected);
    EXPECT_EQ(sign_of(orient(c, a, r.b)), r.expected);
    EXPECT_EQ(sign_of(orient(r.b, a, c)), -r.expected);
  }

  const P p = survey(636012.34, 848056.78), q = survey(636012.35, 848056.78), s = survey(636012.35, 848056.79);
  const P t = survey(636012.34, 848056.79);
  const float tx = static_cast<float>(t.x);
  const P inside{std::nextafter(tx, 1e9f), t.y}, outside{std::nextafter(tx, -1e9f), t.y};
  EXPECT_EQ(exact_in_circle(p, q, s, inside), 1);
  EXPECT_EQ(sign_of(in_circle(p, q, s, inside)), 1);
  EXPECT_EQ(exact_in_circle(p, q, s, outside), -1);
  EXPECT_EQ(sign_of(in_circle(p, q, s, outside)), -1);
}

// A tiny deterministic generator, so the cases are the same on every run.
struct Lcg {
  std::uint64_t state;
  double uniform() {  // in [0, 1) with 53 random bits
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<double>(state >> 11) * 0x1.0p-53;
  }
};

TEST_F(Predicates, NearDegenerateDoublesMatchTheExactSign) {
  Lcg rng{12345};
  predicate_adaptive_calls_reset();
  int zeros = 0;
  for (int i = 0; i < 4000; i++) {
    // Three points of the line y = k x, rounded, one of them tiny: the
    // differences are inexact, so orient2d runs every adaptive stage.
    const double k = 0.3 + rng.uniform();
    const double s1 = 1e5 * (1 + rng.uniform()), s2 = 1e-3 * rng.uniform(), s3 = -1e4 * rng.uniform();
    const P a{s1, s1 * k}, b{s2, s2 * k}, c{s3, s3 * k};
    const int expected = exact_orient(a, b, c);
    ASSERT_EQ(sign_of(orient(a, b, c)), expected) << i;
    ASSERT_EQ(sign_of(orient(b, c, a)), expected) << i;
    ASSERT_EQ(sign_of(orient(b, a, c)), -expected) << i;
    zeros += expected == 0;
  }
  EXPECT_GT(predicate_adaptive_calls(), 1000u);

  predicate_adaptive_calls_reset();
  for (int i = 0; i < 2000; i++) {
    // Four points of a circle through (almost) the origin, one of them tiny.
    const double r = 10 + 1000 * rng.uniform();
    auto on_circle = [&](double angle) { return P{r + r * std::cos(angle), r * std::sin(angle)}; };
    const double base = 6.2 * rng.uniform();
    P a = on_circle(base), b = on_circle(base + 0.5 + rng.uniform()), c = on_circle(base + 2 + rng.uniform());
    P d = on_circle(3.14159265358979 + 1e-9 * rng.uniform());
    const int expected = exact_in_circle(a, b, c, d);
    ASSERT_EQ(sign_of(in_circle(a, b, c, d)), expected) << i;
    ASSERT_EQ(sign_of(in_circle(d, a, b, c)), -expected) << i;  // an odd permutation
    ASSERT_EQ(sign_of(in_circle(b, c, a, d)), expected) << i;
  }
  EXPECT_GT(predicate_adaptive_calls(), 1000u);
}

TEST_F(Predicates, RandomPointsMatchTheExactSign) {
  Lcg rng{777};
  for (int i = 0; i < 20000; i++) {
    auto point = [&] { return P{rng.uniform() * 100, rng.uniform() * 100}; };
    const P a = point(), b = point(), c = point(), d = point();
    ASSERT_EQ(sign_of(orient(a, b, c)), exact_orient(a, b, c));
    ASSERT_EQ(sign_of(in_circle(a, b, c, d)), exact_in_circle(a, b, c, d));
  }
}

TEST_F(Predicates, FastPathDoesNotCountAsAdaptive) {
  predicate_adaptive_calls_reset();
  const P a{0, 0}, b{1, 0}, c{0, 1}, d{5, 5};
  EXPECT_GT(orient(a, b, c), 0);
  EXPECT_LT(in_circle(a, b, c, d), 0);
  EXPECT_EQ(predicate_adaptive_calls(), 0u);
  const P e{2, 0};
  EXPECT_EQ(orient(a, b, e), 0);  // collinear: decided by the adaptive stages
  EXPECT_EQ(predicate_adaptive_calls(), 0u) << "exact zero products are decided at once";
  const P f{0.5, 0.5}, g{1.5, 1.5}, h{2.5, 2.5};
  EXPECT_EQ(orient(f, g, h), 0);
  EXPECT_EQ(predicate_adaptive_calls(), 1u);
}

TEST_F(Predicates, ExpansionArithmetic) {
  // e = 2^-60 + 1, f = -1 + 2^-120: the ones cancel, and the sum keeps both
  // small components (2^-60 + 2^-120 is not one double).
  const double e[2] = {0x1.0p-60, 1.0};
  const double f[2] = {0x1.0p-120, -1.0};
  double h[4];
  int n = fast_expansion_sum_zeroelim(2, e, 2, f, h);
  ASSERT_EQ(n, 2);
  EXPECT_EQ(h[0], 0x1.0p-120);
  EXPECT_EQ(h[1], 0x1.0p-60);
  EXPECT_EQ(estimate(n, h), 0x1.0p-60);

  // Everything cancels: one zero component remains.
  const double g[1] = {3.0}, k[1] = {-3.0};
  n = fast_expansion_sum_zeroelim(1, g, 1, k, h);
  ASSERT_EQ(n, 1);
  EXPECT_EQ(h[0], 0.0);

  // (1 + 2^-60) * (1 + 2^-30) = (1 + 2^-30) + (2^-60 + 2^-90), exactly: two
  // non-overlapping components, the smaller first.
  const double m[2] = {0x1.0p-60, 1.0};
  double s[4];
  n = scale_expansion_zeroelim(2, m, 1.0 + 0x1.0p-30, s);
  const std::vector<double> parts(s, s + n);
  EXPECT_EQ(parts, (std::vector<double>{0x1.0p-60 + 0x1.0p-90, 1.0 + 0x1.0p-30}));
}

}  // namespace
}  // namespace tinrise
