#include "options/process/las_point_transform.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>

#include "las/core/las_attribute.h"
#include "point_fixture.h"

namespace tinrise {
namespace {

using test::Arguments;
using test::Field;
namespace fields = test::fields;

LASpointTransform& parsed(LASpointTransform& transform, const std::string& options) {
  Arguments arguments(options);
  EXPECT_TRUE(transform.parse(arguments.argc(), arguments.argv())) << options;
  EXPECT_EQ(arguments.left(), "") << options;
  return transform;
}

struct FieldCase {
  std::string options;
  const Field& in;
  std::vector<double> before;
  const Field& out;
  std::vector<double> after;
  int point_type = 3;
};

TEST(LASpointTransform, ChangesTheFieldEachOptionNames) {
  const double int_max = INT32_MAX, int_min = INT32_MIN;
  const FieldCase cases[] = {
      {"-translate_x 2.5", fields::x, {1, -3.25}, fields::x, {3.5, -0.75}},
      {"-translate_y -1", fields::y, {1, -3.25}, fields::y, {0, -4.25}},
      {"-translate_z 0.25", fields::z, {1, -3.25}, fields::z, {1.25, -3}},
      {"-translate_then_scale_x -0.5 2", fields::x, {1.5, 3}, fields::x, {2, 5}},
      {"-translate_then_scale_z 1 -1", fields::z, {1.5}, fields::z, {-2.5}},
      {"-scale_y 2", fields::y, {1.5, -3}, fields::y, {3, -6}},
      {"-scale_z 0.5", fields::z, {3.5}, fields::z, {1.75}},
      {"-clamp_z 70.5 72.5", fields::z, {70, 70.5, 71, 72.5, 73}, fields::z, {70.5, 70.5, 71, 72.5, 72.5}},
      {"-clamp_z_below 70.5", fields::z, {70, 73}, fields::z, {70.5, 73}},
      {"-clamp_z_above 72.5", fields::z, {70, 73}, fields::z, {70, 72.5}},
      {"-copy_intensity_into_z", fields::intensity, {300}, fields::z, {300}},

      // Raw integers wrap around like the stored 32-bit values.
      {"-translate_raw_x 5", fields::X, {1, int_max}, fields::X, {6, int_min + 4}},
      {"-translate_raw_y -5", fields::Y, {1, int_min}, fields::Y, {-4, int_max - 4}},
      {"-translate_raw_z 20", fields::Z, {1}, fields::Z, {21}},
      {"-clamp_raw_z 500 800", fields::Z, {499, 500, 800, 801}, fields::Z, {500, 500, 800, 800}},

      {"-set_intensity 0", fields::intensity, {5}, fields::intensity, {0}},
      {"-set_intensity 70000", fields::intensity, {5}, fields::intensity, {65535}},
      {"-set_intensity -5", fields::intensity, {5}, fields::intensity, {0}},
      {"-set_intensity 12.9", fields::intensity, {5}, fields::intensity, {12}},
      {"-scale_intensity 2.5", fields::intensity, {30000, 100, 0}, fields::intensity, {65535, 250, 0}},
      {"-translate_intensity 50", fields::intensity, {65500, 10}, fields::intensity, {65535, 60}},
      {"-translate_intensity -20", fields::intensity, {10, 30}, fields::intensity, {0, 10}},
      {"-translate_then_scale_intensity 0.5 3.1", fields::intensity, {10}, fields::intensity, {32}},
      {"-clamp_intensity 10 255", fields::intensity, {5, 10, 255, 300}, fields::intensity, {10, 10, 255, 255}},
      {"-clamp_intensity_below 10", fields::intensity, {5, 300}, fields::intensity, {10, 300}},
      {"-clamp_intensity_above 255", fields::intensity, {5, 300}, fields::intensity, {5, 255}},
      {"-clamp_intensity_above 70000", fields::intensity, {65535}, fields::intensity, {65535}},

      // Scan angles round half away from zero and stop at -128 and 127.
      {"-scale_scan_angle 1.944445", fields::scan_angle, {45, -90, 0}, fields::scan_angle, {88, -128, 0}},
      {"-scale_scan_angle 0.5", fields::scan_angle, {3, -3, 127}, fields::scan_angle, {2, -2, 64}},
      {"-translate_scan_angle -5", fields::scan_angle, {-125, 0, 100}, fields::scan_angle, {-128, -5, 95}},
      {"-translate_scan_angle 200", fields::scan_angle, {-128}, fields::scan_angle, {72}},
      {"-translate_then_scale_scan_angle -0.5 2.1", fields::scan_angle, {10, -10}, fields::scan_angle, {20, -22}},

      // Returns: r of n as r * 10 + n; extended ones as r * 100 + n.
      {"-repair_zero_returns", fields::returns, {0, 10, 2, 23}, fields::returns, {11, 11, 12, 23}},
      {"-set_return_number 1", fields::returns, {23}, fields::returns, {13}},
      {"-set_return_number 9", fields::returns, {23}, fields::returns, {13}},
      {"-set_number_of_returns 15", fields::returns, {23}, fields::returns, {27}},
      {"-change_return_number_from_to 2 1", fields::returns, {23, 33}, fields::returns, {13, 33}},
      {"-change_number_of_returns_from_to 0 2", fields::returns, {10, 13}, fields::returns, {12, 13}},
      {"-set_extended_return_number 10", fields::extended_returns, {102}, fields::extended_returns, {1002}},
      {"-set_extended_return_number 17", fields::extended_returns, {102}, fields::extended_returns, {102}},
      {"-set_extended_number_of_returns 15", fields::extended_returns, {102}, fields::extended_returns, {115}},

      // Classes above 31 live in the extended field (both as extended * 100 + legacy).
      {"-set_classification 40", fields::both_classes, {2}, fields::both_classes, {4002}},
      {"-set_classification 7", fields::both_classes, {4002}, fields::both_classes, {4007}},
      {"-set_classification 300", fields::both_classes, {2}, fields::both_classes, {25502}},
      {"-set_classification -3", fields::both_classes, {4002}, fields::both_classes, {4000}},
      {"-set_classification_as 5", fields::both_classes, {2}, fields::both_classes, {5}},
      {"-set_extended_classification 6", fields::both_classes, {2}, fields::both_classes, {602}},
      {"-set_extended_classification 300", fields::both_classes, {2}, fields::both_classes, {25502}},
      {"-change_classification_from_to 2 40", fields::both_classes, {2, 3}, fields::both_classes, {4000, 3}},
      {"-change_classification_from_to 40 5", fields::both_classes, {4000, 4002, 3}, fields::both_classes, {5, 5, 3}},
      {"-change_extended_classification_from_to 6 46", fields::both_classes, {600, 700}, fields::both_classes,
       {4600, 700}},
      {"-classify_z_below_as -5.0 7", fields::z, {-5.25, -5}, fields::classification, {7, 0}},
      {"-classify_z_above_as 70.0 7", fields::z, {70, 70.25}, fields::classification, {0, 7}},
      {"-classify_z_between_as 2.0 5.0 4", fields::z, {1.75, 2, 5, 5.25}, fields::classification, {0, 4, 4, 0}},
      {"-classify_intensity_between_as 500 900 15", fields::intensity, {499, 500, 900, 901}, fields::classification,
       {0, 15, 15, 0}},
      {"-classify_intensity_below_as 30 40", fields::intensity, {29, 30}, fields::classification, {8, 0}},
      {"-classify_intensity_below_as 30 265", fields::intensity, {29}, fields::classification, {31}},  // clamped
      {"-classify_intensity_above_as 200 9", fields::intensity, {200, 201}, fields::classification, {0, 9}},
      {"-classify_intensity_above_as 200 265", fields::intensity, {201}, fields::classification, {9}},  // low bits

      // Flags: legacy bits 1 synthetic, 2 keypoint, 4 withheld, 8 overlap; extended bits alike.
      {"-set_synthetic_flag 1", fields::flags, {0}, fields::flags, {1}},
      {"-set_synthetic_flag 1", fields::extended_flags, {0}, fields::extended_flags, {1}},
      {"-set_keypoint_flag 7", fields::flags, {0}, fields::flags, {2}},
      {"-set_keypoint_flag 7", fields::extended_flags, {8}, fields::extended_flags, {10}},
      {"-set_withheld_flag 1", fields::extended_flags, {0}, fields::extended_flags, {4}},
      {"-set_withheld_flag 0", fields::flags, {7}, fields::flags, {3}},
      {"-set_withheld_flag 0", fields::extended_flags, {15}, fields::extended_flags, {11}},
      {"-set_overlap_flag 1", fields::extended_flags, {0}, fields::extended_flags, {8}},
      {"-set_extended_overlap_flag 0", fields::extended_flags, {15}, fields::extended_flags, {7}},

      {"-set_scanner_channel 2", fields::scanner_channel, {0}, fields::scanner_channel, {2}},
      {"-set_extended_scanner_channel 7", fields::scanner_channel, {0}, fields::scanner_channel, {3}},
      {"-copy_user_data_into_scanner_channel", fields::user_data, {6}, fields::scanner_channel, {2}},

      {"-set_user_data 300", fields::user_data, {0}, fields::user_data, {44}},
      {"-scale_user_data 1.5", fields::user_data, {100, 200, 0}, fields::user_data, {150, 255, 0}},
      {"-scale_user_data -1", fields::user_data, {5}, fields::user_data, {0}},
      {"-change_user_data_from_to 23 26", fields::user_data, {23, 24}, fields::user_data, {26, 24}},
      {"-copy_classification_into_user_data", fields::both_classes, {4002, 4000}, fields::user_data, {2, 40}},

      {"-set_point_source 500", fields::point_source, {0}, fields::point_source, {500}},
      {"-set_point_source 70000", fields::point_source, {0}, fields::point_source, {4464}},
      {"-change_point_source_from_to 1023 1024", fields::point_source, {1023, 1}, fields::point_source, {1024, 1}},
      {"-copy_user_data_into_point_source", fields::user_data, {7}, fields::point_source, {7}},
      {"-copy_scanner_channel_into_point_source", fields::scanner_channel, {3}, fields::point_source, {3}},
      {"-bin_Z_into_point_source 200", fields::Z, {45678, -5, 20000000}, fields::point_source, {228, 0, 65535}},
      {"-bin_Z_into_point_source 0", fields::Z, {5, -5}, fields::point_source, {65535, 0}},
      {"-bin_Z_into_point_source -1", fields::Z, {int_min}, fields::point_source, {65535}},
      {"-bin_abs_scan_angle_into_point_source 2", fields::scan_angle, {-15, 3}, fields::point_source, {7, 1}},

      {"-set_gps_time 113556962.005715", fields::gps_time, {0}, fields::gps_time, {113556962.005715}},
      {"-translate_gps_time 40.50", fields::gps_time, {1}, fields::gps_time, {41.5}},
      {"-adjusted_to_week", fields::gps_time, {0, 1e9, 1.2e9}, fields::gps_time, {265600, 531200, 342400}},
      {"-week_to_adjusted 1653", fields::gps_time, {265600}, fields::gps_time, {0}},
      {"-week_to_adjusted 1671", fields::gps_time, {0}, fields::gps_time, {1671.0 * 604800 - 1e9}},
  };
  for (const FieldCase& c : cases) {
    LASpointTransform transform;
    parsed(transform, c.options);
    ASSERT_EQ(transform.operation_count(), 1u) << c.options;
    std::vector<double> after;
    for (double value : c.before) {
      auto point = test::make_point(c.point_type);
      c.in.set(*point, value);
      transform.apply(*point);
      after.push_back(c.out.get(*point));
    }
    EXPECT_EQ(after, c.after) << c.options;
  }
}

struct Coordinates {
  double x, y, z;
  bool operator==(const Coordinates&) const = default;
};

TEST(LASpointTransform, MovesCoordinatesTogether) {
  struct Case {
    std::string options;
    Coordinates before, after;
  };
  const Case cases[] = {
      {"-translate_xyz 1 2 3", {1, 1, 1}, {2, 3, 4}},
      {"-scale_xyz 2 3 4", {1, 1, 1}, {2, 3, 4}},
      {"-rotate_xy 90 10 20", {11, 20, 5}, {10, 21, 5}},
      {"-rotate_xy 180 0 0", {1, 2, 5}, {-1, -2, 5}},
      {"-rotate_xz 90 10 5", {11, 20, 5}, {10, 20, 6}},
      {"-translate_x 1 -scale_x 2", {1, 0, 0}, {4, 0, 0}},  // in command-line order
  };
  for (const Case& c : cases) {
    LASpointTransform transform;
    parsed(transform, c.options);
    auto point = test::make_point();
    fields::x.set(*point, c.before.x);
    fields::y.set(*point, c.before.y);
    fields::z.set(*point, c.before.z);
    transform.apply(*point);
    EXPECT_EQ((Coordinates{point->dequantize_x(), point->dequantize_y(), point->dequantize_z()}), c.after)
        << c.options;
  }

  struct RawCase {
    std::string options;
    std::int32_t before[3], after[3];
  };
  const RawCase raw_cases[] = {
      {"-switch_x_y", {1, 2, 3}, {2, 1, 3}},
      {"-switch_x_z", {1, 2, 3}, {3, 2, 1}},
      {"-switch_y_z", {1, 2, 3}, {1, 3, 2}},
      {"-translate_raw_xyz 1 1 0", {1, 2, 3}, {2, 3, 3}},
  };
  for (const RawCase& c : raw_cases) {
    LASpointTransform transform;
    parsed(transform, c.options);
    auto point = test::make_point();
    point->X = c.before[0];
    point->Y = c.before[1];
    point->Z = c.before[2];
    transform.apply(*point);
    EXPECT_EQ(point->X, c.after[0]) << c.options;
    EXPECT_EQ(point->Y, c.after[1]) << c.options;
    EXPECT_EQ(point->Z, c.after[2]) << c.options;
  }
}

TEST(LASpointTransform, RequantizesRealCoordinatesHalfAwayFromZero) {
  LAScoordinateQuantizer centimetres;  // 0.01, offset 0
  LAScoordinateQuantizer offset_km;
  offset_km.x_offset = 1000.0;
  struct Case {
    std::string options;
    const LAScoordinateQuantizer* quantizer;
    std::int32_t X_before, X_after;
  };
  const Case cases[] = {
      {"-translate_x 0.5", &centimetres, 100, 150},
      {"-translate_x 0.495", &centimetres, -50, -1},  // -0.005 rounds away from zero
      {"-translate_x 0.005", &centimetres, 0, 1},
      {"-scale_x 2", &offset_km, 0, 100000},  // x = 1000 becomes 2000: the offset scales too
  };
  for (const Case& c : cases) {
    LASpointTransform transform;
    parsed(transform, c.options);
    LASpoint point;
    point.init(c.quantizer, 0, 20);
    point.X = c.X_before;
    transform.apply(point);
    EXPECT_EQ(point.X, c.X_after) << c.options;
  }
}

TEST(LASpointTransform, MovesAncientClassificationBytesToTheExtendedField) {
  struct Case {
    int classification, synthetic, keypoint, withheld, extended_flags;
    int extended_after, classification_after, extended_flags_after;
  };
  const Case cases[] = {
      {1, 0, 1, 0, 0xF, 65, 0, 0x8},  // byte 65: class 1 with the keypoint bit; overlap stays
      {5, 0, 0, 0, 0x7, 0, 5, 0x7},   // no flag bit: nothing moves
      {31, 1, 1, 1, 0x0, 255, 0, 0x0},
  };
  for (const Case& c : cases) {
    LASpointTransform transform;
    parsed(transform, "-move_ancient_to_extended_classification");
    auto point = test::make_point();
    point->classification = c.classification;
    point->synthetic_flag = c.synthetic;
    point->keypoint_flag = c.keypoint;
    point->withheld_flag = c.withheld;
    point->extended_classification_flags = c.extended_flags;
    transform.apply(*point);
    EXPECT_EQ(point->extended_classification, c.extended_after);
    EXPECT_EQ(point->classification, c.classification_after);
    if (c.extended_after) {
      EXPECT_EQ(point->synthetic_flag | point->keypoint_flag | point->withheld_flag, 0);
    }
    EXPECT_EQ(point->extended_classification_flags, c.extended_flags_after);
  }
}

TEST(LASpointTransform, PacksTheScannerChannelIntoThePointSourceAndBack) {
  LASpointTransform merge, split;
  parsed(merge, "-merge_scanner_channel_into_point_source");
  parsed(split, "-split_scanner_channel_from_point_source");
  auto point = test::make_point(6);
  point->point_source_ID = 5;
  point->extended_scanner_channel = 2;
  merge.apply(*point);
  EXPECT_EQ(point->point_source_ID, 22);
  point->extended_scanner_channel = 0;
  split.apply(*point);
  EXPECT_EQ(point->point_source_ID, 5);
  EXPECT_EQ(point->extended_scanner_channel, 2);
  point->point_source_ID = 0xFFFF;  // kept in 16 bits
  merge.apply(*point);
  EXPECT_EQ(point->point_source_ID, 0xFFFE);

  // Extended points bin their extended scan angle (units of 0.006 degree).
  LASpointTransform bin;
  parsed(bin, "-bin_abs_scan_angle_into_point_source 2");
  point->extended_scan_angle = -5000;  // 30 degrees
  point->scan_angle_rank = 0;
  bin.apply(*point);
  EXPECT_EQ(point->point_source_ID, 15);
}

TEST(LASpointTransform, Colours) {
  struct Case {
    std::string options;
    int before[5];  // red, green, blue, near infrared, intensity
    int after[5];
  };
  const Case cases[] = {
      {"-set_RGB 255 0 127", {1, 2, 3, 4, 5}, {255, 0, 127, 4, 5}},
      {"-scale_RGB 2 4 0.5", {100, 20000, 7, 9, 0}, {200, 65535, 3, 9, 0}},
      {"-scale_rgb -1 1 1", {100, 0, 0, 9, 0}, {0, 0, 0, 9, 0}},
      {"-scale_RGB_down", {0x1234, 0xFF, 0x100, 0x4567, 0}, {0x12, 0, 1, 0x4567, 0}},
      {"-scale_rgb_down", {0x1234, 0xFF, 0x100, 0x4567, 0}, {0x12, 0, 1, 0x4567, 0}},
      {"-scale_RGB_up", {0x12, 0x1FF, 1, 7, 0}, {0x1200, 0xFF00, 0x100, 7, 0}},
      {"-scale_rgb_up", {0x12, 0x1FF, 1, 7, 0}, {0x1200, 0xFF00, 0x100, 7, 0}},
      {"-switch_R_G", {1, 2, 3, 4, 5}, {2, 1, 3, 4, 5}},
      {"-switch_R_B", {1, 2, 3, 4, 5}, {3, 2, 1, 4, 5}},
      {"-switch_G_B", {1, 2, 3, 4, 5}, {1, 3, 2, 4, 5}},
      {"-copy_R_into_NIR", {1, 2, 3, 4, 5}, {1, 2, 3, 1, 5}},
      {"-copy_G_into_NIR", {1, 2, 3, 4, 5}, {1, 2, 3, 2, 5}},
      {"-copy_B_into_NIR", {1, 2, 3, 4, 5}, {1, 2, 3, 3, 5}},
      {"-copy_intensity_into_NIR", {1, 2, 3, 4, 5}, {1, 2, 3, 5, 5}},
      {"-copy_R_into_intensity", {1, 2, 3, 4, 5}, {1, 2, 3, 4, 1}},
      {"-copy_G_into_intensity", {1, 2, 3, 4, 5}, {1, 2, 3, 4, 2}},
      {"-copy_B_into_intensity", {1, 2, 3, 4, 5}, {1, 2, 3, 4, 3}},
      {"-copy_NIR_into_intensity", {1, 2, 3, 4, 5}, {1, 2, 3, 4, 4}},
      // 0.2989 x 1000 + 0.587 x 2000 + 0.114 x 3000 = 1814.9, rounded.
      {"-copy_RGB_into_intensity", {1000, 2000, 3000, 4, 5}, {1000, 2000, 3000, 4, 1815}},
      {"-copy_RGB_into_intensity", {65535, 65535, 65535, 0, 5}, {65535, 65535, 65535, 0, 65528}},
  };
  for (const Case& c : cases) {
    LASpointTransform transform;
    parsed(transform, c.options);
    auto point = test::make_point(8);
    for (int i = 0; i < 4; i++) point->rgb[i] = c.before[i];
    point->intensity = c.before[4];
    transform.apply(*point);
    const int after[5] = {point->rgb[0], point->rgb[1], point->rgb[2], point->rgb[3], point->intensity};
    EXPECT_EQ(std::vector<int>(after, after + 5), std::vector<int>(c.after, c.after + 5)) << c.options;
  }
}

TEST(LASpointTransform, ColoursOfOneClassLegacyOrExtended) {
  struct Case {
    std::string options;
    int classification, extended;
    bool coloured;
  };
  const Case cases[] = {
      {"-set_RGB_of_class 9 0 0 255", 9, 0, true},
      {"-set_RGB_of_class 9 0 0 255", 8, 9, false},
      {"-set_RGB_of_class 40 0 0 255", 8, 40, true},
      {"-set_RGB_of_class 40 0 0 255", 8, 41, false},
  };
  for (const Case& c : cases) {
    LASpointTransform transform;
    parsed(transform, c.options);
    auto point = test::make_point();
    point->classification = c.classification;
    point->extended_classification = c.extended;
    point->rgb[0] = point->rgb[1] = point->rgb[2] = 7;
    transform.apply(*point);
    EXPECT_EQ(point->rgb[2], c.coloured ? 255 : 7) << c.options << " on " << c.classification << "/" << c.extended;
    EXPECT_EQ(point->rgb[0], c.coloured ? 0 : 7) << c.options;
  }
}

TEST(LASpointTransform, FlipsTheWaveformDirection) {
  LASpointTransform transform;
  parsed(transform, "-flip_waveform_direction");
  auto point = test::make_point(4);
  const float location = 12.5f, direction[3] = {0.25f, -0.5f, 0.0f};
  std::memcpy(point->wave_packet + 13, &location, 4);
  std::memcpy(point->wave_packet + 17, direction, 12);
  transform.apply(*point);
  float flipped[3], location_after;
  std::memcpy(flipped, point->wave_packet + 17, 12);
  std::memcpy(&location_after, point->wave_packet + 13, 4);
  EXPECT_EQ(flipped[0], -0.25f);
  EXPECT_EQ(flipped[1], 0.5f);
  EXPECT_TRUE(std::signbit(flipped[2]));
  EXPECT_EQ(location_after, 12.5f);
}

TEST(LASpointTransform, CopiesAttributeValuesIntoFittedFields) {
  LASextraAttributeSet attributes;
  LASextraAttribute scaled(4, "tenths", "");  // I16 x 0.1
  scaled.set_scale(0.1);
  attributes.add_attribute(scaled);
  LASextraAttribute plain(9, "plain", "");  // F32, stored scale 0 but not marked valid
  plain.scale[0] = 0.0;
  attributes.add_attribute(plain);

  struct Case {
    std::string options;
    std::int16_t tenths;
    float plain;
    const Field& out;
    double expected;
  };
  const Case cases[] = {
      {"-copy_attribute_into_z 0", 125, 0, fields::z, 12.5},
      {"-copy_attribute_into_z 1", 0, 3.25f, fields::z, 3.25},
      {"-copy_attribute_into_z 5", 125, 3.25f, fields::z, 0},  // no such attribute
      {"-copy_attribute_into_intensity 0", 125, 0, fields::intensity, 12},
      {"-copy_attribute_into_intensity 0", -125, 0, fields::intensity, 0},
      {"-copy_attribute_into_intensity 1", 0, 1e9f, fields::intensity, 65535},
      {"-copy_attribute_into_user_data 1", 0, 254.9f, fields::user_data, 254},
      {"-copy_attribute_into_user_data 1", 0, 300.0f, fields::user_data, 255},
      {"-copy_attribute_into_user_data -1", 0, 300.0f, fields::user_data, 0},
  };
  for (const Case& c : cases) {
    LASpointTransform transform;
    parsed(transform, c.options);
    LASpoint point;
    ASSERT_TRUE(point.init(&test::exact_quantizer(), 1, 28 + 6, &attributes));
    point.intensity = 77;
    point.user_data = 77;
    std::memcpy(point.extra_bytes, &c.tenths, 2);
    std::memcpy(point.extra_bytes + 2, &c.plain, 4);
    transform.apply(point);
    EXPECT_EQ(c.out.get(point), c.expected) << c.options;
  }
  // A point without extra bytes reads 0 for every attribute.
  LASpointTransform transform;
  parsed(transform, "-copy_attribute_into_user_data 0");
  auto point = test::make_point();
  point->user_data = 9;
  point->attribute_set = &attributes;
  transform.apply(*point);
  EXPECT_EQ(point->user_data, 0);
}

TEST(LASpointTransform, RandomTranslationRepeatsAfterReset) {
  LASpointTransform transform;
  parsed(transform, "-translate_raw_xy_at_random 2 2");
  std::vector<std::pair<int, int>> offsets;
  for (int i = 0; i < 100; i++) {
    auto point = test::make_point();
    transform.apply(*point);
    EXPECT_GE(point->X, -2);
    EXPECT_LE(point->X, 2);
    EXPECT_GE(point->Y, -2);
    EXPECT_LE(point->Y, 2);
    offsets.emplace_back(point->X, point->Y);
  }
  // The first draw from state 0 is 38: (38 / 8) mod 5 - 2 and (38 / 64) mod 5 - 2.
  EXPECT_EQ(offsets[0], std::make_pair(2, -2));
  transform.reset();
  for (int i = 0; i < 100; i++) {
    auto point = test::make_point();
    transform.apply(*point);
    ASSERT_EQ(std::make_pair(point->X, point->Y), offsets[i]) << i;
  }
}

TEST(LASpointTransform, FilteredTransformChangesOnlyThePointsItsFilterKeeps) {
  Arguments arguments("-filtered_transform -keep_class 2 -set_user_data 9");
  auto filter = std::make_unique<LASpointFilter>();
  LASpointTransform transform;
  ASSERT_TRUE(filter->parse(arguments.argc(), arguments.argv()));
  ASSERT_TRUE(transform.parse(arguments.argc(), arguments.argv()));
  EXPECT_EQ(arguments.left(), "");
  EXPECT_TRUE(transform.is_filtered());
  transform.attach_filter(std::move(filter));  // the owner hands its filter over

  for (int classification : {1, 2, 3}) {
    auto point = test::make_point();
    point->classification = classification;
    transform.apply(*point);
    EXPECT_EQ(point->user_data, classification == 2 ? 9 : 0) << classification;
  }
  EXPECT_EQ(transform.attached_filter()->drop_count(0), 2u);
  const std::string echo = transform.echo();
  EXPECT_EQ(echo, "-keep_class 2 -filtered_transform -set_user_data 9 ");

  // The echo rebuilds both: the filter options go to a filter, the rest to the transform.
  LASpointFilter filter_again;
  LASpointTransform again;
  ASSERT_TRUE(filter_again.parse_text(echo.c_str()));
  ASSERT_TRUE(again.parse_text(echo.c_str()));
  EXPECT_TRUE(again.is_filtered());
  EXPECT_EQ(filter_again.echo(), "-keep_class 2 ");
  EXPECT_EQ(again.echo(), "-set_user_data 9 ");

  transform.clear();
  EXPECT_EQ(transform.operation_count(), 0u);
  EXPECT_EQ(transform.attached_filter(), nullptr);
  EXPECT_TRUE(transform.is_filtered());
  transform.attach_filter(nullptr);
  EXPECT_FALSE(transform.is_filtered());
}

TEST(LASpointTransform, ResetRestartsTheAttachedFilter) {
  LASpointTransform transform;
  parsed(transform, "-set_user_data 9");
  auto selection = std::make_unique<LASpointFilter>();
  ASSERT_TRUE(selection->parse_text("-thin_with_grid 10"));
  transform.attach_filter(std::move(selection));
  for (int pass = 0; pass < 2; pass++) {
    auto first = test::make_point(), second = test::make_point();
    transform.apply(*first);
    transform.apply(*second);
    EXPECT_EQ(first->user_data, 9) << pass;   // the first point of its cell is changed
    EXPECT_EQ(second->user_data, 0) << pass;  // a later one is not
    transform.reset();
  }
}

TEST(LASpointTransform, UpdatePointSourceKeepsOneOperationInItsPlace) {
  LASpointTransform transform;
  transform.update_point_source(7);
  EXPECT_EQ(transform.echo(), "-set_point_source 7 ");
  parsed(transform, "-set_user_data 1 -set_point_source 3 -scale_z 2 -set_point_source 4");
  transform.update_point_source(12);
  transform.update_point_source(13);
  EXPECT_EQ(transform.echo(),
            "-set_point_source 13 -set_user_data 1 -set_point_source 3 -scale_z 2 -set_point_source 4 ");
  auto point = test::make_point();
  transform.apply(*point);
  EXPECT_EQ(point->point_source_ID, 4);
}

struct ParseCase {
  std::string options;
  bool result;
  std::string err;
  std::string left;
};

TEST(LASpointTransform, ParseMessagesAndLeftArguments) {
  const ParseCase cases[] = {
      {"-i in.las -switch_B_G -translate_foo -keep_class 2", true, "",
       "-i in.las -switch_B_G -translate_foo -keep_class 2"},
      // Arguments are taken by count, whatever they look like.
      {"-translate_x -scale_z 2", true, "", "2"},
      {"-translate_x", false, "ERROR: '-translate_x' needs 1 argument: offset\n", "-translate_x"},
      {"-translate_gps_time", false, "ERROR: '-translate_gps_time' needs 1 argument: offset\n", ""},
      {"-translate_xyz 1 2", false, "ERROR: '-translate_xyz' needs 3 arguments: offset_x offset_y offset_z\n", ""},
      {"-translate_then_scale_intensity 1", false,
       "ERROR: '-translate_then_scale_intensity' needs 2 arguments: offset scale\n", ""},
      {"-translate_raw_z", false, "ERROR: '-translate_raw_z' needs 1 argument: raw_offset\n", ""},
      {"-translate_raw_xyz 1", false,
       "ERROR: '-translate_raw_xyz' needs 3 arguments: raw_offset_x raw_offset_y raw_offset_z\n", ""},
      {"-translate_raw_xy_at_random 1", false,
       "ERROR: '-translate_raw_xy_at_random' needs 2 arguments: max_raw_offset_x max_raw_offset_y\n", ""},
      {"-rotate_xz 1 2", false, "ERROR: '-rotate_xz' needs 3 arguments: angle, x, y\n", ""},
      {"-clamp_raw_z 1", false, "ERROR: '-clamp_raw_z' needs 2 arguments: below above\n", ""},
      {"-clamp_intensity_below", false, "ERROR: '-clamp_intensity_below' needs 1 argument: below\n", ""},
      {"-clamp_z_above", false, "ERROR: '-clamp_z_above' needs 1 argument: above\n", ""},
      {"-copy_attribute_into_user_data", false,
       "ERROR: '-copy_attribute_into_user_data' needs 1 argument: index of attribute\n", ""},
      {"-set_classification", false, "ERROR: '-set_classification' needs 1 argument: classification\n", ""},
      {"-set_classificationX", false, "ERROR: '-set_classificationX' needs 1 argument: classification\n", ""},
      {"-set_intensity", false, "ERROR: '-set_intensity' needs 1 argument: value\n", ""},
      {"-set_gps_time", false, "ERROR: '-set_gps_time' needs 1 argument: value\n", ""},
      {"-set_keypoint_flag", false, "ERROR: '-set_keypoint_flag' need 1 argument: value\n", ""},
      {"-set_extended_scanner_channel", false, "ERROR: '-set_extended_scanner_channel' need 1 argument: value\n",
       ""},
      {"-set_user_data", false, "ERROR: '-set_user_data' need 1 argument: value\n", ""},
      {"-set_point_source_of_file", false, "ERROR: '-set_point_source_of_file' need 1 argument: psid\n", ""},
      {"-set_return_number", false, "ERROR: '-set_return_number' needs 1 argument: return_number\n", ""},
      {"-set_extended_return_number", false,
       "ERROR: '-set_extended_return_number' needs 1 argument: extended_return_number\n", ""},
      {"-set_number_of_returns", false, "ERROR: '-set_number_of_returns' needs 1 argument: number_of_returns\n", ""},
      {"-set_extended_number_of_returns", false,
       "ERROR: '-set_extended_number_of_returns' needs 1 argument: extended_number_of_returns\n", ""},
      {"-set_RGB 1 2", false, "ERROR: '-set_RGB' needs 3 arguments: R G B\n", ""},
      {"-set_RGB_of_class 1 2 3", false, "ERROR: '-set_RGB_of_class' needs 4 arguments: class R G B\n", ""},
      {"-set_RGB_of_class 300 0 0 255", false,
       "ERROR: '-set_RGB_of_class' needs class between 0 and 255 but got 300\n", ""},
      {"-set_RGB_of_class -1 0 0 255", false,
       "ERROR: '-set_RGB_of_class' needs class between 0 and 255 but got -1\n", ""},
      {"-change_point_source_from_to 1", false,
       "ERROR: '-change_point_source_from_to' needs 2 arguments: from_value to_value\n", ""},
      {"-change_return_number_from_to 1", false,
       "ERROR: '-change_return_number_from_to' needs 2 arguments: from_return_number to_return_number\n", ""},
      {"-change_number_of_returns_from_to", false,
       "ERROR: '-change_number_of_returns_from_to' needs 2 arguments: from_number_of_returns to_number_of_returns\n",
       ""},
      {"-classify_z_above_as 1", false, "ERROR: '-classify_z_above_as' needs 2 arguments: z_value classification_code\n",
       ""},
      {"-classify_z_between_as 1 2", false,
       "ERROR: '-classify_z_between_as' needs 3 arguments: z_min z_max classification_code\n", ""},
      {"-classify_intensity_below_as 1", false,
       "ERROR: '-classify_intensity_below_as' needs 2 arguments: intensity_value classification_code\n", ""},
      {"-classify_intensity_between_as 1 2", false,
       "ERROR: '-classify_intensity_between_as' needs 3 arguments: min_intensity_value max_intensity_value "
       "classification_code\n",
       ""},
      {"-scale_user_data", false, "ERROR: '-scale_user_data' needs 1 argument: scale\n", ""},
      {"-scale_xyz 1 2", false, "ERROR: '-scale_xyz' needs 3 arguments: scale_x scale_y scale_z\n", ""},
      {"-scale_rgb 1 2", false, "ERROR: '-scale_rgb' needs 3 arguments: scale_R scale_G scale_B\n", ""},
      {"-bin_abs_scan_angle_into_point_source", false,
       "ERROR: '-bin_abs_scan_angle_into_point_source' needs 1 argument: bin_size\n", ""},
      {"-week_to_adjusted", false, "ERROR: '-week_to_adjusted' needs 1 argument: week\n", ""},
  };
  for (const ParseCase& c : cases) {
    Arguments arguments(c.options);
    LASpointTransform transform;
    testing::internal::CaptureStderr();
    const bool result = transform.parse(arguments.argc(), arguments.argv());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.err) << c.options;
    EXPECT_EQ(result, c.result) << c.options;
    if (c.result || !c.left.empty()) {
      EXPECT_EQ(arguments.left(), c.left) << c.options;
    }
  }
  // Operations made before a failing option stay.
  Arguments arguments("-scale_z 2 -set_RGB 1");
  LASpointTransform transform;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(transform.parse(arguments.argc(), arguments.argv()));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(transform.echo(), "-scale_z 2 ");
}

TEST(LASpointTransform, HelpPrintsTheUsageAndStopsParsing) {
  Arguments arguments("-scale_z 2 -help -set_user_data 3");
  LASpointTransform transform;
  testing::internal::CaptureStderr();
  EXPECT_TRUE(transform.parse(arguments.argc(), arguments.argv()));
  const std::string usage = testing::internal::GetCapturedStderr();
  EXPECT_EQ(usage.rfind("Transform coordinates.\n  -translate_x -2.5\n", 0), 0u);
  EXPECT_NE(usage.find("  -classify_intensity_below_as 30 11 \n"), std::string::npos);
  EXPECT_EQ(usage.substr(usage.size() - 27), "  -copy_intensity_into_NIR\n");
  EXPECT_EQ(std::count(usage.begin(), usage.end(), '\n'), 88);
  EXPECT_EQ(arguments.left(), "-help -set_user_data 3");
}

struct EchoCase {
  std::string options;
  std::string echo;
};

TEST(LASpointTransform, EchoParsesIntoATransformThatEchoesAndChangesTheSame) {
  const EchoCase cases[] = {
      {"-translate_x -2.5", "-translate_x -2.5 "},
      {"-translate_y 4834500.25", "-translate_y 4834500.25 "},  // digits beyond "%g" are kept
      {"-translate_z 0.1", "-translate_z 0.1 "},
      {"-translate_xyz 0.5 0.5 0", "-translate_xyz 0.5 0.5 0 "},
      {"-translate_then_scale_x 1 2", "-translate_then_scale_x 1 2 "},
      {"-translate_then_scale_y -0.5 1.001", "-translate_then_scale_y -0.5 1.001 "},
      {"-translate_then_scale_z 1 2", "-translate_then_scale_z 1 2 "},
      {"-scale_x 0.3048", "-scale_x 0.3048 "},
      {"-scale_y 2", "-scale_y 2 "},
      {"-scale_z 0.3048", "-scale_z 0.3048 "},
      {"-scale_xyz 1 2 3", "-scale_xyz 1 2 3 "},
      {"-rotate_xy 15.0 620000 4100000", "-rotate_xy 15 620000 4.1e+06 "},
      {"-rotate_xz 15.0 1.5 -2", "-rotate_xz 15 1.5 -2 "},
      {"-clamp_z 70.5 72.5", "-clamp_z 70.5 72.5 "},
      {"-clamp_z_below 70.5", "-clamp_z_below 70.5 "},
      {"-clamp_z_above 72.5", "-clamp_z_above 72.5 "},
      {"-copy_attribute_into_z 0", "-copy_attribute_into_z 0 "},
      {"-copy_intensity_into_z", "-copy_intensity_into_z "},
      {"-switch_x_y", "-switch_x_y "},
      {"-switch_x_z", "-switch_x_z "},
      {"-switch_y_z", "-switch_y_z "},
      {"-translate_raw_x -7", "-translate_raw_x -7 "},
      {"-translate_raw_y 7", "-translate_raw_y 7 "},
      {"-translate_raw_z 20", "-translate_raw_z 20 "},
      {"-translate_raw_xyz 1 1 0", "-translate_raw_xyz 1 1 0 "},
      {"-translate_raw_xy_at_random 2 2", "-translate_raw_xy_at_random 2 2 "},
      {"-clamp_raw_z 500 800", "-clamp_raw_z 500 800 "},
      {"-set_intensity 70000", "-set_intensity 65535 "},
      {"-scale_intensity 2.5", "-scale_intensity 2.5 "},
      {"-translate_intensity 50", "-translate_intensity 50 "},
      {"-translate_then_scale_intensity 0.5 3.1", "-translate_then_scale_intensity 0.5 3.1 "},
      {"-clamp_intensity 0 255", "-clamp_intensity 0 255 "},
      {"-clamp_intensity_below -4", "-clamp_intensity_below 0 "},
      {"-clamp_intensity_above 255", "-clamp_intensity_above 255 "},
      {"-copy_RGB_into_intensity", "-copy_RGB_into_intensity "},
      {"-copy_R_into_intensity", "-copy_R_into_intensity "},
      {"-copy_G_into_intensity", "-copy_G_into_intensity "},
      {"-copy_B_into_intensity", "-copy_B_into_intensity "},
      {"-copy_NIR_into_intensity", "-copy_NIR_into_intensity "},
      {"-copy_attribute_into_intensity 0", "-copy_attribute_into_intensity 0 "},
      // "%g" would give 1.94444, which turns 45 into 87 instead of 88.
      {"-scale_scan_angle 1.944445", "-scale_scan_angle 1.944445 "},
      {"-translate_scan_angle -5", "-translate_scan_angle -5 "},
      {"-translate_then_scale_scan_angle -0.5 2.1", "-translate_then_scale_scan_angle -0.5 2.1 "},
      {"-repair_zero_returns", "-repair_zero_returns "},
      {"-set_return_number 1", "-set_return_number 1 "},
      {"-set_extended_return_number 10", "-set_extended_return_number 10 "},
      {"-change_return_number_from_to 2 1", "-change_return_number_from_to 2 1 "},
      {"-set_number_of_returns 15", "-set_number_of_returns 15 "},
      {"-set_extended_number_of_returns 15", "-set_extended_number_of_returns 15 "},
      {"-change_number_of_returns_from_to 0 2", "-change_number_of_returns_from_to 0 2 "},
      {"-set_classification 300", "-set_classification 255 "},
      {"-set_classification_to 2", "-set_classification 2 "},
      {"-set_extended_classification 0", "-set_extended_classification 0 "},
      {"-change_classification_from_to 2 40", "-change_classification_from_to 2 40 "},
      {"-change_extended_classification_from_to 6 46", "-change_extended_classification_from_to 6 46 "},
      {"-classify_z_below_as -5.0 7", "-classify_z_below_as -5 7 "},
      {"-classify_z_above_as 70.0 7", "-classify_z_above_as 70 7 "},
      {"-classify_z_between_as 2.0 5.0 4", "-classify_z_between_as 2 5 4 "},
      {"-classify_intensity_above_as 200 9", "-classify_intensity_above_as 200 9 "},
      {"-classify_intensity_below_as 30 11", "-classify_intensity_below_as 30 11 "},
      {"-classify_intensity_between_as 500 900 15", "-classify_intensity_between_as 500 900 15 "},
      {"-move_ancient_to_extended_classification", "-move_ancient_to_extended_classification "},
      {"-set_withheld_flag 0", "-set_withheld_flag 0 "},
      {"-set_synthetic_flag 5", "-set_synthetic_flag 1 "},
      {"-set_keypoint_flag 1", "-set_keypoint_flag 1 "},
      {"-set_overlap_flag 1", "-set_overlap_flag 1 "},
      {"-set_extended_overlap_flag 2", "-set_overlap_flag 1 "},
      {"-set_scanner_channel 2", "-set_scanner_channel 2 "},
      {"-set_extended_scanner_channel 7", "-set_scanner_channel 3 "},
      {"-copy_user_data_into_scanner_channel", "-copy_user_data_into_scanner_channel "},
      {"-set_user_data 0", "-set_user_data 0 "},
      {"-scale_user_data 1.5", "-scale_user_data 1.5 "},
      {"-change_user_data_from_to 23 26", "-change_user_data_from_to 23 26 "},
      {"-copy_attribute_into_user_data 1", "-copy_attribute_into_user_data 1 "},
      {"-copy_classification_into_user_data", "-copy_classification_into_user_data "},
      {"-set_point_source 500", "-set_point_source 500 "},
      {"-change_point_source_from_to 1023 1024", "-change_point_source_from_to 1023 1024 "},
      {"-copy_user_data_into_point_source", "-copy_user_data_into_point_source "},
      {"-copy_scanner_channel_into_point_source", "-copy_scanner_channel_into_point_source "},
      {"-merge_scanner_channel_into_point_source", "-merge_scanner_channel_into_point_source "},
      {"-split_scanner_channel_from_point_source", "-split_scanner_channel_from_point_source "},
      {"-bin_Z_into_point_source 200", "-bin_Z_into_point_source 200 "},
      {"-bin_abs_scan_angle_into_point_source 2", "-bin_abs_scan_angle_into_point_source 2 "},
      {"-set_gps_time 113556962.005715", "-set_gps_time 113556962.005715 "},
      {"-translate_gps_time 40.50", "-translate_gps_time 40.5 "},
      {"-adjusted_to_week", "-adjusted_to_week "},
      {"-week_to_adjusted 1671", "-week_to_adjusted 1671 "},
      {"-set_RGB 255 0 127", "-set_RGB 255 0 127 "},
      {"-set_RGB_of_class 9 0 0 255", "-set_RGB_of_class 9 0 0 255 "},
      {"-scale_RGB 2 4 2", "-scale_RGB 2 4 2 "},
      {"-scale_rgb 0.5 1 2", "-scale_RGB 0.5 1 2 "},
      {"-scale_RGB_down", "-scale_RGB_down "},
      {"-scale_rgb_down", "-scale_RGB_down "},
      {"-scale_RGB_up", "-scale_RGB_up "},
      {"-scale_rgb_up", "-scale_RGB_up "},
      {"-switch_R_G", "-switch_R_G "},
      {"-switch_R_B", "-switch_R_B "},
      {"-switch_G_B", "-switch_G_B "},
      {"-copy_R_into_NIR", "-copy_R_into_NIR "},
      {"-copy_G_into_NIR", "-copy_G_into_NIR "},
      {"-copy_B_into_NIR", "-copy_B_into_NIR "},
      {"-copy_intensity_into_NIR", "-copy_intensity_into_NIR "},
      {"-flip_waveform_direction", "-flip_waveform_direction "},
      {"-scale_z 2 -translate_raw_xy_at_random 3 1 -set_classification 40",
       "-scale_z 2 -translate_raw_xy_at_random 3 1 -set_classification 40 "},
  };
  const auto originals = test::assorted_points();
  for (const EchoCase& c : cases) {
    LASpointTransform first;
    parsed(first, c.options);
    const std::string echo = first.echo();
    EXPECT_EQ(echo, c.echo) << c.options;
    LASpointTransform second;
    ASSERT_TRUE(second.parse_text(echo.c_str())) << echo;
    EXPECT_EQ(second.echo(), echo) << c.options;
    for (const auto& original : originals) {
      auto a = test::make_point(original->extended_form ? 8 : 3);
      auto b = test::make_point(original->extended_form ? 8 : 3);
      *a = *original;
      *b = *original;
      first.apply(*a);
      second.apply(*b);
      ASSERT_EQ(test::point_bytes(*a), test::point_bytes(*b)) << c.options;
    }
  }
}

}  // namespace
}  // namespace tinrise
