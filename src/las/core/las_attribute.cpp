#include "las/core/las_attribute.h"

#include <cstring>

#include "las/core/fixed_text.h"

namespace tinrise {
namespace {

constexpr int element_sizes[10] = {1, 1, 2, 2, 4, 4, 8, 8, 4, 8};

void copy_text(char (&target)[32], const char* source) { copy_fixed_text(target, sizeof(target), source, sizeof(target)); }

}  // namespace

LASextraAttribute::LASextraAttribute(std::uint8_t type, const char* attribute_name, const char* attribute_description) {
  data_type = type;
  for (int i = 0; i < 3; i++) scale[i] = 1.0;
  copy_text(name, attribute_name);
  copy_text(description, attribute_description);
}

void LASextraAttribute::set_scale(double value) {
  if (data_type == 0) return;
  scale[0] = value;
  options |= 0x08;
}

void LASextraAttribute::set_offset(double value) {
  if (data_type == 0) return;
  offset[0] = value;
  options |= 0x10;
}

int LASextraAttribute::byte_size() const {
  if (data_type == 0) return options;
  if (data_type > 30) return 0;
  const int d = data_type;
  return ((d - 1) / 10 + 1) * element_sizes[(d - 1) % 10];
}

double LASextraAttribute::value_at(const std::uint8_t* bytes) const {
  if (data_type == 0 || data_type > 30) return 0.0;
  double raw = 0.0;
  switch ((data_type - 1) % 10) {
    case 0: raw = bytes[0]; break;
    case 1: raw = static_cast<std::int8_t>(bytes[0]); break;
    case 2: { std::uint16_t v; std::memcpy(&v, bytes, 2); raw = v; break; }
    case 3: { std::int16_t v; std::memcpy(&v, bytes, 2); raw = v; break; }
    case 4: { std::uint32_t v; std::memcpy(&v, bytes, 4); raw = v; break; }
    case 5: { std::int32_t v; std::memcpy(&v, bytes, 4); raw = v; break; }
    case 6: { std::uint64_t v; std::memcpy(&v, bytes, 8); raw = static_cast<double>(v); break; }
    case 7: { std::int64_t v; std::memcpy(&v, bytes, 8); raw = static_cast<double>(v); break; }
    case 8: { float v; std::memcpy(&v, bytes, 4); raw = v; break; }
    case 9: { std::memcpy(&raw, bytes, 8); break; }
  }
  if (has_scale() || has_offset()) return offset[0] + scale[0] * raw;
  return raw;
}

void LASextraAttributeSet::load_attributes(int count, const LASextraAttribute* descriptors) {
  reset_attributes();
  if (count <= 0 || descriptors == nullptr) return;
  attributes.assign(descriptors, descriptors + count);
  attribute_offsets.resize(count);
  attribute_lengths.resize(count);
  recompute_offsets(0);
}

int LASextraAttributeSet::add_attribute(const LASextraAttribute& attribute) {
  const int size = attribute.byte_size();
  if (size == 0) return -1;
  const int start = attributes.empty() ? 0 : attribute_offsets.back() + attribute_lengths.back();
  attributes.push_back(attribute);
  attribute_offsets.push_back(start);
  attribute_lengths.push_back(size);
  return attribute_count() - 1;
}

void LASextraAttributeSet::remove_attribute(int index) {
  if (index < 0 || index >= attribute_count()) return;
  attributes.erase(attributes.begin() + index);
  attribute_offsets.erase(attribute_offsets.begin() + index);
  attribute_lengths.erase(attribute_lengths.begin() + index);
  recompute_offsets(index);
  if (attributes.empty()) reset_attributes();
}

int LASextraAttributeSet::find_attribute(const char* name) const {
  for (int i = 0; i < attribute_count(); i++) {
    if (std::strncmp(attributes[i].name, name, sizeof(attributes[i].name)) == 0 &&
        std::strlen(name) <= sizeof(attributes[i].name)) {
      return i;
    }
  }
  return -1;
}

void LASextraAttributeSet::reset_attributes() {
  attributes.clear();
  attributes.shrink_to_fit();
  attribute_offsets.clear();
  attribute_offsets.shrink_to_fit();
  attribute_lengths.clear();
  attribute_lengths.shrink_to_fit();
}

int LASextraAttributeSet::attributes_size() const {
  return attributes.empty() ? 0 : attribute_offsets.back() + attribute_lengths.back();
}

void LASextraAttributeSet::recompute_offsets(int from) {
  for (int i = from; i < attribute_count(); i++) {
    attribute_offsets[i] = i == 0 ? 0 : attribute_offsets[i - 1] + attribute_lengths[i - 1];
    attribute_lengths[i] = attributes[i].byte_size();
  }
}

}  // namespace tinrise
