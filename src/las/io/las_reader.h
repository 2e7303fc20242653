// The abstract point source every input format derives from. Besides the
// format's own reading it applies, for every format alike, an attached point
// filter and transform and the area queries (tile, circle, rectangle).
#pragma once

#include <cstdint>
#include <memory>

#include "las/core/las_header.h"
#include "las/core/las_point.h"

namespace tinrise {

class ByteStreamIn;
class LASindex;
class LASpointFilter;
class LASpointTransform;

class LASreader {
 public:
  LASheader header;
  LASpoint point;
  std::int64_t point_count = 0;
  std::int64_t points_done = 0;

  LASreader();
  virtual ~LASreader();
  LASreader(const LASreader&) = delete;
  LASreader& operator=(const LASreader&) = delete;

  // What every user of a reader calls: the next point that passes the area
  // query and the filter, transformed; false at the end.
  bool next_point() { return (this->*read_outer)(); }

  virtual int format_code() const = 0;
  virtual bool has_layers() const { return false; }
  virtual void attach_filter(LASpointFilter* filter);
  virtual void attach_transform(LASpointTransform* transform);
  virtual bool inside_clear();
  virtual bool inside_tile(float ll_x, float ll_y, float size);
  virtual bool inside_circle(double center_x, double center_y, double radius);
  virtual bool inside_rectangle(double min_x, double min_y, double max_x, double max_y);
  virtual bool seek(std::int64_t index) = 0;
  virtual ByteStreamIn* source_stream() const = 0;
  virtual void close(bool close_stream = true) = 0;

  // True once reading stopped at damaged data (after its "ERROR: ..." line),
  // as opposed to the end of the points; cleared when the input is opened.
  bool read_failed() const { return failed; }

  void attach_index(std::unique_ptr<LASindex> new_index);
  LASindex* get_index() const { return index.get(); }
  LASpointFilter* get_filter() const { return filter; }
  LASpointTransform* get_transform() const { return transform; }
  std::uint32_t get_inside() const { return inside; }

 protected:
  // Reads the next record of the input into `point`.
  virtual bool read_record() = 0;
  // Called before the filter, the transform or the area query changes: an
  // input that decided records ahead of the points it delivered gives them
  // back, so the next read starts at the next record with the new settings.
  virtual void end_pending_reads() {}
  // Reads records until one the filter keeps and transforms it (used when
  // there is no area query); inputs that can decide and change a run of
  // buffered records at once do so.
  virtual bool read_processed_record();

  std::unique_ptr<LASindex> index;
  LASpointFilter* filter = nullptr;
  LASpointTransform* transform = nullptr;

  bool failed = false;
  std::uint32_t inside = 0;  // 0 none, 1 tile, 2 circle, 3 rectangle
  float tile_ll_x = 0, tile_ll_y = 0, tile_size = 0, tile_ur_x = 0, tile_ur_y = 0;
  double circle_center_x = 0, circle_center_y = 0, circle_radius = 0, circle_radius_squared = 0;
  double rect_min_x = 0, rect_min_y = 0, rect_max_x = 0, rect_max_y = 0;
  double saved_min_x = 0, saved_min_y = 0, saved_max_x = 0, saved_max_y = 0;

 private:
  using ReadFunction = bool (LASreader::*)();
  ReadFunction read_outer;
  ReadFunction read_inner = nullptr;
  // Reads the next point inside the active area query (all points without one).
  ReadFunction area_read;

  bool call_read_record() { return read_record(); }
  bool read_filtered();
  bool read_transformed();
  bool read_filtered_transformed();
  bool read_nothing() { return false; }
  bool read_inside_tile();
  bool read_inside_circle();
  bool read_inside_rectangle();
  bool read_inside_tile_indexed();
  bool read_inside_circle_indexed();
  bool read_inside_rectangle_indexed();

  // Filters and transforms see only the points inside the area.
  void choose_read_functions();
  void set_area_function(ReadFunction function);
  void save_bounding_box();
  bool inside_tile_point() const;
  bool inside_circle_point() const;
  bool inside_rectangle_point() const;
};

}  // namespace tinrise
