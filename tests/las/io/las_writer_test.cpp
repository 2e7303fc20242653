#include "las/io/las_writer_las.h"

#include <gtest/gtest.h>

#include <string>

#include "las/core/bytestream_array.h"
#include "las/io/las_reader_las.h"
#include "support/las_bytes.h"

namespace tinrise {
namespace {

using test::Bytes;
using test::get;

std::string real(const char* name) { return std::string(TINRISE_TEST_DATA) + "/real/" + name; }

// Reads a file and writes every point back through a writer over memory.
Bytes copy_through_writer(const char* name, bool patch_from_inventory) {
  LASreaderLAS reader;
  EXPECT_TRUE(reader.open(real(name).c_str()));
  auto* out = new ByteStreamOutArray();
  LASwriterLAS writer;
  writer.owns_stream = false;
  EXPECT_TRUE(writer.open(out, &reader.header));
  while (reader.next_point()) {
    EXPECT_TRUE(writer.put_point(reader.point));
    writer.tally_point(reader.point);
  }
  if (patch_from_inventory) {
    EXPECT_TRUE(writer.patch_header(&reader.header, true));
  }
  EXPECT_GT(writer.close(), 0);
  Bytes bytes(out->get_data(), out->get_data() + out->get_size());
  delete out;
  return bytes;
}

class RoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(RoundTrip, RecordsAreByteIdenticalAndTheHeaderDescribesThem) {
  const Bytes original = test::read_file_bytes(real(GetParam()));
  for (bool patch : {false, true}) {
    const Bytes copy = copy_through_writer(GetParam(), patch);
    const std::uint32_t original_offset = get<std::uint32_t>(original, 96);
    const std::uint32_t copy_offset = get<std::uint32_t>(copy, 96);
    const std::size_t length = get<std::uint16_t>(original, 105);
    const std::size_t count = get<std::uint32_t>(original, 107);
    ASSERT_GE(copy.size(), copy_offset + count * length);
    EXPECT_EQ(std::memcmp(copy.data() + copy_offset, original.data() + original_offset, count * length), 0);
    // Counts, counts by return and bounding box, as the file itself says. A
    // box taken from the points themselves may differ by up to one unit.
    const bool new_type = (original[104] & 0x3F) >= 6;
    for (std::size_t offset = 107; offset < 131; offset += 4) {
      const std::uint32_t expected = new_type && patch ? 0 : get<std::uint32_t>(original, offset);
      EXPECT_EQ(get<std::uint32_t>(copy, offset), expected) << offset << " " << patch;
    }
    for (std::size_t offset = 179; offset < 227; offset += 8) {
      const double unit = get<double>(original, 131 + 8 * ((offset - 179) / 16));
      EXPECT_NEAR(get<double>(copy, offset), get<double>(original, offset), unit) << offset << " " << patch;
    }
    if (original[25] >= 4) {
      for (std::size_t offset = 247; offset < 375; offset += 8) {
        EXPECT_EQ(get<std::uint64_t>(copy, offset), get<std::uint64_t>(original, offset)) << offset;
      }
    }
    // The copy reads back with the same records.
    LASreaderLAS reader;
    ASSERT_TRUE(reader.open(new ByteStreamInArray(copy.data(), static_cast<std::int64_t>(copy.size()))));
    EXPECT_EQ(reader.point_count, static_cast<std::int64_t>(count));
    LASreaderLAS source;
    ASSERT_TRUE(source.open(real(GetParam()).c_str()));
    EXPECT_EQ(reader.header.attribute_count(), source.header.attribute_count());
  }
}

INSTANTIATE_TEST_SUITE_P(Files, RoundTrip, ::testing::Values("simple.las", "test1_4.las", "extrabytes.las"));

LASheader header_of_type(int minor, int type, int length) {
  LASheader h;
  h.version_minor = static_cast<std::uint8_t>(minor);
  h.header_size = minor >= 4 ? 375 : minor == 3 ? 235 : 227;
  h.offset_to_point_data = h.header_size;
  h.point_data_format = static_cast<std::uint8_t>(type);
  h.point_data_record_length = static_cast<std::uint16_t>(length);
  return h;
}

struct OpenCase {
  const char* what;
  LASheader header;
  std::uint16_t compressor;
  int chunk_size;
  bool opens;
  std::string err;
};

TEST(LASwriterLAS, OpenChecksAndTheirMessages) {
  std::vector<OpenCase> cases;
  cases.push_back({"type 6 pointwise chunked", header_of_type(2, 6, 30), 2, -1, false,
                   "ERROR: point type 6 requires using \"native LAS 1.4 extension\" of Pakmor\n"});
  cases.push_back({"adaptive chunking of type 1", header_of_type(2, 1, 28), 2, 0, false,
                   "ERROR: adaptive chunking is depricated for point type 1.\n       only available for new LAS 1.4 point types 6 or higher.\n"});
  cases.push_back({"unknown type", header_of_type(2, 12, 28), 0, -1, false,
                   "ERROR: unknown point type 12 with point size 28\n"});
  {
    LASheader h = header_of_type(2, 0, 20);
    h.file_signature[0] = 'X';
    cases.push_back({"signature", h, 0, -1, false, "ERROR: wrong file signature 'XASF'\n"});
  }
  {
    LASheader h = header_of_type(2, 0, 20);
    h.offset_to_point_data = 100;
    cases.push_back({"offset", h, 0, -1, false, "ERROR: offset to point data 100 is smaller than header size 227\n"});
  }
  {
    LASheader h = header_of_type(3, 0, 20);
    h.start_of_waveform_data_packet_record = 77;
    cases.push_back({"waveform start", h, 0, -1, true,
                     "WARNING: header->start_of_waveform_data_packet_record is 77. writing 0 instead.\n"});
  }
  {
    LASheader h = header_of_type(2, 0, 20);
    h.version_major = 2;
    cases.push_back({"major version", h, 0, -1, true,
                     "WARNING: unknown version 2.2 (should be 1.0 or 1.1 or 1.2 or 1.3 or 1.4)\n"
                     "WARNING: header->version_major is 2. writing 1 instead.\n"});
  }
  {
    LASheader h = header_of_type(2, 0, 20);
    h.user_data_in_header_size = 5;
    cases.push_back({"missing user data", h, 0, -1, false,
                     "ERROR: there should be 5 bytes of data in header->user_data_in_header\n"});
  }
  for (OpenCase& c : cases) {
    LASwriterLAS writer;
    testing::internal::CaptureStderr();
    EXPECT_EQ(writer.open(new ByteStreamOutArray(), &c.header, c.compressor, 0, c.chunk_size), c.opens) << c.what;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.err) << c.what;
  }
}

TEST(LASwriterLAS, PrivateRecordsAreWrittenBehindTheHeadersOwn) {
  LASheader h = header_of_type(2, 0, 20);
  h.set_vlr("other", 5, 3, {1, 2, 3});
  h.vlr_lastiling = LASvlrTiling{};
  h.vlr_lastiling->implicit_levels = (1u << 30) | (1u << 31) | 4;
  h.vlr_lasoriginal = LASvlrOriginal{};
  auto* out = new ByteStreamOutArray();
  LASwriterLAS writer;
  writer.owns_stream = false;
  ASSERT_TRUE(writer.open(out, &h));
  writer.close();
  const Bytes b(out->get_data(), out->get_data() + out->get_size());
  delete out;
  EXPECT_EQ(get<std::uint32_t>(b, 100), 3u);
  EXPECT_EQ(get<std::uint32_t>(b, 96), 227u + 57 + 82 + 230);
  EXPECT_EQ(b.size(), 227u + 57 + 82 + 230);
  const std::size_t tiling = 227 + 57;
  EXPECT_EQ(get<std::uint16_t>(b, tiling), 0xAABB);
  EXPECT_STREQ(reinterpret_cast<const char*>(b.data() + tiling + 2), "Pelotrax");
  EXPECT_STREQ(reinterpret_cast<const char*>(b.data() + tiling + 22), "tile with buffer, reversible");
  const std::size_t original = tiling + 82;
  EXPECT_EQ(get<std::uint16_t>(b, original + 18), 20);
  EXPECT_STREQ(reinterpret_cast<const char*>(b.data() + original + 22), "counters and bbox of original");

  // And they come back out of the VLR list when read.
  LASreaderLAS reader;
  ASSERT_TRUE(reader.open(new ByteStreamInArray(b.data(), static_cast<std::int64_t>(b.size()))));
  EXPECT_EQ(reader.header.vlrs.size(), 1u);
  EXPECT_EQ(reader.header.vlr_lastiling->implicit_levels, h.vlr_lastiling->implicit_levels);
}

TEST(LASwriterLAS, CloseUpdatesOrWarnsAboutThePointCount) {
  LASheader h = header_of_type(2, 0, 20);
  LASpoint p;
  ASSERT_TRUE(p.init(&h, 0, 20, &h));
  {  // announced 0, wrote 10: patched silently
    auto* out = new ByteStreamOutArray();
    LASwriterLAS writer;
    writer.owns_stream = false;
    ASSERT_TRUE(writer.open(out, &h));
    for (int i = 0; i < 10; i++) writer.put_point(p);
    testing::internal::CaptureStderr();
    EXPECT_EQ(writer.close(), 227 + 200);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(get<std::uint32_t>(Bytes(out->get_data(), out->get_data() + 227), 107), 10u);
    delete out;
  }
  {  // announced 12, wrote 10
    h.number_of_point_records = 12;
    LASwriterLAS writer;
    ASSERT_TRUE(writer.open(new ByteStreamOutArray(), &h));
    for (int i = 0; i < 10; i++) writer.put_point(p);
    testing::internal::CaptureStderr();
    writer.close();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "WARNING: written 10 points but expected 12 points\n");
  }
}

