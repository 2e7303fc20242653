#include "las/core/las_point.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "las/core/las_quantizer.h"

namespace tinrise {
namespace {

TEST(LAScoordinateQuantizer, RoundsHalfAwayFromZeroOnBothSidesOfTheOffset) {
  LAScoordinateQuantizer q;
  q.x_scale_factor = 0.5;
  q.x_offset = 100.0;
  struct Case { double x; std::int32_t expected; };
  const Case cases[] = {
      {100.0 + 2.5 * 0.5, 3},    // 2.5 units above the offset
      {100.0 - 2.5 * 0.5, -3},   // 2.5 units below
      {100.0 + 2.4 * 0.5, 2},
      {100.0 - 2.4 * 0.5, -2},
      {100.0 + 0.5 * 0.5, 1},
      {100.0 - 0.5 * 0.5, -1},
      {100.0, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(q.quantize_x(c.x), c.expected) << c.x;
  EXPECT_DOUBLE_EQ(q.dequantize_x(-3), 98.5);
}

TEST(LAScoordinateQuantizer, KeepsTheLow32BitsAndSurvivesHugeValues) {
  LAScoordinateQuantizer q;  // 0.01 scale
  q.z_scale_factor = 1.0;
  EXPECT_EQ(q.quantize_z(4294967296.0 + 5.0), 5);  // 2^32 + 5 wraps to 5
  q.z_scale_factor = 1e-300;
  (void)q.quantize_z(1e300);  // beyond the 64-bit range: must not be undefined
  (void)q.quantize_z(std::nan(""));
}

struct PointTypeCase {
  int type;
  int size;
  std::vector<LASitem::Type> items;
  std::vector<int> item_sizes;
  bool gps, rgb, nir, wave;
  int extra;
};

class LASpointInit : public ::testing::TestWithParam<PointTypeCase> {};

TEST_P(LASpointInit, BuildsTheItemListOfEveryPointType) {
  const PointTypeCase& c = GetParam();
  LASpoint point;
  LAScoordinateQuantizer quantizer;
  ASSERT_TRUE(point.init(&quantizer, c.type, c.size));
  ASSERT_EQ(point.num_items, c.items.size());
  for (std::size_t i = 0; i < c.items.size(); i++) {
    EXPECT_EQ(point.items[i].type, c.items[i]) << i;
    EXPECT_EQ(point.items[i].size, c.item_sizes[i]) << i;
    EXPECT_EQ(point.items[i].version, 0);
    EXPECT_NE(point.item_pointers[i], nullptr);
  }
  EXPECT_EQ(point.point_size, c.size);
  EXPECT_EQ(point.has_gps_time, c.gps);
  EXPECT_EQ(point.has_rgb, c.rgb);
  EXPECT_EQ(point.has_nir, c.nir);
  EXPECT_EQ(point.has_wave_packet, c.wave);
  EXPECT_EQ(point.extra_byte_count, c.extra);
  EXPECT_EQ(point.extended_form, c.type >= 6 ? 1 : 0);
  EXPECT_EQ(point.item_pointers[0], reinterpret_cast<std::uint8_t*>(&point.X));
}

using T = LASitem::Type;
INSTANTIATE_TEST_SUITE_P(
    AllTypes, LASpointInit,
    ::testing::Values(
        PointTypeCase{0, 20, {T::POINT10}, {20}, false, false, false, false, 0},
        PointTypeCase{1, 28, {T::POINT10, T::GPSTIME11}, {20, 8}, true, false, false, false, 0},
        PointTypeCase{2, 26, {T::POINT10, T::RGB12}, {20, 6}, false, true, false, false, 0},
        PointTypeCase{3, 34, {T::POINT10, T::GPSTIME11, T::RGB12}, {20, 8, 6}, true, true, false, false, 0},
        PointTypeCase{4, 57, {T::POINT10, T::GPSTIME11, T::WAVEPACKET13}, {20, 8, 29}, true, false, false, true, 0},
        PointTypeCase{5, 63, {T::POINT10, T::GPSTIME11, T::RGB12, T::WAVEPACKET13}, {20, 8, 6, 29}, true, true, false,
                      true, 0},
        PointTypeCase{6, 30, {T::POINT14}, {30}, true, false, false, false, 0},
        PointTypeCase{7, 36, {T::POINT14, T::RGB14}, {30, 6}, true, true, false, false, 0},
        PointTypeCase{8, 38, {T::POINT14, T::RGBNIR14}, {30, 8}, true, true, true, false, 0},
        PointTypeCase{9, 59, {T::POINT14, T::WAVEPACKET14}, {30, 29}, true, false, false, true, 0},
        PointTypeCase{10, 67, {T::POINT14, T::RGBNIR14, T::WAVEPACKET14}, {30, 8, 29}, true, true, true, true, 0},
        PointTypeCase{1, 30, {T::POINT10, T::GPSTIME11, T::BYTE}, {20, 8, 2}, true, false, false, false, 2},
        PointTypeCase{6, 34, {T::POINT14, T::BYTE14}, {30, 4}, true, false, false, false, 4}));

TEST(LASpoint, InitRefusesUnknownTypesWithTheMessage) {
  LASpoint point;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(point.init(nullptr, 11, 30));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR: unknown point type 11 with point size 30\n");
}

TEST(LASpoint, ShortRecordWarnsAndGetsNoExtraBytes) {
  LASpoint point;
  testing::internal::CaptureStderr();
  ASSERT_TRUE(point.init(nullptr, 1, 27));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "WARNING: point size 27 too small by 1 bytes for point type 1. assuming point_size of 28\n");
  EXPECT_EQ(point.num_items, 2);
  EXPECT_EQ(point.extra_byte_count, 0);
}

TEST(LASpoint, LegacyBytesMatchThePoint10Item) {
  LASpoint point;
  point.X = 0x01020304;
  point.intensity = 0x0506;
  point.return_number = 2;
  point.number_of_returns = 3;
  point.scan_direction_flag = 1;
  point.edge_of_flight_line = 0;
  point.classification = 17;
  point.withheld_flag = 1;
  point.scan_angle_rank = -7;
  point.user_data = 200;
  point.point_source_ID = 0x0708;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&point.X);
  EXPECT_EQ(bytes[0], 0x04);
  EXPECT_EQ(bytes[12], 0x06);
  EXPECT_EQ(bytes[14], 2 | (3 << 3) | (1 << 6));
  EXPECT_EQ(bytes[15], 17 | (1 << 7));
  EXPECT_EQ(static_cast<std::int8_t>(bytes[16]), -7);
  EXPECT_EQ(bytes[17], 200);
  EXPECT_EQ(bytes[18], 0x08);
  EXPECT_EQ(bytes[19], 0x07);
}

TEST(LASpoint, ResetGivesReturnOneOfOneInBothForms) {
  LASpoint point;
  point.return_number = 4;
  point.extended_number_of_returns = 9;
  point.reset();
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&point.X);
  EXPECT_EQ(bytes[14], 9);
  EXPECT_EQ(point.extended_return_number, 1);
  EXPECT_EQ(point.extended_number_of_returns, 1);
  EXPECT_EQ(point.num_items, 0);
}

TEST(LASpoint, AssigningLegacyToExtendedDerivesTheExtendedFields) {
  LAScoordinateQuantizer quantizer;
  LASpoint legacy, extended;
  ASSERT_TRUE(legacy.init(&quantizer, 1, 28));
  ASSERT_TRUE(extended.init(&quantizer, 7, 36));
  legacy.X = 11;
  legacy.return_number = 2;
  legacy.number_of_returns = 5;
  legacy.classification = 9;
  legacy.scan_angle_rank = -15;
  legacy.gps_time = 12.5;
  legacy.deleted_flag = 1;
  extended.rgb[0] = 77;
  extended = legacy;
  EXPECT_EQ(extended.X, 11);
  EXPECT_EQ(extended.extended_return_number, 2);
  EXPECT_EQ(extended.extended_number_of_returns, 5);
  EXPECT_EQ(extended.extended_classification, 9);
  EXPECT_EQ(extended.extended_classification_flags, 0);
  EXPECT_EQ(extended.extended_scan_angle, -2500);
  EXPECT_EQ(extended.extended_form, 1);
  EXPECT_EQ(extended.gps_time, 12.5);
  EXPECT_EQ(extended.deleted_flag, 1u);
  EXPECT_EQ(extended.rgb[0], 77);  // the source has no colour to give

  // Back to legacy: the extended source keeps the legacy point's own form.
  extended.extended_classification = 40;
  LASpoint back;
  ASSERT_TRUE(back.init(&quantizer, 1, 28));
  back = extended;
  EXPECT_EQ(back.extended_form, 0);
  EXPECT_EQ(back.extended_classification, 40);
  EXPECT_EQ(back.classification, 9);
}

TEST(LASpoint, AssignmentCopiesOnlyTheExtraBytesBothPointsHave) {
  LAScoordinateQuantizer quantizer;
  LASpoint small, large;
  ASSERT_TRUE(small.init(&quantizer, 0, 22));
  ASSERT_TRUE(large.init(&quantizer, 0, 26));
  std::memcpy(small.extra_bytes, "ab", 2);
  std::memcpy(large.extra_bytes, "uvwxyz", 6);
  large = small;
  EXPECT_EQ(std::memcmp(large.extra_bytes, "abwxyz", 6), 0);
  std::memcpy(large.extra_bytes, "UVWXYZ", 6);
  small = large;
  EXPECT_EQ(std::memcmp(small.extra_bytes, "UV", 2), 0);
}

}  // namespace
}  // namespace tinrise
