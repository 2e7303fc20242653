// Record plans and record changes against the conditions and operations asked
// point by point: a plan must keep the same records, name the same first
// dropping condition and count the same drops; changed records must hold the
// same bytes as changed points. Also the whole-unit shift of translations.
#include "options/process/record_plan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <set>
#include <sstream>

#include "options/process/coordinate_operations.h"
#include "options/process/las_point_filter.h"
#include "options/process/las_point_transform.h"
#include "point_fixture.h"

namespace tinrise {
namespace {

using test::Arguments;

// POINT10 plus bytes of a following item that nothing here may read or change;
// not a multiple of 4, so every field load is unaligned in some record.
constexpr std::uint32_t record_size = 26;

struct Generator {
  std::uint64_t state;
  explicit Generator(std::uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
  std::uint32_t next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<std::uint32_t>(state >> 16);
  }
};

struct NamedQuantizer {
  const char* name;
  LAScoordinateQuantizer q;
};

LAScoordinateQuantizer quantizer(double sx, double sy, double sz, double ox, double oy, double oz) {
  LAScoordinateQuantizer q;
  q.x_scale_factor = sx, q.y_scale_factor = sy, q.z_scale_factor = sz;
  q.x_offset = ox, q.y_offset = oy, q.z_offset = oz;
  return q;
}

const std::vector<NamedQuantizer>& quantizers() {
  static const std::vector<NamedQuantizer> all = {
      {"centimetres", quantizer(0.01, 0.01, 0.01, 0, 0, 0)},
      {"millimetres far from the origin", quantizer(0.001, 0.001, 0.001, 500000, 4000000, 100)},
      {"quarters below zero", quantizer(0.25, 0.25, 0.25, -50, -50, -50)},
      {"negative z scale", quantizer(0.01, 0.01, -0.01, 0, 0, 0)},
      {"zero z scale", quantizer(0.001, 0.001, 0.0, 0, 0, 0)},
      // Real values that saturate to infinity or never move: still monotonic.
      {"extreme scales", quantizer(1e-300, 1e300, 3.0, 1.0, 0.0, -1e308)},
  };
  return all;
}

// Whether real coordinates on `axis` grow with the stored integer.
bool increasing(const LAScoordinateQuantizer& q, int axis) {
  const double scale[] = {q.x_scale_factor, q.y_scale_factor, q.z_scale_factor};
  return scale[axis] > 0.0;
}

std::vector<double> numbers_in(const std::string& text) {
  std::vector<double> numbers;
  std::istringstream words(text);
  for (std::string word; words >> word;) {
    char* end = nullptr;
    const double value = std::strtod(word.c_str(), &end);
    if (end != word.c_str() && *end == '\0') numbers.push_back(value);
  }
  return numbers;
}

void put_i32(std::uint8_t* record, unsigned offset, std::int64_t value) {
  const std::int32_t v = static_cast<std::int32_t>(value);
  std::memcpy(record + offset, &v, 4);
}
void put_u16(std::uint8_t* record, unsigned offset, std::int64_t value) {
  const std::uint16_t v = static_cast<std::uint16_t>(value);
  std::memcpy(record + offset, &v, 2);
}

// Random records, then one record per stored value that lies at or next to a
// number of the option text read as a raw integer, a 16-bit field value, or a
// real coordinate of each axis under `q`, and at the ends of every range.
std::vector<std::uint8_t> records_around(const std::string& text, const LAScoordinateQuantizer& q,
                                         std::uint32_t seed, std::uint32_t random_count = 3000) {
  Generator random(seed);
  std::set<std::int64_t> i32 = {INT32_MIN, INT32_MIN + 1, -1, 0, 1, INT32_MAX - 1, INT32_MAX};
  std::set<std::int64_t> u16 = {0, 1, 65534, 65535};
  std::set<std::int64_t> real[3];
  const double scale[] = {q.x_scale_factor, q.y_scale_factor, q.z_scale_factor};
  const double offset[] = {q.x_offset, q.y_offset, q.z_offset};
  for (double n : numbers_in(text)) {
    if (std::isfinite(n) && std::fabs(n) < 1e12) {
      const std::int64_t whole = static_cast<std::int64_t>(n);
      for (std::int64_t d = -1; d <= 1; d++) {
        i32.insert(static_cast<std::int32_t>(static_cast<std::uint32_t>(whole + d)));
        i32.insert(std::clamp<std::int64_t>(whole + d, INT32_MIN, INT32_MAX));
        u16.insert(static_cast<std::uint16_t>(whole + d));
        u16.insert(std::clamp<std::int64_t>(whole + d, 0, 65535));
      }
    }
    for (int axis = 0; axis < 3; axis++) {
      const double stored = std::floor((n - offset[axis]) / scale[axis]);
      if (!(std::fabs(stored) < 2147483660.0)) continue;
      for (std::int64_t d = -2; d <= 2; d++) {
        real[axis].insert(std::clamp<std::int64_t>(static_cast<std::int64_t>(stored) + d, INT32_MIN, INT32_MAX));
      }
    }
  }
  std::vector<std::uint8_t> bytes;
  const auto add_random = [&] {
    const std::size_t at = bytes.size();
    bytes.resize(at + record_size);
    for (std::uint32_t b = 0; b < record_size; b++) bytes[at + b] = static_cast<std::uint8_t>(random.next());
    // Small coordinates too, not only ones spread over the whole 32 bits.
    for (unsigned axis = 0; axis < 3; axis++) {
      if (random.next() % 2) put_i32(&bytes[at], 4 * axis, static_cast<std::int32_t>(random.next() % 200001) - 100000);
    }
    if (random.next() % 2) put_u16(&bytes[at], record_fields::point_source, random.next() % 40);
    return &bytes[at];
  };
  for (std::uint32_t r = 0; r < random_count; r++) add_random();
  for (std::int64_t v : i32) {
    for (unsigned axis = 0; axis < 3; axis++) put_i32(add_random(), 4 * axis, v);
  }
  for (int axis = 0; axis < 3; axis++) {
    for (std::int64_t v : real[axis]) put_i32(add_random(), 4 * axis, v);
  }
  for (std::int64_t v : u16) {
    put_u16(add_random(), record_fields::intensity, v);
    put_u16(add_random(), record_fields::point_source, v);
  }
  return bytes;
}

std::unique_ptr<LASpointFilter> filter_from(const std::string& text) {
  auto filter = std::make_unique<LASpointFilter>();
  Arguments arguments(text);
  EXPECT_TRUE(filter->parse(arguments.argc(), arguments.argv())) << text;
  EXPECT_EQ(arguments.left(), "") << text;
  return filter;
}

// A point of type 0 holding the POINT10 bytes of `record`.
struct RecordPoint {
  explicit RecordPoint(const LAScoordinateQuantizer& q) { point.init(&q, 0, 20); }
  LASpoint& of(const std::uint8_t* record) {
    std::memcpy(&point.X, record, 20);
    return point;
  }
  LASpoint point;
};

// Runs the plan over `bytes` in runs of varying length and checks every
// record's decision, the first dropping condition and the drop counts
// against `reference` asked point by point.
void expect_plan_matches_points(const LASrecordPlan& plan, LASpointFilter& reference, const std::vector<std::uint8_t>& bytes,
                                const LAScoordinateQuantizer& q) {
  const std::uint32_t count = static_cast<std::uint32_t>(bytes.size() / record_size);
  const std::uint32_t conditions = reference.condition_count();
  const std::uint32_t runs[] = {256, 1, 77, 255, 256, 13, 200};
  std::uint32_t drops[LASrecordPlan::max_tests] = {};
  std::vector<std::uint32_t> before(conditions);
  RecordPoint point(q);
  int failures = 0;
  for (std::uint32_t start = 0, run = 0; start < count && failures < 5; run++) {
    const std::uint32_t length = std::min(runs[run % std::size(runs)], count - start);
    std::uint16_t kept[LASrecordPlan::batch];
    std::uint32_t masks[LASrecordPlan::batch];
    const std::uint32_t kept_count = plan.select(bytes.data() + std::size_t{start} * record_size, length, record_size,
                                                 kept, masks, drops);
    std::vector<std::uint16_t> expected_kept;
    for (std::uint32_t r = 0; r < length; r++) {
      for (std::uint32_t c = 0; c < conditions; c++) before[c] = reference.drop_count(c);
      const std::uint8_t* record = bytes.data() + std::size_t{start + r} * record_size;
      const bool dropped = reference.drops(point.of(record));
      std::uint32_t expected_mask = 0;
      for (std::uint32_t c = 0; c < conditions; c++) {
        if (reference.drop_count(c) != before[c]) expected_mask = 1u << c;
      }
      if (!dropped) expected_kept.push_back(static_cast<std::uint16_t>(r));
      // The mask may name later conditions too; its lowest bit is the one
      // that counts the drop.
      if ((masks[r] & (0u - masks[r])) != expected_mask) {
        ADD_FAILURE() << "record " << start + r << " (X " << point.point.X << " Y " << point.point.Y << " Z "
                      << point.point.Z << " intensity " << point.point.intensity << "): mask " << masks[r]
                      << " instead of " << expected_mask;
        failures++;
      }
    }
    EXPECT_EQ(std::vector<std::uint16_t>(kept, kept + kept_count), expected_kept) << "run at " << start;
    start += length;
  }
  for (std::uint32_t c = 0; c < LASrecordPlan::max_tests; c++) {
    EXPECT_EQ(drops[c], c < conditions ? reference.drop_count(c) : 0u) << "condition " << c;
  }
}

// Which real axes a row's conditions read: a plan needs them to grow with
// the stored integers.
enum Axes : unsigned { none = 0, x = 1, y = 2, z = 4 };

struct PlanRow {
  std::string options;
  unsigned real_axes = none;
  bool sure = true;  // false: a plan may or may not exist, but must be right if it does
};

std::string repeated(const char* option, int from, int to) {
  std::string text;
  for (int v = from; v <= to; v++) text += std::string(option) + " " + std::to_string(v) + " ";
  return text;
}

TEST(LASrecordPlan, DecidesRecordsAsTheConditionsDecidePoints) {
  const PlanRow rows[] = {
      // One byte of returns, flags or classification.
      {"-keep_first"}, {"-keep_last"}, {"-keep_middle"}, {"-keep_first_of_many"}, {"-keep_last_of_many"},
      {"-keep_second_last"}, {"-drop_first"}, {"-drop_last"}, {"-drop_middle"}, {"-drop_second_last"},
      {"-drop_single"}, {"-keep_double"}, {"-keep_number_of_returns 7"}, {"-drop_number_of_returns 0"},
      {"-keep_return 1 2"}, {"-drop_return 3 4"}, {"-keep_return 0 7"}, {"-keep_class 2 6"}, {"-drop_class 0 31"},
      {"-keep_class 7"}, {"-drop_synthetic"}, {"-keep_withheld"}, {"-drop_keypoint"}, {"-keep_synthetic"},
      {"-keep_edge_of_flight_line"}, {"-drop_scan_direction 1"}, {"-drop_scan_direction 0"},
      // Real coordinates, found by bisection over the stored integers.
      {"-drop_z_above 100", z}, {"-drop_z_below 100", z}, {"-keep_z 10.005 20.015", z}, {"-drop_z -3.33 7.77", z},
      {"-keep_z_above 0.125", z}, {"-keep_z_below -7.3", z}, {"-keep_x 500000.123 500100.987", x},
      {"-drop_x 1 2", x}, {"-drop_y_above 4000000.5", y}, {"-drop_y_below 4000000.004", y},
      {"-keep_y -1e9 1e9", y}, {"-drop_x_below 1e300", x}, {"-drop_z_above -1e300", z}, {"-keep_z 20 10", z},
      {"-drop_z 20 10", z}, {"-keep_z 0.1 0.1", z}, {"-drop_z_below -50.125", z}, {"-keep_x 21474836.47 1e30", x},
      // Bounds no stored value reaches, or that compare false with everything.
      {"-drop_z_above nan", z, false}, {"-drop_z_below nan", z, false}, {"-keep_z nan 5", z, false},
      {"-keep_z 5 nan", z, false}, {"-drop_z nan nan", z, false}, {"-keep_x -inf inf", x, false},
      {"-drop_x -inf inf", x, false}, {"-drop_y_above inf", y, false}, {"-drop_y_below -inf", y, false},
      {"-keep_z 1e400 -1e400", z, false},
      // Stored integers.
      {"-keep_X 10 20"}, {"-drop_X -5 5"}, {"-keep_Y -2147483648 2147483647"}, {"-drop_Z_below 0"},
      {"-drop_Z_above -2147483648"}, {"-keep_Z_above 2147483647"}, {"-keep_Z_below -2147483647"},
      {"-drop_X_above 2147483647"}, {"-keep_Z 20 10"}, {"-drop_Y 3000000000 5"}, {"-keep_X 5 5"},
      {"-drop_Y_below -2147483648"},
      // 16-bit fields.
      {"-keep_intensity 20 380"}, {"-keep_intensity 380 20"}, {"-keep_intensity -5 70000"},
      {"-drop_intensity_above 65535"}, {"-drop_intensity_above 65534"}, {"-drop_intensity_below 1"},
      {"-drop_intensity_below 0"}, {"-keep_intensity_above 100"}, {"-keep_intensity_below 100"},
      {"-drop_intensity_between 4000 5000"}, {"-drop_intensity_between 0 65535"}, {"-keep_point_source 3"},
      {"-keep_point_source 0"}, {"-drop_point_source 3 27"}, {"-keep_point_source_between 2 6"},
      {"-drop_point_source_between 17 21"}, {"-drop_point_source_below 6"}, {"-drop_point_source_above 65534"},
      {"-keep_point_source_between 70000 5"},
      // User data and scan angle bytes.
      {"-keep_user_data 1"}, {"-drop_user_data 255"}, {"-keep_user_data_below 50"}, {"-keep_user_data_above 150"},
      {"-keep_user_data_between 10 20"}, {"-drop_user_data_between 40 10"}, {"-drop_user_data_below 1"},
      {"-drop_user_data_above 100"}, {"-keep_user_data 300"}, {"-keep_scan_angle -15 15"},
      {"-drop_abs_scan_angle_above 15"}, {"-drop_abs_scan_angle_below 1"}, {"-drop_scan_angle_below -128"},
      {"-drop_scan_angle_above 127"}, {"-drop_scan_angle_between -25 -23"}, {"-keep_scan_angle 200 -200"},
      // Several conditions: the first that drops a record counts it. The
      // class and return lists always come after the other conditions.
      {"-keep_first -keep_class 2 3 -drop_intensity_above 30000 -drop_z_below 0", z},
      {"-drop_user_data 7 -keep_X -100000 100000 -keep_return 1 -drop_point_source 3 5 -keep_scan_angle -100 100"},
      {"-drop_withheld -drop_synthetic -drop_keypoint -keep_single -drop_Z_above 0 -keep_intensity 0 40000"},
      {"-drop_x_above 500050 -drop_y_below 4000000 -drop_z 0 50 -keep_middle", x | y | z},
      {"-drop_intensity_below 30000 -drop_intensity_below 20000 -drop_intensity_below 40000"},
      {"-keep_z 0 1e6 -drop_Z_below 1000 -drop_user_data_above 200 -drop_class 1 -drop_point_source_above 30", z},
      // As many conditions as a plan holds.
      {repeated("-drop_user_data", 0, 31)},
  };
  LASrecordPlan plan;  // reused: every plan_records call starts it afresh
  std::uint32_t seed = 1;
  for (const PlanRow& row : rows) {
    for (const NamedQuantizer& named : quantizers()) {
      SCOPED_TRACE(row.options + " on " + named.name);
      const LAScoordinateQuantizer& q = named.q;
      auto planned = filter_from(row.options);
      auto reference = filter_from(row.options);
      ASSERT_GT(planned->condition_count(), 0u);
      const bool made = planned->plan_records(q, plan);
      bool expected = true;
      for (int axis = 0; axis < 3; axis++) {
        if ((row.real_axes >> axis) & 1u) expected = expected && increasing(q, axis);
      }
      if (row.sure || !expected) {
        EXPECT_EQ(made, expected);
      }
      if (!made) {
        EXPECT_EQ(plan.test_count(), 0u);
        continue;
      }
      EXPECT_EQ(plan.test_count(), planned->condition_count());
      expect_plan_matches_points(plan, *reference, records_around(row.options, q, seed++), q);
      // Planning asks the conditions about made-up points: it must not count them.
      for (std::uint32_t c = 0; c < planned->condition_count(); c++) EXPECT_EQ(planned->drop_count(c), 0u);
    }
  }
}

TEST(LASrecordPlan, FiltersWithoutARecordFormGiveNoPlan) {
  const char* const rows[] = {
      "-keep_overlap", "-drop_overlap", "-keep_random_fraction 0.5", "-keep_random_fraction 0.5 7",
      "-keep_every_nth 2", "-drop_every_nth 3", "-keep_xy 0 0 10 10", "-drop_xy 0 0 10 10", "-keep_XY 0 0 10 10",
      "-keep_xyz 0 0 0 1 1 1", "-keep_tile 0 0 100", "-keep_circle 0 0 10", "-keep_gps_time 0 1",
      "-drop_gps_time_below 5", "-keep_extended_class 3", "-drop_extended_class 40", "-keep_scanner_channel 1",
      "-drop_scanner_channel 2", "-keep_wavepacket 0", "-keep_RGB_red 1 2", "-keep_NDVI 0.2 0.7",
      "-keep_attribute_above 0 5", "-thin_with_grid 1", "-thin_with_time 0.001", "-keep_scan_direction_change",
      "-keep_point_source 3 5", "-keep_z 0 10 -drop_z_above 5 -filter_and", "-drop_first -keep_last -filter_or",
      // One condition without a record form spoils a plan the others could make.
      "-keep_class 2 -keep_first -keep_random_fraction 0.5", "-drop_z_above 10 -drop_overlap",
  };
  for (const NamedQuantizer& named : quantizers()) {
    for (const char* row : rows) {
      SCOPED_TRACE(std::string(row) + " on " + named.name);
      auto filter = filter_from(row);
      LASrecordPlan plan;
      ASSERT_TRUE(filter_from("-keep_first")->plan_records(named.q, plan));
      EXPECT_FALSE(filter->plan_records(named.q, plan));
      EXPECT_EQ(plan.test_count(), 0u);
    }
  }
  LASpointFilter empty;
  LASrecordPlan plan;
  EXPECT_FALSE(empty.plan_records(quantizers()[0].q, plan));
  // More conditions than a plan holds.
  EXPECT_FALSE(filter_from(repeated("-drop_user_data", 0, 32))->plan_records(quantizers()[0].q, plan));
  EXPECT_EQ(plan.test_count(), 0u);
}

TEST(LASrecordPlan, AnEmptyPlanKeepsEveryRecordAndAFullOneStopsAdding) {
  std::vector<std::uint8_t> bytes = records_around("", quantizers()[0].q, 99, 300);
  LASrecordPlan plan;
  std::uint16_t kept[LASrecordPlan::batch];
  std::uint32_t masks[LASrecordPlan::batch];
  std::fill(std::begin(masks), std::end(masks), 0xDEADBEEFu);
  std::uint32_t drops[LASrecordPlan::max_tests] = {};
  ASSERT_EQ(plan.select(bytes.data(), 256, record_size, kept, masks, drops), 256u);
  for (std::uint32_t r = 0; r < 256; r++) {
    EXPECT_EQ(kept[r], r);
    EXPECT_EQ(masks[r], 0u);
  }
  LASrecordTest test;  // a byte table that drops nothing
  for (std::uint32_t t = 0; t < LASrecordPlan::max_tests; t++) EXPECT_TRUE(plan.add(test));
  EXPECT_FALSE(plan.add(test));
  EXPECT_EQ(plan.test_count(), LASrecordPlan::max_tests);
}

// Drop counts a reader found for records it never passed come back out.
TEST(LASpointFilter, TakesBackTheDropCountsItWasGiven) {
  auto filter = filter_from("-keep_first -drop_user_data 3 -keep_class 2");
  std::uint32_t drops[LASrecordPlan::max_tests] = {5, 0, 7, 1000};  // the slot past the conditions is ignored
  filter->add_drop_counts(drops);
  filter->add_drop_counts(drops);
  EXPECT_EQ(filter->drop_count(0), 10u);
  EXPECT_EQ(filter->drop_count(1), 0u);
  EXPECT_EQ(filter->drop_count(2), 14u);
  filter->take_back_drop_counts(drops);
  EXPECT_EQ(filter->drop_count(0), 5u);
  EXPECT_EQ(filter->drop_count(2), 7u);
}

// The stored value at which a monotonic predicate first holds.
TEST(LASrecordPlan, FirstHoldingFindsTheStartOfTheRun) {
  struct Row {
    std::int64_t first, last, threshold, expected;
  };
  const Row rows[] = {
      {0, 65535, 0, 0},           {0, 65535, 65535, 65535},     {0, 65535, 65536, 65536},
      {0, 65535, 1234, 1234},     {INT32_MIN, INT32_MAX, INT32_MIN, INT32_MIN},
      {INT32_MIN, INT32_MAX, INT32_MAX, INT32_MAX},             {INT32_MIN, INT32_MAX, -7, -7},
      {INT32_MIN, INT32_MAX, std::int64_t{INT32_MAX} + 1, std::int64_t{INT32_MAX} + 1},
      {5, 5, 5, 5},               {5, 5, 6, 6},
  };
  for (const Row& row : rows) {
    int calls = 0;
    const std::int64_t found = first_holding(row.first, row.last, [&](std::int64_t s) {
      calls++;
      EXPECT_GE(s, row.first);
      EXPECT_LE(s, row.last);
      return s >= row.threshold;
    });
    EXPECT_EQ(found, row.expected) << row.first << ".." << row.last << " from " << row.threshold;
    EXPECT_LE(calls, 33);
  }
}

// The real computation a translation of z by `t` stands for.
std::int32_t translated_really(const LAScoordinateQuantizer& q, std::int32_t Z, double t) {
  return q.quantize_z(q.dequantize_z(Z) + t);
}

struct ShiftRow {
  double scale, offset, translation;
  enum { whole, real, either } expect;
  std::int64_t units = 0;  // when whole
};

void check_shift_rows(const std::vector<ShiftRow>& rows) {
  Generator random(4711);
  std::vector<std::int32_t> stored = {INT32_MIN, INT32_MIN + 1, -2, -1, 0, 1, 2, INT32_MAX - 1, INT32_MAX};
  for (int i = 0; i < 3000; i++) stored.push_back(static_cast<std::int32_t>(random.next()));
  for (int i = 0; i < 1000; i++) stored.push_back(static_cast<std::int32_t>(random.next() % 2000001) - 1000000);
  for (const ShiftRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "scale " << row.scale << " offset " << row.offset << " translation "
                                    << row.translation);
    std::uint32_t units = 0xABCDEF;
    const bool whole = whole_unit_shift(row.scale, row.offset, row.translation, units);
    if (row.expect != ShiftRow::either) {
      EXPECT_EQ(whole, row.expect == ShiftRow::whole);
    }
    if (!whole) continue;
    if (row.expect == ShiftRow::whole) {
      EXPECT_EQ(units, static_cast<std::uint32_t>(row.units));
    }
    LAScoordinateQuantizer q;
    q.z_scale_factor = row.scale;
    q.z_offset = row.offset;
    int failures = 0;
    for (std::int32_t Z : stored) {
      const std::int32_t shifted = static_cast<std::int32_t>(static_cast<std::uint32_t>(Z) + units);
      if (shifted != translated_really(q, Z, row.translation) && failures++ < 3) {
        ADD_FAILURE() << "Z " << Z << ": shifted to " << shifted << ", really " << translated_really(q, Z, row.translation);
      }
    }
  }
}

TEST(WholeUnitShift, AddsTheUnitsTheRealTranslationWouldMove) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  using R = ShiftRow;
  check_shift_rows({
      {0.01, 0, 1.0, R::whole, 100},
      {0.01, 0, 0.004, R::whole, 0},
      {0.01, 0, -0.006, R::whole, -1},
      {0.01, 0, -1.0, R::whole, -100},
      {0.001, 4000000, 123.456, R::whole, 123456},
      {0.001, 4000000, -0.0004, R::whole, 0},
      {0.001, 4000000, 1.0000004, R::whole, 1000},
      {0.25, -50, 0.3, R::whole, 1},
      {0.01, 0, 1e6, R::whole, 100000000},
      // Shifts beyond 32 bits wrap as the stored integers do.
      {0.01, 0, 1e10, R::whole, static_cast<std::int64_t>(1000000000000 % 4294967296)},
      {0.01, 0, -3e9, R::whole, -300000000000},
      {0.01, 0, 0.00499999, R::either},
      {1e-300, 0, 1e-300, R::whole, 1},
      {3.0, 1e15, 6.0, R::either},
      {0.01, 123456.78, 0.0, R::whole, 0},
      // A fraction of a half: the direction of rounding depends on the point.
      {0.25, -50, 0.125, R::real},
      {0.01, 0, 0.005, R::real},
      {0.01, 0, -0.015, R::real},
      {0.001, 500000, 0.0125, R::real},
      {0.01, 0, 0.0049999999999, R::real},
      {0.01, 0, 2e10, R::real},  // more units than the arithmetic keeps exact
      // Scales and translations that do not move every integer alike.
      {-0.01, 0, 1.0, R::real},
      {0.0, 0, 1.0, R::real},
      {-0.0, 0, 1.0, R::real},
      {nan, 0, 1.0, R::real},
      {inf, 0, 1.0, R::real},
      {0.01, 0, nan, R::real},
      {0.01, 0, inf, R::real},
      {0.01, 0, -inf, R::real},
      {0.01, nan, 1.0, R::real},
      {0.01, inf, 1.0, R::real},
  });
}

