// The in-memory LAS file header (versions 1.0 to 1.4) with its variable-length
// and extended variable-length records, user data and the records the system
// understands. Readers fill it, writers write it, points use it as quantizer
// and attribute list. Copies are deep: every record is duplicated.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "las/core/las_attribute.h"
#include "las/core/las_quantizer.h"
#include "las/core/pakmor.h"

namespace tinrise {

// Default description of a record added without one.
inline constexpr char default_record_description[] = "by Pelotrax of tinrise";
// Written into system_identifier by the tool and readers of non-LAS formats.
inline constexpr char suite_system_identifier[] = "Pelotrax point suite";

struct LASvariableRecord {
  std::uint16_t reserved = 0;
  char user_id[16] = {};
  std::uint16_t record_id = 0;
  std::uint16_t record_length_after_header = 0;
  char description[32] = {};
  std::vector<std::uint8_t> data;  // empty when the length is 0
};

struct LASextendedVariableRecord {
  std::uint16_t reserved = 0;
  char user_id[16] = {};
  std::uint16_t record_id = 0;
  std::uint64_t record_length_after_header = 0;
  char description[32] = {};
  std::vector<std::uint8_t> data;
};

struct LASvlrKeyEntry {
  std::uint16_t key_id;
  std::uint16_t tiff_tag_location;
  std::uint16_t count;
  std::uint16_t value_offset;
};

struct LASvlrGeoKeys {
  std::uint16_t key_directory_version;
  std::uint16_t key_revision;
  std::uint16_t minor_revision;
  std::uint16_t number_of_keys;
};

struct LASvlrWavePacketDescriptor {
  std::uint8_t bits_per_sample;
  std::uint8_t compression_type;
  std::uint32_t number_of_samples;
  std::uint32_t temporal_spacing;
  double digitizer_gain;
  double digitizer_offset;
};

struct LASvlrTiling {
  std::uint32_t level = 0;
  std::uint32_t level_index = 0;
  std::uint32_t implicit_levels = 0;  // bits 0-29 levels, bit 30 buffer, bit 31 reversible
  float min_x = 0.0f, max_x = 0.0f, min_y = 0.0f, max_y = 0.0f;
};

struct LASvlrOriginal {
  std::int64_t number_of_point_records = 0;
  std::int64_t number_of_points_by_return[15] = {};
  double min_x = 0.0, max_x = 0.0, min_y = 0.0, max_y = 0.0, min_z = 0.0, max_z = 0.0;
};

// The fixed fields of the file header, in file order.
struct LASheaderFields {
  char file_signature[4] = {'L', 'A', 'S', 'F'};
  std::uint16_t file_source_ID = 0;
  std::uint16_t global_encoding = 0;
  std::uint32_t project_ID_GUID_data_1 = 0;
  std::uint16_t project_ID_GUID_data_2 = 0;
  std::uint16_t project_ID_GUID_data_3 = 0;
  std::uint8_t project_ID_GUID_data_4[8] = {};
  std::uint8_t version_major = 1;
  std::uint8_t version_minor = 2;
  char system_identifier[32] = {};
  char generating_software[32] = {};
  std::uint16_t file_creation_day = 0;
  std::uint16_t file_creation_year = 0;
  std::uint16_t header_size = 227;
  std::uint32_t offset_to_point_data = 227;
  std::uint32_t number_of_variable_length_records = 0;
  std::uint8_t point_data_format = 0;
  std::uint16_t point_data_record_length = 20;
  std::uint32_t number_of_point_records = 0;
  std::uint32_t number_of_points_by_return[5] = {};
  double max_x = 0.0, min_x = 0.0, max_y = 0.0, min_y = 0.0, max_z = 0.0, min_z = 0.0;
  std::uint64_t start_of_waveform_data_packet_record = 0;
  std::uint64_t start_of_first_extended_variable_length_record = 0;
  std::uint32_t number_of_extended_variable_length_records = 0;
  std::uint64_t extended_number_of_point_records = 0;
  std::uint64_t extended_number_of_points_by_return[15] = {};
};

class LASheader : public LAScoordinateQuantizer, public LASextraAttributeSet, public LASheaderFields {
 public:
  std::uint32_t user_data_in_header_size = 0;
  std::vector<std::uint8_t> user_data_in_header;
  std::vector<LASvariableRecord> vlrs;
  std::vector<LASextendedVariableRecord> evlrs;
  std::optional<Pakmor> compressor_config;
  std::optional<LASvlrTiling> vlr_lastiling;
  std::optional<LASvlrOriginal> vlr_lasoriginal;
  std::uint32_t user_data_after_header_size = 0;
  std::vector<std::uint8_t> user_data_after_header;

  void reset();
  void reset_standard_fields();
  void reset_user_data_in_header();
  void reset_vlrs();
  void reset_evlrs();
  void reset_compressor_config() { compressor_config.reset(); }
  void reset_tiling() { vlr_lastiling.reset(); }
  void reset_original() { vlr_lasoriginal.reset(); }
  void reset_user_data_after_header();
  // reset_attributes comes from LASextraAttributeSet.

  // Adds or replaces a record; the record takes `data`, whose size must be
  // `record_length_after_header` (or zero for an empty record).
  void set_vlr(const char* user_id, std::uint16_t record_id, std::uint16_t record_length_after_header,
               std::vector<std::uint8_t> data, bool retain_description = false, const char* description = nullptr,
               bool append_only = false);
  // Removes the first matching record; the last record moves into its slot.
  bool drop_vlr(const char* user_id, std::uint16_t record_id);
  bool drop_vlr(std::uint32_t index, bool free_payload = true);
  // Makes the "LASF_Spec" record 4 describe the attribute list.
  void refresh_extra_bytes_vlr();

  // Views of the records the system understands, looked up among the records
  // each time (so they never dangle); null when absent or too short for what
  // they announce.
  const LASvlrGeoKeys* vlr_geo_keys() const;
  const LASvlrKeyEntry* vlr_geo_key_list() const;
  const double* vlr_geo_doubles(int* count = nullptr) const;
  const char* vlr_geo_ascii(int* length = nullptr) const;
  const char* vlr_wkt_math_transform(int* length = nullptr) const;
  const char* vlr_wkt_coordinate_system(int* length = nullptr) const;
  const std::uint8_t* vlr_class_lookup(int* length = nullptr) const;
  // Wave packet descriptor 1 to 255 ("LASF_Spec" record 99 + index).
  std::optional<LASvlrWavePacketDescriptor> vlr_wave_packet_descriptor(int index) const;

  // The payload of the last EVLR, else the last VLR, with these ids.
  const std::uint8_t* find_record(const char* user_id, std::uint16_t record_id, std::uint64_t* length = nullptr) const;
};

// User ids compare as zero-terminated texts of at most 16 characters.
bool las_user_id_equals(const char (&user_id)[16], const char* text);

}  // namespace tinrise
