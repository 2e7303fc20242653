// The spatial index of a point file: for an area it hands out the runs of
// points that can lie inside, so area queries read only those.
#pragma once

#include <cstdint>

namespace tinrise {

class LASreader;

class LASindex {
 public:
  virtual ~LASindex() = default;
  // Tells the index the area of the query; false when nothing can lie inside.
  virtual bool intersect_rectangle(double min_x, double min_y, double max_x, double max_y) = 0;
  // Positions the reader at the next candidate point; false when none is left.
  virtual bool seek_next(LASreader& reader) = 0;
};

}  // namespace tinrise
