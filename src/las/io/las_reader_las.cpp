#include "las/io/las_reader_las.h"

#include <bit>
#include <cinttypes>
#include <cmath>
#include <cstring>
#include <string>

#include "compress/las_point_reader.h"
#include "las/core/bytestream_file.h"
#include "las/core/las_item_raw.h"
#include "las/io/las_header_fields.h"
#include "las/io/las_payload.h"
#include "options/process/las_point_filter.h"
#include "options/process/las_point_transform.h"

namespace tinrise {
namespace {

// Equal scale factors and offsets bit for bit (a NaN equals itself).
bool same_bits(const LAScoordinateQuantizer& a, const LAScoordinateQuantizer& b) {
  return std::bit_cast<std::uint64_t>(a.x_scale_factor) == std::bit_cast<std::uint64_t>(b.x_scale_factor) &&
         std::bit_cast<std::uint64_t>(a.y_scale_factor) == std::bit_cast<std::uint64_t>(b.y_scale_factor) &&
         std::bit_cast<std::uint64_t>(a.z_scale_factor) == std::bit_cast<std::uint64_t>(b.z_scale_factor) &&
         std::bit_cast<std::uint64_t>(a.x_offset) == std::bit_cast<std::uint64_t>(b.x_offset) &&
         std::bit_cast<std::uint64_t>(a.y_offset) == std::bit_cast<std::uint64_t>(b.y_offset) &&
         std::bit_cast<std::uint64_t>(a.z_offset) == std::bit_cast<std::uint64_t>(b.z_offset);
}

const char* const support_line = "       please contact support@pelotrax.example for assistance\n";

// Runs one read; false when the stream ran out of data.
template <typename Read>
bool guarded(Read&& read) {
  try {
    read();
    return true;
  } catch (int) {
    return false;
  }
}

bool user_id_is(const char (&user_id)[16], const char* text) { return las_user_id_equals(user_id, text); }

// Records the system keeps outside the VLR list of a header in memory.
bool is_private_vlr(const LASvariableRecord& vlr) {
  return user_id_is(vlr.user_id, "pakmor encoded") || (user_id_is(vlr.user_id, "Pelotrax") && vlr.record_id < 2000) ||
         user_id_is(vlr.user_id, "pelotrax tile");
}

bool read_tiling(ByteStreamIn& stream, LASvlrTiling& tiling) {
  if (!guarded([&] { stream.read_le32(&tiling.level); })) {
    std::fprintf(stderr, "ERROR: reading vlr_lastiling->level %u\n", tiling.level);
    return false;
  }
  if (!guarded([&] { stream.read_le32(&tiling.level_index); })) {
    std::fprintf(stderr, "ERROR: reading vlr_lastiling->level_index %u\n", tiling.level_index);
    return false;
  }
  if (!guarded([&] { stream.read_le32(&tiling.implicit_levels); })) {
    std::fprintf(stderr, "ERROR: reading vlr_lastiling->implicit_levels %u\n", tiling.implicit_levels & 0x3FFFFFFFu);
    return false;
  }
  struct { const char* name; float* value; } bounds[] = {
      {"min_x", &tiling.min_x}, {"max_x", &tiling.max_x}, {"min_y", &tiling.min_y}, {"max_y", &tiling.max_y}};
  for (auto& bound : bounds) {
    if (!guarded([&] { stream.read_le32(bound.value); })) {
      std::fprintf(stderr, "ERROR: reading vlr_lastiling->%s %g\n", bound.name, *bound.value);
      return false;
    }
  }
  return true;
}

bool read_original(ByteStreamIn& stream, LASvlrOriginal& original) {
  if (!guarded([&] { stream.read_le64(&original.number_of_point_records); })) {
    std::fprintf(stderr, "ERROR: reading vlr_lasoriginal->number_of_point_records %u\n",
                 static_cast<unsigned>(original.number_of_point_records));
    return false;
  }
  for (int i = 0; i < 15; i++) {
    if (!guarded([&] { stream.read_le64(&original.number_of_points_by_return[i]); })) {
      std::fprintf(stderr, "ERROR: reading vlr_lasoriginal->number_of_points_by_return[%d] %u\n", i,
                   static_cast<unsigned>(original.number_of_points_by_return[i]));
      return false;
    }
  }
  struct { const char* name; double* value; } bounds[] = {
      {"min_x", &original.min_x}, {"max_x", &original.max_x}, {"min_y", &original.min_y},
      {"max_y", &original.max_y}, {"min_z", &original.min_z}, {"max_z", &original.max_z}};
  for (auto& bound : bounds) {
    if (!guarded([&] { stream.read_le64(bound.value); })) {
      std::fprintf(stderr, "ERROR: reading vlr_lasoriginal->%s %g\n", bound.name, *bound.value);
      return false;
    }
  }
  return true;
}

// Puts the stream at the end of a payload that a typed reader may have read
// less (or more) of than the record announced.
void move_to(ByteStreamIn& stream, std::int64_t position) {
  const std::int64_t here = stream.tell();
  if (here < position) {
    stream.skip_forward(position - here);
  } else if (here > position && stream.can_seek()) {
    stream.seek(position);
  }
}

// Which of the understood records the reader has met, for the duplicate warnings.
struct RecordTally {
  int geo_keys = 0, geo_doubles = 0, geo_ascii = 0, wkt_math = 0, wkt_cs = 0, class_lookup = 0;
  bool wave_packet[256] = {};
};

void classify_projection(LASheader& header, std::uint16_t record_id, const std::vector<std::uint8_t>& data,
                         bool extended, RecordTally& tally) {
  const char* kind = extended ? "extended variable length records" : "variable length records";
  const char* prefix = extended ? "evlr" : "vlr";
  switch (record_id) {
    case 2111:
      if (tally.wkt_math++) std::fprintf(stderr, "WARNING: %s contain more than one WKT OGC MATH TRANSFORM\n", kind);
      break;
    case 2112:
      if (tally.wkt_cs++) std::fprintf(stderr, "WARNING: %s contain more than one WKT OGC COORDINATE SYSTEM\n", kind);
      break;
    case 34735: {
      if (tally.geo_keys++) std::fprintf(stderr, "WARNING: %s contain more than one GeoKeyDirectoryTag\n", kind);
      if (data.size() >= 8) {
        std::uint16_t directory[3];
        std::memcpy(directory, data.data(), 6);
        if (directory[0] != 1)
          std::fprintf(stderr, "WARNING: wrong %s_geo_keys->key_directory_version: %d != 1\n", prefix, directory[0]);
        if (directory[1] != 1)
          std::fprintf(stderr, "WARNING: wrong %s_geo_keys->key_revision: %d != 1\n", prefix, directory[1]);
        if (directory[2] != 0)
          std::fprintf(stderr, "WARNING: wrong %s_geo_keys->minor_revision: %d != 0\n", prefix, directory[2]);
      }
      break;
    }
    case 34736:
      if (tally.geo_doubles++)
        std::fprintf(stderr, "WARNING: %s contain more than one %s\n", kind,
                     extended ? "GeoF64ParamsTag" : "GeoDoubleParamsTag");
      break;
    case 34737:
      if (tally.geo_ascii++) std::fprintf(stderr, "WARNING: %s contain more than one GeoAsciiParamsTag\n", kind);
      break;
    default:
      std::fprintf(stderr, "WARNING: unknown LASF_Projection %s with record_id %d.\n", extended ? "EVLR" : "VLR",
                   record_id);
  }
  (void)header;
}

void classify_spec(LASheader& header, std::uint16_t record_id, const std::vector<std::uint8_t>& data, bool extended,
                   RecordTally& tally) {
  const char* kind = extended ? "extended variable length records" : "variable length records";
  if (record_id == 0) {
    if (tally.class_lookup++) std::fprintf(stderr, "WARNING: %s contain more than one ClassificationLookup\n", kind);
  } else if (record_id == 4) {
    header.load_attributes(static_cast<int>(data.size() / 192),
                           reinterpret_cast<const LASextraAttribute*>(data.data()));
  } else if (record_id >= 100 && record_id <= 354) {
    const int index = record_id - 99;
    if (tally.wave_packet[index]) {
      std::fprintf(stderr, "WARNING: %s defines wave packet descr %d more than once\n", kind, index);
    }
    tally.wave_packet[index] = true;
    if (extended) return;
    if (data.size() != 26) {
      std::fprintf(stderr, "WARNING: variable length record payload for wave packet descr %d is %d instead of 26 bytes\n",
                   index, static_cast<int>(data.size()));
    }
    if (data.size() < 26) return;
    const auto descriptor = header.vlr_wave_packet_descriptor(index);
    if (!descriptor) return;
    if (descriptor->bits_per_sample != 8 && descriptor->bits_per_sample != 16)
      std::fprintf(stderr, "WARNING: bits per sample for wave packet descr %d is %d instead of 8 or 16\n", index,
                   descriptor->bits_per_sample);
    if (descriptor->number_of_samples == 0)
      std::fprintf(stderr, "WARNING: number of samples for wave packet descr %d is zero\n", index);
    else if (descriptor->number_of_samples > 8096)
      std::fprintf(stderr, "WARNING: number of samples of %u for wave packet descr %d is with unusually large\n",
                   descriptor->number_of_samples, index);
    if (descriptor->temporal_spacing == 0)
      std::fprintf(stderr, "WARNING: temporal spacing for wave packet descr %d is zero\n", index);
  }
}

}  // namespace

LASreaderLAS::LASreaderLAS() = default;

LASreaderLAS::~LASreaderLAS() {
  // The filter may be gone already: a pending run is dropped without giving
  // its counts back (close gives them back).
  batch_size = batch_next = batch_kept = 0;
  if (point_reader || stream) close(true);
}

bool LASreaderLAS::open(const char* file_name, int io_buffer_size, bool peek_only, std::uint32_t decompress_selective) {
  if (file_name == nullptr) {
    std::fprintf(stderr, "ERROR: file name pointer is zero\n");
    return false;
  }
  std::FILE* opened = open_binary_file(file_name, FileAccess::read, io_buffer_size);
  if (opened == nullptr) {
    std::fprintf(stderr, "ERROR: cannot open file '%s'\n", file_name);
    return false;
  }
  file = opened;
  owns_stream = true;
  return open(new ByteStreamInFile(file), peek_only, decompress_selective);
}

bool LASreaderLAS::open(std::FILE* handle, bool peek_only, std::uint32_t decompress_selective) {
  if (handle == nullptr) {
    std::fprintf(stderr, "ERROR: file pointer is zero\n");
    return false;
  }
  if (handle == stdin && !set_stdin_binary()) return false;
  owns_stream = true;
  return open(new ByteStreamInFile(handle), peek_only, decompress_selective);
}

int LASreaderLAS::format_code() const {
  return header.compressor_config && header.compressor_config->compressor != 0 ? 2 : 1;
}

bool LASreaderLAS::read_header_fields() {
  for (const LASheaderFieldSlot& field : las_header_field_slots(header, header)) {
    if (!guarded([&] { stream->get_bytes(field.value, field.size); })) {
      if (field.index < 0) {
        std::fprintf(stderr, "ERROR: reading header.%s\n", field.name);
      } else {
        std::fprintf(stderr, "ERROR: reading header.%s %d\n", field.name, field.index);
      }
      return false;
    }
  }
  return true;
}

bool LASreaderLAS::read_version_parts() {
  LASheader& h = header;
  std::uint32_t standard_end = 227;
  const bool at_least_1_3 = h.version_major > 1 || (h.version_major == 1 && h.version_minor >= 3);
  const bool at_least_1_4 = h.version_major > 1 || (h.version_major == 1 && h.version_minor >= 4);
  if (at_least_1_3) {
    if (h.header_size >= 235) {
      if (!guarded([&] { stream->read_le64(&h.start_of_waveform_data_packet_record); })) {
        std::fprintf(stderr, "ERROR: reading header.start_of_waveform_data_packet_record\n");
        return false;
      }
      standard_end = 235;
    } else {
      std::fprintf(stderr, "WARNING: for LAS 1.%d header_size should at least be 235 but it is only %d\n",
                   h.version_minor, h.header_size);
    }
  }
  if (at_least_1_4) {
    if (h.header_size < 375) {
      std::fprintf(stderr, "ERROR: for LAS 1.%d header_size should at least be 375 but it is only %d\n",
                   h.version_minor, h.header_size);
      return false;
    }
    if (!guarded([&] { stream->read_le64(&h.start_of_first_extended_variable_length_record); })) {
      std::fprintf(stderr, "ERROR: reading header.start_of_first_extended_variable_length_record\n");
      return false;
    }
    if (!guarded([&] { stream->read_le32(&h.number_of_extended_variable_length_records); })) {
      std::fprintf(stderr, "ERROR: reading header.number_of_extended_variable_length_records\n");
      return false;
    }
    if (!guarded([&] { stream->read_le64(&h.extended_number_of_point_records); })) {
      std::fprintf(stderr, "ERROR: reading header.extended_number_of_point_records\n");
      return false;
    }
    for (int i = 0; i < 15; i++) {
      if (!guarded([&] { stream->read_le64(&h.extended_number_of_points_by_return[i]); })) {
        std::fprintf(stderr, "ERROR: reading header.extended_number_of_points_by_return[%d]\n", i);
        return false;
      }
    }
    standard_end = 375;
  }
  if (h.header_size > standard_end) {
    h.user_data_in_header_size = h.header_size - standard_end;
    h.user_data_in_header.resize(h.user_data_in_header_size);
    if (!guarded([&] { stream->get_bytes(h.user_data_in_header.data(), h.user_data_in_header_size); })) {
      std::fprintf(stderr, "ERROR: reading %d bytes of data into header.user_data_in_header\n",
                   static_cast<int>(h.user_data_in_header_size));
      return false;
    }
  }
  return true;
}

bool LASreaderLAS::read_vlrs(std::uint32_t& vlr_bytes) {
  LASheader& h = header;
  RecordTally tally;
  vlr_bytes = 0;
  std::uint32_t announced = h.number_of_variable_length_records;
  std::uint32_t i = 0;
  while (i < h.number_of_variable_length_records) {
    const std::int64_t left = static_cast<std::int64_t>(h.offset_to_point_data) - h.header_size - vlr_bytes;
    if (left < 54) {
      std::fprintf(stderr, "WARNING: only %d bytes until point block after reading %u of %u vlrs. skipping remaining vlrs ...\n",
                   static_cast<int>(left), i, announced);
      h.number_of_variable_length_records = i;
      break;
    }
    LASvariableRecord vlr;
    if (!guarded([&] { stream->read_le16(&vlr.reserved); })) {
      std::fprintf(stderr, "ERROR: reading header.vlrs[%u].reserved\n", i);
      return false;
    }
    if (!guarded([&] { stream->get_bytes(vlr.user_id, 16); })) {
      std::fprintf(stderr, "ERROR: reading header.vlrs[%u].user_id\n", i);
      return false;
    }
    if (!guarded([&] { stream->read_le16(&vlr.record_id); })) {
      std::fprintf(stderr, "ERROR: reading header.vlrs[%u].record_id\n", i);
      return false;
    }
    if (!guarded([&] { stream->read_le16(&vlr.record_length_after_header); })) {
      std::fprintf(stderr, "ERROR: reading header.vlrs[%u].record_length_after_header\n", i);
      return false;
    }
    if (!guarded([&] { stream->get_bytes(vlr.description, 32); })) {
      std::fprintf(stderr, "ERROR: reading header.vlrs[%u].description\n", i);
      return false;
    }
    if (vlr.record_length_after_header > left - 54) {
      std::fprintf(stderr, "WARNING: only %d bytes until point block when trying to read %d bytes into header.vlrs[%u].data\n",
                   static_cast<int>(left - 54), vlr.record_length_after_header, i);
      vlr.record_length_after_header = static_cast<std::uint16_t>(left - 54);
    }
    const std::uint16_t length = vlr.record_length_after_header;
    if (length > 0) {
      const std::int64_t payload_end = stream->tell() + length;
      if (user_id_is(vlr.user_id, "pakmor encoded")) {
        Pakmor config;
        if (!config.read_record_payload(*stream)) return false;
        h.compressor_config = std::move(config);
        move_to(*stream, payload_end);
      } else if ((user_id_is(vlr.user_id, "Pelotrax") && vlr.record_id == 10) ||
                 user_id_is(vlr.user_id, "pelotrax tile")) {
        if (length != 28) {
          std::fprintf(stderr, "ERROR: record_length_after_header of VLR %.16s (%d) is %d instead of 28\n",
                       vlr.user_id, vlr.record_id, length);
          return false;
        }
        LASvlrTiling tiling;
        if (!read_tiling(*stream, tiling)) return false;
        h.vlr_lastiling = tiling;
      } else if (user_id_is(vlr.user_id, "Pelotrax") && vlr.record_id == 20) {
        if (length != 176) {
          std::fprintf(stderr, "ERROR: record_length_after_header of VLR %.16s (%d) is %d instead of 176\n",
                       vlr.user_id, vlr.record_id, length);
          return false;
        }
        LASvlrOriginal original;
        if (!read_original(*stream, original)) return false;
        h.vlr_lasoriginal = original;
      } else if (!guarded([&] { read_untrusted_payload(*stream, length, vlr.data); })) {
        std::fprintf(stderr, "ERROR: reading %d bytes of data into header.vlrs[%u].data\n", length, i);
        return false;
      }
    }
    vlr_bytes += 54u + length;

    if (is_private_vlr(vlr)) {
      h.offset_to_point_data -= 54u + length;
      vlr_bytes -= 54u + length;
      h.number_of_variable_length_records--;
      continue;
    }
    if (user_id_is(vlr.user_id, "LASF_Projection")) {
      if (length == 0) {
        std::fprintf(stderr, "WARNING: no payload for LASF_Projection VLR with record_id %d.\n", vlr.record_id);
      } else {
        classify_projection(h, vlr.record_id, vlr.data, false, tally);
      }
    }
    const bool is_spec = user_id_is(vlr.user_id, "LASF_Spec");
    if (is_spec && length == 0) {
      std::fprintf(stderr, "WARNING: no payload for LASF_Spec (not specification-conform).\n");  // ASPRS LASF_Spec records
    }
    const std::uint16_t record_id = vlr.record_id;
    h.vlrs.push_back(std::move(vlr));
    if (is_spec && length != 0) classify_spec(h, record_id, h.vlrs.back().data, false, tally);
    i++;
  }
  return true;
}

bool LASreaderLAS::read_evlrs() {
  LASheader& h = header;
  if (!stream->can_seek()) {
    std::fprintf(stderr, "WARNING: LAS %d.%d file has %u EVLRs but stream is not seekable ...\n", h.version_major,
                 h.version_minor, h.number_of_extended_variable_length_records);
    return true;
  }
  RecordTally tally;
  const std::int64_t here = stream->tell();
  const std::uint32_t announced = h.number_of_extended_variable_length_records;
  // A start beyond the file is as unreadable as a record cut short.
  const bool positioned = h.start_of_first_extended_variable_length_record <= static_cast<std::uint64_t>(INT64_MAX) &&
                          stream->seek(static_cast<std::int64_t>(h.start_of_first_extended_variable_length_record));
  for (std::uint32_t i = 0; i < announced; i++) {
    LASextendedVariableRecord evlr;
    if (!positioned || !guarded([&] { stream->read_le16(&evlr.reserved); })) {
      std::fprintf(stderr, "ERROR: reading header.evlrs[%u].reserved\n", i);
      return false;
    }
    if (!guarded([&] { stream->get_bytes(evlr.user_id, 16); })) {
      std::fprintf(stderr, "ERROR: reading header.evlrs[%u].user_id\n", i);
      return false;
    }
    if (!guarded([&] { stream->read_le16(&evlr.record_id); })) {
      std::fprintf(stderr, "ERROR: reading header.evlrs[%u].record_id\n", i);
      return false;
    }
    if (!guarded([&] { stream->read_le64(&evlr.record_length_after_header); })) {
      std::fprintf(stderr, "ERROR: reading header.evlrs[%u].record_length_after_header\n", i);
      return false;
    }
    if (!guarded([&] { stream->get_bytes(evlr.description, 32); })) {
      std::fprintf(stderr, "ERROR: reading header.evlrs[%u].description\n", i);
      return false;
    }
    const std::uint64_t length = evlr.record_length_after_header;
    if (length > 0) {
      const std::int64_t payload_end = stream->tell() + static_cast<std::int64_t>(length);
      if (user_id_is(evlr.user_id, "pakmor encoded")) {
        Pakmor config;
        if (!config.read_record_payload(*stream)) return false;
        h.compressor_config = std::move(config);
        move_to(*stream, payload_end);
      } else if (user_id_is(evlr.user_id, "Pelotrax") && evlr.record_id == 10) {
        if (length != 28) {
          std::fprintf(stderr, "ERROR: record_length_after_header of EVLR %.16s (%d) is %u instead of 28\n",
                       evlr.user_id, evlr.record_id, static_cast<unsigned>(length));
          return false;
        }
        LASvlrTiling tiling;
        if (!read_tiling(*stream, tiling)) return false;
        h.vlr_lastiling = tiling;
      } else if (!guarded([&] { read_untrusted_payload(*stream, length, evlr.data); })) {
        std::fprintf(stderr, "ERROR: reading %d bytes of data into header.evlrs[%u].data\n", static_cast<int>(length), i);
        return false;
      }
    }
    if (user_id_is(evlr.user_id, "pakmor encoded") || user_id_is(evlr.user_id, "Pelotrax")) {
      h.number_of_extended_variable_length_records--;
      continue;
    }
    if (user_id_is(evlr.user_id, "LASF_Projection") && length > 0) {
      classify_projection(h, evlr.record_id, evlr.data, true, tally);
    }
    const bool is_spec = user_id_is(evlr.user_id, "LASF_Spec") && length > 0;
    const std::uint16_t record_id = evlr.record_id;
    h.evlrs.push_back(std::move(evlr));
    if (is_spec) classify_spec(h, record_id, h.evlrs.back().data, true, tally);
  }
  stream->seek(here);
  return true;
}

bool LASreaderLAS::create_point_reader(std::uint32_t decompress_selective) {
  LASheader& h = header;
  point_reader = std::make_unique<LASpointReader>(decompress_selective);
  if (h.compressor_config) {
    const Pakmor& config = *h.compressor_config;
    if (!point.init(&h, config.items, &h)) {
      std::fprintf(stderr, "ERROR: unknown point type %d with point size %d\n", h.point_data_format,
                   h.point_data_record_length);
      return false;
    }
    return point_reader->setup(config.num_items(), config.items.data(), &config);
  }
  if (!point.init(&h, h.point_data_format, h.point_data_record_length, &h)) return false;
  return point_reader->setup(point.num_items, point.items.data(), nullptr);
}

bool LASreaderLAS::open(ByteStreamIn* new_stream, bool peek_only, std::uint32_t decompress_selective) {
  if (new_stream == nullptr) {
    std::fprintf(stderr, "ERROR: ByteStreamIn* pointer is zero\n");
    return false;
  }
  forget_batch();
  plan_state = PlanState::unknown;
  stream = new_stream;
  header.reset();
  point_reader.reset();
  failed = false;
  LASheader& h = header;

  if (!read_header_fields()) return false;

  if (!check_standard_header(h, true)) return false;

  if (!read_version_parts()) return false;

  point_count = h.number_of_point_records != 0 ? h.number_of_point_records
                                               : static_cast<std::int64_t>(h.extended_number_of_point_records);
  points_done = 0;

  if (peek_only) {
    h.point_data_format &= 0x7F;
    return true;
  }

  std::uint32_t vlr_bytes = 0;
  if (!read_vlrs(vlr_bytes)) return false;

  const std::int64_t after_header = static_cast<std::int64_t>(h.offset_to_point_data) - h.header_size - vlr_bytes;
  if (after_header > 0) {
    h.user_data_after_header_size = static_cast<std::uint32_t>(after_header);
    if (!guarded([&] { read_untrusted_payload(*stream, h.user_data_after_header_size, h.user_data_after_header); })) {
      std::fprintf(stderr, "ERROR: reading %d bytes of data into header.user_data_after_header\n",
                   static_cast<int>(h.user_data_after_header_size));
      return false;
    }
  }

  const bool at_least_1_4 = h.version_major > 1 || (h.version_major == 1 && h.version_minor >= 4);
  if (at_least_1_4 && h.number_of_extended_variable_length_records > 0 && !read_evlrs()) return false;

  if (h.compressor_config && !h.compressor_config->check(h.point_data_record_length)) {
    std::fprintf(stderr, "ERROR: %s\n", h.compressor_config->last_error());
    std::fprintf(stderr, "       please upgrade to the latest release of Pelotrax (with Pakmor)\n");
    std::fputs(support_line, stderr);
    return false;
  }
  if (h.point_data_format & 0xC0) {
    if (!h.compressor_config) {
      std::fprintf(stderr, "ERROR: this file was compressed with an experimental version of pakmor\n");
      std::fprintf(stderr, "ERROR: please contact support@pelotrax.example for assistance\n");
      return false;
    }
    h.point_data_format &= 0x7F;
  }

  if (!create_point_reader(decompress_selective)) {
    // The point type itself has been reported; a refused engine set-up has not.
    if (point_reader && point_reader->last_error()) std::fprintf(stderr, "ERROR: %s\n", point_reader->last_error());
    return false;
  }
  if (!point_reader->init(stream)) return false;
  end_checked = false;
  return true;
}

bool LASreaderLAS::read_record() {
  if (points_done < point_count) {
    if (point_reader->read(point.item_pointers.data())) {
      points_done++;
      return true;
    }
    if (point_reader->last_error()) {
      failed = true;
      std::fprintf(stderr, "ERROR: '%s' after %" PRId64 " of %" PRId64 " points\n", point_reader->last_error(), points_done,
                   point_count);
    } else {
      std::fprintf(stderr, "WARNING: end-of-file after %" PRId64 " of %" PRId64 " points\n", points_done, point_count);
    }
    return false;
  }
  if (!end_checked) {
    if (!point_reader->check_end()) {
      std::fprintf(stderr, "ERROR: '%s' when reaching end of encoding\n", point_reader->last_error());
      failed = true;
      points_done--;
    }
    if (point_reader->last_warning()) std::fprintf(stderr, "WARNING: '%s'\n", point_reader->last_warning());
    end_checked = true;
  }
  return false;
}

void LASreaderLAS::end_pending_reads() {
  forget_batch();
  plan_state = PlanState::unknown;
}

bool LASreaderLAS::read_processed_record() {
  if (batch_next < batch_kept) {
    // The decided run stays in the stream's buffer (or its changed copy)
    // until it is passed, so a kept record is filled straight from there.
    const std::uint32_t index = kept_records[batch_next++];
    point_reader->read_buffered(batch_records + static_cast<std::size_t>(index) * record_size,
                                point.item_pointers.data());
    if (legacy_records && changes_records) std::memcpy(&point.X, changed_records.data() + 20 * index, 20);
    points_done = batch_start + index + 1;
    if (transform && !changes_records) transform->apply(point);
    return true;
  }
  return read_processed_after_batch();
}

bool LASreaderLAS::read_processed_after_batch() {
  for (;;) {
    if (batch_next < batch_kept) return read_processed_record();
    if (batch_size != 0) end_batch(batch_size);
    // A plan restates coordinates for the quantizer it was made with.
    if (point.quantizer && (plan_state == PlanState::unknown || !same_bits(planned_quantizer, *point.quantizer))) {
      make_plan();
    }
    if (plan_state == PlanState::batches && decide_batch()) continue;
    // One record the usual way: at the end of the buffer or of the points,
    // or without a plan for runs.
    if (!read_record()) return false;
    if (plan_state == PlanState::points) {
      if (const std::uint32_t m = plan.drops_of(reinterpret_cast<const std::uint8_t*>(&point.X))) {
        filter->count_drop(static_cast<std::uint32_t>(std::countr_zero(m)));
        continue;
      }
    } else if (filter && filter->drops(point)) {
      continue;
    }
    if (transform) transform->apply(point);
    return true;
  }
}

void LASreaderLAS::make_plan() {
  plan.clear();
  changes_records = false;
  plan_state = PlanState::none;
  planned_quantizer = *point.quantizer;
  const bool planned = filter && filter->plan_records(*point.quantizer, plan);
  const bool raw = points_are_records && point_reader && point_reader->reads_raw() && !point.items.empty();
  legacy_records = raw && point.items[0].type == LASitem::POINT14;
  const bool raw_records = raw && (point.items[0].type == LASitem::POINT10 || legacy_records);
  if (raw_records && (planned || !filter)) {
    changes_records = transform && transform->changes_records();
    // Without a filter only a transform that changes records together gains.
    if (filter || changes_records) {
      record_size = point_reader->get_point_size();
      if (changes_records || legacy_records) {
        changed_records.resize(static_cast<std::size_t>(LASrecordPlan::batch) * (legacy_records ? 20 : record_size));
      }
      plan_state = PlanState::batches;
      return;
    }
  }
  if (planned) plan_state = PlanState::points;
}

bool LASreaderLAS::decide_batch() {
  std::int64_t count = static_cast<std::int64_t>(stream->buffered_size() / record_size);
  if (count > point_count - points_done) count = point_count - points_done;
  if (count > static_cast<std::int64_t>(LASrecordPlan::batch)) count = LASrecordPlan::batch;
  if (count <= 0) return false;
  const std::uint8_t* records = stream->buffered_bytes();
  std::uint32_t drops[LASrecordPlan::max_tests] = {};
  batch_size = static_cast<std::uint32_t>(count);
  batch_start = points_done;
  batch_records = records;
  const std::uint8_t* decided = records;
  std::uint32_t decided_size = record_size;
  if (legacy_records) {
    // LAS 1.4 records are decided on the legacy bytes their points will get.
    std::uint8_t* legacy = changed_records.data();
    for (std::uint32_t r = 0; r < batch_size; r++) {
      point14_record_to_legacy(records + static_cast<std::size_t>(r) * record_size, legacy + 20 * r);
    }
    decided = legacy;
    decided_size = 20;
  }
  batch_kept = plan.select(decided, batch_size, decided_size, kept_records.data(), drop_masks.data(), drops);
  if (filter) filter->add_drop_counts(drops);
  if (!changes_records || batch_kept == 0) return true;
  if (legacy_records) {
    // Changed legacy bytes are copied over the point's after it is filled:
    // the changes touch only fields both cores share.
    transform->apply_to_records(changed_records.data(), batch_size, 20, *point.quantizer);
  } else {
    // The whole run is copied and changed: one block copy and loops without
    // gaps cost less than picking out the kept records.
    std::memcpy(changed_records.data(), records, static_cast<std::size_t>(batch_size) * record_size);
    transform->apply_to_records(changed_records.data(), batch_size, record_size, *point.quantizer);
    batch_records = changed_records.data();
  }
  return true;
}

void LASreaderLAS::forget_batch() {
  if (batch_size == 0) return;
  end_batch(batch_next == 0 ? 0u : kept_records[batch_next - 1] + 1u);
}

void LASreaderLAS::end_batch(std::uint32_t passed) {
  // The stream moves on over the passed records only: it stays at the
  // record points_done counts, which seeking and reading on rely upon.
  stream->get_bytes_in_place(static_cast<std::size_t>(passed) * record_size);
  points_done = batch_start + passed;
  if (passed < batch_size && filter) {
    std::uint32_t drops[LASrecordPlan::max_tests] = {};
    for (std::uint32_t r = passed; r < batch_size; r++) {
      if (drop_masks[r] != 0) drops[std::countr_zero(drop_masks[r])]++;
    }
    filter->take_back_drop_counts(drops);
  }
  batch_size = batch_next = batch_kept = 0;
}

bool LASreaderLAS::seek(std::int64_t index) {
  forget_batch();
  if (!point_reader || index >= point_count || index < 0) return false;
  if (!point_reader->seek(points_done, index)) return false;
  points_done = index;
  return true;
}

void LASreaderLAS::close(bool close_stream) {
  forget_batch();
  if (point_reader) {
    point_reader->done();
    point_reader.reset();
  }
  if (close_stream) {
    if (owns_stream) delete stream;
    stream = nullptr;
    if (file) {
      std::fclose(file);
      file = nullptr;
    }
  }
}

// Re-scaling and re-offsetting.

namespace {

double* scale_of(LASheader& h, int axis) { return axis == 0 ? &h.x_scale_factor : axis == 1 ? &h.y_scale_factor : &h.z_scale_factor; }
double* offset_of(LASheader& h, int axis) { return axis == 0 ? &h.x_offset : axis == 1 ? &h.y_offset : &h.z_offset; }

std::int64_t round_half_away(double value) {
  if (!(value > -9.2e18 && value < 9.2e18)) return value > 0 ? INT64_MAX : INT64_MIN;
  return static_cast<std::int64_t>(value >= 0.0 ? value + 0.5 : value - 0.5);
}

bool fits_i32(std::int64_t value) { return value >= INT32_MIN && value <= INT32_MAX; }

}  // namespace

bool LASreaderLASrescaled::open(ByteStreamIn* new_stream, bool peek_only, std::uint32_t decompress_selective) {
  if (!LASreaderLAS::open(new_stream, peek_only, decompress_selective)) return false;
  for (int axis = 0; axis < 3; axis++) {
    file_scale[axis] = *scale_of(header, axis);
    file_offset[axis] = *offset_of(header, axis);
    rescaled[axis] = reoffset[axis] = false;
  }
  if (settings.rescale) {
    for (int axis = 0; axis < 3; axis++) {
      if (settings.scale[axis] != 0.0 && settings.scale[axis] != file_scale[axis]) {
        *scale_of(header, axis) = settings.scale[axis];
        rescaled[axis] = true;
      }
    }
  }
  if (settings.reoffset) {
    const double mins[3] = {header.min_x, header.min_y, header.min_z};
    const double maxs[3] = {header.max_x, header.max_y, header.max_z};
    for (int axis = 0; axis < 3; axis++) {
      double offset = settings.offset[axis];
      if (settings.auto_reoffset) {
        const double scale = *scale_of(header, axis);
        if (mins[axis] > -2e307 && maxs[axis] < 2e307 && mins[axis] < 2e307 && maxs[axis] > -2e307) {
          offset = std::trunc((mins[axis] + maxs[axis]) / scale / 2 / 10000000) * 10000000 * scale;
        } else {
          offset = 0.0;
        }
      }
      if (offset != file_offset[axis]) {
        *offset_of(header, axis) = offset;
        reoffset[axis] = true;
      }
    }
  }
  if (settings.reoffset || settings.check_for_overflow) warn_overflows();
  return true;
}

void LASreaderLASrescaled::warn_overflows() const {
  const char* const names[3][2] = {{"min_x", "max_x"}, {"min_y", "max_y"}, {"min_z", "max_z"}};
  const double bounds[3][2] = {{header.min_x, header.max_x}, {header.min_y, header.max_y}, {header.min_z, header.max_z}};
  const double new_scale[3] = {header.x_scale_factor, header.y_scale_factor, header.z_scale_factor};
  const double new_offset[3] = {header.x_offset, header.y_offset, header.z_offset};
  for (int axis = 0; axis < 3; axis++) {
    if (!rescaled[axis] && !reoffset[axis]) continue;
    for (int side = 0; side < 2; side++) {
      const double bound = bounds[axis][side];
      const std::int32_t stored =
          quantize_rounded((bound - file_offset[axis]) / file_scale[axis], bound >= file_offset[axis]);
      const std::int64_t converted =
          round_half_away((file_offset[axis] + file_scale[axis] * stored - new_offset[axis]) / new_scale[axis]);
      if (fits_i32(converted)) continue;
      if (settings.rescale && settings.reoffset) {
        std::fprintf(stderr,
                     "WARNING: rescaling from %g to %g and reoffsetting from %g to %g causes LAS integer overflow for %s\n",
                     file_scale[axis], new_scale[axis], file_offset[axis], new_offset[axis], names[axis][side]);
      } else if (settings.rescale) {
        if (!settings.check_for_overflow) continue;
        std::fprintf(stderr, "WARNING: rescaling from %g to %g causes LAS integer overflow for %s\n", file_scale[axis],
                     new_scale[axis], names[axis][side]);
      } else {
        std::fprintf(stderr, "WARNING: reoffsetting from %g to %g causes LAS integer overflow for %s\n",
                     file_offset[axis], new_offset[axis], names[axis][side]);
      }
    }
  }
}

std::int32_t LASreaderLASrescaled::convert(int axis, std::int32_t value) const {
  const double new_scale = axis == 0 ? header.x_scale_factor : axis == 1 ? header.y_scale_factor : header.z_scale_factor;
  const double new_offset = axis == 0 ? header.x_offset : axis == 1 ? header.y_offset : header.z_offset;
  const double real = reoffset[axis] ? (value * file_scale[axis] + file_offset[axis] - new_offset) / new_scale
                                     : value * file_scale[axis] / new_scale;
  return quantize_rounded(real, real >= 0.0);
}

bool LASreaderLASrescaled::read_record() {
  if (!LASreaderLAS::read_record()) return false;
  if (rescaled[0] || reoffset[0]) point.X = convert(0, point.X);
  if (rescaled[1] || reoffset[1]) point.Y = convert(1, point.Y);
  if (rescaled[2] || reoffset[2]) point.Z = convert(2, point.Z);
  return true;
}

}  // namespace tinrise
