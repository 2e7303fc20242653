// Raw items: the LAS 1.4 core record converted into the point's legacy and
// extended fields and back, legacy points written as LAS 1.4 cores, and extra
// bytes moved at their exact size.
#include "las/core/las_item_raw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "las/core/bytestream_array.h"
#include "las/core/las_point.h"

namespace tinrise {
namespace {

using bytes = std::vector<std::uint8_t>;

// A 30-byte core record with fixed coordinates, intensity, user data, source
// and GPS time around the fields under test.
bytes point14_record(std::uint8_t returns, std::uint8_t flags, std::uint8_t classification, std::int16_t scan_angle) {
  bytes record = {0x01, 0x00, 0x00, 0x00,  // X 1
                  0xFE, 0xFF, 0xFF, 0xFF,  // Y -2
                  0x03, 0x00, 0x00, 0x80,  // Z
                  0x34, 0x12,              // intensity
                  returns, flags, classification,
                  0x77,                    // user data
                  0, 0,                    // scan angle, below
                  0xCD, 0xAB,              // point source ID
                  0, 0, 0, 0, 0, 0, 0xF0, 0x3F};  // GPS time 1.0
  record[18] = static_cast<std::uint8_t>(scan_angle);
  record[19] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(scan_angle) >> 8);
  return record;
}

TEST(LASitemRawPOINT14, ConvertsTheCoreRecordIntoLegacyAndExtendedFieldsAndBack) {
  struct Case {
    const char* what;
    std::uint8_t returns, flags, classification;
    std::int16_t scan_angle;
    int return_number, number_of_returns, legacy_class, scan_angle_rank;
    int synthetic, keypoint, withheld, scan_direction, edge, channel;
  };
  const Case cases[] = {
      {"return 12 of 12", 0xCC, 0, 2, 0, 7, 7, 2, 0, 0, 0, 0, 0, 0, 0},
      {"return 9 of 12", 0xC9, 0, 2, 0, 6, 7, 2, 0, 0, 0, 0, 0, 0, 0},
      {"return 3 of 12", 0xC3, 0, 2, 0, 3, 7, 2, 0, 0, 0, 0, 0, 0, 0},
      {"return 5 of 5", 0x55, 0, 2, 0, 5, 5, 2, 0, 0, 0, 0, 0, 0, 0},
      {"return 15 of 8", 0x8F, 0, 2, 0, 7, 7, 2, 0, 0, 0, 0, 0, 0, 0},
      {"classification 40", 0x11, 0, 40, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0},
      {"classification 31", 0x11, 0, 31, 0, 1, 1, 31, 0, 0, 0, 0, 0, 0, 0},
      {"scan angle 90 degrees", 0x11, 0, 1, 15000, 1, 1, 1, 90, 0, 0, 0, 0, 0, 0},
      {"scan angle -150 degrees", 0x11, 0, 1, -25000, 1, 1, 1, -128, 0, 0, 0, 0, 0, 0},
      {"scan angle 150 degrees", 0x11, 0, 1, 25000, 1, 1, 1, 127, 0, 0, 0, 0, 0, 0},
      {"scan angle -0.498 degrees", 0x11, 0, 1, -83, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0},
      {"scan angle -0.504 degrees", 0x11, 0, 1, -84, 1, 1, 1, -1, 0, 0, 0, 0, 0, 0},
      {"every flag and channel 3", 0x11, 0xFF, 1, 0, 1, 1, 1, 0, 1, 1, 1, 1, 1, 3},
      {"overlap alone", 0x11, 0x08, 1, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0},
      {"channel 2 and edge", 0x11, 0xA0, 1, 0, 1, 1, 1, 0, 0, 0, 0, 0, 1, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const bytes record = point14_record(c.returns, c.flags, c.classification, c.scan_angle);
    LASpoint point;
    ASSERT_TRUE(point.init(nullptr, 6, 30));
    ByteStreamInArray in(record.data(), static_cast<std::int64_t>(record.size()));
    LASitemRawReaderPOINT14 reader;
    reader.init(&in);
    std::uint32_t context = 0;
    reader.read(point.item_pointers[0], context);

    EXPECT_EQ(point.X, 1);
    EXPECT_EQ(point.Y, -2);
    EXPECT_EQ(point.Z, static_cast<std::int32_t>(0x80000003u));
    EXPECT_EQ(point.intensity, 0x1234);
    EXPECT_EQ(point.return_number, c.return_number);
    EXPECT_EQ(point.number_of_returns, c.number_of_returns);
    EXPECT_EQ(point.classification, c.legacy_class);
    EXPECT_EQ(point.scan_angle_rank, c.scan_angle_rank);
    EXPECT_EQ(point.synthetic_flag, c.synthetic);
    EXPECT_EQ(point.keypoint_flag, c.keypoint);
    EXPECT_EQ(point.withheld_flag, c.withheld);
    EXPECT_EQ(point.scan_direction_flag, c.scan_direction);
    EXPECT_EQ(point.edge_of_flight_line, c.edge);
    EXPECT_EQ(point.user_data, 0x77);
    EXPECT_EQ(point.point_source_ID, 0xABCD);
    EXPECT_EQ(point.extended_form, 1);
    EXPECT_EQ(point.extended_return_number, c.returns & 15);
    EXPECT_EQ(point.extended_number_of_returns, c.returns >> 4);
    EXPECT_EQ(point.extended_classification, c.classification);
    EXPECT_EQ(point.extended_classification_flags, c.flags & 15);
    EXPECT_EQ(point.extended_scanner_channel, c.channel);
    EXPECT_EQ(point.extended_scan_angle, c.scan_angle);
    EXPECT_EQ(point.gps_time, 1.0);

    // Written back, the extended fields restore every byte of the record.
    ByteStreamOutArray out;
    LASitemRawWriterPOINT14 writer;
    writer.init(&out);
    ASSERT_TRUE(writer.write(point.item_pointers[0], context));
    EXPECT_EQ(bytes(out.get_data(), out.get_data() + out.get_size()), record);
  }
}

// Readers decide LAS 1.4 records from their legacy bytes alone, before any
// point is filled: those bytes must read as the fields the point gets, for
// every returns byte and flags byte, long pulses and scan angles at the ends
// of the rank range included.
TEST(LASitemRawPOINT14, LegacyBytesAreThePointsLegacyFields) {
  const std::int16_t angles[] = {0, 1, -1, 83, -83, 84, -84, 21166, -21166, 21167, -21167, 32767, -32768};
  LASpoint point;
  for (unsigned returns = 0; returns < 256; returns++) {
    for (unsigned flags = 0; flags < 256; flags += 1 + (returns % 3)) {
      const std::uint8_t classification = static_cast<std::uint8_t>((returns * 7 + flags) % 64);
      const std::int16_t angle = angles[(returns + flags) % std::size(angles)];
      const bytes record = point14_record(static_cast<std::uint8_t>(returns), static_cast<std::uint8_t>(flags),
                                          classification, angle);
      std::uint8_t legacy[20];
      point14_record_to_legacy(record.data(), legacy);
      point14_record_to_item(record.data(), reinterpret_cast<std::uint8_t*>(&point.X));
      SCOPED_TRACE(::testing::Message() << "returns " << returns << " flags " << flags << " angle " << angle);
      ASSERT_EQ(0, std::memcmp(legacy, &point.X, 20));

      const unsigned r = returns & 15, n = returns >> 4;
      const unsigned legacy_n = n > 7 ? 7 : n;
      const unsigned legacy_r = n > 7 ? (r <= 6 ? r : (r >= n ? 7 : 6)) : (r & 7);
      EXPECT_EQ(legacy[14] & 7, legacy_r);
      EXPECT_EQ((legacy[14] >> 3) & 7, legacy_n);
      EXPECT_EQ(legacy[14] >> 6, ((flags >> 6) & 1) | ((flags >> 7) & 1) << 1);
      EXPECT_EQ(legacy[15] & 31, classification < 32 ? classification : 0);
      EXPECT_EQ(legacy[15] >> 5, flags & 7);
      const double degrees = angle * 0.006;
      const long rounded = std::lround(static_cast<float>(degrees));
      EXPECT_EQ(static_cast<std::int8_t>(legacy[16]), std::clamp<long>(rounded, -128, 127));
    }
  }
}

TEST(LASitemRawPOINT14, WritesALegacyPointFromItsLegacyFields) {
  struct Case {
    const char* what;
    int return_number, number_of_returns, scan_angle_rank;
    std::uint8_t returns_byte;
    std::int16_t scan_angle;
  };
  const Case cases[] = {
      {"return 2 of 3, 15 degrees", 2, 3, 15, 0x32, 2500},
      {"return 7 of 7, -15 degrees", 7, 7, -15, 0x77, -2500},
      {"return 1 of 1, -90 degrees", 1, 1, -90, 0x11, -15000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LASpoint point;
    ASSERT_TRUE(point.init(nullptr, 1, 28));
    point.X = 1;
    point.Y = -2;
    point.Z = static_cast<std::int32_t>(0x80000003u);
    point.intensity = 0x1234;
    point.return_number = c.return_number;
    point.number_of_returns = c.number_of_returns;
    point.scan_angle_rank = static_cast<std::int8_t>(c.scan_angle_rank);
    point.classification = 6;
    point.keypoint_flag = 1;
    point.edge_of_flight_line = 1;
    point.user_data = 0x77;
    point.point_source_ID = 0xABCD;
    point.gps_time = 1.0;
    // Extended fields of a legacy point are not its own and must not leak out.
    point.extended_scanner_channel = 3;
    point.extended_classification_flags = 15;
    point.extended_classification = 200;
    ByteStreamOutArray out;
    LASitemRawWriterPOINT14 writer;
    writer.init(&out);
    std::uint32_t context = 0;
    ASSERT_TRUE(writer.write(reinterpret_cast<const std::uint8_t*>(&point.X), context));
    EXPECT_EQ(bytes(out.get_data(), out.get_data() + out.get_size()),
              point14_record(c.returns_byte, 0x82, 6, c.scan_angle));
  }
}

TEST(LASitemRaw, ExtraBytesMoveExactlyTheirSize) {
  const bytes data = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  const LASitem item{LASitem::BYTE, 7, 0};
  auto reader = create_raw_item_reader(item);
  ASSERT_NE(reader, nullptr);
  ByteStreamInArray in(data.data(), static_cast<std::int64_t>(data.size()));
  reader->init(&in);
  std::uint8_t extra[9] = {};
  std::uint32_t context = 0;
  reader->read(extra, context);
  EXPECT_EQ(in.tell(), 7);
  EXPECT_EQ(bytes(extra, extra + 9), (bytes{1, 2, 3, 4, 5, 6, 7, 0, 0}));
  EXPECT_THROW(reader->read(extra, context), int) << "only 2 bytes remain";

  auto writer = create_raw_item_writer(LASitem{LASitem::BYTE14, 7, 0});
  ASSERT_NE(writer, nullptr);
  ByteStreamOutArray out;
  writer->init(&out);
  ASSERT_TRUE(writer->write(data.data(), context));
  EXPECT_EQ(bytes(out.get_data(), out.get_data() + out.get_size()), bytes(data.begin(), data.begin() + 7));
}

TEST(LASitemRaw, ItemsWithoutARawLayoutGetNoReaderOrWriter) {
  const LASitem refused[] = {
      {static_cast<LASitem::Type>(3), 4, 0},
      {LASitem::POINT10, 21, 0},
      {LASitem::POINT14, 20, 0},
      {LASitem::RGB12, 8, 0},
      {LASitem::BYTE, 0, 0},
  };
  for (const LASitem& item : refused) {
    EXPECT_EQ(create_raw_item_reader(item), nullptr) << item.type << " " << item.size;
    EXPECT_EQ(create_raw_item_writer(item), nullptr) << item.type << " " << item.size;
  }
}

}  // namespace
}  // namespace tinrise
