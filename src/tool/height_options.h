// The tool's own settings for one run, set by the command line only and read
// by the ground pass and the height pass.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tinrise {

inline constexpr int tool_version = 180303;
// Stands for an absent threshold (held as a 32-bit float like every height).
inline constexpr float absent_high = 2e37f;
inline constexpr float absent_low = -2e37f;

struct ClassifyBand {
  float min;
  float max;
  int classification;
};

struct HeightOptions {
  int cores = 1;
  bool gui = false;
  bool verbose = false;
  bool very_verbose = false;
  bool quiet = false;
  bool wait = false;
  std::string ground_points_file;  // empty when absent
  std::string ground_parse_string;
  bool all_ground_points = false;
  std::uint32_t ground_classification_mask = 0;
  std::uint32_t ignore_classification_mask = 0;
  bool drop = false;
  float drop_below = absent_low;
  float drop_above = absent_high;
  float drop_between_min = absent_high;
  float drop_between_max = absent_high;
  bool classify = false;
  float classify_below_value = absent_low;
  int classify_below_class = -1;
  float classify_above_value = absent_high;
  int classify_above_class = -1;
  std::vector<ClassifyBand> classify_between;
  bool store_in_user_data = true;
  bool force_user_data = false;
  bool replace_z = false;
  bool store_as_extra_bytes = false;
  bool store_precise = false;
  float scale_u = 10.0f;
  bool remain_buffered = false;
  bool skip_files = false;
  bool ilay = false;
  std::string ilay_directory;
  bool olay = false;
  std::string olay_directory;
  std::string command_line;  // at most 4095 characters
};

}  // namespace tinrise
