// The TIN's edge cases (degenerate inputs, the first triangle,
// duplicates, queries on edges, on vertices and outside the hull, cocircular
// vertices), its messages, and the mesh invariants on random, grid and
// duplicated-grid inputs large enough to run the 10000-vertex insertion ring.
#include "tin/tin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/random.h"
#include "tin/predicates.h"
#include "tin/tin_vertex.h"

namespace tinrise {
namespace {

using Vertices = std::vector<TINvertex>;

TINvertex at(double x, double y) { return tin_vertex_from(x, y, 0.0, 0.0, 0.0); }

// A survey-like point: world metres on the 0.01 m grid, relative to an origin.
TINvertex survey(int cx, int cy) {
  return tin_vertex_from(636000.0 + cx * 0.01, 848000.0 + cy * 0.01, 0.0, 636000.0, 848000.0);
}

bool build(const Vertices& v) {
  if (!TINclean(static_cast<int>(v.size()), v.data())) return false;
  for (const TINvertex& vertex : v) {
    if (!TINappend(&vertex)) return false;
  }
  return TINcomplete();
}

double orient(const TINvertex& a, const TINvertex& b, const TINvertex& c) {
  const double pa[2] = {a.x, a.y}, pb[2] = {b.x, b.y}, pc[2] = {c.x, c.y};
  return orient2d(pa, pb, pc);
}

double orient(const TINvertex& a, const TINvertex& b, double x, double y) {
  const double pa[2] = {a.x, a.y}, pb[2] = {b.x, b.y}, pc[2] = {x, y};
  return orient2d(pa, pb, pc);
}

double in_circle(const TINvertex& a, const TINvertex& b, const TINvertex& c, const TINvertex& d) {
  const double pa[2] = {a.x, a.y}, pb[2] = {b.x, b.y}, pc[2] = {c.x, c.y}, pd[2] = {d.x, d.y};
  return incircle(pa, pb, pc, pd);
}

std::vector<int> triangles_in_use() {
  std::vector<int> used;
  for (int i = 0; i < TINrecord_count(); i++) {
    if (TINrecords()[i].link == TIN_IN_USE) used.push_back(i);
  }
  return used;
}

bool is_infinite(const TINtriangle& t) { return t.V[0] == TIN_ABSENT; }

// Every invariant of the mesh, and the Delaunay property: locally for every
// edge, and, when global is set, for every vertex against every triangle.
void expect_valid_tin(const Vertices& v, bool global) {
  const TINtriangle* r = TINrecords();
  const std::vector<int> used = triangles_in_use();
  ASSERT_FALSE(used.empty());
  std::set<int> used_set(used.begin(), used.end());
  std::set<int> used_vertices;
  int finite = 0, infinite = 0;
  for (int t : used) {
    const TINtriangle& T = r[t];
    for (int i = 0; i < 3; i++) {
      const int n = T.N[i], u = n / 3, j = n % 3;
      ASSERT_TRUE(used_set.count(u)) << "triangle " << t << " points to a free record";
      ASSERT_EQ(r[u].N[j], 3 * t + i) << "neighbour codes are not symmetric at " << t;
      ASSERT_EQ(T.V[(i + 1) % 3], r[u].V[(j + 2) % 3]) << "shared edge differs at " << t;
      ASSERT_EQ(T.V[(i + 2) % 3], r[u].V[(j + 1) % 3]) << "shared edge differs at " << t;
    }
    if (is_infinite(T)) {
      infinite++;
      ASSERT_NE(T.V[1], TIN_ABSENT);
      ASSERT_NE(T.V[2], TIN_ABSENT);
      const TINtriangle& inner = r[T.N[0] / 3];
      ASSERT_FALSE(is_infinite(inner));
      const TINvertex& opposite = v[inner.V[T.N[0] % 3]];
      EXPECT_LT(orient(v[T.V[1]], v[T.V[2]], opposite), 0) << "finite side of hull edge " << t;
      const TINtriangle& next = r[T.N[1] / 3];
      const TINtriangle& previous = r[T.N[2] / 3];
      ASSERT_TRUE(is_infinite(next));
      ASSERT_TRUE(is_infinite(previous));
      EXPECT_EQ(next.V[1], T.V[2]);
      EXPECT_EQ(previous.V[2], T.V[1]);
    } else {
      finite++;
      EXPECT_GT(orient(v[T.V[0]], v[T.V[1]], v[T.V[2]]), 0) << "triangle " << t << " is not counterclockwise";
      for (int i = 0; i < 3; i++) {
        used_vertices.insert(T.V[i]);
        const TINtriangle& U = r[T.N[i] / 3];
        if (is_infinite(U)) continue;
        const TINvertex& far = v[U.V[T.N[i] % 3]];
        EXPECT_LE(in_circle(v[T.V[0]], v[T.V[1]], v[T.V[2]], far), 0) << "edge not locally Delaunay at " << t;
      }
    }
  }
  // Every distinct input location is a vertex, exactly once.
  std::set<std::pair<float, float>> input_locations, vertex_locations;
  for (const TINvertex& p : v) input_locations.insert({p.x, p.y});
  for (int i : used_vertices) vertex_locations.insert({v[i].x, v[i].y});
  EXPECT_EQ(vertex_locations, input_locations);
  EXPECT_EQ(vertex_locations.size(), used_vertices.size()) << "a location is a vertex twice";
  // Euler: 2n - h - 2 finite triangles for n vertices and h hull edges.
  EXPECT_EQ(finite, 2 * static_cast<int>(used_vertices.size()) - infinite - 2);

  if (global) {
    for (int t : used) {
      const TINtriangle& T = r[t];
      if (is_infinite(T)) continue;
      for (int i : used_vertices) {
        ASSERT_LE(in_circle(v[T.V[0]], v[T.V[1]], v[T.V[2]], v[i]), 0) << "vertex " << i << " inside " << t;
      }
    }
  }
}

// Whether triangle t is a correct answer of TINfind for (x, y).
bool contains(const Vertices& v, const TINtriangle& t, float x, float y) {
  if (is_infinite(t)) {
    const double o = orient(v[t.V[1]], v[t.V[2]], x, y);
    if (o > 0) return true;
    if (o < 0) return false;
    const TINvertex &a = v[t.V[1]], &b = v[t.V[2]];
    return TINinsegment(a, b, x, y) == 3;
  }
  for (int i = 0; i < 3; i++) {
    if (orient(v[t.V[i]], v[t.V[(i + 1) % 3]], x, y) < 0) return false;
  }
  return true;
}

bool has_edge(const TINtriangle& t, std::int32_t a, std::int32_t b) {
  auto has = [&](std::int32_t q) { return t.V[0] == q || t.V[1] == q || t.V[2] == q; };
  return has(a) && has(b);
}

class Tin : public ::testing::Test {
 protected:
  void SetUp() override { random_seed(1); }
  void TearDown() override { TINrelease(); }
};

// ---- degenerate inputs ----

TEST_F(Tin, FewerThanThreeVerticesGiveNoTin) {
  for (int n = 0; n < 3; n++) {
    SCOPED_TRACE(n);
    Vertices v;
    for (int i = 0; i < n; i++) v.push_back(at(i, i * i));
    EXPECT_FALSE(build(v));
    EXPECT_FALSE(TINfailed());
  }
}

TEST_F(Tin, CollinearVerticesGiveNoTin) {
  // Lines that stay exactly straight through the float rounding.
  struct Row {
    const char* name;
    int count, dx, dy;
  };
  const Row rows[] = {
      {"three", 3, 1, 0}, {"a scan line along x", 500, 7, 0}, {"along y", 700, 0, 3}, {"diagonal", 800, 5, 5}, {"9999", 9999, 1, 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Vertices v;
    for (int i = 0; i < row.count; i++) v.push_back(survey(row.dx * i, row.dy * i));
    EXPECT_FALSE(build(v));
    EXPECT_FALSE(TINfailed());
  }
}

TEST_F(Tin, TenThousandCollinearVerticesStopWithTheFirstTriangleMessage) {
  Vertices v;
  for (int i = 0; i < 10001; i++) v.push_back(survey(i, 0));
  ASSERT_TRUE(TINclean(static_cast<int>(v.size()), v.data()));
  for (int i = 0; i < 9999; i++) ASSERT_TRUE(TINappend(&v[i]));
  testing::internal::CaptureStderr();
  EXPECT_FALSE(TINappend(&v[9999]));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR: cannot find triangle in first 10000 points.\n");
  EXPECT_TRUE(TINfailed());
  EXPECT_FALSE(TINcomplete());
}

TEST_F(Tin, CollinearFirstTripleStartsFromVerticesTwoToFour) {
  const Vertices v = {at(0, 0), at(1, 0), at(2, 0), at(1, 1)};
  ASSERT_TRUE(TINclean(4, v.data()));
  for (const TINvertex& p : v) ASSERT_TRUE(TINappend(&p));
  const TINtriangle& first = TINrecords()[0];
  std::set<int> corners(first.V, first.V + 3);
  EXPECT_EQ(corners, (std::set<int>{1, 2, 3}));
  EXPECT_GT(orient(v[first.V[0]], v[first.V[1]], v[first.V[2]]), 0);
  ASSERT_TRUE(TINcomplete());  // vertex 1 (index 0) was buffered and goes in now
  expect_valid_tin(v, true);
}

TEST_F(Tin, FirstTriangleRecords) {
  // Clockwise input: a and b swap, and the four records follow the first-triangle rule.
  const Vertices v = {at(0, 0), at(0, 1), at(1, 0)};
  ASSERT_TRUE(TINclean(3, v.data()));
  for (const TINvertex& p : v) ASSERT_TRUE(TINappend(&p));
  const TINtriangle* r = TINrecords();
  const std::int32_t expected[4][3] = {{1, 0, 2}, {TIN_ABSENT, 2, 0}, {TIN_ABSENT, 1, 2}, {TIN_ABSENT, 0, 1}};
  for (int t = 0; t < 4; t++) {
    for (int i = 0; i < 3; i++) EXPECT_EQ(r[t].V[i], expected[t][i]) << t << " " << i;
  }
  ASSERT_TRUE(TINcomplete());
  expect_valid_tin(v, true);
}

TEST_F(Tin, FirstTriangleAfterManyCollinearVertices) {
  // 9999 vertices on one scan line, then one off it: the first triangle uses
  // the last three, and the 9997 buffered collinear vertices go in at
  // TINcomplete, each collinear with hull edges.
  Vertices v;
  for (int i = 0; i < 9999; i++) v.push_back(survey((i * 7919) % 9999, 0));
  v.push_back(survey(5000, 3));
  ASSERT_TRUE(build(v));
  expect_valid_tin(v, false);
  EXPECT_FALSE(TINfailed());
}

TEST_F(Tin, ParallelScanLinesWithCollinearHulls) {
  // Three exact scan lines with repeated points, crossing the 10000 ring:
  // conflicts with infinite triangles through the closed-segment rule and
  // hull walks during insertion.
  Vertices v;
  for (int pass = 0; pass < 2; pass++) {
    for (int line = 0; line < 3; line++) {
      for (int i = 0; i < 3000; i++) v.push_back(survey(line % 2 == 0 ? i : 2999 - i, 50 * line));
    }
  }
  ASSERT_TRUE(build(v));
  expect_valid_tin(v, false);
  const TINtriangle* hint = nullptr;
  for (int i = -10; i < 3010; i += 7) {
    const TINvertex q = survey(i, 0);  // along the bottom hull line, inside and beyond it
    const TINtriangle* found = TINfind(q.x, q.y, hint);
    if (i >= 0 && i < 3000) {
      EXPECT_EQ(found, nullptr);
    } else {
      ASSERT_NE(found, nullptr);
      EXPECT_TRUE(is_infinite(*found));
      EXPECT_GT(orient(v[found->V[1]], v[found->V[2]], q.x, q.y), 0);
      hint = found;
    }
  }
}

// ---- duplicates ----

TEST_F(Tin, RepeatedVertexIsLeftOut) {
  const Vertices v = {at(0, 0), at(4, 0), at(0, 4), at(1, 1), at(4, 4), at(1, 1), at(3, 1), at(0, 0)};
  ASSERT_TRUE(build(v));
  expect_valid_tin(v, true);
  std::set<int> used;
  for (int t : triangles_in_use()) {
    for (int i = 0; i < 3; i++) used.insert(TINrecords()[t].V[i]);
  }
  EXPECT_TRUE(used.count(3));
  EXPECT_FALSE(used.count(5)) << "the second (1, 1) is not a vertex";
  EXPECT_FALSE(used.count(7)) << "the second (0, 0) is not a vertex";
  EXPECT_EQ(TINfind(1, 1), nullptr);
  EXPECT_EQ(TINfind(0, 0), nullptr);
  EXPECT_FALSE(TINfailed());
}

// ---- queries ----

class TinGrid : public Tin {
 protected:
  // A 5 x 5 grid of survey points 0.5 m apart (cell corners are cocircular).
  void SetUp() override {
    Tin::SetUp();
    for (int y = 0; y < 5; y++) {
      for (int x = 0; x < 5; x++) v.push_back(survey(50 * x, 50 * y));
    }
    ASSERT_TRUE(build(v));
  }
  Vertices v;
};

TEST_F(TinGrid, MeshIsValid) { expect_valid_tin(v, true); }

TEST_F(TinGrid, QueryOnAVertexFindsNone) {
  for (const TINvertex& p : v) {
    EXPECT_EQ(TINfind(p.x, p.y), nullptr);
    for (int t : triangles_in_use()) EXPECT_EQ(TINfind(p.x, p.y, &TINrecords()[t]), nullptr);
  }
  EXPECT_FALSE(TINfailed());
}

TEST_F(TinGrid, QueryOnAnEdgeFindsATriangleOfThatEdge) {
  for (int t : triangles_in_use()) {
    const TINtriangle& T = TINrecords()[t];
    if (is_infinite(T)) continue;
    for (int i = 0; i < 3; i++) {
      const TINvertex &a = v[T.V[(i + 1) % 3]], &b = v[T.V[(i + 2) % 3]];
      const float x = (a.x + b.x) / 2, y = (a.y + b.y) / 2;  // exact: a, b are on the grid
      ASSERT_EQ(orient(a, b, x, y), 0);
      for (int h : triangles_in_use()) {
        const TINtriangle* found = TINfind(x, y, &TINrecords()[h]);
        ASSERT_NE(found, nullptr);
        EXPECT_TRUE(has_edge(*found, T.V[(i + 1) % 3], T.V[(i + 2) % 3]) ||
                    (is_infinite(*found) && contains(v, *found, x, y)))
            << "from " << h;
        EXPECT_TRUE(contains(v, *found, x, y));
      }
    }
  }
}

TEST_F(TinGrid, QueryOutsideTheHullFindsAnInfiniteTriangle) {
  const TINvertex& corner = v[24];
  const float queries[][2] = {{-1.0f, 0.7f}, {corner.x + 3, corner.y + 1}, {0.3f, -5.0f}, {1.1f, 100.0f}};
  for (const auto& q : queries) {
    for (int h : triangles_in_use()) {
      const TINtriangle* found = TINfind(q[0], q[1], &TINrecords()[h]);
      ASSERT_NE(found, nullptr);
      EXPECT_TRUE(is_infinite(*found));
      EXPECT_GT(orient(v[found->V[1]], v[found->V[2]], q[0], q[1]), 0);
    }
  }
}

TEST_F(TinGrid, QueryCollinearWithAHullEdgeWalksAlongTheHull) {
  const float side = v[4].x;  // the grid's extent
  const float queries[][2] = {{side + 0.7f, 0}, {-3, 0}, {0, side + 2}, {0, -0.25f}, {side, -1}, {side, side + 9}};
  for (const auto& q : queries) {
    for (int h : triangles_in_use()) {
      const TINtriangle* found = TINfind(q[0], q[1], &TINrecords()[h]);
      ASSERT_NE(found, nullptr);
      EXPECT_TRUE(is_infinite(*found));
      EXPECT_GT(orient(v[found->V[1]], v[found->V[2]], q[0], q[1]), 0) << q[0] << " " << q[1] << " from " << h;
    }
  }
}

TEST_F(TinGrid, QueryOnAHullEdgeFindsATriangleOfThatEdge) {
  const float x = v[1].x / 2;  // between the first two grid points of the bottom row
  for (int h : triangles_in_use()) {
    const TINtriangle* found = TINfind(x, 0, &TINrecords()[h]);
    ASSERT_NE(found, nullptr);
    EXPECT_TRUE(has_edge(*found, 0, 1));
    EXPECT_TRUE(contains(v, *found, x, 0));
  }
}

// ---- cocircular vertices ----

TEST_F(Tin, CocircularVertexReplacesTheDiagonal) {
  // a, b, c make the first triangle (diagonal a-c); d lies on its
  // circumcircle, so it conflicts and the diagonal becomes b-d.
  const Vertices v = {survey(0, 0), survey(1, 0), survey(1, 1), survey(0, 1)};
  ASSERT_TRUE(build(v));
  expect_valid_tin(v, true);
  bool bd = false, ac = false;
  for (int t : triangles_in_use()) {
    const TINtriangle& T = TINrecords()[t];
    if (is_infinite(T)) continue;
    bd = bd || has_edge(T, 1, 3);
    ac = ac || has_edge(T, 0, 2);
  }
  EXPECT_TRUE(bd);
  EXPECT_FALSE(ac);
}

TEST_F(Tin, CocircularOrderDecidesTheDiagonal) {
  // The same square given as b, c, d, a: now the diagonal is a-c.
  const Vertices v = {survey(1, 0), survey(1, 1), survey(0, 1), survey(0, 0)};
  ASSERT_TRUE(build(v));
  bool ac = false;
  for (int t : triangles_in_use()) {
    const TINtriangle& T = TINrecords()[t];
    if (!is_infinite(T)) ac = ac || has_edge(T, 3, 1);
  }
  EXPECT_TRUE(ac);
}

// ---- larger inputs: the insertion ring ----

struct Lcg {
  std::uint64_t state;
  double uniform() {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<double>(state >> 11) * 0x1.0p-53;
  }
};

TEST_F(Tin, RandomPointsSmallGlobalCheck) {
  Lcg rng{42};
  Vertices v;
  for (int i = 0; i < 1500; i++) v.push_back(survey(static_cast<int>(rng.uniform() * 20000), static_cast<int>(rng.uniform() * 20000)));
  ASSERT_TRUE(build(v));
  expect_valid_tin(v, true);
}

TEST_F(Tin, RandomPointsThroughTheRing) {
  Lcg rng{7};
  Vertices v;
  for (int i = 0; i < 40000; i++) v.push_back(at(rng.uniform() * 1000, rng.uniform() * 1000));
  ASSERT_TRUE(build(v));
  expect_valid_tin(v, false);
  // Queries from the last answer (as the height pass does) and from null.
  const TINtriangle* hint = nullptr;
  for (int i = 0; i < 20000; i++) {
    const float x = static_cast<float>(rng.uniform() * 1100 - 50), y = static_cast<float>(rng.uniform() * 1100 - 50);
    const TINtriangle* found = TINfind(x, y, hint);
    ASSERT_NE(found, nullptr);
    ASSERT_TRUE(contains(v, *found, x, y)) << x << " " << y;
    hint = found;
  }
  EXPECT_FALSE(TINfailed());
}

TEST_F(Tin, GridWithManyDuplicatesThroughTheRing) {
  // A 150 x 150 grid at 0.01 m scanned twice (two overlapping passes) plus a
  // third pass over every seventh point: exact duplicates everywhere.
  Vertices v;
  for (int pass = 0; pass < 3; pass++) {
    for (int y = 0; y < 150; y++) {
      for (int x = 0; x < 150; x++) {
        if (pass == 2 && (x + y) % 7 != 0) continue;
        v.push_back(survey(x, y));
      }
    }
  }
  ASSERT_GT(v.size(), 10003u);
  ASSERT_TRUE(build(v));
  expect_valid_tin(v, false);
  for (const TINvertex& p : v) EXPECT_EQ(TINfind(p.x, p.y), nullptr);
  const TINtriangle* hint = nullptr;
  for (int y = 0; y < 149; y++) {
    for (int x = 0; x < 149; x++) {
      const TINvertex a = survey(x, y), b = survey(x + 1, y + 1);
      const float qx = (a.x + b.x) / 2, qy = (a.y + b.y) / 2;  // a cell centre: on a diagonal or at four cocircular corners
      const TINtriangle* found = TINfind(qx, qy, hint);
      ASSERT_NE(found, nullptr);
      ASSERT_TRUE(contains(v, *found, qx, qy));
      hint = found;
    }
  }
}

TEST_F(Tin, SmallGridGlobalCheck) {
  Vertices v;
  for (int y = 0; y < 30; y++) {
    for (int x = 0; x < 30; x++) v.push_back(survey(x, y));
  }
  for (int y = 0; y < 30; y += 3) {
    for (int x = 0; x < 30; x += 2) v.push_back(survey(x, y));
  }
  ASSERT_TRUE(build(v));
  expect_valid_tin(v, true);
}

TEST_F(Tin, RingDrawsOneRandomNumberEveryTwoHundredFiftySixthSlot) {
  Lcg rng{99};
  Vertices v;
  const int extra = 25000;  // appends after the ring has filled
  for (int i = 0; i < 3 + 10000 + extra; i++) v.push_back(at(rng.uniform() * 100, rng.uniform() * 100));
  random_seed(1);
  ASSERT_TRUE(build(v));
  int draws = 0;
  for (int j = 0; j < extra; j++) draws += (j % 10000) % 256 == 0;
  const int next = random_next();
  random_seed(1);
  for (int i = 0; i < draws; i++) random_next();
  EXPECT_EQ(next, random_next());
  expect_valid_tin(v, false);
}

TEST_F(Tin, LongWalkFallsBackToBruteLocate) {
  // Two scan lines 12000 points long: a walk from one end to the other takes
  // more than 10000 steps, and brute_locate answers.
  Vertices v;
  for (int i = 0; i < 12000; i++) {
    v.push_back(survey(i, 0));
    v.push_back(survey(i, 1));
  }
  ASSERT_TRUE(build(v));
  const TINtriangle* start = TINfind(0.005f, 0.005f);
  ASSERT_NE(start, nullptr);
  const TINvertex far = survey(11990, 0);
  const float x = far.x + 0.004f, y = 0.003f;
  const TINtriangle* found = TINfind(x, y, start);
  ASSERT_NE(found, nullptr);
  EXPECT_FALSE(is_infinite(*found));
  EXPECT_TRUE(contains(v, *found, x, y));
  EXPECT_EQ(TINfind(far.x, far.y, start), nullptr);
  EXPECT_FALSE(TINfailed());
}

TEST_F(Tin, RebuildReusesTheRecords) {
  Vertices big, small = {at(0, 0), at(1, 0), at(0, 1), at(1, 1), at(0.5, 0.4)};
  for (int i = 0; i < 100; i++) big.push_back(at(i % 10, i / 10 + 0.001 * i));
  ASSERT_TRUE(build(big));
  const int records = TINrecord_count();
  ASSERT_TRUE(build(small));
  EXPECT_EQ(TINrecord_count(), records);
  expect_valid_tin(small, true);
  TINrelease();
  EXPECT_EQ(TINrecord_count(), 0);
  ASSERT_TRUE(build(small));
  EXPECT_EQ(TINrecord_count(), 10);
  expect_valid_tin(small, true);
}

// ---- segment tests and their messages ----

TEST_F(Tin, SegmentTests) {
  const TINvertex a = at(1, 2), b = at(5, 2), c = at(3, 7), d = at(3, 1);
  struct Row {
    const char* name;
    TINvertex a, b;
    float x, y;
    int in, on;
  };
  const Row rows[] = {
      {"before a along x", a, b, 0, 2, 0, 0}, {"at a", a, b, 1, 2, 1, 1},   {"between", a, b, 2, 2, 3, 1},
      {"at b", a, b, 5, 2, 2, 1},             {"beyond b", a, b, 6, 2, 0, 0}, {"reversed", b, a, 2, 2, 3, 1},
      {"along y, between", c, d, 3, 4, 3, 1}, {"along y, at b", c, d, 3, 1, 2, 1}, {"along y, beyond", c, d, 3, 0, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(TINinsegment(r.a, r.b, r.x, r.y), r.in);
    EXPECT_EQ(TINonsegment(r.a, r.b, r.x, r.y), r.on);
  }
  EXPECT_FALSE(TINfailed());
}

TEST_F(Tin, IdenticalEndpointsPrintTheirMessages) {
  const TINvertex a = at(1, 2);
  Vertices v = {a};
  ASSERT_TRUE(TINclean(1, v.data()));
  testing::internal::CaptureStderr();
  EXPECT_EQ(TINinsegment(a, a, 1, 2), -2);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR: identical endpoints in TINinsegment() test.\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(TINonsegment(a, a, 1, 2), -2);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR: identical endpoints in TINonsegment() test.\n");
  EXPECT_TRUE(TINfailed());
}

TEST_F(Tin, MoreVerticesThanAnnouncedAreRefused) {
  const Vertices v = {at(0, 0), at(1, 0), at(0, 1), at(1, 1)};
  ASSERT_TRUE(TINclean(3, v.data()));
  for (int i = 0; i < 3; i++) ASSERT_TRUE(TINappend(&v[i]));
  testing::internal::CaptureStderr();
  EXPECT_FALSE(TINappend(&v[3]));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR: more than the 3 vertices announced to TINclean.\n");
  EXPECT_TRUE(TINfailed());
  EXPECT_FALSE(TINcomplete());
}

TEST_F(Tin, HugeVertexCountFailsToAllocate) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(TINclean(2000000000, nullptr));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR (TINclean): failed malloc for 4000000000 TINtriangles.\n");
}

}  // namespace
}  // namespace tinrise
