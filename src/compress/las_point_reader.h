// The point reader engine: reads whole point records from a byte stream into
// the items of a point, item by item. Owned by the LAS reader. Uncompressed
// records go through the raw item readers; compressed set-ups are refused
// until the item decoders exist.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "compress/raw_record_layout.h"
#include "las/core/bytestream_in.h"
#include "las/core/las_item.h"

namespace tinrise {

class LASitemRawReader;
class LASitemReader;
class Pakmor;

class LASpointReader final {
 public:
  static constexpr std::uint32_t decompress_all = 0xFFFFFFFF;

  explicit LASpointReader(std::uint32_t decompress_selective = decompress_all);
  ~LASpointReader();
  LASpointReader(const LASpointReader&) = delete;
  LASpointReader& operator=(const LASpointReader&) = delete;

  // Builds the item readers for an item list; `config` is the file's
  // compressor configuration, null for an uncompressed file.
  bool setup(std::uint16_t num_items, const LASitem* items, const Pakmor* config = nullptr);
  // Starts reading at the stream's current position (the first record).
  bool init(ByteStreamIn* instream);
  // Reads the next record; `point` holds one item pointer per item
  // (LASpoint::item_pointers). False with the last error set on failure.
  // A raw record that the stream holds buffered is taken inline in one step.
  bool read(std::uint8_t* const* point) {
    if (reading_raw) {
      if (const std::uint8_t* record = instream->get_bytes_in_place(point_size)) {
        layout.read(record, point);
        return true;
      }
    }
    return read_items(point);
  }
  // Positions the engine so that the next read returns record `target`;
  // `current` is the record the caller would have read next.
  bool seek(std::uint64_t current, std::uint64_t target);
  // Integrity check once all records were read.
  bool check_end();
  // Detaches the stream.
  bool done();

  const char* last_error() const { return error_text.empty() ? nullptr : error_text.c_str(); }
  const char* last_warning() const { return warning_text.empty() ? nullptr : warning_text.c_str(); }
  std::uint32_t get_point_size() const { return point_size; }

 private:
  bool fail(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // The record item by item through the current readers.
  bool read_items(std::uint8_t* const* point);

  ByteStreamIn* instream = nullptr;
  std::uint16_t num_items = 0;
  std::vector<std::unique_ptr<LASitemRawReader>> raw_readers;
  std::vector<LASitemReader*> readers;  // the current ones; empty until init
  bool reading_raw = false;             // the current readers are the raw ones
  raw_record_layout layout;
  std::uint32_t decompress_selective;
  std::int64_t point_start = 0;  // stream position of the first record
  std::uint32_t point_size = 0;
  std::string error_text;
  std::string warning_text;
};

}  // namespace tinrise
