#include "las/io/las_reader_las.h"

#include <gtest/gtest.h>

#include <string>

#include "las/core/bytestream_array.h"
#include "support/las_bytes.h"

namespace tinrise {
namespace {

using test::Bytes;
using test::get;
using test::put;

std::string real(const char* name) { return std::string(TINRISE_TEST_DATA) + "/real/" + name; }

// Opens LAS bytes held in memory; the captured stderr goes to `err`.
bool open_bytes(LASreaderLAS& reader, const Bytes& bytes, std::string& err) {
  testing::internal::CaptureStderr();
  const bool opened = reader.open(new ByteStreamInArray(bytes.data(), static_cast<std::int64_t>(bytes.size())));
  err = testing::internal::GetCapturedStderr();
  return opened;
}

class RealSample : public ::testing::TestWithParam<const char*> {};

// Everything the reader reports is checked against the file's bytes read at
// their fixed offsets, not against another part of the library.
TEST_P(RealSample, MatchesAnIndependentByteLevelRead) {
  const Bytes bytes = test::read_file_bytes(real(GetParam()));
  ASSERT_GT(bytes.size(), 227u);
  LASreaderLAS reader;
  testing::internal::CaptureStderr();
  ASSERT_TRUE(reader.open(real(GetParam()).c_str()));
  testing::internal::GetCapturedStderr();
  const LASheader& h = reader.header;
  const int minor = bytes[25];
  std::int64_t count = get<std::uint32_t>(bytes, 107);
  if (count == 0 && minor >= 4) count = static_cast<std::int64_t>(get<std::uint64_t>(bytes, 247));
  EXPECT_EQ(reader.point_count, count);
  EXPECT_EQ(h.x_scale_factor, get<double>(bytes, 131));
  EXPECT_EQ(h.z_scale_factor, get<double>(bytes, 147));
  EXPECT_EQ(h.x_offset, get<double>(bytes, 155));
  EXPECT_EQ(h.max_x, get<double>(bytes, 179));
  EXPECT_EQ(h.min_x, get<double>(bytes, 187));
  EXPECT_EQ(h.min_z, get<double>(bytes, 219));
  const std::uint32_t offset = get<std::uint32_t>(bytes, 96);
  const std::uint16_t length = get<std::uint16_t>(bytes, 105);
  const int type = bytes[104] & 0x3F;
  std::int64_t read = 0;
  while (reader.next_point()) {
    const std::size_t at = offset + static_cast<std::size_t>(read) * length;
    if (read == 0 || read == count - 1) {
      const LASpoint& p = reader.point;
      EXPECT_EQ(p.X, get<std::int32_t>(bytes, at));
      EXPECT_EQ(p.Y, get<std::int32_t>(bytes, at + 4));
      EXPECT_EQ(p.Z, get<std::int32_t>(bytes, at + 8));
      EXPECT_EQ(p.intensity, get<std::uint16_t>(bytes, at + 12));
      if (type < 6) {
        EXPECT_EQ(std::memcmp(&p.X, bytes.data() + at, 20), 0);
        EXPECT_EQ(p.gps_time, get<double>(bytes, at + 20));
        if (type == 3) {
          EXPECT_EQ(p.rgb[2], get<std::uint16_t>(bytes, at + 32));
        }
      } else {
        EXPECT_EQ(p.extended_classification, bytes[at + 16]);
        EXPECT_EQ(p.gps_time, get<double>(bytes, at + 22));
      }
      if (p.extra_byte_count > 0) {
        EXPECT_EQ(std::memcmp(p.extra_bytes, bytes.data() + at + length - p.extra_byte_count, p.extra_byte_count), 0);
      }
    }
    read++;
  }
  EXPECT_EQ(read, count);
  EXPECT_FALSE(reader.next_point());
}

INSTANTIATE_TEST_SUITE_P(Files, RealSample,
                         ::testing::Values("simple.las", "100-points.las", "warsaw_small.las", "test1_4.las",
                                           "extrabytes.las", "no-points.las", "bad_vlr_count.las"));

TEST(LASreaderLAS, SamplesWithRecordsAndOddHeaders) {
  {
    LASreaderLAS reader;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(reader.open(real("bad_vlr_count.las").c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "WARNING: only 0 bytes until point block after reading 2 of 3 vlrs. skipping remaining vlrs ...\n");
    EXPECT_EQ(reader.header.number_of_variable_length_records, 2u);
    int n = 0;
    while (reader.next_point()) n++;
    EXPECT_EQ(n, 10);
  }
  {
    LASreaderLAS reader;
    ASSERT_TRUE(reader.open(real("no-points.las").c_str()));
    EXPECT_EQ(reader.point_count, 0);
    EXPECT_FALSE(reader.next_point());
  }
  {
    LASreaderLAS reader;
    ASSERT_TRUE(reader.open(real("extrabytes.las").c_str()));
    EXPECT_GT(reader.header.attribute_count(), 1);
    EXPECT_EQ(reader.header.attributes_size(), 27);
    EXPECT_EQ(reader.point.extra_byte_count, 27);
  }
  {
    LASreaderLAS reader;
    ASSERT_TRUE(reader.open(real("warsaw_small.las").c_str()));
    int length = 0;
    EXPECT_NE(reader.header.vlr_wkt_coordinate_system(&length), nullptr);
    EXPECT_GT(length, 0);
  }
}

// A small valid file: LAS 1.2, type 0, three points on a line.
Bytes three_points(int minor = 2) {
  Bytes b = test::las_header(minor, 0, 20, 3);
  for (int i = 0; i < 3; i++) {
    Bytes record(20, 0);
    put<std::int32_t>(record, 0, 10000 + 100 * i);  // x = 100, 101, 102
    put<std::int32_t>(record, 4, 20000 + 100 * i);
    put<std::int32_t>(record, 8, i);
    record[14] = 9;  // return 1 of 1
    b.insert(b.end(), record.begin(), record.end());
  }
  put<double>(b, 179, 102.0);
  put<double>(b, 187, 100.0);
  put<double>(b, 195, 202.0);
  put<double>(b, 203, 200.0);
  return b;
}

TEST(LASreaderLAS, HostileAndDamagedHeaders) {
  struct Case {
    const char* what;
    Bytes bytes;
    bool opens;
    std::string err;
  };
  std::vector<Case> cases;
  cases.push_back({"empty", {}, false, "ERROR: reading header.file_signature\n"});
  {
    Bytes b = three_points();
    b.resize(100);
    cases.push_back({"cut in number_of_variable_length_records", b, false,
                     "ERROR: reading header.number_of_variable_length_records\n"});
  }
  {
    Bytes b = three_points();
    b.resize(120);
    cases.push_back({"cut in counts by return", b, false, "ERROR: reading header.number_of_points_by_return 2\n"});
  }
  {
    Bytes b = three_points();
    b[0] = 'X';
    cases.push_back({"signature", b, false, "ERROR: wrong file signature 'XASF'\n"});
  }
  {
    Bytes b = three_points();
    put<std::uint16_t>(b, 94, 200);
    cases.push_back({"header size", b, false, "ERROR: header size is 200 but should be at least 227\n"});
  }
  {
    Bytes b = three_points();
    put<std::uint32_t>(b, 96, 226);
    cases.push_back({"offset", b, false, "ERROR: offset to point data 226 is smaller than header size 227\n"});
  }
  {
    Bytes b = three_points(4);
    b[25] = 7;
    cases.push_back({"version", b, true, "WARNING: unknown version 1.7 (should be 1.0 or 1.1 or 1.2 or 1.3 or 1.4)\n"});
  }
  {
    Bytes b = three_points();
    put<double>(b, 139, 0.0);
    put<double>(b, 187, 200.0);  // min_x above max_x
    cases.push_back({"zero scale and box", b, true,
                     "WARNING: y scale factor is zero.\nWARNING: invalid bounding box [ 200 200 0 / 102 202 0 ]\n"});
  }
  {
    Bytes b = three_points(3);
    b.erase(b.begin() + 227, b.begin() + 235);
    put<std::uint16_t>(b, 94, 227);
    put<std::uint32_t>(b, 96, 227);
    cases.push_back({"1.3 with a 227-byte header", b, true,
                     "WARNING: for LAS 1.3 header_size should at least be 235 but it is only 227\n"});
  }
  {
    Bytes b = three_points(2);
    b[25] = 4;
    b.insert(b.begin() + 227, 8, 0);
    put<std::uint16_t>(b, 94, 235);
    put<std::uint32_t>(b, 96, 235);
    cases.push_back({"1.4 with a 235-byte header", b, false,
                     "ERROR: for LAS 1.4 header_size should at least be 375 but it is only 235\n"});
  }
  {
    Bytes b = three_points();
    b[104] = 131;
    cases.push_back({"compressed bit without record", b, false,
                     "ERROR: this file was compressed with an experimental version of pakmor\n"
                     "ERROR: please contact support@pelotrax.example for assistance\n"});
  }
  {
    Bytes b = three_points();
    b[104] = 11;
    cases.push_back({"unknown point type", b, false, "ERROR: unknown point type 11 with point size 20\n"});
  }
  {
    Bytes b = test::las_header(2, 0, 20, 0);
    Bytes payload(40, 7);
    test::add_vlr(b, "other", 1, payload);
    put<std::uint32_t>(b, 96, get<std::uint32_t>(b, 96) - 10);  // the payload runs 10 bytes into the points
    b.resize(get<std::uint32_t>(b, 96));
    cases.push_back({"payload past the points", b, true,
                     "WARNING: only 30 bytes until point block when trying to read 40 bytes into header.vlrs[0].data\n"});
  }
  {
    Bytes b = test::las_header(2, 0, 20, 0);
    test::add_vlr(b, "Pelotrax", 10, Bytes(20, 0));
    cases.push_back({"tiling record of the wrong length", b, false,
                     "ERROR: record_length_after_header of VLR Pelotrax (10) is 20 instead of 28\n"});
  }
  {
    Bytes b = test::las_header(2, 0, 20, 0);
    test::add_vlr(b, "other", 1, Bytes(8, 0));
    put<std::uint16_t>(b, 227 + 20, 60000);  // announces far more than the file holds
    put<std::uint32_t>(b, 96, 227 + 54 + 60000);
    cases.push_back({"payload longer than the file", b, false, "ERROR: reading 60000 bytes of data into header.vlrs[0].data\n"});
  }
  {
    Bytes b = three_points(4);
    put<std::uint32_t>(b, 243, 1);               // one EVLR
    put<std::uint64_t>(b, 235, 1u << 30);        // far beyond the end
    cases.push_back({"evlr beyond the end", b, false, "ERROR: reading header.evlrs[0].reserved\n"});
  }
  {
    Bytes b = three_points();
    b.resize(b.size() - 5);
    cases.push_back({"points cut short", b, true, ""});
  }
  for (const Case& c : cases) {
    LASreaderLAS reader;
    std::string err;
    EXPECT_EQ(open_bytes(reader, c.bytes, err), c.opens) << c.what;
    EXPECT_EQ(err, c.err) << c.what;
  }
}

TEST(LASreaderLAS, TruncatedPointDataWarnsAtTheEnd) {
  Bytes b = three_points();
  b.resize(b.size() - 5);
  LASreaderLAS reader;
  std::string err;
  ASSERT_TRUE(open_bytes(reader, b, err));
  EXPECT_TRUE(reader.next_point());
  EXPECT_TRUE(reader.next_point());
  testing::internal::CaptureStderr();
  EXPECT_FALSE(reader.next_point());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "WARNING: end-of-file after 2 of 3 points\n");
}

TEST(LASreaderLAS, PrivateRecordsLeaveTheVlrList) {
  Bytes b = test::las_header(2, 0, 20, 0);
  test::add_vlr(b, "LASF_Projection", 2112, Bytes(10, 'w'));
  Bytes tiling(28, 0);
  put<std::uint32_t>(tiling, 0, 3);
  test::add_vlr(b, "Pelotrax", 10, tiling);
  test::add_vlr(b, "Pelotrax", 20, Bytes(176, 0));
  test::add_vlr(b, "Pelotrax", 2001, Bytes(4, 1));
  LASreaderLAS reader;
  std::string err;
  ASSERT_TRUE(open_bytes(reader, b, err));
  EXPECT_EQ(err, "");
  const LASheader& h = reader.header;
  ASSERT_EQ(h.vlrs.size(), 2u);
  EXPECT_EQ(h.number_of_variable_length_records, 2u);
  EXPECT_EQ(h.offset_to_point_data, 227u + 54 + 10 + 54 + 4);
  ASSERT_TRUE(h.vlr_lastiling.has_value());
  EXPECT_EQ(h.vlr_lastiling->level, 3u);
  EXPECT_TRUE(h.vlr_lasoriginal.has_value());
}

TEST(LASreaderLAS, ExtendedCountOf14FilesAndUserDataAfterHeader) {
  Bytes b = three_points(4);
  put<std::uint32_t>(b, 107, 0);
  b.insert(b.begin() + 375, {1, 2, 3});  // user data between header and points
  put<std::uint32_t>(b, 96, 378);
  LASreaderLAS reader;
  std::string err;
  ASSERT_TRUE(open_bytes(reader, b, err));
  EXPECT_EQ(reader.point_count, 3);
  EXPECT_EQ(reader.header.user_data_after_header, (Bytes{1, 2, 3}));
  int n = 0;
  while (reader.next_point()) n++;
  EXPECT_EQ(n, 3);
}

TEST(LASreaderLAS, AreaQueriesShrinkTheBoxAndSkipOutsidePoints) {
  const Bytes b = three_points();
  LASreaderLAS reader;
  std::string err;
  ASSERT_TRUE(open_bytes(reader, b, err));
  reader.inside_tile(100, 200, 2);
  EXPECT_EQ(reader.header.min_x, 100.0);
  EXPECT_DOUBLE_EQ(reader.header.max_x, 101.99);
  EXPECT_DOUBLE_EQ(reader.header.max_y, 201.99);
  std::vector<std::int32_t> xs;
  while (reader.next_point()) xs.push_back(reader.point.X);
  EXPECT_EQ(xs, (std::vector<std::int32_t>{10000, 10100}));  // x = 102 lies on the open edge
  reader.inside_clear();
  EXPECT_EQ(reader.header.max_x, 102.0);
  EXPECT_EQ(reader.header.min_x, 100.0);

  ASSERT_TRUE(reader.seek(0));
  reader.inside_circle(101, 201, 1.0);
  xs.clear();
  while (reader.next_point()) xs.push_back(reader.point.X);
  EXPECT_EQ(xs, (std::vector<std::int32_t>{10100}));  // the others lie on the circle

  reader.inside_clear();
  ASSERT_TRUE(reader.seek(0));
  reader.inside_rectangle(500, 500, 600, 600);
  EXPECT_FALSE(reader.next_point());
}

TEST(LASreaderLAS, SeekBoundsAndRewind) {
  const Bytes b = three_points();
  LASreaderLAS reader;
  std::string err;
  ASSERT_TRUE(open_bytes(reader, b, err));
  EXPECT_FALSE(reader.seek(3));
  ASSERT_TRUE(reader.seek(2));
  ASSERT_TRUE(reader.next_point());
  EXPECT_EQ(reader.point.X, 10200);
  EXPECT_FALSE(reader.next_point());
  EXPECT_FALSE(reader.next_point());
  ASSERT_TRUE(reader.seek(0));
  ASSERT_TRUE(reader.next_point());
  EXPECT_EQ(reader.point.X, 10000);
}

TEST(LASreaderLASrescaled, ReexpressesCoordinatesAndWarnsOnOverflow) {
  const Bytes b = three_points();
  LASreaderLASrescaled::Settings settings;
  settings.rescale = true;
  settings.scale[0] = 0.001;
  settings.reoffset = true;
  settings.offset[1] = 150.0;
  settings.offset[0] = 0.0;
  LASreaderLASrescaled reader(settings);
  testing::internal::CaptureStderr();
  ASSERT_TRUE(reader.open(new ByteStreamInArray(b.data(), static_cast<std::int64_t>(b.size()))));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(reader.header.x_scale_factor, 0.001);
  EXPECT_EQ(reader.header.y_offset, 150.0);
  ASSERT_TRUE(reader.next_point());
  EXPECT_EQ(reader.point.X, 100000);  // 100 m at 1 mm
  EXPECT_EQ(reader.point.Y, 5000);    // 200 m - 150 m at 1 cm
  EXPECT_EQ(reader.point.Z, 0);

  LASreaderLASrescaled::Settings tiny;
  tiny.rescale = true;
  tiny.scale[0] = 1e-9;
  LASreaderLASrescaled overflowing(tiny);
  testing::internal::CaptureStderr();
  ASSERT_TRUE(overflowing.open(new ByteStreamInArray(b.data(), static_cast<std::int64_t>(b.size()))));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "WARNING: rescaling from 0.01 to 1e-09 causes LAS integer overflow for min_x\n"
            "WARNING: rescaling from 0.01 to 1e-09 causes LAS integer overflow for max_x\n");
}

}  // namespace
}  // namespace tinrise