TEST(LASwriterLAS, PatchingFromTheInventoryCapsLegacyCounts) {
  for (int minor : {2, 4}) {
    LASheader h = header_of_type(minor, 1, 28);
    auto* out = new ByteStreamOutArray();
    LASwriterLAS writer;
    writer.owns_stream = false;
    ASSERT_TRUE(writer.open(out, &h));
    writer.inventory.number_of_point_records = 5000000000LL;
    writer.inventory.number_of_points_by_return[1] = 5000000000LL;
    writer.inventory.first = false;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(writer.patch_header(&h, true));
    const std::string err = testing::internal::GetCapturedStderr();
    const Bytes b(out->get_data(), out->get_data() + out->get_size());
    if (minor == 2) {
      EXPECT_EQ(err, "WARNING: too many points in LAS 1.2 file. limit is 4294967295.\n");
      EXPECT_EQ(get<std::uint32_t>(b, 107), 4294967295u);
    } else {
      EXPECT_EQ(err, "");
      EXPECT_EQ(get<std::uint32_t>(b, 107), 0u);
      EXPECT_EQ(get<std::uint64_t>(b, 247), 5000000000ull);
      EXPECT_EQ(get<std::uint64_t>(b, 255), 5000000000ull);
    }
    writer.points_done = writer.point_count;  // nothing to complain about on close
    testing::internal::CaptureStderr();
    writer.close(false);
    testing::internal::GetCapturedStderr();
    delete out;
  }
}

