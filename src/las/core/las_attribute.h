// The 192-byte extra-bytes descriptor and the list of them that describes the
// extra bytes at the end of every point record of a file. LASheader derives
// from LASextraAttributeSet; LASpoint reads its attribute values through it.
#pragma once

#include <cstdint>
#include <vector>

namespace tinrise {

// Kept byte for byte identical to its stored form in the "LASF_Spec" record 4.
struct LASextraAttribute {
  std::uint8_t reserved[2] = {0, 0};
  std::uint8_t data_type = 0;
  std::uint8_t options = 0;
  char name[32] = {};
  std::uint8_t unused[4] = {};
  std::uint8_t no_data[24] = {};
  std::uint8_t min[24] = {};
  std::uint8_t max[24] = {};
  double scale[3] = {0.0, 0.0, 0.0};
  double offset[3] = {0.0, 0.0, 0.0};
  char description[32] = {};

  LASextraAttribute() = default;
  // A new attribute: scale 1.0, offset 0, name and description cut at 32 bytes.
  LASextraAttribute(std::uint8_t data_type, const char* name, const char* description);

  // Sets the first scale (and marks it valid) unless the type is undocumented.
  void set_scale(double value);
  void set_offset(double value);

  bool has_scale() const { return (options & 0x08) != 0; }
  bool has_offset() const { return (options & 0x10) != 0; }

  // Bytes the attribute occupies in a point record (0 for an unusable type).
  int byte_size() const;

  // The first value at `bytes`, scaled and offset when either is marked valid.
  double value_at(const std::uint8_t* bytes) const;
};

static_assert(sizeof(LASextraAttribute) == 192, "extra-bytes descriptor must be 192 bytes");

class LASextraAttributeSet {
 public:
  std::vector<LASextraAttribute> attributes;
  std::vector<std::int32_t> attribute_offsets;
  std::vector<std::int32_t> attribute_lengths;

  int attribute_count() const { return static_cast<int>(attributes.size()); }

  // Drops the current list and takes copies of `count` descriptors.
  void load_attributes(int count, const LASextraAttribute* descriptors);
  // Index of the new attribute, or -1 when it occupies no bytes.
  int add_attribute(const LASextraAttribute& attribute);
  void remove_attribute(int index);
  int find_attribute(const char* name) const;
  void reset_attributes();

  // Total bytes described by the list.
  int attributes_size() const;

 private:
  void recompute_offsets(int from);
};

}  // namespace tinrise
