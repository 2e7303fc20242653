// Changes the points a reader delivers. Readers apply it per point.
#pragma once

#include <cstdint>
#include <memory>

#include "options/process/las_point_filter.h"

namespace tinrise {

class LASpoint;

class LASpointTransform {
 public:
  bool parse(int argc, char* argv[]) { (void)argc; (void)argv; return true; }
  void usage() const {}
  int operation_count() const { return 0; }
  bool is_filtered() const { return false; }
  void attach_filter(std::unique_ptr<LASpointFilter> filter) { (void)filter; }
  void reset() {}
  void update_point_source(std::uint16_t value) { (void)value; }
  void apply(LASpoint& point) { (void)point; }
};

}  // namespace tinrise
