// The incremental Delaunay TIN: one triangulation per process in
// module state, built by TINappend/TINcomplete from the caller's vertex array
// and queried by TINfind. Used by the ground pass and the height
// pass. Geometry is decided only by predicates.h.
#pragma once

#include <cstdint>

namespace tinrise {

// A ground point relative to the origin, each coordinate rounded to 32 bits
// (make it with tin_vertex_from, tin_vertex.h).
struct TINvertex {
  float x, y, z;
};

// Vertex references are 32-bit indices into the array handed to TINclean.
inline constexpr std::int32_t TIN_ABSENT = -1;           // V[0] of an infinite triangle
inline constexpr std::int32_t TIN_IN_USE = INT32_MIN;    // link of a record in use

struct TINtriangle {
  std::int32_t V[3];  // corners; V[0] == TIN_ABSENT marks an infinite triangle
  std::int32_t N[3];  // 3 * (triangle across the edge opposite corner i) + its opposite corner
  std::int32_t link;  // TIN_IN_USE, or the next free record
};

// Prepares for at most n vertices, all of which live in vertices[0..n-1] and
// stay there, unmoved, until the last TINfind. Prints
// "ERROR (TINclean): failed malloc for %d TINtriangles.\n" and returns false
// when the records cannot be allocated, or when n exceeds 357913940 (the
// 32-bit neighbour codes 3 * index + corner of 2n records must fit).
bool TINclean(int n, const TINvertex* vertices);

// Hands one vertex (an element of the array given to TINclean) to the
// triangulation. Returns false, after printing the Part's message, when the
// TIN cannot go on (no first triangle among the first 10000 vertices, or an
// error of the geometric search); the tool then exits with status 1.
bool TINappend(const TINvertex* vertex);

// Inserts the buffered vertices. Returns whether a triangulation exists; false
// with TINfailed() false means the vertices are degenerate (fewer than three,
// or all on one line), false with TINfailed() true that an error was printed.
bool TINcomplete();

// The triangle containing (x, y), starting the walk at hint (or, when hint is
// null, at the most recently created triangle). Returns null when the point
// coincides with a vertex of the triangulation, and also after an error (the
// message is printed and TINfailed() becomes true) or when no triangulation
// exists (TINcomplete returned false; the Part forbids such queries).
const TINtriangle* TINfind(float x, float y, const TINtriangle* hint = nullptr);

// Frees the triangle records and the insertion stack.
void TINrelease();

// True once one of the Part's process-ending errors has been printed; reset by
// TINclean.
bool TINfailed();

// The segment tests of the walk for a point (x, y) collinear with a and b,
// exposed for the tests. TINinsegment: 0 outside the closed interval, 1 at a,
// 2 at b, 3 strictly between. TINonsegment: 1 inside the closed interval, 0
// outside. Both print their message and return -2 when a and b coincide.
int TINinsegment(const TINvertex& a, const TINvertex& b, float x, float y);
int TINonsegment(const TINvertex& a, const TINvertex& b, float x, float y);

// The vertex at a corner of a triangle, or null for the absent corner.
const TINvertex* TINcorner(const TINtriangle* triangle, int corner);

// Counters of the work done since the last TINclean (for benchmarks).
struct TINstatistics {
  std::uint64_t insertions = 0;        // TINinsertvertex calls
  std::uint64_t duplicates = 0;        // vertices left out as equal to a vertex
  std::uint64_t walk_steps = 0;        // triangles crossed by all walks
  std::uint64_t cavity_triangles = 0;  // triangles removed by insertions
  std::uint64_t brute_locates = 0;     // walks that gave up after 10000 steps
};
const TINstatistics& TINstats();

// Read-only view of the records (for the invariant checks of the tests): the
// records with index below TINrecord_count(); those in use have link TIN_IN_USE.
const TINtriangle* TINrecords();
int TINrecord_count();

}  // namespace tinrise
