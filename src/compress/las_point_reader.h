// The point reader engine: reads whole point records from a byte stream into
// the items of a point, item by item. Owned by the LAS reader. Uncompressed
// records go through the raw item readers; compressed set-ups are refused
// until the item decoders exist.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "las/core/las_item.h"

namespace tinrise {

class ByteStreamIn;
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
  bool read(std::uint8_t* const* point);
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

  ByteStreamIn* instream = nullptr;
  std::uint16_t num_items = 0;
  std::vector<std::unique_ptr<LASitemRawReader>> raw_readers;
  std::vector<LASitemReader*> readers;  // the current ones; empty until init
  std::uint32_t decompress_selective;
  std::int64_t point_start = 0;  // stream position of the first record
  std::uint32_t point_size = 0;
  std::string error_text;
  std::string warning_text;
};

}  // namespace tinrise
