// The 227 bytes every LAS header starts with, as an ordered table of fields:
// the reader fills them and the writer writes them one by one, so that each
// can name the field that failed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <cstring>

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

// The checks a header passes before it is read further or written: false
// after an error, warnings for what can be lived with. A box with NaN bounds
// counts as invalid only where `nan_box_invalid` says so (the reader).
inline bool check_standard_header(const LASheader& h, bool nan_box_invalid) {
  if (std::strncmp(h.file_signature, "LASF", 4) != 0) {
    const char signature[5] = {h.file_signature[0], h.file_signature[1], h.file_signature[2], h.file_signature[3], 0};
    std::fprintf(stderr, "ERROR: wrong file signature '%4s'\n", signature);
    return false;
  }
  if (h.version_major != 1 || h.version_minor > 4) {
    std::fprintf(stderr, "WARNING: unknown version %d.%d (should be 1.0 or 1.1 or 1.2 or 1.3 or 1.4)\n",
                 h.version_major, h.version_minor);
  }
  if (h.header_size < 227) {
    std::fprintf(stderr, "ERROR: header size is %d but should be at least 227\n", h.header_size);
    return false;
  }
  if (h.offset_to_point_data < h.header_size) {
    std::fprintf(stderr, "ERROR: offset to point data %d is smaller than header size %d\n",
                 static_cast<int>(h.offset_to_point_data), h.header_size);
    return false;
  }
  if (h.x_scale_factor == 0.0) std::fprintf(stderr, "WARNING: x scale factor is zero.\n");
  if (h.y_scale_factor == 0.0) std::fprintf(stderr, "WARNING: y scale factor is zero.\n");
  if (h.z_scale_factor == 0.0) std::fprintf(stderr, "WARNING: z scale factor is zero.\n");
  const bool invalid_box = nan_box_invalid
                               ? !(h.max_x >= h.min_x) || !(h.max_y >= h.min_y) || !(h.max_z >= h.min_z)
                               : h.max_x < h.min_x || h.max_y < h.min_y || h.max_z < h.min_z;
  if (invalid_box) {
    std::fprintf(stderr, "WARNING: invalid bounding box [ %g %g %g / %g %g %g ]\n", h.min_x, h.min_y, h.min_z, h.max_x,
                 h.max_y, h.max_z);
  }
  return true;
}

}  // namespace tinrise
