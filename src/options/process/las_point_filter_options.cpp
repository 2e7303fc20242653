// The filter's option parser and its usage text: one table row per option
// with a fixed argument count, and the list options (classes, returns, point
// sources), the random fraction, the combinations and the deprecated names.
#include <cstdio>
#include <cstring>
#include <type_traits>

#include "options/process/area_conditions.h"
#include "options/process/attribute_conditions.h"
#include "options/process/classification_conditions.h"
#include "options/process/colour_conditions.h"
#include "options/process/combined_conditions.h"
#include "options/process/las_point_filter.h"
#include "options/process/range_conditions.h"
#include "options/process/return_conditions.h"
#include "options/process/rule_conditions.h"
#include "options/process/stateful_conditions.h"

namespace tinrise {
namespace {

using ConditionPtr = std::unique_ptr<LASpointCondition>;
using namespace point_values;

struct FilterOption {
  const char* option;
  const char* condition;  // name of the condition made, when not the option's own
  int arguments;
  const char* missing;  // the message after "ERROR: '%s' " when arguments are missing
  ConditionPtr (*make)(const char* name, char** args);
};

template <class V, BoundTest test>
ConditionPtr bound(const char* name, char** a) {
  return std::make_unique<LASconditionBound<V, test>>(name, V::parse(a[0]));
}
template <class V, IntervalTest test>
ConditionPtr interval(const char* name, char** a) {
  return std::make_unique<LASconditionInterval<V, test>>(name, V::parse(a[0]), V::parse(a[1]));
}
template <bool (*rule)(const LASpoint&)>
ConditionPtr returns(const char* name, char**) {
  return std::make_unique<LASconditionReturnRule<rule>>(name);
}
template <bool (*rule)(const LASpoint&), int record_byte = -1>
ConditionPtr flag(const char* name, char**) {
  return std::make_unique<LASconditionFlagRule<rule, record_byte>>(name);
}
constexpr int returns_byte = record_fields::returns;
constexpr int flags_byte = record_fields::classification;
// An attribute condition: the index, then one real bound, or two for a
// between condition.
template <class Condition, bool keep>
ConditionPtr attribute(const char*, char** a) {
  if constexpr (std::is_same_v<Condition, LASconditionAttributeBetween>) {
    return std::make_unique<Condition>(keep, lenient_int(a[0]), lenient_real(a[1]), lenient_real(a[2]));
  } else {
    return std::make_unique<Condition>(keep, lenient_int(a[0]), lenient_real(a[1]));
  }
}
template <bool keep, int count>
ConditionPtr number_of_returns(const char*, char** a) {
  return std::make_unique<LASconditionNumberOfReturns>(keep, count > 0 ? count : lenient_int(a[0]));
}
template <int channel>
ConditionPtr keep_rgb(const char*, char** a) {
  std::int32_t min = lenient_int(a[0]), max = lenient_int(a[1]);
  if (min > max) std::swap(min, max);
  return std::make_unique<LASconditionKeepRGB>(channel, min, max);
}
// Sorted 32-bit bounds of the vegetation index conditions.
void sorted_bounds(char** a, float& min, float& max) {
  min = static_cast<float>(lenient_real(a[0]));
  max = static_cast<float>(lenient_real(a[1]));
  if (min > max) std::swap(min, max);
}
template <int nir_channel>
ConditionPtr keep_ndvi(const char*, char** a) {
  static const char* const suffixes[] = {"", "_green_is_NIR", "_blue_is_NIR", ""};
  float min, max;
  sorted_bounds(a, min, max);
  return std::make_unique<LASconditionKeepNDVI>("keep_NDVI", suffixes[nir_channel], nir_channel, 0, min, max);
}

constexpr auto below = BoundTest::below;
constexpr auto at_or_above = BoundTest::at_or_above;
constexpr auto above = BoundTest::above;
constexpr auto at_or_below = BoundTest::at_or_below;
constexpr auto equal = BoundTest::equal;
constexpr auto differs = BoundTest::differs;
constexpr auto outside_half_open = IntervalTest::outside_half_open;
constexpr auto inside_half_open = IntervalTest::inside_half_open;
constexpr auto outside_closed = IntervalTest::outside_closed;
constexpr auto inside_closed = IntervalTest::inside_closed;

const FilterOption filter_options[] = {
    {"-keep_tile", nullptr, 3, "needs 3 arguments: llx lly size",
     [](const char*, char** a) -> ConditionPtr {
       return std::make_unique<LASconditionKeepTile>(static_cast<float>(lenient_real(a[0])),
                                                     static_cast<float>(lenient_real(a[1])),
                                                     static_cast<float>(lenient_real(a[2])));
     }},
    {"-keep_circle", nullptr, 3, "needs 3 arguments: center_x center_y radius",
     [](const char*, char** a) -> ConditionPtr {
       return std::make_unique<LASconditionKeepCircle>(lenient_real(a[0]), lenient_real(a[1]), lenient_real(a[2]));
     }},
    {"-keep_xy", nullptr, 4, "needs 4 arguments: min_x min_y max_x max_y",
     [](const char*, char** a) -> ConditionPtr {
       return std::make_unique<LASconditionRectangle>(true, lenient_real(a[0]), lenient_real(a[1]),
                                                      lenient_real(a[2]), lenient_real(a[3]));
     }},
    {"-drop_xy", nullptr, 4, "needs 4 arguments: min_x min_y max_x max_y",
     [](const char*, char** a) -> ConditionPtr {
       return std::make_unique<LASconditionRectangle>(false, lenient_real(a[0]), lenient_real(a[1]),
                                                      lenient_real(a[2]), lenient_real(a[3]));
     }},
    {"-keep_xyz", nullptr, 6, "needs 6 arguments: min_x min_y min_z max_x max_y max_z",
     [](const char*, char** a) -> ConditionPtr {
       const double min[3] = {lenient_real(a[0]), lenient_real(a[1]), lenient_real(a[2])};
       const double max[3] = {lenient_real(a[3]), lenient_real(a[4]), lenient_real(a[5])};
       return std::make_unique<LASconditionBox>(true, min, max);
     }},
    {"-drop_xyz", nullptr, 6, "needs 6 arguments: min_x min_y min_z max_x max_y max_z",
     [](const char*, char** a) -> ConditionPtr {
       const double min[3] = {lenient_real(a[0]), lenient_real(a[1]), lenient_real(a[2])};
       const double max[3] = {lenient_real(a[3]), lenient_real(a[4]), lenient_real(a[5])};
       return std::make_unique<LASconditionBox>(false, min, max);
     }},
    {"-keep_x", nullptr, 2, "needs 2 arguments: min_x max_x", interval<real_x, outside_half_open>},
    {"-drop_x", nullptr, 2, "needs 2 arguments: min_x max_x", interval<real_x, inside_half_open>},
    {"-keep_y", nullptr, 2, "needs 2 arguments: min_y max_y", interval<real_y, outside_half_open>},
    {"-drop_y", nullptr, 2, "needs 2 arguments: min_y max_y", interval<real_y, inside_half_open>},
    {"-keep_z", nullptr, 2, "needs 2 arguments: min_z max_z", interval<real_z, outside_half_open>},
    {"-drop_z", nullptr, 2, "needs 2 arguments: min_z max_z", interval<real_z, inside_half_open>},
    {"-drop_x_below", nullptr, 1, "needs 1 argument: min_x", bound<real_x, below>},
    {"-drop_x_above", nullptr, 1, "needs 1 argument: max_x", bound<real_x, at_or_above>},
    {"-drop_y_below", nullptr, 1, "needs 1 argument: min_y", bound<real_y, below>},
    {"-drop_y_above", nullptr, 1, "needs 1 argument: max_y", bound<real_y, at_or_above>},
    {"-drop_z_below", nullptr, 1, "needs 1 argument: min_z", bound<real_z, below>},
    {"-drop_z_above", nullptr, 1, "needs 1 argument: max_z", bound<real_z, at_or_above>},
    {"-keep_z_above", "drop_z_below", 1, "needs 1 argument: min_z", bound<real_z, below>},
    {"-keep_z_below", "drop_z_above", 1, "needs 1 argument: max_z", bound<real_z, at_or_above>},
    {"-keep_XY", nullptr, 4, "needs 4 arguments: min_X min_Y max_X max_Y",
     [](const char*, char** a) -> ConditionPtr {
       return std::make_unique<LASconditionKeepRawRectangle>(lenient_int(a[0]), lenient_int(a[1]), lenient_int(a[2]),
                                                             lenient_int(a[3]));
     }},
    {"-keep_X", nullptr, 2, "needs 2 arguments: min_X max_X", interval<raw_X, outside_half_open>},
    {"-drop_X", nullptr, 2, "needs 2 arguments: min_X max_X", interval<raw_X, inside_half_open>},
    {"-keep_Y", nullptr, 2, "needs 2 arguments: min_Y max_Y", interval<raw_Y, outside_half_open>},
    {"-drop_Y", nullptr, 2, "needs 2 arguments: min_Y max_Y", interval<raw_Y, inside_half_open>},
    {"-keep_Z", nullptr, 2, "needs 2 arguments: min_Z max_Z", interval<raw_Z, outside_half_open>},
    {"-drop_Z", nullptr, 2, "needs 2 arguments: min_Z max_Z", interval<raw_Z, inside_half_open>},
    {"-drop_X_below", nullptr, 1, "needs 1 argument: min_X", bound<raw_X, below>},
    {"-drop_X_above", nullptr, 1, "needs 1 argument: max_X", bound<raw_X, at_or_above>},
    {"-drop_Y_below", nullptr, 1, "needs 1 argument: min_Y", bound<raw_Y, below>},
    {"-drop_Y_above", nullptr, 1, "needs 1 argument: max_Y", bound<raw_Y, at_or_above>},
    {"-drop_Z_below", nullptr, 1, "needs 1 argument: min_Z", bound<raw_Z, below>},
    {"-drop_Z_above", nullptr, 1, "needs 1 argument: max_Z", bound<raw_Z, at_or_above>},
    {"-keep_Z_above", "drop_Z_below", 1, "needs 1 argument: min_Z", bound<raw_Z, below>},
    {"-keep_Z_below", "drop_Z_above", 1, "needs 1 argument: max_Z", bound<raw_Z, at_or_above>},

    {"-keep_first", nullptr, 0, nullptr, returns<drop_rules::unless_first>},
    {"-first_only", "keep_first", 0, nullptr, returns<drop_rules::unless_first>},
    {"-keep_first_of_many", nullptr, 0, nullptr, returns<drop_rules::unless_first_of_many>},
    {"-keep_last", nullptr, 0, nullptr, returns<drop_rules::unless_last>},
    {"-last_only", "keep_last", 0, nullptr, returns<drop_rules::unless_last>},
    {"-keep_last_of_many", nullptr, 0, nullptr, returns<drop_rules::unless_last_of_many>},
    {"-keep_middle", nullptr, 0, nullptr, returns<drop_rules::unless_middle>},
    {"-keep_second_last", nullptr, 0, nullptr, returns<drop_rules::unless_second_last>},
    {"-drop_first", nullptr, 0, nullptr, returns<drop_rules::first>},
    {"-drop_first_of_many", nullptr, 0, nullptr, returns<drop_rules::first_of_many>},
    {"-drop_last", nullptr, 0, nullptr, returns<drop_rules::last>},
    {"-drop_last_of_many", nullptr, 0, nullptr, returns<drop_rules::last_of_many>},
    {"-drop_middle", nullptr, 0, nullptr, returns<drop_rules::middle>},
    {"-drop_second_last", nullptr, 0, nullptr, returns<drop_rules::is_second_last>},
    {"-keep_single", nullptr, 0, nullptr, number_of_returns<true, 1>},
    {"-keep_double", nullptr, 0, nullptr, number_of_returns<true, 2>},
    {"-keep_triple", nullptr, 0, nullptr, number_of_returns<true, 3>},
    {"-keep_quadruple", nullptr, 0, nullptr, number_of_returns<true, 4>},
    {"-keep_quintuple", nullptr, 0, nullptr, number_of_returns<true, 5>},
    {"-keep_number_of_returns", nullptr, 1, "needs 1 argument: number of returns", number_of_returns<true, 0>},
    {"-drop_single", nullptr, 0, nullptr, number_of_returns<false, 1>},
    {"-drop_double", nullptr, 0, nullptr, number_of_returns<false, 2>},
    {"-drop_triple", nullptr, 0, nullptr, number_of_returns<false, 3>},
    {"-drop_quadruple", nullptr, 0, nullptr, number_of_returns<false, 4>},
    {"-drop_quintuple", nullptr, 0, nullptr, number_of_returns<false, 5>},
    {"-drop_number_of_returns", nullptr, 1, "needs 1 argument: number of returns", number_of_returns<false, 0>},

    {"-drop_scan_direction", nullptr, 1, "needs 1 argument: value", bound<scan_direction, equal>},
    {"-keep_scan_direction_change", nullptr, 0, nullptr,
     [](const char*, char**) -> ConditionPtr { return std::make_unique<LASconditionKeepScanDirectionChange>(); }},
    {"-keep_edge_of_flight_line", nullptr, 0, nullptr, flag<drop_rules::unless_edge_of_flight_line, returns_byte>},
    {"-keep_scanner_channel", nullptr, 1, "needs 1 argument: number", bound<scanner_channel, differs>},
    {"-drop_scanner_channel", nullptr, 1, "needs 1 argument: number", bound<scanner_channel, equal>},

    {"-keep_intensity", nullptr, 2, "needs 2 arguments: min max", interval<intensity, outside_closed>},
    {"-keep_intensity_above", nullptr, 1, "needs 1 argument: min", bound<intensity, at_or_below>},
    {"-keep_intensity_below", nullptr, 1, "needs 1 argument: max", bound<intensity, at_or_above>},
    {"-drop_intensity_above", nullptr, 1, "needs 1 argument: max", bound<intensity, above>},
    {"-drop_intensity_below", nullptr, 1, "needs 1 argument: min", bound<intensity, below>},
    {"-drop_intensity_between", nullptr, 2, "needs 2 arguments: min max", interval<intensity, inside_closed>},

    {"-keep_synthetic", nullptr, 0, nullptr, flag<drop_rules::unless_synthetic, flags_byte>},
    {"-keep_keypoint", nullptr, 0, nullptr, flag<drop_rules::unless_keypoint, flags_byte>},
    {"-keep_withheld", nullptr, 0, nullptr, flag<drop_rules::unless_withheld, flags_byte>},
    {"-keep_overlap", nullptr, 0, nullptr, flag<drop_rules::unless_overlap>},
    {"-drop_synthetic", nullptr, 0, nullptr, flag<drop_rules::synthetic, flags_byte>},
    {"-drop_keypoint", nullptr, 0, nullptr, flag<drop_rules::keypoint, flags_byte>},
    {"-drop_withheld", nullptr, 0, nullptr, flag<drop_rules::withheld, flags_byte>},
    {"-drop_overlap", nullptr, 0, nullptr, flag<drop_rules::overlap>},

    {"-keep_user_data", nullptr, 1, "needs 1 argument: value", bound<user_data, differs>},
    {"-drop_user_data", nullptr, 1, "needs 1 argument: value", bound<user_data, equal>},
    {"-keep_user_data_below", nullptr, 1, "needs 1 argument: max_value", bound<user_data, at_or_above>},
    {"-keep_user_data_above", nullptr, 1, "needs 1 argument: min_value", bound<user_data, at_or_below>},
    {"-drop_user_data_below", nullptr, 1, "needs 1 argument: min_value", bound<user_data, below>},
    {"-drop_user_data_above", nullptr, 1, "needs 1 argument: max_value", bound<user_data, above>},
    {"-keep_user_data_between", nullptr, 2, "needs 2 arguments: min_value max_value",
     interval<user_data, outside_closed>},
    {"-drop_user_data_between", nullptr, 2, "needs 2 arguments: min_value max_value",
     interval<user_data, inside_closed>},

    {"-keep_point_source_between", nullptr, 2, "needs 2 arguments: min_ID max_ID",
     interval<point_source, outside_closed>},
    {"-drop_point_source_between", nullptr, 2, "needs 2 arguments: min_ID max_ID",
     interval<point_source, inside_closed>},
    {"-drop_point_source_below", nullptr, 1, "needs 1 argument: min_ID", bound<point_source, below>},
    {"-drop_point_source_above", nullptr, 1, "needs 1 argument: max_ID", bound<point_source, above>},

    {"-keep_scan_angle", nullptr, 2, "needs 2 arguments: min max", interval<scan_angle, outside_closed>},
    {"-drop_abs_scan_angle_above", nullptr, 1, "needs 1 argument: max",
     [](const char*, char** a) -> ConditionPtr {
       const std::int32_t value = lenient_int(a[0]);
       return std::make_unique<LASconditionInterval<scan_angle, outside_closed>>(
           "keep_scan_angle", static_cast<std::int8_t>(-value), static_cast<std::int8_t>(value));
     }},
    {"-drop_abs_scan_angle_below", nullptr, 1, "needs 1 argument: min",
     [](const char*, char** a) -> ConditionPtr {
       const std::int32_t value = lenient_int(a[0]);
       return std::make_unique<LASconditionInterval<scan_angle, inside_closed>>(
           "drop_scan_angle_between", static_cast<std::int8_t>(1 - value), static_cast<std::int8_t>(value - 1));
     }},
    {"-drop_scan_angle_below", nullptr, 1, "needs 1 argument: min", bound<scan_angle, below>},
    {"-drop_scan_angle_above", nullptr, 1, "needs 1 argument: max", bound<scan_angle, above>},
    {"-drop_scan_angle_between", nullptr, 2, "needs 2 arguments: min max", interval<scan_angle, inside_closed>},

    {"-keep_gps_time", nullptr, 2, "needs 2 arguments: min max", interval<gps_time, outside_closed>},
    {"-keep_gpstime", "keep_gps_time", 2, "needs 2 arguments: min max", interval<gps_time, outside_closed>},
    {"-drop_gps_time_below", nullptr, 1, "needs 1 argument: min_gps_time", bound<gps_time, below>},
    {"-drop_gpstime_below", "drop_gps_time_below", 1, "needs 1 argument: min_gps_time", bound<gps_time, below>},
    {"-drop_gps_time_above", nullptr, 1, "needs 1 argument: max_gps_time", bound<gps_time, above>},
    {"-drop_gpstime_above", "drop_gps_time_above", 1, "needs 1 argument: max_gps_time", bound<gps_time, above>},
    {"-drop_gps_time_between", nullptr, 2, "needs 2 arguments: min max", interval<gps_time, inside_closed>},
    {"-drop_gpstime_between", "drop_gps_time_between", 2, "needs 2 arguments: min max",
     interval<gps_time, inside_closed>},

    {"-keep_RGB_red", nullptr, 2, "needs 2 arguments: min max", keep_rgb<0>},
    {"-keep_RGB_green", nullptr, 2, "needs 2 arguments: min max", keep_rgb<1>},
    {"-keep_RGB_blue", nullptr, 2, "needs 2 arguments: min max", keep_rgb<2>},
    {"-keep_RGB_nir", nullptr, 2, "needs 2 arguments: min max", keep_rgb<3>},
    {"-keep_NDVI", nullptr, 2, "needs 2 arguments: min max", keep_ndvi<3>},
    {"-keep_NDVI_green_is_NIR", nullptr, 2, "needs 2 arguments: min max", keep_ndvi<1>},
    {"-keep_NDVI_blue_is_NIR", nullptr, 2, "needs 2 arguments: min max", keep_ndvi<2>},
    {"-keep_NDVI_from_CIR", nullptr, 2, "needs 2 arguments: min max",
     [](const char*, char** a) -> ConditionPtr {
       float min, max;
       sorted_bounds(a, min, max);
       return std::make_unique<LASconditionKeepNDVI>("keep_NDVI_from_CIR", "", 0, 1, min, max);
     }},
    {"-keep_NDVI_intensity_is_NIR", nullptr, 2, "needs 2 arguments: min max",
     [](const char*, char** a) -> ConditionPtr {
       float min, max;
       sorted_bounds(a, min, max);
       return std::make_unique<LASconditionKeepNDVI>("keep_NDVI_intensity_is_NIR", "",
                                                     LASconditionKeepNDVI::intensity_channel, 0, min, max);
     }},

    {"-keep_wavepacket", nullptr, 1, "needs 1 argument: index", bound<wave_packet_index, differs>},
    {"-drop_wavepacket", nullptr, 1, "needs 1 argument: index", bound<wave_packet_index, equal>},

    {"-keep_attribute_below", nullptr, 2, "needs 2 arguments: index value", attribute<LASconditionAttributeBelow, true>},
    {"-drop_attribute_below", nullptr, 2, "needs 2 arguments: index value", attribute<LASconditionAttributeBelow, false>},
    {"-keep_attribute_above", nullptr, 2, "needs 2 arguments: index value", attribute<LASconditionAttributeAbove, true>},
    {"-drop_attribute_above", nullptr, 2, "needs 2 arguments: index value", attribute<LASconditionAttributeAbove, false>},
    {"-keep_attribute_between", nullptr, 3, "needs 3 arguments: index below above",
     attribute<LASconditionAttributeBetween, true>},
    {"-drop_attribute_between", nullptr, 3, "needs 3 arguments: index below above",
     attribute<LASconditionAttributeBetween, false>},

    {"-keep_every_nth", nullptr, 1, "needs 1 argument: nth",
     [](const char*, char** a) -> ConditionPtr { return std::make_unique<LASconditionEveryNth>(true, lenient_int(a[0])); }},
    {"-drop_every_nth", nullptr, 1, "needs 1 argument: nth",
     [](const char*, char** a) -> ConditionPtr {
       return std::make_unique<LASconditionEveryNth>(false, lenient_int(a[0]));
     }},
    {"-thin_with_grid", nullptr, 1, "needs 1 argument: grid_spacing",
     [](const char*, char** a) -> ConditionPtr { return std::make_unique<LASconditionThinWithGrid>(lenient_real(a[0])); }},
    {"-thin_pulses_with_time", nullptr, 1, "needs 1 argument: time_spacing",
     [](const char*, char** a) -> ConditionPtr {
       return std::make_unique<LASconditionThinWithTime>(true, lenient_real(a[0]));
     }},
    {"-thin_with_time", nullptr, 1, "needs 1 argument: time_spacing",
     [](const char*, char** a) -> ConditionPtr {
       return std::make_unique<LASconditionThinWithTime>(true, lenient_real(a[0]));
     }},
    {"-thin_points_with_time", nullptr, 1, "needs 1 argument: time_spacing",
     [](const char*, char** a) -> ConditionPtr {
       return std::make_unique<LASconditionThinWithTime>(false, lenient_real(a[0]));
     }},
};

const FilterOption* find_filter_option(const char* argument) {
  for (const FilterOption& option : filter_options) {
    if (std::strcmp(option.option, argument) == 0) return &option;
  }
  return nullptr;
}

bool examined_by_filter(const char* argument) {
  return starts_with(argument, "-clip_") || starts_with(argument, "-keep_") || starts_with(argument, "-drop_") ||
         starts_with(argument, "-thin_") || starts_with(argument, "-filter_") ||
         std::strcmp(argument, "-first_only") == 0 || std::strcmp(argument, "-last_only") == 0;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_nonzero_digit(char c) { return c >= '1' && c <= '9'; }

void print_missing(const char* option, const char* missing) { std::fprintf(stderr, "ERROR: '%s' %s\n", option, missing); }

// Bits collected from the class and return lists; they become conditions
// after the last argument.
struct ListMasks {
  std::uint32_t keep_return = 0;
  std::uint32_t drop_return = 0;
  std::uint32_t keep_class = 0;
  std::uint32_t drop_class = 0;
  std::uint32_t keep_extended_class[8] = {};
  std::uint32_t drop_extended_class[8] = {};
};

bool any_bit(const std::uint32_t (&mask)[8]) {
  for (std::uint32_t word : mask) {
    if (word) return true;
  }
  return false;
}

void print_clip_renames(bool deprecated) {
  if (deprecated) {
    std::fputs("  rename '-clip_z_below' to '-drop_z_below'.\n", stderr);
    std::fputs("  rename '-clip_z_above' to '-drop_z_above'.\n", stderr);
    std::fputs("  rename '-clip_z_between' to '-drop_z'.\n", stderr);
    std::fputs("  rename '-clip' to '-keep_xy'.\n", stderr);
    std::fputs("  rename '-clip_tile' to '-keep_tile'.\n", stderr);
    return;
  }
  std::fputs("  rename '-clip' to '-keep_xy'.\n", stderr);
  std::fputs("  rename '-clip_box' to '-keep_xyz'.\n", stderr);
  std::fputs("  rename '-clip_tile' to '-keep_tile'.\n", stderr);
  std::fputs("  rename '-clip_z_below' to '-drop_z_below'.\n", stderr);
  std::fputs("  rename '-clip_z_above' to '-drop_z_above'.\n", stderr);
  std::fputs("  rename '-clip_z_between' to '-drop_z'.\n", stderr);
  std::fputs("  etc ...\n", stderr);
}

}  // namespace

bool LASpointFilter::parse(int argc, char* argv[]) {
  ListMasks lists;
  for (int i = 1; i < argc; i++) {
    char* argument = argv[i];
    if (argument[0] == '\0') continue;
    if (std::strcmp(argument, "-h") == 0 || std::strcmp(argument, "-help") == 0) {
      usage();
      return true;
    }
    if (!examined_by_filter(argument)) continue;

    // An option with `count` arguments, present or reported missing.
    const auto has_arguments = [&](int count, const char* missing) {
      if (i + count < argc) return true;
      print_missing(argument, missing);
      return false;
    };
    const auto consume = [&](int count) {
      for (int k = 0; k <= count; k++) argv[i + k][0] = '\0';
      i += count;
    };
    // A list: the first argument whatever it looks like, then the following
    // ones while they begin with a digit that `more` accepts.
    const auto list_length = [&](bool (*more)(char)) {
      int count = 1;
      while (i + count + 1 < argc && more(argv[i + count + 1][0])) count++;
      return count;
    };

    if (const FilterOption* option = find_filter_option(argument)) {
      if (option->arguments > 0 && !has_arguments(option->arguments, option->missing)) return false;
      add(option->make(option->condition ? option->condition : option->option + 1, argv + i + 1));
      consume(option->arguments);
    } else if (!std::strcmp(argument, "-keep_class") || !std::strcmp(argument, "-keep_classification") ||
               !std::strcmp(argument, "-drop_class") || !std::strcmp(argument, "-drop_classification")) {
      const bool keep = argument[1] == 'k';
      if (!has_arguments(1, keep ? "needs 1 at least argument: classification"
                                 : "needs at least 1 argument: classification")) {
        return false;
      }
      const int count = list_length(is_digit);
      for (int k = 1; k <= count; k++) {
        const std::int32_t c = lenient_int(argv[i + k]);
        if (c > 31 || c < 0) {
          std::fprintf(stderr, "ERROR: cannot %s classification %d because it is %s\n", keep ? "keep" : "drop", c,
                       c > 31 ? "larger than 31" : "smaller than 0");
          return false;
        }
        (keep ? lists.keep_class : lists.drop_class) |= 1u << c;
      }
      consume(count);
    } else if (!std::strcmp(argument, "-keep_extended_class") ||
               !std::strcmp(argument, "-keep_extended_classification") ||
               !std::strcmp(argument, "-drop_extended_class") ||
               !std::strcmp(argument, "-drop_extended_classification")) {
      const bool keep = argument[1] == 'k';
      if (!has_arguments(1, keep ? "needs 1 at least argument: classification"
                                 : "needs at least 1 argument: classification")) {
        return false;
      }
      const int count = list_length(is_digit);
      for (int k = 1; k <= count; k++) {
        const std::int32_t c = lenient_int(argv[i + k]);
        if (c > 255 || c < 0) {
          std::fprintf(stderr, "ERROR: cannot %s extended classification %d because it is %s\n",
                       keep ? "keep" : "drop", c, c > 255 ? "larger than 255" : "smaller than 0");
          return false;
        }
        (keep ? lists.keep_extended_class : lists.drop_extended_class)[c >> 5] |= 1u << (c & 31);
      }
      consume(count);
    } else if (!std::strcmp(argument, "-drop_classification_mask")) {
      if (!has_arguments(1, "needs 1 argument: mask")) return false;
      lists.drop_class |= static_cast<std::uint32_t>(lenient_int(argv[i + 1]));
      consume(1);
    } else if (!std::strcmp(argument, "-drop_extended_classification_mask")) {
      if (!has_arguments(8, "needs 8 arguments: mask7 mask6 mask5 mask4 mask3 mask2 mask1 mask0")) return false;
      for (int k = 0; k < 8; k++) {
        lists.drop_extended_class[7 - k] |= static_cast<std::uint32_t>(lenient_int(argv[i + 1 + k]));
      }
      consume(8);
    } else if (!std::strcmp(argument, "-keep_return") || !std::strcmp(argument, "-drop_return")) {
      const bool keep = argument[1] == 'k';
      if (!has_arguments(1, "needs at least 1 argument: return_number")) return false;
      const int count = list_length(is_digit);
      for (int k = 1; k <= count; k++) {
        // Return numbers beyond the 32 bits of the mask can match no point.
        const std::int32_t r = lenient_int(argv[i + k]);
        if (r >= 0 && r < 32) (keep ? lists.keep_return : lists.drop_return) |= 1u << r;
      }
      consume(count);
    } else if (!std::strcmp(argument, "-keep_return_mask")) {
      if (!has_arguments(1, "needs 1 argument: return_mask")) return false;
      lists.keep_return = static_cast<std::uint32_t>(lenient_int(argv[i + 1]));
      consume(1);
    } else if (!std::strcmp(argument, "-keep_point_source")) {
      if (!has_arguments(1, "needs 1 argument: ID")) return false;
      const int count = list_length(is_nonzero_digit);
      for (int k = 1; k <= count; k++) {
        add(std::make_unique<LASconditionBound<point_source, differs>>("keep_point_source",
                                                                       point_source::parse(argv[i + k])));
        if (k > 1) {
          std::unique_ptr<LASpointCondition> first, second;
          take_last_two(first, second);
          add(std::make_unique<LASconditionAnd>(std::move(first), std::move(second)));
        }
      }
      consume(count);
    } else if (!std::strcmp(argument, "-drop_point_source")) {
      if (!has_arguments(1, "needs at least 1 argument: ID")) return false;
      const int count = list_length(is_nonzero_digit);
      for (int k = 1; k <= count; k++) {
        add(std::make_unique<LASconditionBound<point_source, equal>>("drop_point_source",
                                                                     point_source::parse(argv[i + k])));
      }
      consume(count);
    } else if (!std::strcmp(argument, "-keep_random_fraction")) {
      if (!has_arguments(1, "needs 1 argument: fraction")) return false;
      const double fraction = lenient_real(argv[i + 1]);
      std::uint32_t seed = 0;
      int count = 1;
      if (i + 2 < argc && is_nonzero_digit(argv[i + 2][0])) {
        seed = static_cast<std::uint32_t>(lenient_int(argv[i + 2]));
        count = 2;
      }
      add(std::make_unique<LASconditionKeepRandomFraction>(fraction, seed));
      consume(count);
    } else if (!std::strcmp(argument, "-filter_and") || !std::strcmp(argument, "-filter_or")) {
      std::unique_ptr<LASpointCondition> first, second;
      if (!take_last_two(first, second)) {
        std::fprintf(stderr, "ERROR: '%s' needs to be preceeded by at least two filters\n", argument);
        return false;
      }
      if (argument[8] == 'a') add(std::make_unique<LASconditionAnd>(std::move(first), std::move(second)));
      else add(std::make_unique<LASconditionOr>(std::move(first), std::move(second)));
      consume(0);
    } else if (!std::strcmp(argument, "-clip_z_below") || !std::strcmp(argument, "-clip_z_above")) {
      std::fprintf(stderr, "WARNING: '%s' will not be supported in the future. check documentation with '-h'.\n",
                   argument);
      print_clip_renames(true);
      const bool below_option = argument[8] == 'b';
      if (!has_arguments(1, below_option ? "needs 1 argument: min_z" : "needs 1 argument: max_z")) return false;
      if (below_option) add(bound<real_z, below>("drop_z_below", argv + i + 1));
      else add(bound<real_z, at_or_above>("drop_z_above", argv + i + 1));
      consume(1);
    } else if (starts_with(argument, "-clip_") && std::strcmp(argument, "-clip_to_bounding_box") != 0 &&
               std::strcmp(argument, "-clip_to_bb") != 0) {
      std::fprintf(stderr, "ERROR: '%s' is no longer recognized. check documentation with '-h'.\n", argument);
      print_clip_renames(false);
      return false;
    }
  }

  if (lists.keep_return && lists.drop_return) {
    std::fputs("ERROR: cannot use '-drop_return' and '-keep_return' simultaneously\n", stderr);
    return false;
  }
  if (lists.drop_return) lists.keep_return = ~lists.drop_return & 255u;
  if (lists.keep_return) add(std::make_unique<LASconditionKeepReturnMask>(lists.keep_return));

  if (lists.keep_class && lists.drop_class) {
    std::fputs("ERROR: cannot use '-drop_class' and '-keep_class' simultaneously\n", stderr);
    return false;
  }
  if (lists.keep_class) lists.drop_class = ~lists.keep_class;
  if (lists.drop_class) add(std::make_unique<LASconditionClassificationMask>(lists.drop_class));

  if (any_bit(lists.keep_extended_class) && any_bit(lists.drop_extended_class)) {
    std::fputs("ERROR: cannot use '-drop_extended_class' and '-keep_extended_class' simultaneously\n", stderr);
    return false;
  }
  if (any_bit(lists.keep_extended_class)) {
    for (int k = 0; k < 8; k++) lists.drop_extended_class[k] = ~lists.keep_extended_class[k];
  }
  if (any_bit(lists.drop_extended_class)) {
    add(std::make_unique<LASconditionExtendedClassificationMask>(lists.drop_extended_class));
  }
  return true;
}

void LASpointFilter::usage() const {
  static const char* const lines[] = {
      "Filter points based on their coordinates.\n",
      "  -keep_tile 631000 4834000 1000 (ll_x ll_y size)\n",
      "  -keep_circle 630250.00 4834750.00 100 (x y radius)\n",
      "  -keep_xy 630000 4834000 631000 4836000 (min_x min_y max_x max_y)\n",
      "  -drop_xy 630000 4834000 631000 4836000 (min_x min_y max_x max_y)\n",
      "  -keep_x 631500.50 631501.00 (min_x max_x)\n",
      "  -drop_x 631500.50 631501.00 (min_x max_x)\n",
      "  -drop_x_below 630000.50 (min_x)\n",
      "  -drop_x_above 630500.50 (max_x)\n",
      "  -keep_y 4834500.25 4834550.25 (min_y max_y)\n",
      "  -drop_y 4834500.25 4834550.25 (min_y max_y)\n",
      "  -drop_y_below 4834500.25 (min_y)\n",
      "  -drop_y_above 4836000.75 (max_y)\n",
      "  -keep_z 11.125 130.725 (min_z max_z)\n",
      "  -drop_z 11.125 130.725 (min_z max_z)\n",
      "  -drop_z_below 11.125 (min_z)\n",
      "  -drop_z_above 130.725 (max_z)\n",
      "  -keep_xyz 620000 4830000 100 621000 4831000 200 (min_x min_y min_z max_x max_y max_z)\n",
      "  -drop_xyz 620000 4830000 100 621000 4831000 200 (min_x min_y min_z max_x max_y max_z)\n",
      "Filter points based on their return numbering.\n",
      "  -keep_first -first_only -drop_first\n",
      "  -keep_last -last_only -drop_last\n",
      "  -keep_second_last -drop_second_last\n",
      "  -keep_first_of_many -keep_last_of_many\n",
      "  -drop_first_of_many -drop_last_of_many\n",
      "  -keep_middle -drop_middle\n",
      "  -keep_return 1 2 3\n",
      "  -drop_return 3 4\n",
      "  -keep_single -drop_single\n",
      "  -keep_double -drop_double\n",
      "  -keep_triple -drop_triple\n",
      "  -keep_quadruple -drop_quadruple\n",
      "  -keep_number_of_returns 5\n",
      "  -drop_number_of_returns 0\n",
      "Filter points based on the scanline flags.\n",
      "  -drop_scan_direction 0\n",
      "  -keep_scan_direction_change\n",
      "  -keep_edge_of_flight_line\n",
      "Filter points based on their intensity.\n",
      "  -keep_intensity 20 380\n",
      "  -drop_intensity_below 20\n",
      "  -drop_intensity_above 380\n",
      "  -drop_intensity_between 4000 5000\n",
      "Filter points based on classifications or flags.\n",
      "  -keep_class 1 3 7\n",
      "  -drop_class 4 2\n",
      "  -keep_extended_class 43\n",
      "  -drop_extended_class 129 135\n",
      "  -drop_synthetic -keep_synthetic\n",
      "  -drop_keypoint -keep_keypoint\n",
      "  -drop_withheld -keep_withheld\n",
      "  -drop_overlap -keep_overlap\n",
      "Filter points based on their user data.\n",
      "  -keep_user_data 1\n",
      "  -drop_user_data 255\n",
      "  -keep_user_data_below 50\n",
      "  -keep_user_data_above 150\n",
      "  -keep_user_data_between 10 20\n",
      "  -drop_user_data_below 1\n",
      "  -drop_user_data_above 100\n",
      "  -drop_user_data_between 10 40\n",
      "Filter points based on their point source ID.\n",
      "  -keep_point_source 3\n",
      "  -keep_point_source_between 2 6\n",
      "  -drop_point_source 27\n",
      "  -drop_point_source_below 6\n",
      "  -drop_point_source_above 15\n",
      "  -drop_point_source_between 17 21\n",
      "Filter points based on their scan angle.\n",
      "  -keep_scan_angle -15 15\n",
      "  -drop_abs_scan_angle_above 15\n",
      "  -drop_abs_scan_angle_below 1\n",
      "  -drop_scan_angle_below -15\n",
      "  -drop_scan_angle_above 15\n",
      "  -drop_scan_angle_between -25 -23\n",
      "Filter points based on their gps time.\n",
      "  -keep_gps_time 11.125 130.725\n",
      "  -drop_gps_time_below 11.125\n",
      "  -drop_gps_time_above 130.725\n",
      "  -drop_gps_time_between 22.0 48.0\n",
      "Filter points based on their RGB/CIR/NIR channels.\n",
      "  -keep_RGB_red 1 1\n",
      "  -keep_RGB_green 30 100\n",
      "  -keep_RGB_blue 0 0\n",
      "  -keep_RGB_nir 64 127\n",
      "  -keep_NDVI 0.2 0.7 -keep_NDVI_from_CIR -0.1 0.5\n",
      "  -keep_NDVI_intensity_is_NIR 0.4 0.8 -keep_NDVI_green_is_NIR -0.2 0.2\n",
      "Filter points based on their wavepacket.\n",
      "  -keep_wavepacket 0\n",
      "  -drop_wavepacket 3\n",
      "Filter points based on extra attributes.\n",
      "  -keep_attribute_above 0 5.0\n",
      "  -drop_attribute_below 1 1.5\n",
      "Filter points with simple thinning.\n",
      "  -keep_every_nth 2 -drop_every_nth 3\n",
      "  -keep_random_fraction 0.1\n",
      "  -keep_random_fraction 0.1 4711\n",
      "  -thin_with_grid 1.0\n",
      "  -thin_pulses_with_time 0.0001\n",
      "  -thin_points_with_time 0.000001\n",
      "Boolean combination of filters.\n",
      "  -filter_and\n",
  };
  for (const char* line : lines) std::fputs(line, stderr);
}

}  // namespace tinrise
