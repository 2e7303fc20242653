// The compressor configuration: item lists of every point type, the checks and
// their texts, set-up and version rules, and the "pakmor encoded" record bytes.
#include "las/core/pakmor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "las/core/bytestream_array.h"

namespace tinrise {
namespace {

using bytes = std::vector<std::uint8_t>;
using Items = std::vector<LASitem>;

std::string suffixed(const std::string& message) { return message + " (Pakmor v3.2r0)"; }

std::string error_of(const Pakmor& pakmor) { return pakmor.last_error() ? pakmor.last_error() : "(none)"; }

TEST(Pakmor, ItemListsOfEveryPointTypeWithAndWithoutExtraBytes) {
  const LASitem P10{LASitem::POINT10, 20, 0}, GPS{LASitem::GPSTIME11, 8, 0}, RGB{LASitem::RGB12, 6, 0},
      WP13{LASitem::WAVEPACKET13, 29, 0}, P14{LASitem::POINT14, 30, 0}, RGB14{LASitem::RGB14, 6, 0},
      NIR{LASitem::RGBNIR14, 8, 0}, WP14{LASitem::WAVEPACKET14, 29, 0};
  const std::vector<Items> lists = {
      {P10}, {P10, GPS}, {P10, RGB}, {P10, GPS, RGB}, {P10, GPS, WP13}, {P10, GPS, RGB, WP13},
      {P14}, {P14, RGB14}, {P14, NIR}, {P14, WP14}, {P14, NIR, WP14},
  };
  const int base_sizes[] = {20, 28, 26, 34, 57, 63, 30, 36, 38, 59, 67};
  for (int type = 0; type <= 10; type++) {
    for (int extra : {0, 1, 27}) {
      SCOPED_TRACE("type " + std::to_string(type) + " extra " + std::to_string(extra));
      Items expected = lists[type];
      if (extra) expected.push_back({type <= 5 ? LASitem::BYTE : LASitem::BYTE14, std::uint16_t(extra), 0});
      Pakmor pakmor;
      Items items;
      ASSERT_TRUE(pakmor.setup(items, type, base_sizes[type] + extra));
      EXPECT_EQ(items, expected);
      int matched_type = -1, record_length = -1;
      EXPECT_TRUE(pakmor.match_point_type(std::uint16_t(items.size()), items.data(), matched_type, record_length));
      EXPECT_EQ(matched_type, type);
      EXPECT_EQ(record_length, base_sizes[type] + extra);
      ASSERT_TRUE(pakmor.setup(std::uint16_t(items.size()), items.data(), Pakmor::COMPRESSOR_NONE));
      EXPECT_TRUE(pakmor.check(std::uint32_t(base_sizes[type] + extra))) << error_of(pakmor);
    }
  }
}

TEST(Pakmor, DerivingAListForAShortRecordWarnsAndForAnUnknownTypeFails) {
  Pakmor pakmor;
  Items items;
  testing::internal::CaptureStderr();
  ASSERT_TRUE(pakmor.setup(items, 1, 27));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "WARNING: point size 27 too small by 1 bytes for point type 1. assuming point_size of 28\n");
  EXPECT_EQ(items, (Items{{LASitem::POINT10, 20, 0}, {LASitem::GPSTIME11, 8, 0}}));
  ASSERT_TRUE(pakmor.setup(items, 1, 30));
  EXPECT_EQ(items.back(), (LASitem{LASitem::BYTE, 2, 0}));
  EXPECT_FALSE(pakmor.setup(items, 11, 30));
  EXPECT_EQ(error_of(pakmor), suffixed("point type 11 unknown"));
}

TEST(Pakmor, CheckRefusesWhatTheFileCannotHoldWithItsText) {
  struct Case {
    const char* what;
    std::uint16_t compressor, coder;
    Items items;
    std::uint32_t point_size;
    std::string error;  // empty: accepted
  };
  auto item = [](int type, int size, int version) {
    return LASitem{static_cast<LASitem::Type>(type), std::uint16_t(size), std::uint16_t(version)};
  };
  const Case cases[] = {
      {"compressor 4", 4, 0, {item(6, 20, 2)}, 20, "compressor 4 not supported"},
      {"coder 1", 2, 1, {item(6, 20, 2)}, 20, "coder 1 not supported"},
      {"no items", 2, 0, {}, 0, "number of items cannot be zero"},
      {"sizes disagree", 2, 0, {item(6, 20, 2), item(7, 8, 2)}, 30, "point has size of 30 but items only add up to 28 bytes"},
      {"size 0 not compared", 2, 0, {item(6, 20, 2), item(7, 8, 2)}, 0, ""},
      {"BYTE size", 2, 0, {item(0, 0, 2)}, 0, "BYTE has size < 1"},
      {"BYTE version", 2, 0, {item(0, 3, 3)}, 0, "BYTE has version > 2"},
      {"POINT10 size", 2, 0, {item(6, 21, 2)}, 0, "POINT10 has size != 20"},
      {"POINT10 version", 2, 0, {item(6, 20, 3)}, 0, "POINT10 has version > 2"},
      {"GPSTIME11 size", 2, 0, {item(7, 4, 2)}, 0, "GPSTIME11 has size != 8"},
      {"GPSTIME11 version", 2, 0, {item(7, 8, 3)}, 0, "GPSTIME11 has version > 2"},
      {"RGB12 size", 2, 0, {item(8, 8, 2)}, 0, "RGB12 has size != 6"},
      {"RGB12 version", 2, 0, {item(8, 6, 3)}, 0, "RGB12 has version > 2"},
      {"WAVEPACKET13 size", 2, 0, {item(9, 28, 1)}, 0, "WAVEPACKET13 has size != 29"},
      {"WAVEPACKET13 version", 2, 0, {item(9, 29, 2)}, 0, "WAVEPACKET13 has version > 1"},
      {"POINT14 size", 3, 0, {item(10, 20, 3)}, 0, "POINT14 has size != 30"},
      {"POINT14 version 1", 3, 0, {item(10, 30, 1)}, 0, "POINT14 has version != 0 and != 2 and != 3 and != 4"},
      {"POINT14 version 4", 3, 0, {item(10, 30, 4)}, 0, ""},
      {"RGB14 size", 3, 0, {item(11, 8, 3)}, 0, "RGB14 has size != 6"},
      {"RGB14 version", 3, 0, {item(11, 6, 5)}, 0, "RGB14 has version != 0 and != 2 and != 3 and != 4"},
      {"RGBNIR14 size", 3, 0, {item(12, 6, 3)}, 0, "RGBNIR14 has size != 8"},
      {"RGBNIR14 version", 3, 0, {item(12, 8, 1)}, 0, "RGBNIR14 has version != 0 and != 2 and != 3 and != 4"},
      {"WAVEPACKET14 size", 3, 0, {item(13, 30, 3)}, 0, "WAVEPACKET14 has size != 29"},
      {"WAVEPACKET14 version 2", 3, 0, {item(13, 29, 2)}, 0, "WAVEPACKET14 has version != 0 and != 3 and != 4"},
      {"WAVEPACKET14 version 4", 3, 0, {item(13, 29, 4)}, 0, ""},
      {"BYTE14 size", 3, 0, {item(14, 0, 3)}, 0, "BYTE14 has size < 1"},
      {"BYTE14 version", 3, 0, {item(14, 2, 1)}, 0, "BYTE14 has version != 0 and != 2 and != 3 and != 4"},
      {"item type 3", 2, 0, {item(3, 4, 5)}, 0, "item unknown (3,4,5)"},
      {"item type 15", 2, 0, {item(6, 20, 2), item(15, 1, 0)}, 0, "item unknown (15,1,0)"},
      {"size checked before version", 2, 0, {item(6, 19, 9)}, 0, "POINT10 has size != 20"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Pakmor pakmor;
    pakmor.compressor = c.compressor;
    pakmor.coder = c.coder;
    pakmor.items = c.items;
    EXPECT_EQ(pakmor.check(c.point_size), c.error.empty());
    EXPECT_EQ(error_of(pakmor), c.error.empty() ? "(none)" : suffixed(c.error));
  }
  Pakmor pakmor;
  EXPECT_FALSE(pakmor.check_items(1, nullptr, 0));
  EXPECT_EQ(error_of(pakmor), suffixed("items pointer cannot be NULL"));
}

TEST(Pakmor, SetupSettlesCompressorAndChunkSize) {
  const Items point10 = {{LASitem::POINT10, 20, 0}, {LASitem::GPSTIME11, 8, 0}};
  const Items point14 = {{LASitem::POINT14, 30, 0}, {LASitem::BYTE14, 4, 0}};
  struct Case {
    const char* what;
    const Items& items;
    std::uint16_t requested;
    std::uint32_t chunk_size_before;
    bool ok;
    std::uint16_t compressor;
    std::uint32_t chunk_size;
  };
  const Case cases[] = {
      {"POINT10, layered asked", point10, 3, 50000, true, 2, 50000},
      {"POINT10, chunked, chunk size 0", point10, 2, 0, true, 2, 50000},
      {"POINT10, pointwise keeps chunk size 0", point10, 1, 0, true, 1, 0},
      {"POINT10, none", point10, 0, 0, true, 0, 0},
      {"POINT14, chunked asked", point14, 2, 50000, false, 2, 50000},
      {"POINT14, pointwise asked", point14, 1, 50000, false, 2, 50000},
      {"POINT14, layered, chunk size 0", point14, 3, 0, true, 3, 50000},
      {"POINT14, none", point14, 0, 7, true, 0, 7},
      {"compressor 5", point10, 5, 50000, false, 2, 50000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Pakmor pakmor;
    pakmor.chunk_size = c.chunk_size_before;
    EXPECT_EQ(pakmor.setup(std::uint16_t(c.items.size()), c.items.data(), c.requested), c.ok);
    EXPECT_EQ(pakmor.compressor, c.compressor);
    EXPECT_EQ(pakmor.chunk_size, c.chunk_size);
    EXPECT_EQ(pakmor.items, c.ok ? c.items : Items{});
  }
  Pakmor pakmor;
  EXPECT_FALSE(pakmor.setup(0, point10.data(), 2));
  EXPECT_EQ(error_of(pakmor), suffixed("number of items cannot be zero"));
}

TEST(Pakmor, ChunkSizeAndVersionRequests) {
  const Items type5 = {{LASitem::POINT10, 20, 0}, {LASitem::GPSTIME11, 8, 0}, {LASitem::RGB12, 6, 0},
                       {LASitem::WAVEPACKET13, 29, 0}, {LASitem::BYTE, 3, 0}};
  const Items type10 = {{LASitem::POINT14, 30, 0}, {LASitem::RGBNIR14, 8, 0}, {LASitem::WAVEPACKET14, 29, 0},
                        {LASitem::BYTE14, 3, 0}};
  Pakmor fresh;
  EXPECT_FALSE(fresh.set_chunk_size(100));
  EXPECT_EQ(error_of(fresh), suffixed("call setup() before setting chunk size"));
  EXPECT_FALSE(fresh.request_version(2));
  EXPECT_EQ(error_of(fresh), suffixed("call setup() before requesting version"));

  Pakmor pointwise;
  ASSERT_TRUE(pointwise.setup(5, type5.data(), 1));
  EXPECT_FALSE(pointwise.set_chunk_size(100));
  EXPECT_EQ(pointwise.chunk_size, 50000u);

  struct Case {
    const char* what;
    const Items& items;
    std::uint16_t compressor, version;
    std::string error;
    std::vector<int> versions;
  };
  const Case cases[] = {
      {"uncompressed asks 1", type5, 0, 1, "without compression version is always 0", {0, 0, 0, 0, 0}},
      {"compressed asks 0", type5, 2, 0, "with compression version is at least 1", {0, 0, 0, 0, 0}},
      {"compressed asks 3", type5, 2, 3, "version larger than 2 not supported", {0, 0, 0, 0, 0}},
      {"compressed asks 2", type5, 2, 2, "", {2, 2, 2, 1, 2}},
      {"compressed asks 1", type5, 2, 1, "", {1, 1, 1, 1, 1}},
      {"layered asks 2", type10, 3, 2, "", {3, 3, 3, 3}},
      {"uncompressed asks 0", type10, 0, 0, "", {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Pakmor pakmor;
    ASSERT_TRUE(pakmor.setup(std::uint16_t(c.items.size()), c.items.data(), c.compressor));
    ASSERT_TRUE(pakmor.set_chunk_size(1234));
    EXPECT_EQ(pakmor.chunk_size, 1234u);
    EXPECT_EQ(pakmor.request_version(c.version), c.error.empty());
    EXPECT_EQ(error_of(pakmor), c.error.empty() ? "(none)" : suffixed(c.error));
    std::vector<int> versions;
    for (const LASitem& item : pakmor.items) versions.push_back(item.version);
    EXPECT_EQ(versions, c.versions);
  }
}

TEST(Pakmor, MatchingItemListsToPointTypes) {
  const LASitem P10{LASitem::POINT10, 20, 0}, P14{LASitem::POINT14, 30, 0}, RGB{LASitem::RGB12, 6, 0},
      NIR{LASitem::RGBNIR14, 8, 0}, WP13{LASitem::WAVEPACKET13, 29, 0}, WP14{LASitem::WAVEPACKET14, 29, 0},
      B{LASitem::BYTE, 2, 0}, B14{LASitem::BYTE14, 2, 0};
  struct Case {
    const char* what;
    Items items;
    int type;
    int record_length;
    std::string error;
  };
  const Case cases[] = {
      {"type 10 with BYTE14", {P14, NIR, WP14, B14}, 10, 69, ""},
      {"type 10 with a WAVEPACKET13", {P14, NIR, WP13}, 10, 67, ""},
      {"type 6 with BYTE", {P14, B}, 6, 32, ""},
      {"POINT10 with BYTE14", {P10, B14}, 127, 22, "LASitem array does not match LAS specification 1.4"},  // ASPRS
      {"POINT10 with RGB14", {P10, LASitem{LASitem::RGB14, 6, 0}}, 127, 26,
       "LASitem array does not match LAS specification 1.4"},  // ASPRS
      {"POINT10 of size 22", {LASitem{LASitem::POINT10, 22, 0}}, 127, 22, "first LASitem is neither POINT10 nor POINT14"},
      {"colour first", {RGB, P10}, 127, 26, "first LASitem is neither POINT10 nor POINT14"},
      {"no entries", {}, 127, 0, "less than one LASitem entries"},
      {"six entries", {P10, B, B, B, B, B}, 127, 30, "more than five LASitem entries"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Pakmor pakmor;
    int type = -1, record_length = -1;
    const LASitem dummy{};
    EXPECT_EQ(pakmor.match_point_type(std::uint16_t(c.items.size()), c.items.empty() ? &dummy : c.items.data(), type,
                                      record_length),
              c.error.empty());
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(record_length, c.record_length);
    EXPECT_EQ(error_of(pakmor), c.error.empty() ? "(none)" : suffixed(c.error));
  }
  Pakmor pakmor;
  int type = -1, record_length = -1;
  EXPECT_FALSE(pakmor.match_point_type(1, nullptr, type, record_length));
  EXPECT_EQ(error_of(pakmor), suffixed("LASitem array is zero"));
}

// The record of a compressed type-3 file with two extra bytes, byte by byte.
bytes expected_record() {
  bytes record = {0xBB, 0xAA};
  const std::string user_id = "pakmor encoded";
  record.insert(record.end(), user_id.begin(), user_id.end());
  record.resize(18, 0);
  record.insert(record.end(), {0xBC, 0x56, 58, 0});  // record id 22204, length 34 + 4 * 6
  const std::string description = "by pakmor of Pelotrax (180303)";
  record.insert(record.end(), description.begin(), description.end());
  record.resize(54, 0);
  record.insert(record.end(), {2, 0, 0, 0, 3, 2, 0, 0, 0, 0, 0, 0});  // compressor, coder, version, options
  record.insert(record.end(), {0x50, 0xC3, 0, 0});                      // chunk size 50000
  record.insert(record.end(), 16, 0xFF);                               // special EVLRs -1, -1
  record.insert(record.end(), {4, 0});                                 // num_items
  record.insert(record.end(), {6, 0, 20, 0, 2, 0, 7, 0, 8, 0, 2, 0, 8, 0, 6, 0, 2, 0, 0, 0, 2, 0, 2, 0});
  return record;
}

Pakmor type3_configuration() {
  Pakmor pakmor;
  Items items;
  pakmor.setup(items, 3, 36);
  pakmor.setup(std::uint16_t(items.size()), items.data(), Pakmor::COMPRESSOR_POINTWISE_CHUNKED);
  pakmor.request_version(2);
  return pakmor;
}

TEST(PakmorRecord, WritesTheRecordByteForByteAndReadsItBack) {
  const Pakmor written = type3_configuration();
  ByteStreamOutArray out;
  ASSERT_TRUE(written.write_record(out));
  const bytes record = expected_record();
  ASSERT_EQ(bytes(out.get_data(), out.get_data() + out.get_size()), record);
  EXPECT_EQ(written.record_length_after_header(), 58);

  Pakmor read;
  read.compressor = 0;
  read.chunk_size = 1;
  ByteStreamInArray in(record.data() + 54, static_cast<std::int64_t>(record.size() - 54));
  ASSERT_TRUE(read.read_record_payload(in));
  EXPECT_EQ(read.compressor, 2);
  EXPECT_EQ(read.chunk_size, 50000u);
  EXPECT_EQ(read.items, written.items);
  EXPECT_EQ(read.number_of_special_evlrs, -1);
  EXPECT_EQ(read.offset_to_special_evlrs, -1);
  EXPECT_TRUE(read.check(36));
}

TEST(PakmorRecord, ReadingStopsAtTheFirstMissingFieldWithItsName) {
  const bytes record = expected_record();
  const bytes payload(record.begin() + 54, record.end());
  struct Case {
    std::size_t available;
    const char* message;
  };
  const Case cases[] = {
      {0, "ERROR: reading compressor 2\n"},  // the value held before the read
      {3, "ERROR: reading coder 0\n"},
      {4, "ERROR: reading version_major 3\n"},
      {5, "ERROR: reading version_minor 2\n"},
      {7, "ERROR: reading version_revision 0\n"},
      {11, "ERROR: reading options 0\n"},
      {15, "ERROR: reading chunk_size 50000\n"},
      {20, "ERROR: reading number_of_special_evlrs -1\n"},
      {30, "ERROR: reading offset_to_special_evlrs -1\n"},
      {33, "ERROR: reading num_items 0\n"},
      {35, "ERROR: reading type 0 of item 0\n"},
      {37, "ERROR: reading size 0 of item 0\n"},
      {39, "ERROR: reading version 0 of item 0\n"},
      {57, "ERROR: reading version 0 of item 3\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.available);
    Pakmor pakmor;
    ByteStreamInArray in(payload.data(), static_cast<std::int64_t>(c.available));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(pakmor.read_record_payload(in));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message);
  }
}

// An output that accepts a fixed number of bytes and refuses the rest.
class ByteStreamOutFull final : public ByteStreamOut {
 public:
  explicit ByteStreamOutFull(std::int64_t room) : room(room) {}
  bool write_byte(std::uint8_t) override { return take(1); }
  bool write_bytes(const void*, std::size_t count) override { return take(static_cast<std::int64_t>(count)); }
  bool can_seek() const override { return false; }
  std::int64_t tell() const override { return written; }
  bool seek(std::int64_t) override { return false; }
  bool seek_from_end() override { return false; }

 private:
  bool take(std::int64_t count) {
    if (written + count > room) return false;
    written += count;
    return true;
  }
  std::int64_t room;
  std::int64_t written = 0;
};

TEST(PakmorRecord, WritingStopsAtTheFirstRefusedFieldWithItsName) {
  const Pakmor pakmor = type3_configuration();
  struct Case {
    std::int64_t room;
    const char* message;
  };
  const Case cases[] = {
      {0, "ERROR: writing reserved 43707\n"},
      {2, "ERROR: writing user_id pakmor encoded\n"},
      {18, "ERROR: writing record_id 22204\n"},
      {20, "ERROR: writing record_length_after_header 58\n"},
      {22, "ERROR: writing description by pakmor of Pelotrax (180303)\n"},
      {54, "ERROR: writing compressor 2\n"},
      {56, "ERROR: writing coder 0\n"},
      {58, "ERROR: writing version_major 3\n"},
      {59, "ERROR: writing version_minor 2\n"},
      {60, "ERROR: writing version_revision 0\n"},
      {62, "ERROR: writing options 0\n"},
      {66, "ERROR: writing chunk_size 50000\n"},
      {70, "ERROR: writing number_of_special_evlrs -1\n"},
      {78, "ERROR: writing offset_to_special_evlrs -1\n"},
      {86, "ERROR: writing num_items 4\n"},
      {88, "ERROR: writing type 6 of item 0\n"},
      {96, "ERROR: writing size 8 of item 1\n"},
      {110, "ERROR: writing version 2 of item 3\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.room);
    ByteStreamOutFull out(c.room);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(pakmor.write_record(out));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message);
  }
  ByteStreamOutFull exact(112);
  EXPECT_TRUE(pakmor.write_record(exact));
}

}  // namespace
}  // namespace tinrise
