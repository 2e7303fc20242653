// The 227 bytes every LAS header starts with, as an ordered table of fields:
// the reader fills them and the writer writes them one by one, so that each
// can name the field that failed.
#pragma once

#include <array>
#include <cstddef>

#include "las/core/las_header.h"

namespace tinrise {

struct LASheaderFieldSlot {
  const char* name;
  int index;  // position in an array field, -1 for a single value
  void* value;
  std::size_t size;
};

inline std::array<LASheaderFieldSlot, 36> las_header_field_slots(LASheaderFields& f, LAScoordinateQuantizer& q) {
  return {{
      {"file_signature", -1, f.file_signature, 4},
      {"file_source_ID", -1, &f.file_source_ID, 2},
      {"global_encoding", -1, &f.global_encoding, 2},
      {"project_ID_GUID_data_1", -1, &f.project_ID_GUID_data_1, 4},
      {"project_ID_GUID_data_2", -1, &f.project_ID_GUID_data_2, 2},
      {"project_ID_GUID_data_3", -1, &f.project_ID_GUID_data_3, 2},
      {"project_ID_GUID_data_4", -1, f.project_ID_GUID_data_4, 8},
      {"version_major", -1, &f.version_major, 1},
      {"version_minor", -1, &f.version_minor, 1},
      {"system_identifier", -1, f.system_identifier, 32},
      {"generating_software", -1, f.generating_software, 32},
      {"file_creation_day", -1, &f.file_creation_day, 2},
      {"file_creation_year", -1, &f.file_creation_year, 2},
      {"header_size", -1, &f.header_size, 2},
      {"offset_to_point_data", -1, &f.offset_to_point_data, 4},
      {"number_of_variable_length_records", -1, &f.number_of_variable_length_records, 4},
      {"point_data_format", -1, &f.point_data_format, 1},
      {"point_data_record_length", -1, &f.point_data_record_length, 2},
      {"number_of_point_records", -1, &f.number_of_point_records, 4},
      {"number_of_points_by_return", 0, &f.number_of_points_by_return[0], 4},
      {"number_of_points_by_return", 1, &f.number_of_points_by_return[1], 4},
      {"number_of_points_by_return", 2, &f.number_of_points_by_return[2], 4},
      {"number_of_points_by_return", 3, &f.number_of_points_by_return[3], 4},
      {"number_of_points_by_return", 4, &f.number_of_points_by_return[4], 4},
      {"x_scale_factor", -1, &q.x_scale_factor, 8},
      {"y_scale_factor", -1, &q.y_scale_factor, 8},
      {"z_scale_factor", -1, &q.z_scale_factor, 8},
      {"x_offset", -1, &q.x_offset, 8},
      {"y_offset", -1, &q.y_offset, 8},
      {"z_offset", -1, &q.z_offset, 8},
      {"max_x", -1, &f.max_x, 8},
      {"min_x", -1, &f.min_x, 8},
      {"max_y", -1, &f.max_y, 8},
      {"min_y", -1, &f.min_y, 8},
      {"max_z", -1, &f.max_z, 8},
      {"min_z", -1, &f.min_z, 8},
  }};
}

}  // namespace tinrise
