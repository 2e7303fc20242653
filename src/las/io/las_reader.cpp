#include "las/io/las_reader.h"

#include "index/las_index.h"
#include "options/process/las_point_filter.h"
#include "options/process/las_point_transform.h"

namespace tinrise {

LASreader::LASreader() : read_outer(&LASreader::call_read_record), area_read(&LASreader::call_read_record) {}

LASreader::~LASreader() = default;

void LASreader::attach_index(std::unique_ptr<LASindex> new_index) { index = std::move(new_index); }

void LASreader::attach_filter(LASpointFilter* new_filter) {
  end_pending_reads();
  filter = new_filter;
  choose_read_functions();
}

void LASreader::attach_transform(LASpointTransform* new_transform) {
  end_pending_reads();
  transform = new_transform;
  choose_read_functions();
}

void LASreader::choose_read_functions() {
  if ((filter || transform) && area_read == &LASreader::call_read_record) {
    read_outer = &LASreader::read_processed_record;
    read_inner = area_read;
  } else if (filter || transform) {
    read_outer = filter && transform ? &LASreader::read_filtered_transformed
                 : filter            ? &LASreader::read_filtered
                                     : &LASreader::read_transformed;
    read_inner = area_read;
  } else {
    read_outer = area_read;
    read_inner = &LASreader::call_read_record;
  }
}

bool LASreader::read_filtered() {
  while ((this->*read_inner)()) {
    if (!filter->drops(point)) return true;
  }
  return false;
}

bool LASreader::read_processed_record() {
  while (read_record()) {
    if (filter && filter->drops(point)) continue;
    if (transform) transform->apply(point);
    return true;
  }
  return false;
}

bool LASreader::read_transformed() {
  if (!(this->*read_inner)()) return false;
  transform->apply(point);
  return true;
}

bool LASreader::read_filtered_transformed() {
  if (!read_filtered()) return false;
  transform->apply(point);
  return true;
}

void LASreader::set_area_function(ReadFunction function) {
  end_pending_reads();
  area_read = function;
  choose_read_functions();
}

bool LASreader::inside_clear() {
  set_area_function(&LASreader::call_read_record);
  if (inside) {
    header.min_x = saved_min_x;
    header.min_y = saved_min_y;
    header.max_x = saved_max_x;
    header.max_y = saved_max_y;
    inside = 0;
  }
  return true;
}

void LASreader::save_bounding_box() {
  // A second query replaces the first; the file's own box is what is saved.
  if (inside) return;
  saved_min_x = header.min_x;
  saved_min_y = header.min_y;
  saved_max_x = header.max_x;
  saved_max_y = header.max_y;
}

bool LASreader::inside_tile(float ll_x, float ll_y, float size) {
  save_bounding_box();
  inside = 1;
  tile_ll_x = ll_x;
  tile_ll_y = ll_y;
  tile_size = size;
  tile_ur_x = ll_x + size;
  tile_ur_y = ll_y + size;
  header.min_x = ll_x;
  header.min_y = ll_y;
  header.max_x = tile_ur_x - header.x_scale_factor;
  header.max_y = tile_ur_y - header.y_scale_factor;
  const bool overlaps = !(header.max_x < saved_min_x || saved_min_y > header.max_y || ll_x > saved_max_x ||
                          ll_y > saved_max_y);
  if (!overlaps) {
    set_area_function(&LASreader::read_nothing);
  } else if (index) {
    index->intersect_rectangle(tile_ll_x, tile_ll_y, tile_ur_x, tile_ur_y);
    set_area_function(&LASreader::read_inside_tile_indexed);
  } else {
    set_area_function(&LASreader::read_inside_tile);
  }
  return true;
}

bool LASreader::inside_circle(double center_x, double center_y, double radius) {
  save_bounding_box();
  inside = 2;
  circle_center_x = center_x;
  circle_center_y = center_y;
  circle_radius = radius;
  circle_radius_squared = radius * radius;
  header.min_x = center_x - radius;
  header.min_y = center_y - radius;
  header.max_x = center_x + radius;
  header.max_y = center_y + radius;
  const bool overlaps = !(header.max_x < saved_min_x || header.min_x > saved_max_x || header.max_y < saved_min_y ||
                          header.min_y > saved_max_y);
  if (!overlaps) {
    set_area_function(&LASreader::read_nothing);
  } else if (index) {
    index->intersect_rectangle(header.min_x, header.min_y, header.max_x, header.max_y);
    set_area_function(&LASreader::read_inside_circle_indexed);
  } else {
    set_area_function(&LASreader::read_inside_circle);
  }
  return true;
}

bool LASreader::inside_rectangle(double min_x, double min_y, double max_x, double max_y) {
  save_bounding_box();
  inside = 3;
  rect_min_x = min_x;
  rect_min_y = min_y;
  rect_max_x = max_x;
  rect_max_y = max_y;
  header.min_x = min_x;
  header.min_y = min_y;
  header.max_x = max_x;
  header.max_y = max_y;
  const bool overlaps =
      !(max_x < saved_min_x || min_x > saved_max_x || max_y < saved_min_y || min_y > saved_max_y);
  if (!overlaps) {
    set_area_function(&LASreader::read_nothing);
  } else if (index) {
    index->intersect_rectangle(min_x, min_y, max_x, max_y);
    set_area_function(&LASreader::read_inside_rectangle_indexed);
  } else {
    set_area_function(&LASreader::read_inside_rectangle);
  }
  return true;
}

bool LASreader::inside_tile_point() const {
  const double x = point.dequantize_x();
  const double y = point.dequantize_y();
  return tile_ll_x <= x && x < tile_ur_x && tile_ll_y <= y && y < tile_ur_y;
}

bool LASreader::inside_circle_point() const {
  const double dx = circle_center_x - point.dequantize_x();
  const double dy = circle_center_y - point.dequantize_y();
  return dx * dx + dy * dy < circle_radius_squared;
}

bool LASreader::inside_rectangle_point() const {
  const double x = point.dequantize_x();
  const double y = point.dequantize_y();
  return rect_min_x <= x && x < rect_max_x && rect_min_y <= y && y < rect_max_y;
}

bool LASreader::read_inside_tile() {
  while (read_record()) {
    if (inside_tile_point()) return true;
  }
  return false;
}

bool LASreader::read_inside_circle() {
  while (read_record()) {
    if (inside_circle_point()) return true;
  }
  return false;
}

bool LASreader::read_inside_rectangle() {
  while (read_record()) {
    if (inside_rectangle_point()) return true;
  }
  return false;
}

bool LASreader::read_inside_tile_indexed() {
  while (index->seek_next(*this)) {
    if (read_record() && inside_tile_point()) return true;
  }
  return false;
}

bool LASreader::read_inside_circle_indexed() {
  while (index->seek_next(*this)) {
    if (read_record() && inside_circle_point()) return true;
  }
  return false;
}

bool LASreader::read_inside_rectangle_indexed() {
  while (index->seek_next(*this)) {
    if (read_record() && inside_rectangle_point()) return true;
  }
  return false;
}

}  // namespace tinrise
