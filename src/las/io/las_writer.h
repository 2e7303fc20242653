// The abstract point sink every output format derives from, and the inventory
// of counts and integer bounding box that lets a writer patch a header whose
// counts were unknown when it was written.
#pragma once

#include <cstdint>

#include "las/core/las_header.h"
#include "las/core/las_point.h"
#include "las/core/las_quantizer.h"

namespace tinrise {

struct LASpointInventory {
  std::int64_t number_of_point_records = 0;
  std::int64_t number_of_points_by_return[16] = {};
  std::int32_t max_X = 0, min_X = 0, max_Y = 0, min_Y = 0, max_Z = 0, min_Z = 0;
  bool first = true;

  void add(const LASpoint& point) {
    number_of_point_records++;
    number_of_points_by_return[point.extended_form ? point.extended_return_number : point.return_number]++;
    if (first) {
      min_X = max_X = point.X;
      min_Y = max_Y = point.Y;
      min_Z = max_Z = point.Z;
      first = false;
      return;
    }
    if (point.X < min_X) min_X = point.X; else if (point.X > max_X) max_X = point.X;
    if (point.Y < min_Y) min_Y = point.Y; else if (point.Y > max_Y) max_Y = point.Y;
    if (point.Z < min_Z) min_Z = point.Z; else if (point.Z > max_Z) max_Z = point.Z;
  }
};

class LASwriter {
 public:
  LAScoordinateQuantizer quantizer;
  std::int64_t point_count = 0;
  std::int64_t points_done = 0;
  LASpointInventory inventory;

  LASwriter() = default;
  virtual ~LASwriter() = default;
  LASwriter(const LASwriter&) = delete;
  LASwriter& operator=(const LASwriter&) = delete;

  virtual bool put_point(const LASpoint& point) = 0;
  virtual void tally_point(const LASpoint& point) { inventory.add(point); }
  virtual bool chunk() = 0;
  virtual bool patch_header(const LASheader* header, bool use_inventory = false, bool update_extra_bytes = false) = 0;
  // Returns the number of bytes written.
  virtual std::int64_t close(bool update_point_count = true) = 0;
};

}  // namespace tinrise