namespace tinrise {
namespace {

TEST(LASreaderLAS, ARefusedEngineSetUpSaysWhy) {
  // A compressor-3 record on a POINT10 list is refused by the engine.
  Bytes b = test::las_header(2, 0x80 | 0, 20, 0);
  Bytes config(34 + 6, 0);
  test::put<std::uint16_t>(config, 0, 3);   // compressor 3
  test::put<std::uint8_t>(config, 4, 3);    // version 3.2
  test::put<std::uint8_t>(config, 5, 2);
  test::put<std::uint32_t>(config, 12, 50000);
  test::put<std::int64_t>(config, 16, -1);
  test::put<std::int64_t>(config, 24, -1);
  test::put<std::uint16_t>(config, 32, 1);  // one item: POINT10 v2
  test::put<std::uint16_t>(config, 34, 6);
  test::put<std::uint16_t>(config, 36, 20);
  test::put<std::uint16_t>(config, 38, 2);
  test::add_vlr(b, "pakmor encoded", 22204, config);
  LASreaderLAS reader;
  std::string err;
  EXPECT_FALSE(open_bytes(reader, b, err));
  EXPECT_EQ(err.rfind("ERROR: ", 0), 0u) << err;
  EXPECT_NE(err.find("compressor 3"), std::string::npos) << err;
}

}  // namespace
}  // namespace tinrise
