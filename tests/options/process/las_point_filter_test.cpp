#include "options/process/las_point_filter.h"

#include <gtest/gtest.h>

#include <climits>

#include "las/core/las_attribute.h"
#include "point_fixture.h"

namespace tinrise {
namespace {

using test::Arguments;
using test::Field;
namespace fields = test::fields;

// Parses `options` and returns the values of `field` that survive the filter,
// in order. Fails the test when the parse fails or leaves arguments behind.
std::vector<double> survivors(const std::string& options, const Field& field, const std::vector<double>& values,
                              int point_type = 3) {
  Arguments arguments(options);
  LASpointFilter filter;
  EXPECT_TRUE(filter.parse(arguments.argc(), arguments.argv())) << options;
  EXPECT_EQ(arguments.left(), "") << options;
  std::vector<double> kept;
  for (double value : values) {
    auto point = test::make_point(point_type);
    field.set(*point, value);
    if (!filter.drops(*point)) kept.push_back(value);
  }
  return kept;
}

struct SurvivorCase {
  std::string options;
  const Field& field;
  std::vector<double> values;
  std::vector<double> kept;
};

TEST(LASpointFilter, KeepsThePointsEachOptionLetsThrough) {
  const std::vector<double> returns = {11, 12, 22, 13, 23, 33};  // return r of n as r * 10 + n
  const std::vector<double> counts = {11, 14, 15, 17, 10};
  const SurvivorCase cases[] = {
      // Coordinate intervals are half open: the minimum belongs, the maximum does not.
      {"-keep_x 10 20", fields::x, {9.75, 10, 19.75, 20}, {10, 19.75}},
      {"-drop_x 10 20", fields::x, {9.75, 10, 19.75, 20}, {9.75, 20}},
      {"-drop_x_below 10", fields::x, {9.75, 10}, {10}},
      {"-drop_x_above 20", fields::x, {19.75, 20}, {19.75}},
      {"-keep_y 10 20", fields::y, {9.75, 10, 19.75, 20}, {10, 19.75}},
      {"-drop_y 10 20", fields::y, {9.75, 10, 19.75, 20}, {9.75, 20}},
      {"-drop_y_below -3", fields::y, {-3.25, -3}, {-3}},
      {"-drop_y_above 20", fields::y, {19.75, 20}, {19.75}},
      {"-keep_z 10 20", fields::z, {9.75, 10, 19.75, 20}, {10, 19.75}},
      {"-drop_z 10 20", fields::z, {9.75, 10, 19.75, 20}, {9.75, 20}},
      {"-drop_z_below 10", fields::z, {9.75, 10}, {10}},
      {"-drop_z_above 20", fields::z, {19.75, 20}, {19.75}},
      {"-keep_z_above 10", fields::z, {9.75, 10}, {10}},
      {"-keep_z_below 20", fields::z, {19.75, 20}, {19.75}},
      {"-keep_X 10 20", fields::X, {9, 10, 19, 20}, {10, 19}},
      {"-drop_X 10 20", fields::X, {9, 10, 19, 20}, {9, 20}},
      {"-keep_Y -5 5", fields::Y, {-6, -5, 4, 5}, {-5, 4}},
      {"-drop_Y -5 5", fields::Y, {-6, -5, 4, 5}, {-6, 5}},
      {"-keep_Z 10 20", fields::Z, {9, 10, 19, 20}, {10, 19}},
      {"-drop_Z 10 20", fields::Z, {9, 10, 19, 20}, {9, 20}},
      {"-drop_X_below 10", fields::X, {9, 10}, {10}},
      {"-drop_X_above 10", fields::X, {9, 10}, {9}},
      {"-drop_Y_below 10", fields::Y, {9, 10}, {10}},
      {"-drop_Y_above 10", fields::Y, {9, 10}, {9}},
      {"-drop_Z_below 10", fields::Z, {9, 10}, {10}},
      {"-drop_Z_above 10", fields::Z, {9, 10}, {9}},
      {"-keep_Z_above 10", fields::Z, {9, 10}, {10}},
      {"-keep_Z_below 10", fields::Z, {9, 10}, {9}},

      {"-keep_first", fields::returns, returns, {11, 12, 13}},
      {"-first_only", fields::returns, returns, {11, 12, 13}},
      {"-keep_first_of_many", fields::returns, returns, {12, 13}},
      {"-keep_last", fields::returns, returns, {11, 22, 33}},
      {"-last_only", fields::returns, returns, {11, 22, 33}},
      {"-keep_last_of_many", fields::returns, returns, {22, 33}},
      {"-keep_middle", fields::returns, returns, {23}},
      {"-keep_second_last", fields::returns, returns, {12, 23}},
      {"-drop_first", fields::returns, returns, {22, 23, 33}},
      {"-drop_first_of_many", fields::returns, returns, {11, 22, 23, 33}},
      {"-drop_last", fields::returns, returns, {12, 13, 23}},
      {"-drop_last_of_many", fields::returns, returns, {11, 12, 13, 23}},
      {"-drop_middle", fields::returns, returns, {11, 12, 22, 13, 33}},
      {"-drop_second_last", fields::returns, returns, {11, 22, 13, 33}},
      {"-keep_single", fields::returns, returns, {11}},
      {"-keep_double", fields::returns, returns, {12, 22}},
      {"-keep_triple", fields::returns, returns, {13, 23, 33}},
      {"-keep_quadruple", fields::returns, counts, {14}},
      {"-keep_quintuple", fields::returns, counts, {15}},
      {"-keep_number_of_returns 7", fields::returns, counts, {17}},
      {"-drop_single", fields::returns, counts, {14, 15, 17, 10}},
      {"-drop_double", fields::returns, returns, {11, 13, 23, 33}},
      {"-drop_triple", fields::returns, returns, {11, 12, 22}},
      {"-drop_quadruple", fields::returns, counts, {11, 15, 17, 10}},
      {"-drop_quintuple", fields::returns, counts, {11, 14, 17, 10}},
      {"-drop_number_of_returns 0", fields::returns, counts, {11, 14, 15, 17}},
      {"-keep_return 1 3", fields::returns, {1, 11, 22, 33, 44}, {11, 33}},
      {"-drop_return 1", fields::returns, {1, 11, 22, 33, 44, 77}, {1, 22, 33, 44, 77}},  // return 0 stays
      {"-keep_return_mask 5", fields::returns, {1, 11, 22, 33}, {1, 22}},

      {"-drop_scan_direction 1", fields::flags, {0, 32}, {0}},
      {"-keep_edge_of_flight_line", fields::flags, {0, 16}, {16}},
      {"-keep_synthetic", fields::flags, {0, 1, 2, 4, 8}, {1}},
      {"-keep_keypoint", fields::flags, {0, 1, 2, 4, 8}, {2}},
      {"-keep_withheld", fields::flags, {0, 1, 2, 4, 8}, {4}},
      {"-keep_overlap", fields::flags, {0, 1, 2, 4, 8}, {8}},
      {"-drop_synthetic", fields::flags, {0, 1, 2, 4, 8}, {0, 2, 4, 8}},
      {"-drop_keypoint", fields::flags, {0, 1, 2, 4, 8}, {0, 1, 4, 8}},
      {"-drop_withheld", fields::flags, {0, 1, 2, 4, 8}, {0, 1, 2, 8}},
      {"-drop_overlap", fields::flags, {0, 1, 2, 4, 8}, {0, 1, 2, 4}},
      {"-keep_scanner_channel 2", fields::scanner_channel, {0, 1, 2, 3}, {2}},
      {"-drop_scanner_channel 2", fields::scanner_channel, {0, 1, 2, 3}, {0, 1, 3}},

      // Intensity, user data, point source, scan angle and GPS time bounds are inclusive.
      {"-keep_intensity 20 380", fields::intensity, {19, 20, 380, 381}, {20, 380}},
      {"-keep_intensity_above 20", fields::intensity, {20, 21}, {21}},
      {"-keep_intensity_below 380", fields::intensity, {379, 380}, {379}},
      {"-drop_intensity_above 380", fields::intensity, {380, 381}, {380}},
      {"-drop_intensity_below 20", fields::intensity, {19, 20}, {20}},
      {"-drop_intensity_between 4000 5000", fields::intensity, {3999, 4000, 5000, 5001}, {3999, 5001}},

      {"-keep_class 2 8", fields::classification, {1, 2, 8, 9}, {2, 8}},
      {"-keep_classification 2 8", fields::classification, {1, 2, 8, 9}, {2, 8}},
      {"-drop_class 4 2", fields::classification, {2, 3, 4}, {3}},
      {"-drop_classification 31", fields::classification, {30, 31}, {30}},
      {"-drop_classification_mask 20", fields::classification, {2, 3, 4}, {3}},
      {"-drop_class 2 -drop_classification_mask 16", fields::classification, {2, 3, 4}, {3}},
      {"-keep_extended_class 43", fields::extended_classification, {2, 43, 44}, {43}},
      {"-drop_extended_class 129 135", fields::extended_classification, {129, 130, 135}, {130}},
      {"-keep_extended_classification 0 255", fields::extended_classification, {0, 1, 255}, {0, 255}},
      {"-drop_extended_classification 7", fields::extended_classification, {7, 8}, {8}},
      {"-drop_extended_classification_mask 0 0 0 0 0 0 0 4", fields::extended_classification, {1, 2, 3}, {1, 3}},
      {"-drop_extended_classification_mask 2147483648 0 0 0 0 0 0 0", fields::extended_classification, {254, 255},
       {254}},
      // Class lists read the legacy field, extended class lists the extended
      // one (both classes written as extended * 100 + legacy).
      {"-keep_class 2", fields::both_classes, {4002, 200, 2}, {4002, 2}},
      {"-keep_extended_class 40", fields::both_classes, {4002, 40, 4000}, {4002, 4000}},

      {"-keep_user_data 1", fields::user_data, {0, 1, 2}, {1}},
      {"-drop_user_data 255", fields::user_data, {254, 255}, {254}},
      {"-keep_user_data_below 50", fields::user_data, {49, 50}, {49}},
      {"-keep_user_data_above 150", fields::user_data, {150, 151}, {151}},
      {"-keep_user_data_between 10 20", fields::user_data, {9, 10, 20, 21}, {10, 20}},
      {"-drop_user_data_below 1", fields::user_data, {0, 1}, {1}},
      {"-drop_user_data_above 100", fields::user_data, {100, 101}, {100}},
      {"-drop_user_data_between 10 40", fields::user_data, {9, 10, 40, 41}, {9, 41}},

      {"-keep_point_source 3", fields::point_source, {2, 3, 4}, {3}},
      {"-keep_point_source 3 5 7", fields::point_source, {3, 4, 5, 6, 7}, {3, 5, 7}},
      {"-drop_point_source 27 28", fields::point_source, {26, 27, 28}, {26}},
      {"-keep_point_source_between 2 6", fields::point_source, {1, 2, 6, 7}, {2, 6}},
      {"-drop_point_source_between 17 21", fields::point_source, {16, 17, 21, 22}, {16, 22}},
      {"-drop_point_source_below 6", fields::point_source, {5, 6}, {6}},
      {"-drop_point_source_above 15", fields::point_source, {15, 16}, {15}},

      {"-keep_scan_angle -15 15", fields::scan_angle, {-16, -15, 15, 16}, {-15, 15}},
      {"-drop_abs_scan_angle_above 15", fields::scan_angle, {-16, -15, 15, 16}, {-15, 15}},
      {"-drop_abs_scan_angle_below 2", fields::scan_angle, {-2, -1, 0, 1, 2}, {-2, 2}},
      {"-drop_scan_angle_below -15", fields::scan_angle, {-16, -15}, {-15}},
      {"-drop_scan_angle_above 15", fields::scan_angle, {15, 16}, {15}},
      {"-drop_scan_angle_between -25 -23", fields::scan_angle, {-26, -25, -23, -22}, {-26, -22}},

      {"-keep_gps_time 11.125 130.725", fields::gps_time, {11, 11.125, 130.725, 131}, {11.125, 130.725}},
      {"-keep_gpstime 11.125 130.725", fields::gps_time, {11, 11.125, 130.725, 131}, {11.125, 130.725}},
      {"-drop_gps_time_below 100", fields::gps_time, {99.5, 100}, {100}},
      {"-drop_gpstime_below 100", fields::gps_time, {99.5, 100}, {100}},
      {"-drop_gps_time_above 100", fields::gps_time, {100, 100.5}, {100}},
      {"-drop_gpstime_above 100", fields::gps_time, {100, 100.5}, {100}},
      {"-drop_gps_time_between 22 48", fields::gps_time, {21.5, 22, 48, 48.5}, {21.5, 48.5}},
      {"-drop_gpstime_between 22 48", fields::gps_time, {21.5, 22, 48, 48.5}, {21.5, 48.5}},

      {"-keep_RGB_red 30 100", fields::red, {29, 30, 100, 101}, {30, 100}},
      {"-keep_RGB_green 100 30", fields::green, {29, 30, 100, 101}, {30, 100}},  // bounds sorted
      {"-keep_RGB_blue 0 0", fields::blue, {0, 1}, {0}},
      {"-keep_RGB_nir 64 127", fields::nir, {63, 64, 127, 128}, {64, 127}},

      {"-keep_wavepacket 1", fields::wave_packet_index, {0, 1, 2}, {1}},
      {"-drop_wavepacket 3", fields::wave_packet_index, {2, 3}, {2}},
  };
  for (const SurvivorCase& c : cases) {
    EXPECT_EQ(survivors(c.options, c.field, c.values), c.kept) << c.options;
  }
}

TEST(LASpointFilter, PointsWithoutGpsTimePassEveryTimeCondition) {
  for (const char* options : {"-drop_gps_time_below 100", "-drop_gps_time_above -1", "-keep_gps_time 1 2",
                              "-drop_gps_time_between -1 1"}) {
    EXPECT_EQ(survivors(options, fields::gps_time, {0, 50}, /*point_type=*/2), (std::vector<double>{0, 50}))
        << options;
  }
}

struct AreaCase {
  std::string options;
  double x, y, z;
  bool dropped;
};

TEST(LASpointFilter, AreasAndBoxes) {
  const AreaCase cases[] = {
      {"-keep_tile 10 20 5", 10, 20, 0, false},
      {"-keep_tile 10 20 5", 14.75, 24.75, 0, false},
      {"-keep_tile 10 20 5", 15, 22, 0, true},
      {"-keep_tile 10 20 5", 12, 25, 0, true},
      {"-keep_tile 10 20 5", 9.75, 22, 0, true},
      {"-keep_circle 10 20 5", 13, 24, 0, true},  // exactly on the circle
      {"-keep_circle 10 20 5", 13, 23.75, 0, false},
      {"-keep_xy 10 20 15 25", 10, 20, 0, false},
      {"-keep_xy 10 20 15 25", 15, 20, 0, true},
      {"-keep_xy 10 20 15 25", 10, 25, 0, true},
      {"-drop_xy 10 20 15 25", 10, 20, 0, true},
      {"-drop_xy 10 20 15 25", 15, 20, 0, false},
      {"-keep_xyz 10 20 30 15 25 35", 10, 20, 30, false},
      {"-keep_xyz 10 20 30 15 25 35", 10, 20, 35, true},
      {"-keep_xyz 10 20 30 15 25 35", 10, 20, 29.75, true},
      {"-drop_xyz 10 20 30 15 25 35", 10, 20, 30, true},
      {"-drop_xyz 10 20 30 15 25 35", 10, 20, 35, false},
  };
  for (const AreaCase& c : cases) {
    Arguments arguments(c.options);
    LASpointFilter filter;
    ASSERT_TRUE(filter.parse(arguments.argc(), arguments.argv()));
    auto point = test::make_point();
    fields::x.set(*point, c.x);
    fields::y.set(*point, c.y);
    fields::z.set(*point, c.z);
    EXPECT_EQ(filter.drops(*point), c.dropped) << c.options << " at " << c.x << " " << c.y << " " << c.z;
  }
  // The integer rectangle, half open like the real one.
  Arguments arguments("-keep_XY 10 20 15 25");
  LASpointFilter filter;
  ASSERT_TRUE(filter.parse(arguments.argc(), arguments.argv()));
  auto point = test::make_point();
  const std::int32_t corners[][3] = {{10, 20, 0}, {14, 24, 0}, {15, 20, 1}, {10, 25, 1}, {9, 20, 1}, {10, 19, 1}};
  for (const auto& corner : corners) {
    point->X = corner[0];
    point->Y = corner[1];
    EXPECT_EQ(filter.drops(*point), corner[2] != 0) << corner[0] << " " << corner[1];
  }
}

struct VegetationCase {
  std::string options;
  int red, green, blue, nir, intensity;
  bool dropped;
};

TEST(LASpointFilter, VegetationIndexFromTheChannelsEachOptionNames) {
  const VegetationCase cases[] = {
      {"-keep_NDVI 0.2 0.7", 100, 0, 0, 300, 0, false},   // (300 - 100) / 400 = 0.5
      {"-keep_NDVI 0.2 0.7", 100, 0, 0, 100, 0, true},    // 0
      {"-keep_NDVI 0.7 0.2", 100, 0, 0, 300, 0, false},   // bounds sorted
      {"-keep_NDVI 0.6 0.7", 0, 0, 0, 0, 0, false},       // no index without light: kept
      {"-keep_NDVI_green_is_NIR 0.4 0.6", 100, 300, 0, 0, 0, false},
      {"-keep_NDVI_green_is_NIR 0.4 0.6", 100, 0, 0, 300, 0, true},
      {"-keep_NDVI_blue_is_NIR 0.4 0.6", 100, 0, 300, 0, 0, false},
      {"-keep_NDVI_from_CIR -0.1 0.5", 300, 100, 0, 0, 0, false},  // (red - green) / (red + green) = 0.5
      {"-keep_NDVI_from_CIR -0.1 0.4", 300, 100, 0, 0, 0, true},
      {"-keep_NDVI_intensity_is_NIR 0.4 0.8", 100, 0, 0, 0, 300, false},
      {"-keep_NDVI_intensity_is_NIR 0.4 0.8", 300, 0, 0, 0, 100, true},
  };
  for (const VegetationCase& c : cases) {
    Arguments arguments(c.options);
    LASpointFilter filter;
    ASSERT_TRUE(filter.parse(arguments.argc(), arguments.argv()));
    auto point = test::make_point(8);
    point->rgb[0] = c.red;
    point->rgb[1] = c.green;
    point->rgb[2] = c.blue;
    point->rgb[3] = c.nir;
    point->intensity = c.intensity;
    EXPECT_EQ(filter.drops(*point), c.dropped) << c.options << " on " << c.red << " " << c.green << " " << c.blue
                                               << " " << c.nir << " " << c.intensity;
  }
}

TEST(LASpointFilter, AttributeConditionsReadTheScaledValue) {
  LASextraAttributeSet attributes;
  LASextraAttribute scaled(4, "height", "tenths");  // I16
  scaled.set_scale(0.1);
  attributes.add_attribute(scaled);
  LASextraAttribute plain(10, "plain", "");  // F64 whose stored scale says 0 but is not marked valid
  plain.scale[0] = 0.0;
  attributes.add_attribute(plain);

  struct Case {
    std::string options;
    std::int16_t raw;
    double plain;
    bool dropped;
  };
  const Case cases[] = {
      {"-keep_attribute_above 0 5.0", 50, 0, true},
      {"-keep_attribute_above 0 5.0", 51, 0, false},
      {"-drop_attribute_above 0 5.0", 51, 0, true},
      {"-keep_attribute_below 0 5.0", 50, 0, true},
      {"-keep_attribute_below 0 5.0", 49, 0, false},
      {"-drop_attribute_below 1 1.5", 0, 1.25, true},
      {"-drop_attribute_below 1 1.5", 0, 1.5, false},
      {"-keep_attribute_between 0 1 2", 10, 0, false},
      {"-keep_attribute_between 0 1 2", 21, 0, true},
      {"-drop_attribute_between 0 1 2", 20, 0, true},
      {"-drop_attribute_below 7 1", 100, 100, true},  // no attribute 7: its value is 0
      {"-drop_attribute_below -1 1", 100, 100, true},
  };
  for (const Case& c : cases) {
    Arguments arguments(c.options);
    LASpointFilter filter;
    ASSERT_TRUE(filter.parse(arguments.argc(), arguments.argv()));
    LASpoint point;
    ASSERT_TRUE(point.init(&test::exact_quantizer(), 1, 28 + 10, &attributes));
    std::memcpy(point.extra_bytes, &c.raw, 2);
    std::memcpy(point.extra_bytes + 2, &c.plain, 8);
    EXPECT_EQ(filter.drops(point), c.dropped) << c.options << " raw " << c.raw << " plain " << c.plain;
  }
}

// Runs the filter over points made by `set` for indices 0 .. count-1 and
// returns the indices it keeps.
template <class Set>
std::vector<int> kept_indices(LASpointFilter& filter, int count, Set set) {
  std::vector<int> kept;
  for (int i = 0; i < count; i++) {
    auto point = test::make_point();
    set(*point, i);
    if (!filter.drops(*point)) kept.push_back(i);
  }
  return kept;
}

LASpointFilter& parsed(LASpointFilter& filter, const std::string& options) {
  Arguments arguments(options);
  EXPECT_TRUE(filter.parse(arguments.argc(), arguments.argv())) << options;
  return filter;
}

TEST(LASpointFilter, EveryNthCountsAcrossResets) {
  const auto nothing = [](LASpoint&, int) {};
  LASpointFilter one, three, drop_three;
  EXPECT_EQ(kept_indices(parsed(one, "-keep_every_nth 1"), 4, nothing), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(kept_indices(parsed(three, "-keep_every_nth 3"), 7, nothing), (std::vector<int>{2, 5}));
  EXPECT_EQ(kept_indices(parsed(drop_three, "-drop_every_nth 3"), 6, nothing), (std::vector<int>{0, 1, 3, 4}));
  three.reset();  // the count goes on: point 7 of the run is the 8th, point 8 the 9th
  EXPECT_EQ(kept_indices(three, 3, nothing), (std::vector<int>{1}));
}

TEST(LASpointFilter, ScanDirectionChangeDropsTheFirstPointAndRepeats) {
  const int directions[] = {0, 0, 1, 1, 0};
  const auto set = [&](LASpoint& p, int i) { p.scan_direction_flag = directions[i]; };
  LASpointFilter filter;
  EXPECT_EQ(kept_indices(parsed(filter, "-keep_scan_direction_change"), 5, set), (std::vector<int>{2, 4}));
  filter.reset();
  EXPECT_EQ(kept_indices(filter, 5, set), (std::vector<int>{2, 4}));
}

TEST(LASpointFilter, RandomFractionFollowsTheSharedSequenceFromItsSeed) {
  // The generator restarts from the last drawn value for every point.
  const auto expected = [](std::uint32_t seed, float fraction, int count) {
    std::vector<int> kept;
    std::uint32_t s = seed;
    for (int i = 0; i < count; i++) {
      s = s * 214013u + 2531011u;
      s = (s >> 16) & 32767u;
      if (!(static_cast<float>(s) * (1.0f / 32767) > fraction)) kept.push_back(i);
    }
    return kept;
  };
  const auto nothing = [](LASpoint&, int) {};
  LASpointFilter unseeded, seeded, other;
  const std::vector<int> first = kept_indices(parsed(unseeded, "-keep_random_fraction 0.5"), 200, nothing);
  EXPECT_EQ(first, expected(0, 0.5f, 200));
  EXPECT_GT(first.size(), 60u);
  EXPECT_LT(first.size(), 140u);
  unseeded.reset();
  EXPECT_EQ(kept_indices(unseeded, 200, nothing), first);
  EXPECT_EQ(kept_indices(parsed(seeded, "-keep_random_fraction 0.5 4711"), 200, nothing), expected(4711, 0.5f, 200));
  EXPECT_NE(expected(4711, 0.5f, 200), first);
  // Seed 0 is the default; the argument 0 is not taken as a seed.
  Arguments arguments("-keep_random_fraction 0.5 0");
  ASSERT_TRUE(other.parse(arguments.argc(), arguments.argv()));
  EXPECT_EQ(arguments.left(), "0");
  EXPECT_EQ(kept_indices(other, 200, nothing), first);
}

TEST(LASpointFilter, ThinWithGridKeepsTheFirstPointOfEveryCell) {
  const double xy[][2] = {{0.25, 0.25}, {0.75, 1.0}, {0.75, 0.75}, {-0.25, 0.25}, {-0.5, 0.5}, {1024.5, 0.5},
                          {0.5, 0.5},   {0.25, -0.25}};
  const auto set = [&](LASpoint& p, int i) {
    fields::x.set(p, xy[i][0]);
    fields::y.set(p, xy[i][1]);
  };
  LASpointFilter filter;
  EXPECT_EQ(kept_indices(parsed(filter, "-thin_with_grid 1.0"), 8, set), (std::vector<int>{0, 1, 3, 5, 7}));
  filter.reset();
  EXPECT_EQ(kept_indices(filter, 8, set), (std::vector<int>{0, 1, 3, 5, 7}));

  // Cells as far apart as the stored integers allow cost no more than near ones.
  LASpointFilter far;
  parsed(far, "-thin_with_grid 0.001");
  const std::int32_t raw[][2] = {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MAX},
                                 {INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MAX}};
  const auto set_raw = [&](LASpoint& p, int i) {
    p.X = raw[i][0];
    p.Y = raw[i][1];
  };
  EXPECT_EQ(kept_indices(far, 5, set_raw), (std::vector<int>{0, 1, 2, 3}));
}

TEST(LASpointFilter, ThinWithTimeKeepsTheFirstPulseOrPointOfEveryBucket) {
  const double times[] = {0.5, 0.5, 0.75, 1.25, 1.25, -0.5, -0.25};
  const auto set = [&](LASpoint& p, int i) { p.gps_time = times[i]; };
  LASpointFilter pulses, alias, points;
  EXPECT_EQ(kept_indices(parsed(pulses, "-thin_pulses_with_time 1"), 7, set), (std::vector<int>{0, 1, 3, 4, 5}));
  EXPECT_EQ(kept_indices(parsed(alias, "-thin_with_time 1"), 7, set), (std::vector<int>{0, 1, 3, 4, 5}));
  EXPECT_EQ(kept_indices(parsed(points, "-thin_points_with_time 1"), 7, set), (std::vector<int>{0, 3, 5}));
  points.reset();
  EXPECT_EQ(kept_indices(points, 7, set), (std::vector<int>{0, 3, 5}));
}

TEST(LASpointFilter, CombinationsAskBothParts) {
  const auto set_z = [](LASpoint& p, int i) { fields::z.set(p, i * 2.5); };  // z = 0, 2.5, ... 12.5
  LASpointFilter both, either, top_level, sources;
  // No z is below 5 and at or above 10 at once.
  EXPECT_EQ(kept_indices(parsed(both, "-drop_z_below 5 -drop_z_above 10 -filter_and"), 6, set_z),
            (std::vector<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(kept_indices(parsed(either, "-drop_z_below 5 -drop_z_above 10 -filter_or"), 6, set_z),
            (std::vector<int>{2, 3}));
  EXPECT_EQ(kept_indices(parsed(top_level, "-drop_z_below 5 -drop_z_above 10"), 6, set_z),
            (std::vector<int>{2, 3}));
  EXPECT_EQ(both.condition_count(), 1u);
  EXPECT_STREQ(both.condition(0).name(), "filter_and");
  // A drop of "class 2 and above z 5" on top of a plain z bound.
  const auto set_class_z = [](LASpoint& p, int i) {
    p.classification = i % 2 ? 2 : 1;
    fields::z.set(p, i * 2.5);
  };
  EXPECT_EQ(kept_indices(parsed(sources, "-drop_z_above 12 -keep_class 2 -drop_z_below 5 -filter_or"), 6, set_class_z),
            (std::vector<int>{3}));
}

TEST(LASpointFilter, CountsDropsOfTheFirstConditionThatDropsAndReportsFieldsRead) {
  LASpointFilter filter;
  parsed(filter, "-drop_z_below 5 -keep_intensity 1 3 -keep_class 2");
  ASSERT_EQ(filter.condition_count(), 3u);
  EXPECT_EQ(filter.needed_fields(), 0x1u | 0x2u | 0x8u);
  const auto set = [](LASpoint& p, int i) {
    fields::z.set(p, i < 2 ? 0 : 10);  // points 0 and 1 below 5
    p.intensity = i < 4 ? 9 : 2;       // points 2 and 3 outside 1..3
    p.classification = i == 4 ? 3 : 2;  // point 4 of class 3
  };
  EXPECT_EQ(kept_indices(filter, 6, set), (std::vector<int>{5}));
  EXPECT_EQ(filter.drop_count(0), 2u);
  EXPECT_EQ(filter.drop_count(1), 2u);
  EXPECT_EQ(filter.drop_count(2), 1u);

  struct FieldsCase {
    std::string options;
    std::uint32_t fields;
  };
  const FieldsCase field_cases[] = {
      {"-keep_first -keep_xy 0 0 1 1 -keep_every_nth 2 -thin_with_grid 1", 0},
      {"-keep_z 0 1", 0x1},
      {"-keep_withheld -keep_scan_direction_change", 0x4},
      {"-drop_scan_angle_above 3", 0x10},
      {"-keep_user_data 3", 0x20},
      {"-keep_point_source 3 4", 0x40},
      {"-thin_pulses_with_time 1 -drop_gps_time_below 3", 0x80},
      {"-keep_NDVI_intensity_is_NIR 0 1", 0x108},
      {"-drop_wavepacket 1", 0x400},
      {"-keep_attribute_above 0 1", 0xFFF00000},
      {"-drop_class 3 -drop_extended_class 40", 0x2},
  };
  for (const FieldsCase& c : field_cases) {
    LASpointFilter f;
    EXPECT_EQ(parsed(f, c.options).needed_fields(), c.fields) << c.options;
  }
}

struct ParseCase {
  std::string options;
  bool result;
  std::string err;   // exact standard error
  std::string left;  // arguments left for other parsers
};

TEST(LASpointFilter, ParseMessagesAndLeftArguments) {
  const std::string renamed_deprecated =
      "  rename '-clip_z_below' to '-drop_z_below'.\n"
      "  rename '-clip_z_above' to '-drop_z_above'.\n"
      "  rename '-clip_z_between' to '-drop_z'.\n"
      "  rename '-clip' to '-keep_xy'.\n"
      "  rename '-clip_tile' to '-keep_tile'.\n";
  const ParseCase cases[] = {
      {"-i in.las -keep_foo -drop_bar -clip -o out.las", true, "", "-i in.las -keep_foo -drop_bar -clip -o out.las"},
      {"-clip_to_bounding_box -clip_to_bb", true, "", "-clip_to_bounding_box -clip_to_bb"},
      {"-keep_point_source 3 0", true, "", "0"},
      {"-keep_class 2 x 8", true, "", "x 8"},
      {"-drop_z_below -3 -5", true, "", "-5"},
      {"-keep_tile 1 2", false, "ERROR: '-keep_tile' needs 3 arguments: llx lly size\n", "-keep_tile 1 2"},
      {"-keep_circle 1 2", false, "ERROR: '-keep_circle' needs 3 arguments: center_x center_y radius\n", ""},
      {"-drop_xy 1 2 3", false, "ERROR: '-drop_xy' needs 4 arguments: min_x min_y max_x max_y\n", ""},
      {"-keep_xyz 1 2 3 4 5", false,
       "ERROR: '-keep_xyz' needs 6 arguments: min_x min_y min_z max_x max_y max_z\n", ""},
      {"-keep_y 1", false, "ERROR: '-keep_y' needs 2 arguments: min_y max_y\n", ""},
      {"-drop_z_above", false, "ERROR: '-drop_z_above' needs 1 argument: max_z\n", ""},
      {"-keep_XY 1", false, "ERROR: '-keep_XY' needs 4 arguments: min_X min_Y max_X max_Y\n", ""},
      {"-drop_Y_below", false, "ERROR: '-drop_Y_below' needs 1 argument: min_Y\n", ""},
      {"-keep_return", false, "ERROR: '-keep_return' needs at least 1 argument: return_number\n", ""},
      {"-keep_return_mask", false, "ERROR: '-keep_return_mask' needs 1 argument: return_mask\n", ""},
      {"-keep_number_of_returns", false, "ERROR: '-keep_number_of_returns' needs 1 argument: number of returns\n",
       ""},
      {"-keep_class", false, "ERROR: '-keep_class' needs 1 at least argument: classification\n", ""},
      {"-drop_extended_class", false,
       "ERROR: '-drop_extended_class' needs at least 1 argument: classification\n", ""},
      {"-drop_classification_mask", false, "ERROR: '-drop_classification_mask' needs 1 argument: mask\n", ""},
      {"-drop_extended_classification_mask 1 2 3", false,
       "ERROR: '-drop_extended_classification_mask' needs 8 arguments: mask7 mask6 mask5 mask4 mask3 mask2 mask1 "
       "mask0\n",
       ""},
      {"-keep_point_source", false, "ERROR: '-keep_point_source' needs 1 argument: ID\n", ""},
      {"-drop_point_source", false, "ERROR: '-drop_point_source' needs at least 1 argument: ID\n", ""},
      {"-keep_point_source_between 1", false,
       "ERROR: '-keep_point_source_between' needs 2 arguments: min_ID max_ID\n", ""},
      {"-drop_gps_time_below", false, "ERROR: '-drop_gps_time_below' needs 1 argument: min_gps_time\n", ""},
      {"-drop_attribute_above 1", false, "ERROR: '-drop_attribute_above' needs 2 arguments: index value\n", ""},
      {"-keep_attribute_between 1 2", false,
       "ERROR: '-keep_attribute_between' needs 3 arguments: index below above\n", ""},
      {"-keep_every_nth", false, "ERROR: '-keep_every_nth' needs 1 argument: nth\n", ""},
      {"-keep_random_fraction", false, "ERROR: '-keep_random_fraction' needs 1 argument: fraction\n", ""},
      {"-thin_with_grid", false, "ERROR: '-thin_with_grid' needs 1 argument: grid_spacing\n", ""},
      {"-thin_points_with_time", false, "ERROR: '-thin_points_with_time' needs 1 argument: time_spacing\n", ""},
      {"-keep_user_data_between 1", false,
       "ERROR: '-keep_user_data_between' needs 2 arguments: min_value max_value\n", ""},
      {"-keep_wavepacket", false, "ERROR: '-keep_wavepacket' needs 1 argument: index\n", ""},
      {"-keep_class 32", false, "ERROR: cannot keep classification 32 because it is larger than 31\n", ""},
      {"-keep_class -1", false, "ERROR: cannot keep classification -1 because it is smaller than 0\n", ""},
      {"-drop_class 3 40", false, "ERROR: cannot drop classification 40 because it is larger than 31\n", ""},
      {"-drop_class -2", false, "ERROR: cannot drop classification -2 because it is smaller than 0\n", ""},
      {"-keep_extended_class 256", false,
       "ERROR: cannot keep extended classification 256 because it is larger than 255\n", ""},
      {"-keep_extended_class -4", false,
       "ERROR: cannot keep extended classification -4 because it is smaller than 0\n", ""},
      {"-drop_extended_class 300", false,
       "ERROR: cannot drop extended classification 300 because it is larger than 255\n", ""},
      {"-drop_extended_class -1", false,
       "ERROR: cannot drop extended classification -1 because it is smaller than 0\n", ""},
      {"-keep_class 2 -drop_class 7", false, "ERROR: cannot use '-drop_class' and '-keep_class' simultaneously\n",
       ""},
      {"-keep_class 2 -drop_classification_mask 1", false,
       "ERROR: cannot use '-drop_class' and '-keep_class' simultaneously\n", ""},
      {"-keep_return 1 -drop_return 2", false,
       "ERROR: cannot use '-drop_return' and '-keep_return' simultaneously\n", ""},
      {"-keep_extended_class 3 -drop_extended_class 4", false,
       "ERROR: cannot use '-drop_extended_class' and '-keep_extended_class' simultaneously\n", ""},
      {"-filter_and", false, "ERROR: '-filter_and' needs to be preceeded by at least two filters\n", "-filter_and"},
      {"-drop_z_below 1 -filter_or", false, "ERROR: '-filter_or' needs to be preceeded by at least two filters\n",
       "-filter_or"},
      {"-keep_class 2 -drop_z_below 1 -filter_and", false,
       "ERROR: '-filter_and' needs to be preceeded by at least two filters\n", "-filter_and"},
      {"-clip_z_below 5", true,
       "WARNING: '-clip_z_below' will not be supported in the future. check documentation with '-h'.\n" +
           renamed_deprecated,
       ""},
      {"-clip_z_above", false,
       "WARNING: '-clip_z_above' will not be supported in the future. check documentation with '-h'.\n" +
           renamed_deprecated + "ERROR: '-clip_z_above' needs 1 argument: max_z\n",
       "-clip_z_above"},
      {"-clip_box 1 2 3 4 5 6", false,
       "ERROR: '-clip_box' is no longer recognized. check documentation with '-h'.\n"
       "  rename '-clip' to '-keep_xy'.\n"
       "  rename '-clip_box' to '-keep_xyz'.\n"
       "  rename '-clip_tile' to '-keep_tile'.\n"
       "  rename '-clip_z_below' to '-drop_z_below'.\n"
       "  rename '-clip_z_above' to '-drop_z_above'.\n"
       "  rename '-clip_z_between' to '-drop_z'.\n"
       "  etc ...\n",
       "-clip_box 1 2 3 4 5 6"},
  };
  for (const ParseCase& c : cases) {
    Arguments arguments(c.options);
    LASpointFilter filter;
    testing::internal::CaptureStderr();
    const bool result = filter.parse(arguments.argc(), arguments.argv());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.err) << c.options;
    EXPECT_EQ(result, c.result) << c.options;
    if (c.result || !c.left.empty()) {
      EXPECT_EQ(arguments.left(), c.left) << c.options;
    }
  }
}

TEST(LASpointFilter, ClippedZActsAsTheDropOption) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(survivors("-clip_z_below 10 -clip_z_above 20", fields::z, {9.75, 10, 19.75, 20}),
            (std::vector<double>{10, 19.75}));
  testing::internal::GetCapturedStderr();
}

TEST(LASpointFilter, HelpPrintsTheUsageAndStopsParsing) {
  Arguments arguments("-keep_class 2 -h -drop_z_below 3");
  LASpointFilter filter;
  testing::internal::CaptureStderr();
  EXPECT_TRUE(filter.parse(arguments.argc(), arguments.argv()));
  const std::string usage = testing::internal::GetCapturedStderr();
  EXPECT_EQ(usage.rfind("Filter points based on their coordinates.\n"
                        "  -keep_tile 631000 4834000 1000 (ll_x ll_y size)\n",
                        0),
            0u);
  EXPECT_EQ(usage.substr(usage.size() - 46), "Boolean combination of filters.\n  -filter_and\n");
  EXPECT_EQ(std::count(usage.begin(), usage.end(), '\n'), 102);
  EXPECT_EQ(arguments.left(), "-h -drop_z_below 3");
}

TEST(LASpointFilter, ParseTextTakesAnyNumberOfWords) {
  std::string text = "  -keep_class 2\t-drop_z_below 5 ";
  for (int id = 1; id <= 40; id++) text += " -drop_point_source " + std::to_string(id);
  LASpointFilter filter;
  ASSERT_TRUE(filter.parse_text(text.c_str()));
  EXPECT_EQ(filter.condition_count(), 42u);
  EXPECT_STREQ(filter.condition(40).name(), "drop_point_source");
  EXPECT_STREQ(filter.condition(41).name(), "drop_classification_mask");
  LASpointFilter empty;
  EXPECT_TRUE(empty.parse_text(""));
  EXPECT_EQ(empty.condition_count(), 0u);
}

struct EchoCase {
  std::string options;
  std::string echo;
};

TEST(LASpointFilter, EchoParsesIntoAFilterThatEchoesAndDropsTheSame) {
  const std::string all = "4294967295 ";
  const EchoCase cases[] = {
      {"-keep_tile 631000 4834000 1000", "-keep_tile 631000 4.834e+06 1000 "},
      {"-keep_tile 10.5 -20.25 0.1", "-keep_tile 10.5 -20.25 0.1 "},
      {"-keep_circle 630250.00 4834750.00 100", "-keep_circle 630250 4.83475e+06 100 "},
      {"-keep_xy 630000 4834000 631000 4836000", "-keep_xy 630000 4.834e+06 631000 4.836e+06 "},
      {"-drop_xy -1 -2 3.5 4", "-drop_xy -1 -2 3.5 4 "},
      {"-keep_xyz 620000 4830000 100 621000 4831000 200", "-keep_xyz 620000 4.83e+06 100 621000 4.831e+06 200 "},
      {"-drop_xyz -1 -2 -3 4 5 6", "-drop_xyz -1 -2 -3 4 5 6 "},
      // Digits beyond "%g" are kept: projected coordinates need them.
      {"-keep_x 631500.50 631501.00", "-keep_x 631500.5 631501 "},
      {"-drop_x -3.25 1e-7", "-drop_x -3.25 1e-07 "},
      {"-drop_x_below 630000.50", "-drop_x_below 630000.5 "},
      {"-drop_x_above 630500.50", "-drop_x_above 630500.5 "},
      {"-keep_y 4834500.25 4834550.25", "-keep_y 4834500.25 4834550.25 "},
      {"-drop_y -1 1", "-drop_y -1 1 "},
      {"-drop_y_below 4834500.25", "-drop_y_below 4834500.25 "},
      {"-drop_y_above 4836000.75", "-drop_y_above 4836000.75 "},
      {"-keep_z 11.125 130.725", "-keep_z 11.125 130.725 "},
      {"-drop_z 11.125 130.725", "-drop_z 11.125 130.725 "},
      {"-drop_z_below 0.1", "-drop_z_below 0.1 "},
      {"-drop_z_above 130.725", "-drop_z_above 130.725 "},
      {"-keep_z_above 3", "-drop_z_below 3 "},
      {"-keep_z_below 3", "-drop_z_above 3 "},
      {"-keep_XY -1 2 300 400", "-keep_XY -1 2 300 400 "},
      {"-keep_X -5 5", "-keep_X -5 5 "},
      {"-drop_X -5 5", "-drop_X -5 5 "},
      {"-keep_Y -5 5", "-keep_Y -5 5 "},
      {"-drop_Y -5 5", "-drop_Y -5 5 "},
      {"-keep_Z -5 5", "-keep_Z -5 5 "},
      {"-drop_Z -5 5", "-drop_Z -5 5 "},
      {"-drop_X_below 5", "-drop_X_below 5 "},
      {"-drop_X_above 5", "-drop_X_above 5 "},
      {"-drop_Y_below 5", "-drop_Y_below 5 "},
      {"-drop_Y_above 5", "-drop_Y_above 5 "},
      {"-drop_Z_below 5", "-drop_Z_below 5 "},
      {"-drop_Z_above 5", "-drop_Z_above 5 "},
      {"-keep_Z_above 7", "-drop_Z_below 7 "},
      {"-keep_Z_below 7", "-drop_Z_above 7 "},
      {"-keep_first", "-keep_first "},
      {"-first_only", "-keep_first "},
      {"-keep_first_of_many", "-keep_first_of_many "},
      {"-keep_last", "-keep_last "},
      {"-last_only", "-keep_last "},
      {"-keep_last_of_many", "-keep_last_of_many "},
      {"-keep_middle", "-keep_middle "},
      {"-keep_second_last", "-keep_second_last "},
      {"-drop_first", "-drop_first "},
      {"-drop_first_of_many", "-drop_first_of_many "},
      {"-drop_last", "-drop_last "},
      {"-drop_last_of_many", "-drop_last_of_many "},
      {"-drop_middle", "-drop_middle "},
      {"-drop_second_last", "-drop_second_last "},
      {"-keep_single", "-keep_single "},
      {"-keep_double", "-keep_double "},
      {"-keep_triple", "-keep_triple "},
      {"-keep_quadruple", "-keep_quadruple "},
      {"-keep_quintuple", "-keep_quintuple "},
      {"-keep_number_of_returns 2", "-keep_double "},
      {"-keep_number_of_returns 7", "-keep_number_of_returns 7 "},
      {"-drop_single", "-drop_single "},
      {"-drop_double", "-drop_double "},
      {"-drop_triple", "-drop_triple "},
      {"-drop_quadruple", "-drop_quadruple "},
      {"-drop_quintuple", "-drop_quintuple "},
      {"-drop_number_of_returns 0", "-drop_number_of_returns 0 "},
      {"-keep_return 1 2 3", "-keep_return_mask 14 "},
      {"-drop_return 3 4", "-keep_return_mask 231 "},
      {"-keep_return_mask 6", "-keep_return_mask 6 "},
      {"-drop_scan_direction 0", "-drop_scan_direction 0 "},
      {"-keep_scan_direction_change", "-keep_scan_direction_change "},
      {"-keep_edge_of_flight_line", "-keep_edge_of_flight_line "},
      {"-keep_scanner_channel 2", "-keep_scanner_channel 2 "},
      {"-drop_scanner_channel 1", "-drop_scanner_channel 1 "},
      {"-keep_intensity 20 380", "-keep_intensity 20 380 "},
      {"-keep_intensity_above 20", "-keep_intensity_above 20 "},
      {"-keep_intensity_below 380", "-keep_intensity_below 380 "},
      {"-drop_intensity_above 380", "-drop_intensity_above 380 "},
      {"-drop_intensity_below 20", "-drop_intensity_below 20 "},
      {"-drop_intensity_between 4000 5000", "-drop_intensity_between 4000 5000 "},
      {"-keep_class 2 8", "-keep_class 2 8 "},
      {"-keep_class 1 3 7", "-keep_class 1 3 7 "},
      {"-keep_classification 5", "-keep_class 5 "},
      {"-drop_class 4 2", "-drop_class 2 4 "},
      {"-drop_classification 9", "-drop_class 9 "},
      {"-drop_classification_mask 20", "-drop_class 2 4 "},
      {"-drop_classification_mask 4294967295", "-drop_class 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 "
                                               "21 22 23 24 25 26 27 28 29 30 31 "},
      {"-keep_extended_class 43", "-drop_extended_classification_mask " + all + all + all + all + all + all +
                                      "4294965247 " + all},
      {"-keep_extended_classification 0", "-drop_extended_classification_mask " + all + all + all + all + all + all +
                                              all + "4294967294 "},
      {"-drop_extended_class 129 135", "-drop_extended_classification_mask 0 0 0 130 0 0 0 0 "},
      {"-drop_extended_classification 255", "-drop_extended_classification_mask 2147483648 0 0 0 0 0 0 0 "},
      {"-drop_extended_classification_mask 1 2 3 4 5 6 7 8", "-drop_extended_classification_mask 1 2 3 4 5 6 7 8 "},
      {"-keep_synthetic", "-keep_synthetic "},
      {"-keep_keypoint", "-keep_keypoint "},
      {"-keep_withheld", "-keep_withheld "},
      {"-keep_overlap", "-keep_overlap "},
      {"-drop_synthetic", "-drop_synthetic "},
      {"-drop_keypoint", "-drop_keypoint "},
      {"-drop_withheld", "-drop_withheld "},
      {"-drop_overlap", "-drop_overlap "},
      {"-keep_user_data 1", "-keep_user_data 1 "},
      {"-drop_user_data 255", "-drop_user_data 255 "},
      {"-keep_user_data_below 50", "-keep_user_data_below 50 "},
      {"-keep_user_data_above 150", "-keep_user_data_above 150 "},
      {"-keep_user_data_between 10 20", "-keep_user_data_between 10 20 "},
      {"-drop_user_data_below 1", "-drop_user_data_below 1 "},
      {"-drop_user_data_above 100", "-drop_user_data_above 100 "},
      {"-drop_user_data_between 10 40", "-drop_user_data_between 10 40 "},
      {"-keep_point_source 3", "-keep_point_source 3 "},
      {"-keep_point_source 3 5 7",
       "-keep_point_source 3 -keep_point_source 5 -filter_and -keep_point_source 7 -filter_and "},
      {"-drop_point_source 27 28", "-drop_point_source 27 -drop_point_source 28 "},
      {"-keep_point_source_between 2 6", "-keep_point_source_between 2 6 "},
      {"-drop_point_source_between 17 21", "-drop_point_source_between 17 21 "},
      {"-drop_point_source_below 6", "-drop_point_source_below 6 "},
      {"-drop_point_source_above 15", "-drop_point_source_above 15 "},
      {"-keep_scan_angle -15 15", "-keep_scan_angle -15 15 "},
      {"-drop_abs_scan_angle_above 15", "-keep_scan_angle -15 15 "},
      {"-drop_abs_scan_angle_below 3", "-drop_scan_angle_between -2 2 "},
      {"-drop_scan_angle_below -15", "-drop_scan_angle_below -15 "},
      {"-drop_scan_angle_above 15", "-drop_scan_angle_above 15 "},
      {"-drop_scan_angle_between -25 -23", "-drop_scan_angle_between -25 -23 "},
      {"-keep_gps_time 11.125 130.725", "-keep_gps_time 11.125000 130.725000 "},
      {"-keep_gpstime 11.125 130.725", "-keep_gps_time 11.125000 130.725000 "},
      {"-drop_gps_time_below 113556962.005715", "-drop_gps_time_below 113556962.005715 "},
      {"-drop_gpstime_below 11.125", "-drop_gps_time_below 11.125000 "},
      {"-drop_gps_time_above 130.725", "-drop_gps_time_above 130.725000 "},
      {"-drop_gpstime_above 0.0000001", "-drop_gps_time_above 1e-07 "},
      {"-drop_gps_time_between 22.0 48.0", "-drop_gps_time_between 22.000000 48.000000 "},
      {"-drop_gpstime_between 22.0 48.0", "-drop_gps_time_between 22.000000 48.000000 "},
      {"-keep_RGB_red 1 1", "-keep_RGB_red 1 1 "},
      {"-keep_RGB_green 100 30", "-keep_RGB_green 30 100 "},
      {"-keep_RGB_blue 0 0", "-keep_RGB_blue 0 0 "},
      {"-keep_RGB_nir 64 127", "-keep_RGB_nir 64 127 "},
      {"-keep_NDVI 0.2 0.7", "-keep_NDVI 0.2 0.7 "},
      {"-keep_NDVI_green_is_NIR -0.2 0.2", "-keep_NDVI_green_is_NIR -0.2 0.2 "},
      {"-keep_NDVI_blue_is_NIR 0.7 0.2", "-keep_NDVI_blue_is_NIR 0.2 0.7 "},
      {"-keep_NDVI_from_CIR -0.1 0.5", "-keep_NDVI_from_CIR -0.1 0.5 "},
      {"-keep_NDVI_intensity_is_NIR 0.4 0.8", "-keep_NDVI_intensity_is_NIR 0.4 0.8 "},
      {"-keep_wavepacket 0", "-keep_wavepacket 0 "},
      {"-drop_wavepacket 3", "-drop_wavepacket 3 "},
      {"-keep_attribute_above 0 5.0", "-keep_attribute_above 0 5 "},
      {"-drop_attribute_above 0 5.5", "-drop_attribute_above 0 5.5 "},
      {"-keep_attribute_below 1 1.5", "-keep_attribute_below 1 1.5 "},
      {"-drop_attribute_below 1 1.5", "-drop_attribute_below 1 1.5 "},
      {"-keep_attribute_between 0 1 2", "-keep_attribute_between 0 1 2 "},
      {"-drop_attribute_between 2 -1.5 3", "-drop_attribute_between 2 -1.5 3 "},
      {"-keep_every_nth 2", "-keep_every_nth 2 "},
      {"-drop_every_nth 3", "-drop_every_nth 3 "},
      {"-keep_random_fraction 0.1", "-keep_random_fraction 0.1 "},
      {"-keep_random_fraction 0.1 4711", "-keep_random_fraction 0.1 4711 "},
      {"-thin_with_grid 1.0", "-thin_with_grid 1 "},
      {"-thin_pulses_with_time 0.0001", "-thin_pulses_with_time 0.0001 "},
      {"-thin_with_time 0.5", "-thin_pulses_with_time 0.5 "},
      {"-thin_points_with_time 0.000001", "-thin_points_with_time 1e-06 "},
      {"-drop_z_below 5 -drop_z_above 10 -filter_and", "-drop_z_below 5 -drop_z_above 10 -filter_and "},
      {"-drop_z_below 5 -drop_z_above 10 -filter_or", "-drop_z_below 5 -drop_z_above 10 -filter_or "},
      {"-keep_class 2 -drop_return 1 -drop_z_below 3 -drop_extended_class 43",
       "-drop_z_below 3 -keep_return_mask 253 -keep_class 2 -drop_extended_classification_mask 0 0 0 0 0 0 2048 0 "},
  };
  const auto points = test::assorted_points();
  for (const EchoCase& c : cases) {
    Arguments arguments(c.options);
    LASpointFilter first;
    ASSERT_TRUE(first.parse(arguments.argc(), arguments.argv())) << c.options;
    EXPECT_EQ(arguments.left(), "") << c.options;
    const std::string echo = first.echo();
    EXPECT_EQ(echo, c.echo) << c.options;
    LASpointFilter second;
    ASSERT_TRUE(second.parse_text(echo.c_str())) << echo;
    EXPECT_EQ(second.echo(), echo) << c.options;
    for (const auto& point : points) ASSERT_EQ(second.drops(*point), first.drops(*point)) << c.options;
  }
}

}  // namespace
}  // namespace tinrise
