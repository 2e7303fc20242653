#include "las/core/las_header.h"

#include <cstring>

#include "las/core/fixed_text.h"

namespace tinrise {
bool las_user_id_equals(const char (&user_id)[16], const char* text) {
  return std::strncmp(user_id, text, sizeof(user_id)) == 0;
}

void LASheader::reset() {
  reset_user_data_in_header();
  reset_vlrs();
  reset_evlrs();
  reset_compressor_config();
  reset_tiling();
  reset_original();
  reset_user_data_after_header();
  reset_attributes();
  reset_standard_fields();
}

void LASheader::reset_standard_fields() {
  static_cast<LASheaderFields&>(*this) = LASheaderFields{};
  static_cast<LAScoordinateQuantizer&>(*this) = LAScoordinateQuantizer{};
}

void LASheader::reset_user_data_in_header() {
  header_size -= static_cast<std::uint16_t>(user_data_in_header_size);
  offset_to_point_data -= user_data_in_header_size;
  user_data_in_header.clear();
  user_data_in_header.shrink_to_fit();
  user_data_in_header_size = 0;
}

void LASheader::reset_vlrs() {
  for (const LASvariableRecord& vlr : vlrs) offset_to_point_data -= 54u + vlr.record_length_after_header;
  vlrs.clear();
  vlrs.shrink_to_fit();
  number_of_variable_length_records = 0;
}

void LASheader::reset_evlrs() {
  evlrs.clear();
  evlrs.shrink_to_fit();
  start_of_first_extended_variable_length_record = 0;
  number_of_extended_variable_length_records = 0;
}

void LASheader::reset_user_data_after_header() {
  offset_to_point_data -= user_data_after_header_size;
  user_data_after_header.clear();
  user_data_after_header.shrink_to_fit();
  user_data_after_header_size = 0;
}

void LASheader::set_vlr(const char* user_id, std::uint16_t record_id, std::uint16_t record_length_after_header,
                        std::vector<std::uint8_t> data, bool retain_description, const char* description,
                        bool append_only) {
  LASvariableRecord* vlr = nullptr;
  if (!append_only) {
    for (LASvariableRecord& candidate : vlrs) {
      if (candidate.record_id == record_id && std::strncmp(candidate.user_id, user_id, 16) == 0) {
        vlr = &candidate;
        break;
      }
    }
  }
  const bool replaced = vlr != nullptr;
  if (replaced) {
    offset_to_point_data -= vlr->record_length_after_header;
    vlr->data.clear();
  } else {
    vlrs.emplace_back();
    vlr = &vlrs.back();
    number_of_variable_length_records++;
    offset_to_point_data += 54;
  }
  vlr->reserved = 0;
  copy_fixed_text(vlr->user_id, sizeof(vlr->user_id), user_id, sizeof(vlr->user_id));
  vlr->record_id = record_id;
  vlr->record_length_after_header = record_length_after_header;
  if (!retain_description || !replaced) {
    copy_fixed_text(vlr->description, sizeof(vlr->description),
                    description ? description : default_record_description, 31);
  }
  if (record_length_after_header != 0) {
    offset_to_point_data += record_length_after_header;
    data.resize(record_length_after_header);
    vlr->data = std::move(data);
  }
}

bool LASheader::drop_vlr(const char* user_id, std::uint16_t record_id) {
  for (std::size_t i = 0; i < vlrs.size(); i++) {
    if (vlrs[i].record_id == record_id && std::strncmp(vlrs[i].user_id, user_id, 16) == 0) {
      return drop_vlr(static_cast<std::uint32_t>(i), true);
    }
  }
  return false;
}

bool LASheader::drop_vlr(std::uint32_t index, bool free_payload) {
  (void)free_payload;  // records own their payload; a caller that keeps it moves it out first
  if (index >= vlrs.size()) return false;
  offset_to_point_data -= 54u + vlrs[index].record_length_after_header;
  if (index + 1 != vlrs.size()) vlrs[index] = std::move(vlrs.back());
  vlrs.pop_back();
  if (vlrs.empty()) vlrs.shrink_to_fit();
  number_of_variable_length_records--;
  return true;
}

void LASheader::refresh_extra_bytes_vlr() {
  if (attribute_count() == 0) {
    drop_vlr("LASF_Spec", 4);
    return;
  }
  // The record length is 16 bits wide: describe as many attributes as fit.
  const int describable = attribute_count() < 341 ? attribute_count() : 341;
  const std::size_t length = 192u * static_cast<std::size_t>(describable);
  std::vector<std::uint8_t> payload(length);
  std::memcpy(payload.data(), attributes.data(), length);
  set_vlr("LASF_Spec", 4, static_cast<std::uint16_t>(length), std::move(payload));
}

const std::uint8_t* LASheader::find_record(const char* user_id, std::uint16_t record_id, std::uint64_t* length) const {
  // Of two records with the same ids the later one counts, as when reading:
  // the EVLRs come after the VLRs.
  for (auto evlr = evlrs.rbegin(); evlr != evlrs.rend(); ++evlr) {
    if (evlr->record_id == record_id && las_user_id_equals(evlr->user_id, user_id) && !evlr->data.empty()) {
      if (length) *length = evlr->data.size();
      return evlr->data.data();
    }
  }
  for (auto vlr = vlrs.rbegin(); vlr != vlrs.rend(); ++vlr) {
    if (vlr->record_id == record_id && las_user_id_equals(vlr->user_id, user_id) && !vlr->data.empty()) {
      if (length) *length = vlr->data.size();
      return vlr->data.data();
    }
  }
  return nullptr;
}

const LASvlrGeoKeys* LASheader::vlr_geo_keys() const {
  std::uint64_t length = 0;
  const std::uint8_t* payload = find_record("LASF_Projection", 34735, &length);
  if (!payload || length < sizeof(LASvlrGeoKeys)) return nullptr;
  const auto* keys = reinterpret_cast<const LASvlrGeoKeys*>(payload);
  if (length < sizeof(LASvlrGeoKeys) * (1u + keys->number_of_keys)) return nullptr;
  return keys;
}

const LASvlrKeyEntry* LASheader::vlr_geo_key_list() const {
  const LASvlrGeoKeys* keys = vlr_geo_keys();
  return keys ? reinterpret_cast<const LASvlrKeyEntry*>(keys + 1) : nullptr;
}

const double* LASheader::vlr_geo_doubles(int* count) const {
  std::uint64_t length = 0;
  const std::uint8_t* payload = find_record("LASF_Projection", 34736, &length);
  if (count) *count = payload ? static_cast<int>(length / 8) : 0;
  return payload && length >= 8 ? reinterpret_cast<const double*>(payload) : nullptr;
}

namespace {
const char* text_record(const LASheader& header, std::uint16_t record_id, int* length) {
  std::uint64_t size = 0;
  const std::uint8_t* payload = header.find_record("LASF_Projection", record_id, &size);
  if (length) *length = payload ? static_cast<int>(size) : 0;
  return reinterpret_cast<const char*>(payload);
}
}  // namespace

const char* LASheader::vlr_geo_ascii(int* length) const { return text_record(*this, 34737, length); }
const char* LASheader::vlr_wkt_math_transform(int* length) const { return text_record(*this, 2111, length); }
const char* LASheader::vlr_wkt_coordinate_system(int* length) const { return text_record(*this, 2112, length); }

const std::uint8_t* LASheader::vlr_class_lookup(int* length) const {
  std::uint64_t size = 0;
  const std::uint8_t* payload = find_record("LASF_Spec", 0, &size);
  if (length) *length = payload ? static_cast<int>(size) : 0;
  return payload;
}

std::optional<LASvlrWavePacketDescriptor> LASheader::vlr_wave_packet_descriptor(int index) const {
  if (index < 1 || index > 255) return std::nullopt;
  std::uint64_t length = 0;
  const std::uint8_t* payload = find_record("LASF_Spec", static_cast<std::uint16_t>(99 + index), &length);
  if (!payload || length < 26) return std::nullopt;
  LASvlrWavePacketDescriptor descriptor;
  descriptor.bits_per_sample = payload[0];
  descriptor.compression_type = payload[1];
  std::memcpy(&descriptor.number_of_samples, payload + 2, 4);
  std::memcpy(&descriptor.temporal_spacing, payload + 6, 4);
  std::memcpy(&descriptor.digitizer_gain, payload + 10, 8);
  std::memcpy(&descriptor.digitizer_offset, payload + 18, 8);
  return descriptor;
}

}  // namespace tinrise
