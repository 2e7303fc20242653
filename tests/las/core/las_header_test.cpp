#include "las/core/las_header.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace tinrise {
namespace {

std::vector<std::uint8_t> payload(std::size_t n, std::uint8_t fill = 1) { return std::vector<std::uint8_t>(n, fill); }

TEST(LASheader, ResetStandardFieldsGivesTheDefaults) {
  LASheader header;
  header.version_minor = 4;
  header.header_size = 375;
  header.x_scale_factor = 0.001;
  header.point_data_record_length = 34;
  header.reset_standard_fields();
  EXPECT_EQ(std::memcmp(header.file_signature, "LASF", 4), 0);
  EXPECT_EQ(header.version_major, 1);
  EXPECT_EQ(header.version_minor, 2);
  EXPECT_EQ(header.header_size, 227);
  EXPECT_EQ(header.offset_to_point_data, 227u);
  EXPECT_EQ(header.point_data_record_length, 20);
  EXPECT_EQ(header.x_scale_factor, 0.01);
  EXPECT_EQ(header.z_offset, 0.0);
}

TEST(LASheader, SetVlrAppendsThenReplacesInPlace) {
  LASheader header;
  header.set_vlr("LASF_Projection", 34735, 40, payload(40));
  header.set_vlr("other", 7, 10, payload(10));
  EXPECT_EQ(header.number_of_variable_length_records, 2u);
  EXPECT_EQ(header.offset_to_point_data, 227u + 54 + 40 + 54 + 10);
  EXPECT_STREQ(header.vlrs[0].description, default_record_description);

  header.set_vlr("LASF_Projection", 34735, 16, payload(16, 7), false, "keys");
  EXPECT_EQ(header.number_of_variable_length_records, 2u);
  EXPECT_EQ(header.offset_to_point_data, 227u + 54 + 16 + 54 + 10);
  EXPECT_EQ(header.vlrs[0].record_length_after_header, 16);
  EXPECT_EQ(header.vlrs[0].data[0], 7);
  EXPECT_STREQ(header.vlrs[0].description, "keys");

  header.set_vlr("LASF_Projection", 34735, 16, payload(16), true, "ignored");
  EXPECT_STREQ(header.vlrs[0].description, "keys");

  header.set_vlr("other", 7, 0, {}, false, nullptr, true);  // append_only
  EXPECT_EQ(header.number_of_variable_length_records, 3u);
  EXPECT_TRUE(header.vlrs[2].data.empty());
}

TEST(LASheader, DescriptionsAreCutTo31Characters) {
  LASheader header;
  const std::string forty(40, 'd');
  header.set_vlr("id", 1, 0, {}, false, forty.c_str());
  EXPECT_EQ(std::string(header.vlrs[0].description), std::string(31, 'd'));
}

TEST(LASheader, DropVlrMovesTheLastIntoTheSlot) {
  LASheader header;
  header.set_vlr("a", 1, 4, payload(4));
  header.set_vlr("b", 2, 8, payload(8));
  header.set_vlr("c", 3, 12, payload(12));
  EXPECT_TRUE(header.drop_vlr("a", 1));
  ASSERT_EQ(header.vlrs.size(), 2u);
  EXPECT_STREQ(header.vlrs[0].user_id, "c");
  EXPECT_STREQ(header.vlrs[1].user_id, "b");
  EXPECT_EQ(header.number_of_variable_length_records, 2u);
  EXPECT_EQ(header.offset_to_point_data, 227u + 54 + 8 + 54 + 12);
  EXPECT_FALSE(header.drop_vlr("a", 1));
  EXPECT_FALSE(header.drop_vlr(5u));
  EXPECT_TRUE(header.drop_vlr(1u));
  EXPECT_TRUE(header.drop_vlr(0u));
  EXPECT_EQ(header.offset_to_point_data, 227u);
}

TEST(LASheader, ExtraBytesRecordFollowsTheAttributeList) {
  LASheader header;
  for (int i = 0; i < 341; i++) header.add_attribute(LASextraAttribute(1, "a", ""));
  header.refresh_extra_bytes_vlr();
  ASSERT_EQ(header.vlrs.size(), 1u);
  EXPECT_EQ(header.vlrs[0].record_length_after_header, 65472);
  EXPECT_EQ(header.offset_to_point_data, 227u + 54 + 65472);

  // More attributes than a 16-bit length can describe: the record keeps the
  // first 341 instead of wrapping its length.
  header.add_attribute(LASextraAttribute(1, "b", ""));
  header.refresh_extra_bytes_vlr();
  EXPECT_EQ(header.vlrs[0].record_length_after_header, 65472);

  header.reset_attributes();
  header.refresh_extra_bytes_vlr();
  EXPECT_TRUE(header.vlrs.empty());
  EXPECT_EQ(header.offset_to_point_data, 227u);
}

TEST(LASheader, ResetUndoesUserDataAndRecordsInTheOffsets) {
  LASheader header;
  header.user_data_in_header = payload(10);
  header.user_data_in_header_size = 10;
  header.header_size += 10;
  header.offset_to_point_data += 10;
  header.set_vlr("a", 1, 4, payload(4));
  header.user_data_after_header = payload(3);
  header.user_data_after_header_size = 3;
  header.offset_to_point_data += 3;
  header.reset_user_data_in_header();
  EXPECT_EQ(header.header_size, 227);
  header.reset_vlrs();
  header.reset_user_data_after_header();
  EXPECT_EQ(header.offset_to_point_data, 227u);
  EXPECT_EQ(header.number_of_variable_length_records, 0u);
}

TEST(LASheader, ViewsRefuseRecordsShorterThanTheyAnnounce) {
  LASheader header;
  std::vector<std::uint8_t> keys(8 + 8 * 2, 0);
  keys[6] = 3;  // announces three keys, holds two
  header.set_vlr("LASF_Projection", 34735, static_cast<std::uint16_t>(keys.size()), keys);
  EXPECT_EQ(header.vlr_geo_keys(), nullptr);
  keys[6] = 2;
  header.set_vlr("LASF_Projection", 34735, static_cast<std::uint16_t>(keys.size()), keys);
  ASSERT_NE(header.vlr_geo_keys(), nullptr);
  EXPECT_EQ(header.vlr_geo_keys()->number_of_keys, 2);
  EXPECT_NE(header.vlr_geo_key_list(), nullptr);

  header.set_vlr("LASF_Spec", 100 + 4, 20, payload(20));
  EXPECT_FALSE(header.vlr_wave_packet_descriptor(5).has_value());
  header.set_vlr("LASF_Spec", 100 + 4, 26, payload(26, 8));
  ASSERT_TRUE(header.vlr_wave_packet_descriptor(5).has_value());
  EXPECT_EQ(header.vlr_wave_packet_descriptor(5)->bits_per_sample, 8);
}

TEST(LASheader, CopiesAreDeep) {
  LASheader original;
  original.set_vlr("a", 1, 4, payload(4, 9));
  original.compressor_config.emplace();
  LASheader copy = original;
  original.reset();
  ASSERT_EQ(copy.vlrs.size(), 1u);
  EXPECT_EQ(copy.vlrs[0].data[3], 9);
  EXPECT_TRUE(copy.compressor_config.has_value());
  EXPECT_FALSE(original.compressor_config.has_value());
}

}  // namespace
}  // namespace tinrise

namespace tinrise {
namespace {

TEST(LASheader, TheLaterOfTwoRecordsWithTheSameIdsCounts) {
  LASheader header;
  header.set_vlr("LASF_Projection", 2112, 5, {'f', 'i', 'r', 's', 't'}, false, nullptr, true);
  header.set_vlr("LASF_Projection", 2112, 6, {'s', 'e', 'c', 'o', 'n', 'd'}, false, nullptr, true);
  int length = 0;
  const char* wkt = header.vlr_wkt_coordinate_system(&length);
  ASSERT_NE(wkt, nullptr);
  EXPECT_EQ(std::string(wkt, length), "second");
  LASextendedVariableRecord evlr;
  std::strcpy(evlr.user_id, "LASF_Projection");
  evlr.record_id = 2112;
  evlr.data = {'t', 'h', 'i', 'r', 'd'};
  evlr.record_length_after_header = 5;
  header.evlrs.push_back(evlr);
  wkt = header.vlr_wkt_coordinate_system(&length);
  EXPECT_EQ(std::string(wkt, length), "third");
}

}  // namespace
}  // namespace tinrise
