// The spatial index of a point file: for an area it hands out the runs of
// points that can lie inside, so area queries read only those. Index files
// are not read yet: the loader finds none, and area queries read every point.
#pragma once

#include <cstdint>
#include <memory>

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

// The index beside (or inside) the point file of that name, or null.
std::unique_ptr<LASindex> load_las_index(const char* file_name);

}  // namespace tinrise
