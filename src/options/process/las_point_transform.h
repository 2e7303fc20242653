// Changes the points a reader delivers. Readers apply it per point.
#pragma once

namespace tinrise {

class LASpoint;

class LASpointTransform {
 public:
  void apply(LASpoint& point) { (void)point; }
};

}  // namespace tinrise
