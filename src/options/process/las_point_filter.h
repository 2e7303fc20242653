// Decides while reading which points are dropped. Readers ask it per point.
#pragma once

namespace tinrise {

class LASpoint;

class LASpointFilter {
 public:
  // True when the point is to be dropped.
  bool drops(const LASpoint& point) { (void)point; return false; }
};

}  // namespace tinrise
