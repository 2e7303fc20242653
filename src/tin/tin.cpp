// The incremental Delaunay TIN: insertion ring, first triangle,
// Bowyer-Watson insertion through the neighbour-code stack, the walk with its
// midpoint rule, the hull walk and brute_locate. All geometry goes through
// orient2d and incircle (predicates.h); this file only does combinatorics.
#include "tin/tin.h"

#include <cstdio>
#include <cstdlib>

#include "common/random.h"
#include "tin/predicates.h"

namespace tinrise {
namespace {

constexpr int buffer_size = 10000;  // the insertion ring
constexpr int swap_period = 256;    // every 256th slot swaps with a random one
constexpr int stack_step = 500;     // the stack grows by this many codes
constexpr int max_walk_steps = 10000;
// Neighbour codes 3 * index + corner must fit a signed 32-bit integer.
constexpr int max_vertices = (INT32_MAX / 3 - 1) / 2;

constexpr int none = -1;   // TINfind: the point is a vertex
constexpr int error = -2;  // a message was printed; the TIN cannot go on

// ---- module state ----
const TINvertex* vertices = nullptr;
TINtriangle* triangles = nullptr;
int capacity = 0;
int free_head = 0;
int last_triangle = 0;
bool initialised = false;
std::int32_t buffer[buffer_size];
int buffer_count = 0;
bool buffer_full = false;
int* stack = nullptr;
int stack_capacity = 0;
bool failed = false;
int announced = 0;  // n of TINclean
int appended = 0;   // vertices handed to TINappend since
TINstatistics stats;

constexpr int next_corner[3] = {1, 2, 0};
constexpr int prev_corner[3] = {2, 0, 1};

// The fan table of the insertion, by the corner k of the cavity's neighbour u that
// faces the cavity: the corner of the new triangle s that holds p (and gets
// the code of u), its edge towards the previous new triangle, its open edge.
constexpr int fan_apex[3] = {0, 2, 1};
constexpr int fan_towards_prev[3] = {1, 0, 2};
constexpr int fan_open[3] = {2, 1, 0};

// ---- the predicate wrappers: 32-bit vertices become 64-bit points ----

struct Point {
  double xy[2];
};

inline Point point_of(std::int32_t v) { return Point{{vertices[v].x, vertices[v].y}}; }

inline double orient(std::int32_t a, std::int32_t b, std::int32_t c) {
  Point pa = point_of(a), pb = point_of(b), pc = point_of(c);
  return orient2d(pa.xy, pb.xy, pc.xy);
}

// Orientation of the 64-bit point p and two vertices, in the order given.
inline double orient(const Point& p, std::int32_t b, std::int32_t c) {
  Point pb = point_of(b), pc = point_of(c);
  return orient2d(p.xy, pb.xy, pc.xy);
}

// Two vertices and the 64-bit point p, in the order given.
inline double orient(std::int32_t a, std::int32_t b, const Point& p) {
  Point pa = point_of(a), pb = point_of(b);
  return orient2d(pa.xy, pb.xy, p.xy);
}

// Two 64-bit points and one vertex (the midpoint rule of the walk).
inline double orient(const Point& p, const Point& m, std::int32_t c) {
  Point pc = point_of(c);
  return orient2d(p.xy, m.xy, pc.xy);
}

inline double in_circle(const TINtriangle& t, const Point& p) {
  Point pa = point_of(t.V[0]), pb = point_of(t.V[1]), pc = point_of(t.V[2]);
  return incircle(pa.xy, pb.xy, pc.xy, p.xy);
}

// ---- segment tests, for p collinear with a and b ----

// 0 outside the closed interval a..b, 1 at a, 2 at b, 3 strictly between;
// error for identical endpoints.
int insegment(const TINvertex& a, const TINvertex& b, const Point& p) {
  double ac, bc, pc;
  if (a.x != b.x) {
    ac = a.x, bc = b.x, pc = p.xy[0];
  } else if (a.y != b.y) {
    ac = a.y, bc = b.y, pc = p.xy[1];
  } else {
    std::fprintf(stderr, "ERROR: identical endpoints in TINinsegment() test.\n");
    failed = true;
    return error;
  }
  if (pc == ac) return 1;
  if (pc == bc) return 2;
  if (ac < bc) return (ac < pc && pc < bc) ? 3 : 0;
  return (bc < pc && pc < ac) ? 3 : 0;
}

// 1 when p lies in the closed interval a..b, 0 when not; error for identical
// endpoints.
int onsegment(const TINvertex& a, const TINvertex& b, const Point& p) {
  double ac, bc, pc;
  if (a.x != b.x) {
    ac = a.x, bc = b.x, pc = p.xy[0];
  } else if (a.y != b.y) {
    ac = a.y, bc = b.y, pc = p.xy[1];
  } else {
    std::fprintf(stderr, "ERROR: identical endpoints in TINonsegment() test.\n");
    failed = true;
    return error;
  }
  if (ac <= bc) return (ac <= pc && pc <= bc) ? 1 : 0;
  return (bc <= pc && pc <= ac) ? 1 : 0;
}

inline int insegment(std::int32_t a, std::int32_t b, const Point& p) {
  return insegment(vertices[a], vertices[b], p);
}

inline int onsegment(std::int32_t a, std::int32_t b, const Point& p) {
  return onsegment(vertices[a], vertices[b], p);
}

// ---- location ----

int brute_locate(const Point& p) {
  for (int i = 0; i < capacity; i++) {
    const TINtriangle& t = triangles[i];
    if (t.link != TIN_IN_USE) continue;
    if (t.V[0] == TIN_ABSENT) {
      double o = orient(p, t.V[1], t.V[2]);
      if (o > 0) return i;
      if (o == 0) {
        int r = insegment(t.V[1], t.V[2], p);
        if (r == 3) return i;
        if (r == 1 || r == 2) return none;
        if (r == error) return error;
      }
    } else {
      double o1 = orient(p, t.V[1], t.V[2]);
      double o2 = orient(p, t.V[2], t.V[0]);
      double o3 = orient(p, t.V[0], t.V[1]);
      if (o1 >= 0 && o2 >= 0 && o3 >= 0) {
        int zeros = (o1 == 0) + (o2 == 0) + (o3 == 0);
        return zeros == 2 ? none : i;
      }
    }
  }
  std::fprintf(stderr, "ERROR: fail to brute_locate a point.\n");
  failed = true;
  return error;
}

// From infinite t whose hull edge is collinear with p: walk along the hull.
int hull_walk(int t, const Point& p) {
  for (;;) {
    const TINtriangle& T = triangles[t];
    const TINvertex& a = vertices[T.V[1]];
    const TINvertex& b = vertices[T.V[2]];
    double ac, bc, pc;
    if (a.x != b.x) {
      ac = a.x;
      bc = b.x;
      pc = p.xy[0];
    } else if (a.y != b.y) {
      ac = a.y;
      bc = b.y;
      pc = p.xy[1];
    } else {
      std::fprintf(stderr, "ERROR: degenerate finite edge of infinite triangle.\n");
      failed = true;
      return error;
    }
    bool beyond_b = ac < bc ? pc > bc : pc < bc;
    bool beyond_a = ac < bc ? pc < ac : pc > ac;
    if (beyond_b) {
      t = T.N[1] / 3;
    } else if (beyond_a) {
      t = T.N[2] / 3;
    } else {
      return (pc == ac || pc == bc) ? none : t;
    }
    if (orient(p, triangles[t].V[2], triangles[t].V[1]) != 0) return t;
  }
}

// Result of a segment test inside the walk: a triangle index, none or error
// to return, or go_on to move on.
constexpr int go_on = -3;

inline int segment_outcome(int r, int t) {
  if (r == 3) return t;
  if (r == 1 || r == 2) return none;
  if (r == error) return error;
  return go_on;
}

int locate(const Point& p, int t) {
  const TINtriangle* T = &triangles[t];
  double o = orient(p, T->V[1], T->V[2]);
  int e;
  if (o < 0) {
    const std::uint32_t n = static_cast<std::uint32_t>(T->N[0]);
    t = static_cast<int>(n / 3);
    e = static_cast<int>(n % 3);
  } else {
    e = 0;
    if (o == 0) {
      int r = segment_outcome(insegment(T->V[1], T->V[2], p), t);
      if (r != go_on) return r;
    }
  }

  // The midpoint of the edge the walk starts from; it stays fixed.
  T = &triangles[t];
  const TINvertex& m1 = vertices[T->V[next_corner[e]]];
  const TINvertex& m2 = vertices[T->V[prev_corner[e]]];
  const Point m{{(static_cast<double>(m1.x) + static_cast<double>(m2.x)) / 2,
                 (static_cast<double>(m1.y) + static_cast<double>(m2.y)) / 2}};

  int steps = 0;
  for (;;) {
    T = &triangles[t];
    if (T->V[0] == TIN_ABSENT) return o != 0 ? t : hull_walk(t, p);
    const std::int32_t ve = T->V[e];
    int across;
    double s = orient(p, m, ve);
    if (s > 0) {
      const std::int32_t v1 = T->V[next_corner[e]];
      o = orient(p, v1, ve);
      if (o < 0) return t;
      if (o == 0) {
        int r = segment_outcome(insegment(v1, ve, p), t);
        if (r != go_on) return r;
      }
      across = prev_corner[e];
    } else {
      if (s == 0 && p.xy[0] == vertices[ve].x && p.xy[1] == vertices[ve].y) return none;
      const std::int32_t v2 = T->V[prev_corner[e]];
      o = orient(p, ve, v2);
      if (o < 0) return t;
      if (o == 0) {
        int r = segment_outcome(insegment(ve, v2, p), t);
        if (r != go_on) return r;
      }
      across = next_corner[e];
    }
    const std::uint32_t n = static_cast<std::uint32_t>(T->N[across]);
    t = static_cast<int>(n / 3);
    e = static_cast<int>(n % 3);
    stats.walk_steps++;
    if (++steps >= max_walk_steps) {
      stats.brute_locates++;
      return brute_locate(p);
    }
  }
}

// ---- insertion ----

inline void free_record(int t) {
  triangles[t].link = free_head;
  free_head = t;
}

bool grow_stack() {
  int new_capacity = stack_capacity + stack_step;
  int* grown = static_cast<int*>(std::realloc(stack, sizeof(int) * new_capacity));
  if (grown == nullptr) {
    std::fprintf(stderr, "ERROR: cannot grow the TIN insertion stack to %d entries.\n", new_capacity);
    failed = true;
    return false;
  }
  stack = grown;
  stack_capacity = new_capacity;
  return true;
}

// Conflict of triangle u with p: p inside or on its circumcircle, or, for an
// infinite u, beyond its hull edge or on the closed edge. 1, 0 or error.
inline int conflict(const TINtriangle& u, const Point& p) {
  if (u.V[0] != TIN_ABSENT) return in_circle(u, p) >= 0 ? 1 : 0;
  double o = orient(u.V[1], u.V[2], p);
  if (o > 0) return 1;
  if (o < 0) return 0;
  return onsegment(u.V[1], u.V[2], p);
}

// Bowyer-Watson insertion of vertex v. False after an error.
bool TINinsertvertex(std::int32_t v) {
  const Point p = point_of(v);
  stats.insertions++;
  int t = locate(p, last_triangle);
  if (t == none) {  // p equals an existing vertex: left out
    stats.duplicates++;
    return true;
  }
  if (t == error) return false;
  stats.cavity_triangles++;

  if (stack_capacity < 3 && !grow_stack()) return false;
  int top = 0;
  stack[top++] = triangles[t].N[0];
  stack[top++] = triangles[t].N[1];
  stack[top++] = triangles[t].N[2];
  free_record(t);

  int first = -1, first_corner = 0;  // the fan's first open edge
  int prev = -1, prev_corner_open = 0;  // the last new triangle's open edge

  while (top > 0) {
    const std::int32_t n = stack[--top];
    const int u = static_cast<int>(static_cast<std::uint32_t>(n) / 3);
    const int k = static_cast<int>(static_cast<std::uint32_t>(n) % 3);
    TINtriangle& U = triangles[u];
    int c = conflict(U, p);
    if (c == error) return false;
    if (c) {
      if (top + 2 > stack_capacity && !grow_stack()) return false;
      stack[top++] = U.N[next_corner[k]];
      stack[top++] = U.N[prev_corner[k]];
      free_record(u);
      stats.cavity_triangles++;
      continue;
    }
    // The edge of u opposite k bounds the cavity: a new triangle s over it.
    const int s = free_head;  // never past the records: TINappend checks the count
    TINtriangle& S = triangles[s];
    free_head = S.link;
    S.link = TIN_IN_USE;
    last_triangle = s;
    // The fan table without a branch on k: s is (w0, w2, w1) with p
    // put at corner apex[k], which is also the corner that faces u.
    S.V[0] = U.V[0];
    S.V[1] = U.V[2];
    S.V[2] = U.V[1];
    const int apex = fan_apex[k];
    S.V[apex] = v;
    S.N[apex] = n;
    U.N[k] = 3 * s + apex;
    const int towards_prev = fan_towards_prev[k];
    const int open = fan_open[k];
    if (prev >= 0) {
      S.N[towards_prev] = 3 * prev + prev_corner_open;
      triangles[prev].N[prev_corner_open] = 3 * s + towards_prev;
    } else {
      first = s;
      first_corner = towards_prev;
    }
    prev = s;
    prev_corner_open = open;
  }
  // Close the fan around p.
  triangles[first].N[first_corner] = 3 * prev + prev_corner_open;
  triangles[prev].N[prev_corner_open] = 3 * first + first_corner;
  return true;
}

// The first triangle from a, b, c: records 0 to 3. False when collinear.
bool first_triangle(std::int32_t a, std::int32_t b, std::int32_t c) {
  double o = orient(a, b, c);
  if (o == 0) return false;
  if (o < 0) {
    std::int32_t swap = a;
    a = b;
    b = swap;
  }
  const std::int32_t corners[4][3] = {
      {a, b, c}, {TIN_ABSENT, c, b}, {TIN_ABSENT, a, c}, {TIN_ABSENT, b, a}};
  for (int r = 0; r < 4; r++) {
    for (int i = 0; i < 3; i++) triangles[r].V[i] = corners[r][i];
    triangles[r].link = TIN_IN_USE;
  }
  // Every two of the four records share an edge; each one's corner whose
  // vertex the other lacks (the absent vertex counts as shared) gets the code
  // of the other's such corner.
  auto has = [&](int r, std::int32_t v) {
    return corners[r][0] == v || corners[r][1] == v || corners[r][2] == v;
  };
  for (int r = 0; r < 4; r++) {
    for (int q = 0; q < 4; q++) {
      if (q == r) continue;
      int i = 0, j = 0;
      while (has(q, corners[r][i])) i++;
      while (has(r, corners[q][j])) j++;
      triangles[r].N[i] = 3 * q + j;
    }
  }
  free_head = 4;
  last_triangle = 0;
  return true;
}

void free_records() {
  std::free(triangles);
  triangles = nullptr;
  capacity = 0;
}

bool allocate_records(int count) {
  // Plain allocation: asking for transparent huge pages here made the first
  // touch several times slower (synchronous compaction) on the target machines.
  void* memory = std::malloc(sizeof(TINtriangle) * static_cast<std::size_t>(count));
  if (memory == nullptr && count > 0) return false;
  triangles = static_cast<TINtriangle*>(memory);
  capacity = count;
  return true;
}

}  // namespace

bool TINclean(int n, const TINvertex* vertex_array) {
  exactinit();
  failed = false;
  announced = 0;
  stats = TINstatistics{};
  vertices = vertex_array;
  if (n < 0 || n > max_vertices) {
    std::fprintf(stderr, "ERROR (TINclean): failed malloc for %lld TINtriangles.\n", 2LL * n);
    return false;
  }
  if (capacity < 2 * n) {
    free_records();
    if (!allocate_records(2 * n)) {
      std::fprintf(stderr, "ERROR (TINclean): failed malloc for %d TINtriangles.\n", 2 * n);
      return false;
    }
  }
  for (int i = 0; i < capacity; i++) triangles[i].link = i + 1;
  free_head = 0;
  last_triangle = 0;
  announced = n;
  appended = 0;
  buffer_count = 0;
  buffer_full = false;
  initialised = false;
  return true;
}

bool TINappend(const TINvertex* vertex) {
  if (failed) return false;
  if (++appended > announced) {  // the 2n records would not suffice
    std::fprintf(stderr, "ERROR: more than the %d vertices announced to TINclean.\n", announced);
    failed = true;
    return false;
  }
  const std::int32_t v = static_cast<std::int32_t>(vertex - vertices);
  if (!initialised) {
    buffer[buffer_count++] = v;
    if (buffer_count >= 3) {
      if (first_triangle(buffer[buffer_count - 3], buffer[buffer_count - 2], buffer[buffer_count - 1])) {
        initialised = true;
        buffer_count -= 3;
      } else if (buffer_count >= buffer_size) {
        std::fprintf(stderr, "ERROR: cannot find triangle in first %d points.\n", buffer_size);
        failed = true;
        return false;
      }
    }
    return true;
  }
  if (!buffer_full) {
    buffer[buffer_count++] = v;
    if (buffer_count == buffer_size) {
      buffer_count = 0;
      buffer_full = true;
    }
    return true;
  }
  const int k = buffer_count;
  if (k % swap_period == 0) {
    const int j = random_next() % buffer_size;
    std::int32_t swap = buffer[k];
    buffer[k] = buffer[j];
    buffer[j] = swap;
  }
  if (!TINinsertvertex(buffer[k])) return false;
  buffer[k] = v;
  buffer_count = (k + 1 == buffer_size) ? 0 : k + 1;
  return true;
}

bool TINcomplete() {
  if (failed) return false;
  if (initialised) {
    const int count = buffer_full ? buffer_size : buffer_count;
    for (int i = 0; i < count; i++) {
      if (!TINinsertvertex(buffer[i])) {
        buffer_count = 0;
        buffer_full = false;
        return false;
      }
    }
  }
  buffer_count = 0;
  buffer_full = false;
  return initialised;
}

const TINtriangle* TINfind(float x, float y, const TINtriangle* hint) {
  if (!initialised) return nullptr;  // no triangulation: must not be queried
  const Point p{{x, y}};
  int start = hint != nullptr ? static_cast<int>(hint - triangles) : last_triangle;
  int t = locate(p, start);
  return t >= 0 ? &triangles[t] : nullptr;
}

void TINrelease() {
  free_records();
  std::free(stack);
  stack = nullptr;
  stack_capacity = 0;
  initialised = false;
  buffer_count = 0;
  buffer_full = false;
}

bool TINfailed() { return failed; }

const TINstatistics& TINstats() { return stats; }

int TINinsegment(const TINvertex& a, const TINvertex& b, float x, float y) {
  return insegment(a, b, Point{{x, y}});
}

int TINonsegment(const TINvertex& a, const TINvertex& b, float x, float y) {
  return onsegment(a, b, Point{{x, y}});
}

const TINvertex* TINcorner(const TINtriangle* triangle, int corner) {
  const std::int32_t v = triangle->V[corner];
  return v == TIN_ABSENT ? nullptr : &vertices[v];
}

const TINtriangle* TINrecords() { return triangles; }
int TINrecord_count() { return capacity; }

}  // namespace tinrise