TEST(LASwriterLAS, EvlrsFollowThePointsAndTheHeaderPointsAtThem) {
  LASheader h = header_of_type(4, 6, 30);
  LASextendedVariableRecord evlr;
  std::strcpy(evlr.user_id, "big");
  evlr.record_id = 9;
  evlr.record_length_after_header = 5;
  evlr.data = {1, 2, 3, 4, 5};
  h.evlrs.push_back(evlr);
  h.number_of_extended_variable_length_records = 1;
  LASpoint p;
  ASSERT_TRUE(p.init(&h, 6, 30, &h));
  auto* out = new ByteStreamOutArray();
  LASwriterLAS writer;
  writer.owns_stream = false;
  ASSERT_TRUE(writer.open(out, &h));
  writer.put_point(p);
  writer.put_point(p);
  writer.close();
  const Bytes b(out->get_data(), out->get_data() + out->get_size());
  delete out;
  EXPECT_EQ(get<std::uint64_t>(b, 235), 375u + 60);
  EXPECT_EQ(get<std::uint64_t>(b, 247), 2u);
  EXPECT_EQ(get<std::uint32_t>(b, 107), 0u);  // new point types keep the legacy count 0
  LASreaderLAS reader;
  ASSERT_TRUE(reader.open(new ByteStreamInArray(b.data(), static_cast<std::int64_t>(b.size()))));
  ASSERT_EQ(reader.header.evlrs.size(), 1u);
  EXPECT_EQ(reader.header.evlrs[0].data, (Bytes{1, 2, 3, 4, 5}));
  EXPECT_EQ(reader.point_count, 2);
}

}  // namespace
}  // namespace tinrise