// Scales so large that a stored integer times the scale is no longer a finite
// number: the real translation then saturates those integers, so no whole
// shift moves every integer alike.
TEST(WholeUnitShift, HugeScalesKeepTheRealComputation) {
  using R = ShiftRow;
  check_shift_rows({
      {1e300, 0, 0.0, R::either},
      {1e300, 0, 1e300, R::either},
      {1e298, 1.7e308, 0.0, R::either},
  });
}

struct TransformRow {
  std::string options;
  bool changes_records;
};

std::unique_ptr<LASpointTransform> transform_from(const std::string& text) {
  auto transform = std::make_unique<LASpointTransform>();
  Arguments arguments(text);
  EXPECT_TRUE(transform->parse(arguments.argc(), arguments.argv())) << text;
  if (transform->is_filtered()) transform->attach_filter(filter_from(arguments.left()));
  else EXPECT_EQ(arguments.left(), "") << text;
  return transform;
}

TEST(LASpointTransform, ChangesRecordsAsItChangesThePointsReadFromThem) {
  const TransformRow rows[] = {
      {"-translate_x 1.5", true},
      {"-translate_y -0.004", true},
      {"-translate_z 0.005", true},  // half a centimetre: the real computation on centimetres
      {"-translate_z 0.125", true},  // half a quarter
      {"-translate_z 0.0125", true},
      {"-translate_z 123456.789", true},
      {"-translate_z 1e10", true},
      {"-translate_z -3e10", true},
      {"-translate_z 1e300", true},
      {"-translate_z nan", true},
      {"-translate_z inf", true},
      {"-translate_xyz 0.5 -0.25 1e-9", true},
      {"-translate_xyz 0.005 0.0005 0.125", true},
      {"-translate_raw_x 5", true},
      {"-translate_raw_y -2147483648", true},
      {"-translate_raw_z 2147483647", true},
      {"-translate_raw_xyz 1 -1 2147483647", true},
      {"-scale_intensity 2.5", true},
      {"-scale_intensity 2", true},
      {"-scale_intensity 0", true},
      {"-scale_intensity 65536", true},
      {"-scale_intensity 65537", true},
      {"-scale_intensity 1", true},
      {"-scale_intensity -1", true},
      {"-scale_intensity 0.3", true},
      {"-scale_intensity nan", true},
      {"-scale_intensity 1e30", true},
      {"-translate_intensity 50", true},
      {"-translate_intensity -100.5", true},
      {"-translate_intensity 70000", true},
      {"-translate_then_scale_intensity 0.5 3.1", true},
      {"-translate_then_scale_intensity -65535 -1", true},
      {"-set_intensity 70000", true},
      {"-set_intensity -3", true},
      {"-set_intensity 1234.9", true},
      {"-set_user_data 300", true},
      {"-set_user_data 7", true},
      {"-change_user_data_from_to 5 6", true},
      {"-set_point_source 65535", true},
      {"-set_point_source 70000", true},
      {"-change_point_source_from_to 3 4", true},
      {"-translate_z 1.5 -scale_intensity 2 -set_user_data 7 -translate_raw_x 5 -change_point_source_from_to 1 2",
       true},
      // Order matters: the real translation sees the first raw one.
      {"-translate_raw_z 10 -translate_z 0.005 -translate_raw_z -10", true},
      {"-change_user_data_from_to 5 6 -change_user_data_from_to 6 5 -set_intensity 9 -translate_intensity 1", true},

      {"-translate_raw_xy_at_random 2 2", false},
      {"-scale_x 2", false},
      {"-scale_xyz 1 1 1", false},
      {"-translate_then_scale_x 1 2", false},
      {"-rotate_xy 15 0 0", false},
      {"-switch_x_y", false},
      {"-clamp_z 0 10", false},
      {"-clamp_raw_z 0 10", false},
      {"-clamp_intensity 0 255", false},
      {"-set_classification 3", false},
      {"-change_classification_from_to 2 3", false},
      {"-set_return_number 1", false},
      {"-set_number_of_returns 2", false},
      {"-set_withheld_flag 1", false},
      {"-set_extended_classification 3", false},
      {"-set_scanner_channel 1", false},
      {"-translate_scan_angle 5", false},
      {"-scale_user_data 2", false},
      {"-set_gps_time 5", false},
      {"-translate_z 1 -scale_x 2", false},
      {"-set_user_data 9 -filtered_transform -keep_class 2", false},
  };
  // One quantizer object takes each quantizer's values in turn, as a reader's
  // header does from file to file: what a transform remembers about the
  // quantizer it last saw must not outlive the values.
  LAScoordinateQuantizer shared;
  for (const TransformRow& row : rows) {
    auto changing = transform_from(row.options);
    EXPECT_EQ(changing->changes_records(), row.changes_records) << row.options;
    if (!row.changes_records) continue;
    for (const NamedQuantizer& named : quantizers()) {
      SCOPED_TRACE(row.options + " on " + named.name);
      shared = named.q;
      auto reference = transform_from(row.options);
      const std::vector<std::uint8_t> original = records_around(row.options, named.q, 7, 1500);
      std::vector<std::uint8_t> changed = original;
      const std::uint32_t count = static_cast<std::uint32_t>(changed.size() / record_size);
      for (std::uint32_t start = 0, length = 1; start < count; start += length, length = length * 3 % 301 + 1) {
        length = std::min(length, count - start);
        changing->apply_to_records(changed.data() + std::size_t{start} * record_size, length, record_size, shared);
      }
      RecordPoint point(named.q);
      int failures = 0;
      for (std::uint32_t r = 0; r < count && failures < 5; r++) {
        const std::uint8_t* before = original.data() + std::size_t{r} * record_size;
        const std::uint8_t* after = changed.data() + std::size_t{r} * record_size;
        LASpoint& p = point.of(before);
        reference->apply(p);
        const bool same = std::memcmp(&p.X, after, 20) == 0 && std::memcmp(before + 20, after + 20, record_size - 20) == 0;
        if (!same) {
          std::int32_t xyz[3];
          std::memcpy(xyz, after, 12);
          ADD_FAILURE() << "record " << r << ": point X Y Z " << p.X << " " << p.Y << " " << p.Z << " intensity "
                        << p.intensity << ", record X Y Z " << xyz[0] << " " << xyz[1] << " " << xyz[2];
          failures++;
        }
      }
    }
  }
}

}  // namespace
}  // namespace tinrise
