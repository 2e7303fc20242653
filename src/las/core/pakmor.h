// The compression configuration of a point file: item list, compressor, coder,
// chunk size and the library version, carried in the "pakmor encoded" record.
// Owned by LASheader; used by the LAS reader and writer and the point engines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "las/core/las_item.h"

namespace tinrise {

class ByteStreamIn;
class ByteStreamOut;

class Pakmor final {
 public:
  enum Compressor : std::uint16_t { COMPRESSOR_NONE = 0, COMPRESSOR_POINTWISE = 1, COMPRESSOR_POINTWISE_CHUNKED = 2,
                                    COMPRESSOR_LAYERED_CHUNKED = 3 };
  static constexpr std::uint16_t record_id = 22204;
  static constexpr const char* user_id = "pakmor encoded";
  static constexpr std::uint32_t default_chunk_size = 50000;

  std::uint16_t compressor = COMPRESSOR_POINTWISE_CHUNKED;
  std::uint16_t coder = 0;
  std::uint8_t version_major = 3;
  std::uint8_t version_minor = 2;
  std::uint16_t version_revision = 0;
  std::uint32_t options = 0;
  std::uint32_t chunk_size = default_chunk_size;
  std::int64_t number_of_special_evlrs = -1;
  std::int64_t offset_to_special_evlrs = -1;
  std::vector<LASitem> items;  // num_items is items.size()

  std::uint16_t num_items() const { return static_cast<std::uint16_t>(items.size()); }
  // The text of the last failed operation, null when none failed yet.
  const char* last_error() const { return error_text.empty() ? nullptr : error_text.c_str(); }

  // Checks; each failure stores its message as the last error.
  bool check_compressor(std::uint16_t compressor);
  bool check_coder(std::uint16_t coder);
  bool check_item(const LASitem& item);
  // point_size 0 skips the comparison of the item sizes with the record size.
  bool check_items(std::uint16_t num_items, const LASitem* items, std::uint32_t point_size);
  // The held configuration against a record size; used when a file is read.
  bool check(std::uint32_t point_size);

  // Adopts an item list for writing and settles compressor and chunk size.
  bool setup(std::uint16_t num_items, const LASitem* items, std::uint16_t compressor);
  // The raw item list of a LAS point type and record size.
  bool setup(std::vector<LASitem>& point_items, int point_type, int point_size);
  bool set_chunk_size(std::uint32_t chunk_size);
  // Gives every item the codec version that goes with the requested one.
  bool request_version(std::uint16_t version);
  // Whether an item list is one of the LAS point types; point_type is 127
  // and record_length the sum of the item sizes when it is not.
  bool match_point_type(std::uint16_t num_items, const LASitem* items, int& point_type, int& record_length);

  // The record as stored: 34 bytes plus 6 per item after the record header.
  std::uint16_t record_length_after_header() const { return static_cast<std::uint16_t>(34 + 6 * items.size()); }
  // Reads the payload (after the 54-byte record header), field by field,
  // printing "ERROR: reading <field> ...\n" at the first field that fails.
  bool read_record_payload(ByteStreamIn& stream);
  // Writes the whole record: header and payload, printing
  // "ERROR: writing <field> ...\n" at the first write that fails.
  bool write_record(ByteStreamOut& stream) const;

 private:
  // Stores "<message> (Pakmor v3.2r0)" as the last error; always false.
  bool fail(const char* format, ...) __attribute__((format(printf, 2, 3)));

  std::string error_text;
};

}  // namespace tinrise
