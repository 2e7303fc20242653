// The vertex conversion of the ground and height passes; see tin_vertex.h for why this file is
// compiled with -fno-tree-slp-vectorize (src/tin/CMakeLists.txt).
#include "tin/tin_vertex.h"

namespace tinrise {

TINvertex tin_vertex_from(double x, double y, double z, double x0, double y0) {
  TINvertex v;
  v.x = static_cast<float>(x - x0);
  v.y = static_cast<float>(y - y0);
  v.z = static_cast<float>(z);
  return v;
}

}  // namespace tinrise
