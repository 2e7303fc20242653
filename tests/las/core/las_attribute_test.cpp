#include "las/core/las_attribute.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tinrise {
namespace {

TEST(LASextraAttribute, ByteSizeOfEveryDataTypeFamily) {
  struct Case { std::uint8_t type; int size; };
  const Case cases[] = {{1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 4}, {6, 4}, {7, 8}, {8, 8}, {9, 4},
                        {10, 8}, {11, 2}, {20, 16}, {23, 6}, {30, 24}, {31, 0}};
  for (const Case& c : cases) EXPECT_EQ(LASextraAttribute(c.type, "a", "b").byte_size(), c.size) << int(c.type);
  LASextraAttribute undocumented(0, "raw", "");
  undocumented.options = 5;
  EXPECT_EQ(undocumented.byte_size(), 5);
}

TEST(LASextraAttribute, NewAttributeHasUnitScaleAndCutTexts) {
  LASextraAttribute a(9, "a name that is much longer than thirty-two bytes", "d");
  EXPECT_EQ(a.scale[0], 1.0);
  EXPECT_EQ(a.scale[2], 1.0);
  EXPECT_EQ(a.options, 0);
  EXPECT_EQ(std::memcmp(a.name, "a name that is much longer than ", 32), 0);
  a.set_scale(0.01);
  a.set_offset(2.0);
  EXPECT_EQ(a.options, 0x18);
  const auto* raw = reinterpret_cast<const std::uint8_t*>(&a);
  EXPECT_EQ(raw[2], 9);
  double scale;
  std::memcpy(&scale, raw + 112, 8);
  EXPECT_EQ(scale, 0.01);
}

TEST(LASextraAttribute, ValueAppliesScaleAndOffsetOnlyWhenValid) {
  LASextraAttribute plain(4, "i16", "");
  const std::uint8_t bytes[2] = {0xF6, 0xFF};  // -10
  EXPECT_EQ(plain.value_at(bytes), -10.0);
  LASextraAttribute scaled(4, "i16", "");
  scaled.set_scale(0.5);
  scaled.set_offset(100.0);
  EXPECT_EQ(scaled.value_at(bytes), 95.0);
}

TEST(LASextraAttributeSet, OffsetsStayContiguousThroughAddAndRemove) {
  LASextraAttributeSet set;
  LASextraAttribute nothing(0, "none", "");
  EXPECT_EQ(set.add_attribute(nothing), -1);
  EXPECT_EQ(set.add_attribute(LASextraAttribute(6, "first", "")), 0);
  EXPECT_EQ(set.add_attribute(LASextraAttribute(23, "second", "")), 1);
  EXPECT_EQ(set.add_attribute(LASextraAttribute(1, "third", "")), 2);
  EXPECT_EQ(set.attribute_offsets, (std::vector<std::int32_t>{0, 4, 10}));
  EXPECT_EQ(set.attribute_lengths, (std::vector<std::int32_t>{4, 6, 1}));
  EXPECT_EQ(set.find_attribute("second"), 1);
  EXPECT_EQ(set.find_attribute("secon"), -1);
  set.remove_attribute(0);
  EXPECT_EQ(set.attribute_offsets, (std::vector<std::int32_t>{0, 6}));
  EXPECT_EQ(set.find_attribute("third"), 1);
  EXPECT_EQ(set.attributes_size(), 7);
  set.remove_attribute(0);
  set.remove_attribute(0);
  EXPECT_EQ(set.attribute_count(), 0);
}

}  // namespace
}  // namespace tinrise
