// The transform's option parser and its usage text: one table row per option,
// each making one operation from its arguments in command-line order.
#include <cstdio>
#include <cstring>

#include "options/process/arithmetic_operations.h"
#include "options/process/classification_operations.h"
#include "options/process/coordinate_operations.h"
#include "options/process/field_operations.h"
#include "options/process/las_point_transform.h"
#include "options/process/rule_operations.h"
#include "options/process/time_and_colour_operations.h"

namespace tinrise {
namespace {

using OperationPtr = std::unique_ptr<LASpointOperation>;
using IntensityEcho = LASoperationIntensityArithmetic::Echo;

struct TransformOption {
  const char* option;
  const char* operation;  // name of the operation made, when not the option's own
  int arguments;
  const char* missing;  // the message after "ERROR: '%s' " when arguments are missing
  bool prefix;          // matches every argument that begins with the option
  // Makes the operation, or prints why not and returns none.
  OperationPtr (*make)(const char* name, const char* typed, char** args);
};

// The conversions of option arguments; "clamped" ones saturate at 0 and the
// top instead of keeping the low bits.
double real(const char* text) { return lenient_real(text); }
float f32(const char* text) { return static_cast<float>(lenient_real(text)); }
std::uint8_t u8(const char* text) { return static_cast<std::uint8_t>(lenient_int(text)); }
std::uint16_t u16(const char* text) { return static_cast<std::uint16_t>(lenient_int(text)); }
std::uint8_t u8_clamped(const char* text) {
  const std::int32_t v = lenient_int(text);
  return static_cast<std::uint8_t>(v <= 0 ? 0 : v >= 255 ? 255 : v);
}
std::uint16_t u16_clamped(const char* text) {
  const std::int32_t v = lenient_int(text);
  return static_cast<std::uint16_t>(v <= 0 ? 0 : v >= 65535 ? 65535 : v);
}

template <void (*rule)(LASpoint&)>
OperationPtr change(const char* name, const char*, char**) {
  return std::make_unique<LASoperationRule<rule>>(name);
}
template <int axis>
OperationPtr translate(const char* name, const char*, char** a) {
  return std::make_unique<LASoperationTranslate<axis>>(name, real(a[0]));
}
template <int axis>
OperationPtr translate_then_scale(const char* name, const char*, char** a) {
  return std::make_unique<LASoperationTranslateThenScale<axis>>(name, real(a[0]), real(a[1]));
}
template <int axis>
OperationPtr scale(const char* name, const char*, char** a) {
  return std::make_unique<LASoperationScale<axis>>(name, real(a[0]));
}
template <int axis>
OperationPtr translate_raw(const char* name, const char*, char** a) {
  return std::make_unique<LASoperationTranslateRaw<axis>>(name, lenient_int(a[0]));
}
template <int second_axis>
OperationPtr rotate(const char* name, const char*, char** a) {
  return std::make_unique<LASoperationRotate<second_axis>>(name, real(a[0]), real(a[1]), real(a[2]));
}
template <class Field, typename Field::value (*convert)(const char*)>
OperationPtr set(const char* name, const char*, char** a) {
  return std::make_unique<LASoperationSet<Field>>(name, convert(a[0]));
}
template <class Field, typename Field::value (*convert)(const char*)>
OperationPtr change_from_to(const char* name, const char*, char** a) {
  return std::make_unique<LASoperationChange<Field>>(name, convert(a[0]), convert(a[1]));
}
template <int bit>
OperationPtr set_flag(const char* name, const char*, char** a) {
  return std::make_unique<LASoperationSetFlag<bit>>(name, u8(a[0]));
}
OperationPtr intensity_arithmetic(const char* name, IntensityEcho form, float offset, float scale) {
  return std::make_unique<LASoperationIntensityArithmetic>(name, form, offset, scale);
}
OperationPtr scan_angle_arithmetic(const char* name, IntensityEcho form, float offset, float scale) {
  return std::make_unique<LASoperationScanAngleArithmetic>(name, form, offset, scale);
}
std::uint16_t intensity_value(const char* text) {
  const double v = lenient_real(text);
  return static_cast<std::uint16_t>(!(v > 0.0) ? 0 : v >= 65535.0 ? 65535 : static_cast<int>(v));
}
std::uint8_t scanner_channel_value(const char* text) {
  const std::uint8_t v = u8(text);
  return v > 3 ? 3 : v;
}

const TransformOption transform_options[] = {
    {"-translate_x", nullptr, 1, "needs 1 argument: offset", false, translate<0>},
    {"-translate_y", nullptr, 1, "needs 1 argument: offset", false, translate<1>},
    {"-translate_z", nullptr, 1, "needs 1 argument: offset", false, translate<2>},
    {"-translate_xyz", nullptr, 3, "needs 3 arguments: offset_x offset_y offset_z", false,
     [](const char*, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationTranslateXYZ>(real(a[0]), real(a[1]), real(a[2]));
     }},
    {"-translate_then_scale_x", nullptr, 2, "needs 2 arguments: offset scale", false, translate_then_scale<0>},
    {"-translate_then_scale_y", nullptr, 2, "needs 2 arguments: offset scale", false, translate_then_scale<1>},
    {"-translate_then_scale_z", nullptr, 2, "needs 2 arguments: offset scale", false, translate_then_scale<2>},
    {"-translate_raw_x", nullptr, 1, "needs 1 argument: raw_offset", false, translate_raw<0>},
    {"-translate_raw_y", nullptr, 1, "needs 1 argument: raw_offset", false, translate_raw<1>},
    {"-translate_raw_z", nullptr, 1, "needs 1 argument: raw_offset", false, translate_raw<2>},
    {"-translate_raw_xyz", nullptr, 3, "needs 3 arguments: raw_offset_x raw_offset_y raw_offset_z", false,
     [](const char*, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationTranslateRawXYZ>(lenient_int(a[0]), lenient_int(a[1]), lenient_int(a[2]));
     }},
    {"-translate_raw_xy_at_random", nullptr, 2, "needs 2 arguments: max_raw_offset_x max_raw_offset_y", false,
     [](const char*, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationTranslateRawXYAtRandom>(lenient_int(a[0]), lenient_int(a[1]));
     }},
    {"-translate_intensity", nullptr, 1, "needs 1 argument: offset", false,
     [](const char* name, const char*, char** a) {
       return intensity_arithmetic(name, IntensityEcho::offset_only, f32(a[0]), 1.0f);
     }},
    {"-translate_then_scale_intensity", nullptr, 2, "needs 2 arguments: offset scale", false,
     [](const char* name, const char*, char** a) {
       return intensity_arithmetic(name, IntensityEcho::offset_and_scale, f32(a[0]), f32(a[1]));
     }},
    {"-translate_scan_angle", nullptr, 1, "needs 1 argument: offset", false,
     [](const char* name, const char*, char** a) {
       return scan_angle_arithmetic(name, IntensityEcho::offset_only, f32(a[0]), 1.0f);
     }},
    {"-translate_then_scale_scan_angle", nullptr, 2, "needs 2 arguments: offset scale", false,
     [](const char* name, const char*, char** a) {
       return scan_angle_arithmetic(name, IntensityEcho::offset_and_scale, f32(a[0]), f32(a[1]));
     }},
    {"-translate_gps_time", nullptr, 1, "needs 1 argument: offset", false,
     [](const char*, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationTranslateGpsTime>(real(a[0]));
     }},

    {"-rotate_xy", nullptr, 3, "needs 3 arguments: angle, x, y", false, rotate<1>},
    {"-rotate_xz", nullptr, 3, "needs 3 arguments: angle, x, y", false, rotate<2>},

    {"-clamp_z", nullptr, 2, "needs 2 arguments: below above", false,
     [](const char* name, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationClampZ<true, true>>(name, real(a[0]), real(a[1]));
     }},
    {"-clamp_z_below", nullptr, 1, "needs 1 argument: below", false,
     [](const char* name, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationClampZ<true, false>>(name, real(a[0]), 0.0);
     }},
    {"-clamp_z_above", nullptr, 1, "needs 1 argument: above", false,
     [](const char* name, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationClampZ<false, true>>(name, 0.0, real(a[0]));
     }},
    {"-clamp_raw_z", nullptr, 2, "needs 2 arguments: below above", false,
     [](const char*, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationClampRawZ>(lenient_int(a[0]), lenient_int(a[1]));
     }},
    {"-clamp_intensity", nullptr, 2, "needs 2 arguments: below above", false,
     [](const char* name, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationClampIntensity<true, true>>(name, u16_clamped(a[0]), u16_clamped(a[1]));
     }},
    {"-clamp_intensity_below", nullptr, 1, "needs 1 argument: below", false,
     [](const char* name, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationClampIntensity<true, false>>(name, u16_clamped(a[0]), 0);
     }},
    {"-clamp_intensity_above", nullptr, 1, "needs 1 argument: above", false,
     [](const char* name, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationClampIntensity<false, true>>(name, 0, u16_clamped(a[0]));
     }},

    {"-copy_attribute_into_z", nullptr, 1, "needs 1 argument: index of attribute", false,
     [](const char*, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationCopyAttributeIntoZ>(lenient_int(a[0]));
     }},
    {"-copy_intensity_into_z", nullptr, 0, nullptr, false, change<change_rules::copy_intensity_into_z>},
    {"-copy_RGB_into_intensity", nullptr, 0, nullptr, false, change<change_rules::copy_RGB_into_intensity>},
    {"-copy_R_into_intensity", nullptr, 0, nullptr, false, change<change_rules::copy_channel_into_intensity<0>>},
    {"-copy_G_into_intensity", nullptr, 0, nullptr, false, change<change_rules::copy_channel_into_intensity<1>>},
    {"-copy_B_into_intensity", nullptr, 0, nullptr, false, change<change_rules::copy_channel_into_intensity<2>>},
    {"-copy_NIR_into_intensity", nullptr, 0, nullptr, false, change<change_rules::copy_channel_into_intensity<3>>},
    {"-copy_attribute_into_intensity", nullptr, 1, "needs 1 argument: index of attribute", false,
     [](const char*, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationCopyAttributeIntoIntensity>(lenient_int(a[0]));
     }},
    {"-copy_attribute_into_user_data", nullptr, 1, "needs 1 argument: index of attribute", false,
     [](const char*, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationCopyAttributeIntoUserData>(lenient_int(a[0]));
     }},
    {"-copy_classification_into_user_data", nullptr, 0, nullptr, false,
     change<change_rules::copy_classification_into_user_data>},
    {"-copy_user_data_into_scanner_channel", nullptr, 0, nullptr, false,
     change<change_rules::copy_user_data_into_scanner_channel>},
    {"-copy_user_data_into_point_source", nullptr, 0, nullptr, false,
     change<change_rules::copy_user_data_into_point_source>},
    {"-copy_scanner_channel_into_point_source", nullptr, 0, nullptr, false,
     change<change_rules::copy_scanner_channel_into_point_source>},
    {"-copy_R_into_NIR", nullptr, 0, nullptr, false, change<change_rules::copy_channel_into_nir<0>>},
    {"-copy_G_into_NIR", nullptr, 0, nullptr, false, change<change_rules::copy_channel_into_nir<1>>},
    {"-copy_B_into_NIR", nullptr, 0, nullptr, false, change<change_rules::copy_channel_into_nir<2>>},
    {"-copy_intensity_into_NIR", nullptr, 0, nullptr, false, change<change_rules::copy_intensity_into_nir>},

    {"-set_intensity", nullptr, 1, "needs 1 argument: value", false, set<point_field::intensity, intensity_value>},
    {"-set_return_number", nullptr, 1, "needs 1 argument: return_number", false,
     set<point_field::return_number, u8>},
    {"-set_extended_return_number", nullptr, 1, "needs 1 argument: extended_return_number", false,
     set<point_field::extended_return_number, u8>},
    {"-set_number_of_returns", nullptr, 1, "needs 1 argument: number_of_returns", false,
     set<point_field::number_of_returns, u8>},
    {"-set_extended_number_of_returns", nullptr, 1, "needs 1 argument: extended_number_of_returns", false,
     set<point_field::extended_number_of_returns, u8>},
    {"-set_classification", nullptr, 1, "needs 1 argument: classification", true,
     [](const char*, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationSetClassification>(u8_clamped(a[0]));
     }},
    {"-set_extended_classification", nullptr, 1, "needs 1 argument: classification", true,
     set<point_field::extended_classification, u8_clamped>},
    {"-set_withheld_flag", nullptr, 1, "need 1 argument: value", false, set_flag<2>},
    {"-set_synthetic_flag", nullptr, 1, "need 1 argument: value", false, set_flag<0>},
    {"-set_keypoint_flag", nullptr, 1, "need 1 argument: value", false, set_flag<1>},
    {"-set_overlap_flag", nullptr, 1, "need 1 argument: value", false,
     [](const char*, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationSetOverlapFlag>(u8(a[0]));
     }},
    {"-set_extended_overlap_flag", nullptr, 1, "need 1 argument: value", false,
     [](const char*, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationSetOverlapFlag>(u8(a[0]));
     }},
    {"-set_scanner_channel", nullptr, 1, "need 1 argument: value", false,
     set<point_field::scanner_channel, scanner_channel_value>},
    {"-set_extended_scanner_channel", "set_scanner_channel", 1, "need 1 argument: value", false,
     set<point_field::scanner_channel, scanner_channel_value>},
    {"-set_user_data", nullptr, 1, "need 1 argument: value", false, set<point_field::user_data, u8>},
    {"-set_point_source", nullptr, 1, "need 1 argument: psid", true, set<point_field::point_source, u16>},
    {"-set_gps_time", nullptr, 1, "needs 1 argument: value", false,
     [](const char*, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationSetGpsTime>(real(a[0]));
     }},
    {"-set_RGB", nullptr, 3, "needs 3 arguments: R G B", false,
     [](const char*, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationSetRGB>(u16(a[0]), u16(a[1]), u16(a[2]));
     }},
    {"-set_RGB_of_class", nullptr, 4, "needs 4 arguments: class R G B", false,
     [](const char*, const char* typed, char** a) -> OperationPtr {
       const std::int32_t class_value = lenient_int(a[0]);
       if (class_value < 0 || class_value > 255) {
         std::fprintf(stderr, "ERROR: '%s' needs class between 0 and 255 but got %d\n", typed, class_value);
         return nullptr;
       }
       return std::make_unique<LASoperationSetRGBOfClass>(static_cast<std::uint8_t>(class_value), u16(a[1]),
                                                          u16(a[2]), u16(a[3]));
     }},

    {"-change_return_number_from_to", nullptr, 2, "needs 2 arguments: from_return_number to_return_number", false,
     change_from_to<point_field::return_number, u8>},
    {"-change_number_of_returns_from_to", nullptr, 2,
     "needs 2 arguments: from_number_of_returns to_number_of_returns", false,
     change_from_to<point_field::number_of_returns, u8>},
    {"-change_classification_from_to", nullptr, 2, "needs 2 arguments: from_value to_value", false,
     [](const char*, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationChangeClassificationFromTo>(u8_clamped(a[0]), u8_clamped(a[1]));
     }},
    {"-change_extended_classification_from_to", nullptr, 2, "needs 2 arguments: from_value to_value", false,
     change_from_to<point_field::extended_classification, u8_clamped>},
    {"-change_user_data_from_to", nullptr, 2, "needs 2 arguments: from_value to_value", false,
     change_from_to<point_field::user_data, u8>},
    {"-change_point_source_from_to", nullptr, 2, "needs 2 arguments: from_value to_value", false,
     change_from_to<point_field::point_source, u16>},

    {"-classify_z_below_as", nullptr, 2, "needs 2 arguments: z_value classification_code", false,
     [](const char* name, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationClassifyZ<ZClassTest::below>>(name, real(a[0]), 0.0, u8_clamped(a[1]));
     }},
    {"-classify_z_above_as", nullptr, 2, "needs 2 arguments: z_value classification_code", false,
     [](const char* name, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationClassifyZ<ZClassTest::above>>(name, 0.0, real(a[0]), u8_clamped(a[1]));
     }},
    {"-classify_z_between_as", nullptr, 3, "needs 3 arguments: z_min z_max classification_code", false,
     [](const char* name, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationClassifyZ<ZClassTest::between>>(name, real(a[0]), real(a[1]),
                                                                           u8_clamped(a[2]));
     }},
    {"-classify_intensity_below_as", nullptr, 2, "needs 2 arguments: intensity_value classification_code", false,
     [](const char* name, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationClassifyIntensity<ZClassTest::below>>(name, u16_clamped(a[0]), 0,
                                                                                 u8_clamped(a[1]));
     }},
    {"-classify_intensity_above_as", nullptr, 2, "needs 2 arguments: intensity_value classification_code", false,
     [](const char* name, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationClassifyIntensity<ZClassTest::above>>(name, 0, u16_clamped(a[0]),
                                                                                 u8(a[1]));
     }},
    {"-classify_intensity_between_as", nullptr, 3,
     "needs 3 arguments: min_intensity_value max_intensity_value classification_code", false,
     [](const char* name, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationClassifyIntensity<ZClassTest::between>>(name, u16_clamped(a[0]),
                                                                                   u16_clamped(a[1]), u8(a[2]));
     }},

    {"-scale_x", nullptr, 1, "needs 1 argument: scale", false, scale<0>},
    {"-scale_y", nullptr, 1, "needs 1 argument: scale", false, scale<1>},
    {"-scale_z", nullptr, 1, "needs 1 argument: scale", false, scale<2>},
    {"-scale_xyz", nullptr, 3, "needs 3 arguments: scale_x scale_y scale_z", false,
     [](const char*, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationScaleXYZ>(real(a[0]), real(a[1]), real(a[2]));
     }},
    {"-scale_intensity", nullptr, 1, "needs 1 argument: scale", false,
     [](const char* name, const char*, char** a) {
       return intensity_arithmetic(name, IntensityEcho::scale_only, 0.0f, f32(a[0]));
     }},
    {"-scale_scan_angle", nullptr, 1, "needs 1 argument: scale", false,
     [](const char* name, const char*, char** a) {
       return scan_angle_arithmetic(name, IntensityEcho::scale_only, 0.0f, f32(a[0]));
     }},
    {"-scale_user_data", nullptr, 1, "needs 1 argument: scale", false,
     [](const char*, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationScaleUserData>(f32(a[0]));
     }},
    {"-scale_RGB", nullptr, 3, "needs 3 arguments: scale_R scale_G scale_B", false,
     [](const char*, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationScaleRGB>(f32(a[0]), f32(a[1]), f32(a[2]));
     }},
    {"-scale_rgb", nullptr, 3, "needs 3 arguments: scale_R scale_G scale_B", false,
     [](const char*, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationScaleRGB>(f32(a[0]), f32(a[1]), f32(a[2]));
     }},
    {"-scale_RGB_down", nullptr, 0, nullptr, false, change<change_rules::scale_RGB_down>},
    {"-scale_rgb_down", "scale_RGB_down", 0, nullptr, false, change<change_rules::scale_RGB_down>},
    {"-scale_RGB_up", nullptr, 0, nullptr, false, change<change_rules::scale_RGB_up>},
    {"-scale_rgb_up", "scale_RGB_up", 0, nullptr, false, change<change_rules::scale_RGB_up>},

    {"-switch_x_y", nullptr, 0, nullptr, false, change<change_rules::switch_x_y>},
    {"-switch_x_z", nullptr, 0, nullptr, false, change<change_rules::switch_x_z>},
    {"-switch_y_z", nullptr, 0, nullptr, false, change<change_rules::switch_y_z>},
    {"-switch_R_G", nullptr, 0, nullptr, false, change<change_rules::switch_channels<0, 1>>},
    {"-switch_R_B", nullptr, 0, nullptr, false, change<change_rules::switch_channels<0, 2>>},
    {"-switch_G_B", nullptr, 0, nullptr, false, change<change_rules::switch_channels<1, 2>>},

    {"-bin_Z_into_point_source", nullptr, 1, "needs 1 argument: bin_size", false,
     [](const char*, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationBinZIntoPointSource>(lenient_int(a[0]));
     }},
    {"-bin_abs_scan_angle_into_point_source", nullptr, 1, "needs 1 argument: bin_size", false,
     [](const char*, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationBinAbsScanAngleIntoPointSource>(f32(a[0]));
     }},

    {"-merge_scanner_channel_into_point_source", nullptr, 0, nullptr, false,
     change<change_rules::merge_scanner_channel_into_point_source>},
    {"-split_scanner_channel_from_point_source", nullptr, 0, nullptr, false,
     change<change_rules::split_scanner_channel_from_point_source>},
    {"-move_ancient_to_extended_classification", nullptr, 0, nullptr, false,
     change<change_rules::move_ancient_to_extended_classification>},
    {"-flip_waveform_direction", nullptr, 0, nullptr, false, change<change_rules::flip_waveform_direction>},
    {"-repair_zero_returns", nullptr, 0, nullptr, false, change<change_rules::repair_zero_returns>},
    {"-adjusted_to_week", nullptr, 0, nullptr, false, change<change_rules::adjusted_to_week>},
    {"-week_to_adjusted", nullptr, 1, "needs 1 argument: week", false,
     [](const char*, const char*, char** a) -> OperationPtr {
       return std::make_unique<LASoperationWeekToAdjusted>(lenient_int(a[0]));
     }},
};

const TransformOption* find_transform_option(const char* argument) {
  for (const TransformOption& option : transform_options) {
    if (std::strcmp(option.option, argument) == 0) return &option;
  }
  for (const TransformOption& option : transform_options) {
    if (option.prefix && starts_with(argument, option.option)) return &option;
  }
  return nullptr;
}

}  // namespace

bool LASpointTransform::parse(int argc, char* argv[]) {
  for (int i = 1; i < argc; i++) {
    char* argument = argv[i];
    if (argument[0] == '\0') continue;
    if (std::strcmp(argument, "-h") == 0 || std::strcmp(argument, "-help") == 0) {
      usage();
      return true;
    }
    if (std::strcmp(argument, "-filtered_transform") == 0) {
      filtered = true;
      argument[0] = '\0';
      continue;
    }
    const TransformOption* option = find_transform_option(argument);
    if (option == nullptr) continue;
    if (i + option->arguments >= argc) {
      std::fprintf(stderr, "ERROR: '%s' %s\n", argument, option->missing);
      return false;
    }
    OperationPtr operation = option->make(option->operation ? option->operation : option->option + 1, argument,
                                          argv + i + 1);
    if (!operation) return false;
    add(std::move(operation));
    for (int k = 0; k <= option->arguments; k++) argv[i + k][0] = '\0';
    i += option->arguments;
  }
  return true;
}

void LASpointTransform::usage() const {
  static const char* const lines[] = {
      "Transform coordinates.\n",
      "  -translate_x -2.5\n",
      "  -scale_z 0.3048\n",
      "  -rotate_xy 15.0 620000 4100000 (angle + origin)\n",
      "  -translate_xyz 0.5 0.5 0\n",
      "  -translate_then_scale_y -0.5 1.001\n",
      "  -switch_x_y -switch_x_z -switch_y_z\n",
      "  -clamp_z_below 70.5\n",
      "  -clamp_z 70.5 72.5\n",
      "  -copy_attribute_into_z 0\n",
      "  -copy_intensity_into_z\n",
      "Transform raw xyz integers.\n",
      "  -translate_raw_z 20\n",
      "  -translate_raw_xyz 1 1 0\n",
      "  -translate_raw_xy_at_random 2 2\n",
      "  -clamp_raw_z 500 800\n",
      "Transform intensity.\n",
      "  -set_intensity 0\n",
      "  -scale_intensity 2.5\n",
      "  -translate_intensity 50\n",
      "  -translate_then_scale_intensity 0.5 3.1\n",
      "  -clamp_intensity 0 255\n",
      "  -clamp_intensity_above 255\n",
      "  -copy_RGB_into_intensity\n",
      "  -copy_NIR_into_intensity\n",
      "  -copy_attribute_into_intensity 0\n",
      "Transform scan_angle.\n",
      "  -scale_scan_angle 1.944445\n",
      "  -translate_scan_angle -5\n",
      "  -translate_then_scale_scan_angle -0.5 2.1\n",
      "Change the return number or return count of points.\n",
      "  -repair_zero_returns\n",
      "  -set_return_number 1\n",
      "  -set_extended_return_number 10\n",
      "  -change_return_number_from_to 2 1\n",
      "  -set_number_of_returns 2\n",
      "  -set_number_of_returns 15\n",
      "  -change_number_of_returns_from_to 0 2\n",
      "Modify the classification.\n",
      "  -set_classification 2\n",
      "  -set_extended_classification 0\n",
      "  -change_classification_from_to 2 4\n",
      "  -classify_z_below_as -5.0 7\n",
      "  -classify_z_above_as 70.0 7\n",
      "  -classify_z_between_as 2.0 5.0 4\n",
      "  -classify_intensity_above_as 200 9\n",
      "  -classify_intensity_below_as 30 11 \n",
      "  -classify_intensity_between_as 500 900 15\n",
      "  -change_extended_classification_from_to 6 46\n",
      "  -move_ancient_to_extended_classification\n",
      "Change the flags.\n",
      "  -set_withheld_flag 0\n",
      "  -set_synthetic_flag 1\n",
      "  -set_keypoint_flag 0\n",
      "  -set_overlap_flag 1\n",
      "Modify the extended scanner channel.\n",
      "  -set_scanner_channel 2\n",
      "  -copy_user_data_into_scanner_channel\n",
      "Modify the user data.\n",
      "  -set_user_data 0\n",
      "  -scale_user_data 1.5\n",
      "  -change_user_data_from_to 23 26\n",
      "  -copy_attribute_into_user_data 1\n",
      "Modify the point source ID.\n",
      "  -set_point_source 500\n",
      "  -change_point_source_from_to 1023 1024\n",
      "  -copy_user_data_into_point_source\n",
      "  -copy_scanner_channel_into_point_source\n",
      "  -merge_scanner_channel_into_point_source\n",
      "  -split_scanner_channel_from_point_source\n",
      "  -bin_Z_into_point_source 200\n",
      "  -bin_abs_scan_angle_into_point_source 2\n",
      "Transform gps_time.\n",
      "  -set_gps_time 113556962.005715\n",
      "  -translate_gps_time 40.50\n",
      "  -adjusted_to_week\n",
      "  -week_to_adjusted 1671\n",
      "Transform RGB/NIR colors.\n",
      "  -set_RGB 255 0 127\n",
      "  -set_RGB_of_class 9 0 0 255\n",
      "  -scale_RGB 2 4 2\n",
      "  -scale_RGB_down (by 256)\n",
      "  -scale_RGB_up (by 256)\n",
      "  -switch_R_G -switch_R_B -switch_B_G\n",
      "  -copy_R_into_NIR -copy_R_into_intensity\n",
      "  -copy_G_into_NIR -copy_G_into_intensity\n",
      "  -copy_B_into_NIR -copy_B_into_intensity\n",
      "  -copy_intensity_into_NIR\n",
  };
  for (const char* line : lines) std::fputs(line, stderr);
}

}  // namespace tinrise
