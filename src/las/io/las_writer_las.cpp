#include "las/io/las_writer_las.h"

#include <cinttypes>
#include <cstring>

#include "compress/las_point_writer.h"
#include "las/core/bytestream_file.h"
#include "las/core/bytestream_nil.h"
#include "las/core/fixed_text.h"
#include "las/io/las_header_fields.h"

namespace tinrise {
namespace {

constexpr std::uint16_t private_reserved = 0xAABB;

bool write_record_header(ByteStreamOut& stream, const char* user_id, std::uint16_t record_id, std::uint16_t length,
                         const char* description) {
  char id[16];
  char text[32];
  copy_fixed_text(id, sizeof(id), user_id, sizeof(id));
  copy_fixed_text(text, sizeof(text), description, sizeof(text));
  if (!stream.write_le16(&private_reserved)) {
    std::fprintf(stderr, "ERROR: writing reserved %d\n", private_reserved);
    return false;
  }
  if (!stream.write_bytes(id, 16)) {
    std::fprintf(stderr, "ERROR: writing user_id %s\n", user_id);
    return false;
  }
  if (!stream.write_le16(&record_id)) {
    std::fprintf(stderr, "ERROR: writing record_id %d\n", record_id);
    return false;
  }
  if (!stream.write_le16(&length)) {
    std::fprintf(stderr, "ERROR: writing record_length_after_header %d\n", length);
    return false;
  }
  if (!stream.write_bytes(text, 32)) {
    std::fprintf(stderr, "ERROR: writing description %s\n", description);
    return false;
  }
  return true;
}

// The legacy 32-bit counter for a count that may not fit it.
std::uint32_t legacy_count(std::int64_t count, bool new_point_type, int version_minor) {
  if (new_point_type) return 0;
  if (count >= 0 && count <= 0xFFFFFFFFLL) return static_cast<std::uint32_t>(count);
  return version_minor < 4 ? 0xFFFFFFFFu : 0u;
}

}  // namespace

LASwriterLAS::LASwriterLAS() = default;

LASwriterLAS::~LASwriterLAS() {
  if (point_writer || stream) close(true);
}

bool LASwriterLAS::open(const char* file_name, const LASheader* header, std::uint16_t compressor,
                        int requested_version, int chunk_size, int io_buffer_size) {
  if (file_name == nullptr) {
    std::fprintf(stderr, "ERROR: file name pointer is zero\n");
    return false;
  }
  std::FILE* opened = open_binary_file(file_name, FileAccess::write, io_buffer_size);
  if (opened == nullptr) {
    std::fprintf(stderr, "ERROR: cannot open file '%s'\n", file_name);
    return false;
  }
  file = opened;
  owns_stream = true;
  return open(new ByteStreamOutFile(file), header, compressor, requested_version, chunk_size);
}

bool LASwriterLAS::open(std::FILE* handle, const LASheader* header, std::uint16_t compressor, int requested_version,
                        int chunk_size) {
  if (handle == nullptr) {
    std::fprintf(stderr, "ERROR: file pointer is zero\n");
    return false;
  }
  if (handle == stdout) set_stdout_binary();
  owns_stream = true;
  return open(new ByteStreamOutFile(handle), header, compressor, requested_version, chunk_size);
}

bool LASwriterLAS::open(const LASheader* header, std::uint16_t compressor, int requested_version, int chunk_size) {
  owns_stream = true;
  return open(new ByteStreamOutNil(), header, compressor, requested_version, chunk_size);
}

bool LASwriterLAS::open(ByteStreamOut* new_stream, const LASheader* header, std::uint16_t compressor,
                        int requested_version, int chunk_size) {
  if (new_stream == nullptr) {
    std::fprintf(stderr, "ERROR: ByteStreamOut pointer is zero\n");
    return false;
  }
  stream = new_stream;
  if (header == nullptr) {
    std::fprintf(stderr, "ERROR: LASheader pointer is zero\n");
    return false;
  }
  const LASheader& h = *header;
  if (!check_standard_header(h, false)) return false;
  quantizer = static_cast<const LAScoordinateQuantizer&>(h);

  std::vector<LASitem> items;
  int point_type = h.point_data_format & 0x3F;
  int record_length = h.point_data_record_length;
  bool standard = true;
  if (h.compressor_config) {
    items = h.compressor_config->items;
    Pakmor matcher;
    standard = matcher.match_point_type(static_cast<std::uint16_t>(items.size()), items.data(), point_type,
                                        record_length);
  } else if (!las_items_for_point_type(point_type, record_length, items)) {
    std::fprintf(stderr, "ERROR: unknown point type %d with point size %d\n", point_type, record_length);
    return false;
  }
  if (compressor != 0 && compressor != 3 && point_type > 5) {
    std::fprintf(stderr, "ERROR: point type %d requires using \"native LAS 1.4 extension\" of Pakmor\n", point_type);
    return false;
  }

  written_config.reset();
  if (compressor != 0 || !standard) {
    Pakmor config;
    bool configured = config.setup(static_cast<std::uint16_t>(items.size()), items.data(), compressor);
    if (configured && chunk_size >= 0) configured = config.set_chunk_size(static_cast<std::uint32_t>(chunk_size));
    if (compressor != 0) {
      if (chunk_size == 0 && point_type <= 5) {
        std::fprintf(stderr, "ERROR: adaptive chunking is depricated for point type %d.\n       only available for new LAS 1.4 point types 6 or higher.\n",
                     point_type);
        return false;
      }
      if (requested_version == 0) requested_version = 2;
    } else {
      requested_version = 0;
    }
    if (configured) configured = config.request_version(static_cast<std::uint16_t>(requested_version));
    if (!configured) {
      std::fprintf(stderr, "ERROR: point type %d of size %d not supported (with Pakmor)\n", point_type, record_length);
      return false;
    }
    written_config = std::move(config);
  }

  point_writer = std::make_unique<LASpointWriter>();
  const Pakmor* config = written_config ? &*written_config : nullptr;
  const std::vector<LASitem>& engine_items = config ? config->items : items;
  if (!point_writer->setup(static_cast<std::uint16_t>(engine_items.size()), engine_items.data(), config)) {
    if (config) {
      std::fprintf(stderr, "ERROR: point type %d of size %d not supported (with Pakmor)\n", point_type, record_length);
    } else {
      std::fprintf(stderr, "ERROR: point type %d of size %d not supported\n", point_type, record_length);
    }
    return false;
  }

  header_start = stream->tell();
  const bool compressing = written_config && written_config->compressor != 0;
  if (!write_header(h, point_type, compressing ? 0x80 : 0)) return false;
  if (!point_writer->init(stream)) return false;
  point_count = h.number_of_point_records != 0 ? h.number_of_point_records
                                               : static_cast<std::int64_t>(h.extended_number_of_point_records);
  points_done = 0;
  return true;
}

bool LASwriterLAS::write_header(const LASheader& h, int point_type, std::uint16_t format_bits) {
  LASheaderFields f = h;
  if (f.version_major != 1) {
    std::fprintf(stderr, "WARNING: header->version_major is %d. writing 1 instead.\n", f.version_major);
    f.version_major = 1;
  }
  if (f.version_minor > 4) {
    std::fprintf(stderr, "WARNING: header->version_minor is %d. writing 4 instead.\n", f.version_minor);
    f.version_minor = 4;
  }
  if (written_config) {
    f.offset_to_point_data += 54u + written_config->record_length_after_header();
    f.number_of_variable_length_records++;
  }
  if (h.vlr_lastiling) {
    f.offset_to_point_data += 54u + 28u;
    f.number_of_variable_length_records++;
  }
  if (h.vlr_lasoriginal) {
    f.offset_to_point_data += 54u + 176u;
    f.number_of_variable_length_records++;
  }
  f.point_data_format = static_cast<std::uint8_t>(f.point_data_format | format_bits);

  LAScoordinateQuantizer scales = h;
  for (const LASheaderFieldSlot& field : las_header_field_slots(f, scales)) {
    if (!stream->write_bytes(field.value, field.size)) {
      if (field.index < 0) {
        std::fprintf(stderr, "ERROR: writing header->%s\n", field.name);
      } else {
        std::fprintf(stderr, "ERROR: writing header->%s[%d]\n", field.name, field.index);
      }
      return false;
    }
  }

  if (f.version_minor >= 3) {
    if (f.start_of_waveform_data_packet_record != 0) {
      std::fprintf(stderr, "WARNING: header->start_of_waveform_data_packet_record is %" PRId64 ". writing 0 instead.\n",
                   static_cast<std::int64_t>(f.start_of_waveform_data_packet_record));
    }
    const std::uint64_t zero = 0;
    if (!stream->write_le64(&zero)) {
      std::fprintf(stderr, "ERROR: writing start_of_waveform_data_packet_record\n");
      return false;
    }
  }
  is_las_1_4 = f.version_minor >= 4;
  is_new_point_type = is_las_1_4 && point_type >= 6;
  if (is_las_1_4) {
    start_of_first_extended_variable_length_record =
        static_cast<std::int64_t>(f.start_of_first_extended_variable_length_record);
    if (!stream->write_le64(&f.start_of_first_extended_variable_length_record)) {
      std::fprintf(stderr, "ERROR: writing header->start_of_first_extended_variable_length_record\n");
      return false;
    }
    number_of_extended_variable_length_records = f.number_of_extended_variable_length_records;
    evlrs = &h.evlrs;
    if (!stream->write_le32(&f.number_of_extended_variable_length_records)) {
      std::fprintf(stderr, "ERROR: writing header->number_of_extended_variable_length_records\n");
      return false;
    }
    const std::uint64_t extended_count =
        f.number_of_point_records != 0 ? f.number_of_point_records : f.extended_number_of_point_records;
    if (!stream->write_le64(&extended_count)) {
      std::fprintf(stderr, "ERROR: writing header->extended_number_of_point_records\n");
      return false;
    }
    for (int i = 0; i < 15; i++) {
      const std::uint64_t count = i < 5 && f.number_of_points_by_return[i] != 0 ? f.number_of_points_by_return[i]
                                                                                : f.extended_number_of_points_by_return[i];
      if (!stream->write_le64(&count)) {
        std::fprintf(stderr, "ERROR: writing header->extended_number_of_points_by_return[%d]\n", i);
        return false;
      }
    }
  } else {
    is_new_point_type = false;
    number_of_extended_variable_length_records = 0;
    evlrs = nullptr;
  }

  if (h.user_data_in_header_size != 0) {
    if (h.user_data_in_header.size() < h.user_data_in_header_size) {
      std::fprintf(stderr, "ERROR: there should be %d bytes of data in header->user_data_in_header\n",
                   static_cast<int>(h.user_data_in_header_size));
      return false;
    }
    if (!stream->write_bytes(h.user_data_in_header.data(), h.user_data_in_header_size)) {
      std::fprintf(stderr, "ERROR: writing %d bytes of data from header->user_data_in_header\n",
                   static_cast<int>(h.user_data_in_header_size));
      return false;
    }
  }

  for (std::size_t i = 0; i < h.vlrs.size(); i++) {
    const LASvariableRecord& vlr = h.vlrs[i];
    const int index = static_cast<int>(i);
    if (!stream->write_le16(&vlr.reserved)) {
      std::fprintf(stderr, "ERROR: writing header->vlrs[%d].reserved\n", index);
      return false;
    }
    if (!stream->write_bytes(vlr.user_id, 16)) {
      std::fprintf(stderr, "ERROR: writing header->vlrs[%d].user_id\n", index);
      return false;
    }
    if (!stream->write_le16(&vlr.record_id)) {
      std::fprintf(stderr, "ERROR: writing header->vlrs[%d].record_id\n", index);
      return false;
    }
    if (!stream->write_le16(&vlr.record_length_after_header)) {
      std::fprintf(stderr, "ERROR: writing header->vlrs[%d].record_length_after_header\n", index);
      return false;
    }
    if (!stream->write_bytes(vlr.description, 32)) {
      std::fprintf(stderr, "ERROR: writing header->vlrs[%d].description\n", index);
      return false;
    }
    if (vlr.record_length_after_header != 0) {
      if (vlr.data.size() < vlr.record_length_after_header) {
        std::fprintf(stderr, "ERROR: there should be %d bytes of data in header->vlrs[%d].data\n",
                     vlr.record_length_after_header, index);
        return false;
      }
      if (!stream->write_bytes(vlr.data.data(), vlr.record_length_after_header)) {
        std::fprintf(stderr, "ERROR: writing %d bytes of data from header->vlrs[%d].data\n",
                     vlr.record_length_after_header, index);
        return false;
      }
    }
  }

  if (!write_private_records(h)) return false;

  if (h.user_data_after_header_size != 0) {
    if (h.user_data_after_header.size() < h.user_data_after_header_size) {
      std::fprintf(stderr, "ERROR: there should be %d bytes of data in header->user_data_after_header\n",
                   static_cast<int>(h.user_data_after_header_size));
      return false;
    }
    if (!stream->write_bytes(h.user_data_after_header.data(), h.user_data_after_header_size)) {
      std::fprintf(stderr, "ERROR: writing %d bytes of data from header->user_data_after_header\n",
                   static_cast<int>(h.user_data_after_header_size));
      return false;
    }
  }
  return true;
}

bool LASwriterLAS::write_private_records(const LASheader& h) {
  if (written_config && !written_config->write_record(*stream)) return false;
  if (h.vlr_lastiling) {
    const LASvlrTiling& tiling = *h.vlr_lastiling;
    char description[64];
    std::snprintf(description, sizeof(description), "tile %s buffer%s",
                  (tiling.implicit_levels & (1u << 30)) ? "with" : "without",
                  (tiling.implicit_levels & (1u << 31)) ? ", reversible" : "");
    if (!write_record_header(*stream, "Pelotrax", 10, 28, description)) return false;
    struct { const char* format; const void* value; unsigned shown; } words[] = {
        {"ERROR: writing header->vlr_lastiling->level %u\n", &tiling.level, tiling.level},
        {"ERROR: writing header->vlr_lastiling->level_index %u\n", &tiling.level_index, tiling.level_index},
        {"ERROR: writing header->vlr_lastiling->implicit_levels %u\n", &tiling.implicit_levels, tiling.implicit_levels},
    };
    for (auto& word : words) {
      if (!stream->write_le32(word.value)) {
        std::fprintf(stderr, word.format, word.shown);
        return false;
      }
    }
    struct { const char* name; const float* value; } bounds[] = {
        {"min_x", &tiling.min_x}, {"max_x", &tiling.max_x}, {"min_y", &tiling.min_y}, {"max_y", &tiling.max_y}};
    for (auto& bound : bounds) {
      if (!stream->write_le32(bound.value)) {
        std::fprintf(stderr, "ERROR: writing header->vlr_lastiling->%s %g\n", bound.name, *bound.value);
        return false;
      }
    }
  }
  if (h.vlr_lasoriginal) {
    const LASvlrOriginal& original = *h.vlr_lasoriginal;
    if (!write_record_header(*stream, "Pelotrax", 20, 176, "counters and bbox of original")) return false;
    if (!stream->write_le64(&original.number_of_point_records)) {
      std::fprintf(stderr, "ERROR: writing header->vlr_lasoriginal->number_of_point_records %u\n",
                   static_cast<unsigned>(original.number_of_point_records));
      return false;
    }
    for (unsigned i = 0; i < 15; i++) {
      if (!stream->write_le64(&original.number_of_points_by_return[i])) {
        std::fprintf(stderr, "ERROR: writing header->vlr_lasoriginal->number_of_points_by_return[%u] %u\n", i,
                     static_cast<unsigned>(original.number_of_points_by_return[i]));
        return false;
      }
    }
    struct { const char* name; const double* value; } bounds[] = {
        {"min_x", &original.min_x}, {"max_x", &original.max_x}, {"min_y", &original.min_y},
        {"max_y", &original.max_y}, {"min_z", &original.min_z}, {"max_z", &original.max_z}};
    for (auto& bound : bounds) {
      if (!stream->write_le64(bound.value)) {
        std::fprintf(stderr, "ERROR: writing header->vlr_lasoriginal->%s %g\n", bound.name, *bound.value);
        return false;
      }
    }
  }
  return true;
}

bool LASwriterLAS::put_point(const LASpoint& point) {
  points_done++;
  return point_writer->write(point.item_pointers.data());
}

bool LASwriterLAS::chunk() { return point_writer && point_writer->chunk(); }

bool LASwriterLAS::patch_header(const LASheader* header, bool use_inventory, bool update_extra_bytes) {
  if (header == nullptr) {
    std::fprintf(stderr, "ERROR: header pointer is zero\n");
    return false;
  }
  if (stream == nullptr) {
    std::fprintf(stderr, "ERROR: stream pointer is zero\n");
    return false;
  }
  if (!stream->can_seek()) {
    std::fprintf(stderr, "WARNING: stream not seekable. cannot update header.\n");
    return false;
  }
  const LASheader& h = *header;
  const int point_type = h.point_data_format & 0x3F;
  const bool new_type = point_type >= 6;
  auto write32 = [&](std::uint32_t value, const char* message, int index) {
    if (stream->write_le32(&value)) return true;
    std::fprintf(stderr, message, index);
    return false;
  };
  auto write64 = [&](const void* value, const char* message, int index) {
    if (stream->write_le64(value)) return true;
    std::fprintf(stderr, message, index);
    return false;
  };
  stream->seek(header_start + 107);
  if (use_inventory) {
    const std::int64_t count = inventory.number_of_point_records;
    std::uint32_t legacy = legacy_count(count, new_type, h.version_minor);
    if (!new_type && count > 0xFFFFFFFFLL && h.version_minor < 4) {
      std::fprintf(stderr, "WARNING: too many points in LAS %d.%d file. limit is %u.\n", h.version_major,
                   h.version_minor, 0xFFFFFFFFu);
    }
    if (!write32(legacy, "ERROR: updating inventory.number_of_point_records\n", 0)) return false;
    point_count = count;
    for (int i = 0; i < 5; i++) {
      legacy = legacy_count(inventory.number_of_points_by_return[i + 1], new_type, h.version_minor);
      if (!write32(legacy, "ERROR: updating inventory.number_of_points_by_return[%d]\n", i)) return false;
    }
    stream->seek(header_start + 179);
    const double box[6] = {
        quantizer.dequantize_x(inventory.max_X), quantizer.dequantize_x(inventory.min_X),
        quantizer.dequantize_y(inventory.max_Y), quantizer.dequantize_y(inventory.min_Y),
        quantizer.dequantize_z(inventory.max_Z), quantizer.dequantize_z(inventory.min_Z)};
    const char* const names[6] = {"max_X", "min_X", "max_Y", "min_Y", "max_Z", "min_Z"};
    for (int i = 0; i < 6; i++) {
      if (!stream->write_le64(&box[i])) {
        std::fprintf(stderr, "ERROR: updating inventory.%s\n", names[i]);
        return false;
      }
    }
    if (h.version_minor >= 4) {
      stream->seek(header_start + 247);
      if (!write64(&inventory.number_of_point_records, "ERROR: updating header->extended_number_of_point_records\n", 0))
        return false;
      for (int i = 0; i < 15; i++) {
        if (!write64(&inventory.number_of_points_by_return[i + 1],
                     "ERROR: updating header->extended_number_of_points_by_return[%d]\n", i))
          return false;
      }
    }
  } else {
    if (!write32(new_type ? 0 : h.number_of_point_records, "ERROR: updating header->number_of_point_records\n", 0))
      return false;
    point_count = h.number_of_point_records;
    for (int i = 0; i < 5; i++) {
      if (!write32(new_type ? 0 : h.number_of_points_by_return[i],
                   "ERROR: updating header->number_of_points_by_return[%d]\n", i))
        return false;
    }
    stream->seek(header_start + 179);
    const double box[6] = {h.max_x, h.min_x, h.max_y, h.min_y, h.max_z, h.min_z};
    const char* const names[6] = {"max_x", "min_x", "max_y", "min_y", "max_z", "min_z"};
    for (int i = 0; i < 6; i++) {
      if (!stream->write_le64(&box[i])) {
        std::fprintf(stderr, "ERROR: updating header->%s\n", names[i]);
        return false;
      }
    }
    if (h.version_minor > 2) {
      const std::uint64_t zero = 0;
      if (h.start_of_waveform_data_packet_record != 0) {
        std::fprintf(stderr, "WARNING: header->start_of_waveform_data_packet_record is %" PRId64 ". writing 0 instead.\n",
                     static_cast<std::int64_t>(h.start_of_waveform_data_packet_record));
        if (!write64(&zero, "ERROR: updating start_of_waveform_data_packet_record\n", 0)) return false;
      } else if (!write64(&h.start_of_waveform_data_packet_record,
                          "ERROR: updating header->start_of_waveform_data_packet_record\n", 0)) {
        return false;
      }
    }
    if (h.version_minor >= 4) {
      stream->seek(header_start + 235);
      if (!write64(&h.start_of_first_extended_variable_length_record,
                   "ERROR: updating header->start_of_first_extended_variable_length_record\n", 0))
        return false;
      if (!write32(h.number_of_extended_variable_length_records,
                   "ERROR: updating header->number_of_extended_variable_length_records\n", 0))
        return false;
      const std::uint64_t extended_count =
          h.number_of_point_records != 0 ? h.number_of_point_records : h.extended_number_of_point_records;
      if (!write64(&extended_count, "ERROR: updating header->extended_number_of_point_records\n", 0)) return false;
      for (int i = 0; i < 15; i++) {
        const std::uint64_t count = i < 5 && h.number_of_points_by_return[i] != 0 ? h.number_of_points_by_return[i]
                                                                                  : h.extended_number_of_points_by_return[i];
        if (!write64(&count, "ERROR: updating header->extended_number_of_points_by_return[%d]\n", i)) return false;
      }
    }
  }
  stream->seek_from_end();
  if (update_extra_bytes && h.attribute_count() > 0) {
    std::int64_t position = header_start + h.header_size;
    const LASvariableRecord* found = nullptr;
    int found_index = 0;
    for (std::size_t i = 0; i < h.vlrs.size(); i++) {
      if (las_user_id_equals(h.vlrs[i].user_id, "LASF_Spec") && h.vlrs[i].record_id == 4) {
        found = &h.vlrs[i];
        found_index = static_cast<int>(i);
        break;
      }
      position += 54 + h.vlrs[i].record_length_after_header;
    }
    if (found == nullptr) {
      std::fprintf(stderr, "WARNING: could not find extra bytes VLR for update\n");
    } else {
      stream->seek(position + 54);
      if (!stream->write_bytes(found->data.data(), found->data.size())) {
        std::fprintf(stderr, "ERROR: writing %d bytes of data from header->vlrs[%d].data\n",
                     found->record_length_after_header, found_index);
        return false;
      }
      stream->seek_from_end();
    }
  }
  return true;
}

bool LASwriterLAS::write_evlrs() {
  const std::int64_t position = stream->tell();
  for (std::size_t i = 0; i < evlrs->size(); i++) {
    const LASextendedVariableRecord& evlr = (*evlrs)[i];
    const int index = static_cast<int>(i);
    if (!stream->write_le16(&evlr.reserved)) {
      std::fprintf(stderr, "ERROR: writing evlrs[%d].reserved\n", index);
      return false;
    }
    if (!stream->write_bytes(evlr.user_id, 16)) {
      std::fprintf(stderr, "ERROR: writing evlrs[%d].user_id\n", index);
      return false;
    }
    if (!stream->write_le16(&evlr.record_id)) {
      std::fprintf(stderr, "ERROR: writing evlrs[%d].record_id\n", index);
      return false;
    }
    if (!stream->write_le64(&evlr.record_length_after_header)) {
      std::fprintf(stderr, "ERROR: writing evlrs[%d].record_length_after_header\n", index);
      return false;
    }
    if (!stream->write_bytes(evlr.description, 32)) {
      std::fprintf(stderr, "ERROR: writing evlrs[%d].description\n", index);
      return false;
    }
    if (evlr.record_length_after_header != 0) {
      if (evlr.data.size() < evlr.record_length_after_header) {
        std::fprintf(stderr, "ERROR: there should be %u bytes of data in evlrs[%d].data\n",
                     static_cast<unsigned>(evlr.record_length_after_header), index);
        return false;
      }
      if (!stream->write_bytes(evlr.data.data(), evlr.record_length_after_header)) {
        std::fprintf(stderr, "ERROR: writing %u bytes of data from evlrs[%d].data\n",
                     static_cast<unsigned>(evlr.record_length_after_header), index);
        return false;
      }
    }
  }
  if (position != start_of_first_extended_variable_length_record && stream->can_seek()) {
    stream->seek(header_start + 235);
    stream->write_le64(&position);
    stream->seek_from_end();
  }
  return true;
}

std::int64_t LASwriterLAS::close(bool update_point_count) {
  std::int64_t bytes = 0;
  if (stream) {
    if (points_done != point_count && (point_count != 0 || !update_point_count)) {
      std::fprintf(stderr, "WARNING: written %" PRId64 " points but expected %" PRId64 " points\n", points_done,
                   point_count);
    }
    if (point_writer) point_writer->done();
    point_writer.reset();
    bool written = true;
    if (is_las_1_4 && evlrs && number_of_extended_variable_length_records > 0 && !evlrs->empty()) {
      written = write_evlrs();
    }
    if (written && update_point_count && points_done != point_count) {
      if (stream->can_seek()) {
        const std::uint32_t legacy = legacy_count(points_done, is_new_point_type, is_las_1_4 ? 4 : 3);
        stream->seek(header_start + 107);
        stream->write_le32(&legacy);
        if (is_las_1_4) {
          stream->seek(header_start + 247);
          stream->write_le64(&points_done);
        }
        stream->seek_from_end();
      } else {
        std::fprintf(stderr, "WARNING: stream not seekable. cannot update header from %" PRId64 " to %" PRId64 " points.\n",
                     point_count, points_done);
      }
    }
    bytes = written ? stream->tell() - header_start : 0;
    // Bytes still in the block buffer must reach the file, or the output is
    // silently short.
    if (auto* file_stream = dynamic_cast<ByteStreamOutFile*>(stream); file_stream && !file_stream->flush()) {
      std::fprintf(stderr, "ERROR: cannot write the buffered bytes of the output\n");
      bytes = 0;
    }
    if (owns_stream) delete stream;
    stream = nullptr;
  }
  point_writer.reset();
  if (file) {
    if (std::fclose(file) != 0 && bytes != 0) {
      std::fprintf(stderr, "ERROR: cannot close the output file\n");
      bytes = 0;
    }
    file = nullptr;
  }
  point_count = points_done;
  points_done = 0;
  return bytes;
}

}  // namespace tinrise
