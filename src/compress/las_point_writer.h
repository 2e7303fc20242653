// The point writer engine: writes whole point records from the items of a
// point to a byte stream, item by item. Owned by the LAS writer. Uncompressed
// records go through the raw item writers; compressed set-ups are refused
// until the item encoders exist.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "compress/raw_record_layout.h"
#include "las/core/bytestream_out.h"
#include "las/core/las_item.h"

namespace tinrise {

class LASitemRawWriter;
class LASitemWriter;
class Pakmor;

class LASpointWriter final {
 public:
  LASpointWriter();
  ~LASpointWriter();
  LASpointWriter(const LASpointWriter&) = delete;
  LASpointWriter& operator=(const LASpointWriter&) = delete;

  // Builds the item writers for an item list; `config` is the compressor
  // configuration written into the file, null for an uncompressed file.
  bool setup(std::uint16_t num_items, const LASitem* items, const Pakmor* config = nullptr);
  // Starts writing records at the stream's current position.
  bool init(ByteStreamOut* outstream);
  // Writes one record from the items the pointers designate
  // (LASpoint::item_pointers); false when the stream refused it. A raw
  // record that fits the stream's buffer is stored inline in one step.
  bool write(const std::uint8_t* const* point) {
    if (writing_raw) {
      if (std::uint8_t* record = outstream->put_bytes_in_place(point_size)) {
        layout.write(point, record);
        return true;
      }
    }
    return write_items(point);
  }
  // Ends the current chunk; only compressed output with variable chunking has chunks.
  bool chunk();
  // Finishes the point data.
  bool done();

  const char* last_error() const { return error_text.empty() ? nullptr : error_text.c_str(); }

 private:
  bool fail(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // The record item by item through the current writers.
  bool write_items(const std::uint8_t* const* point);

  ByteStreamOut* outstream = nullptr;
  std::uint16_t num_items = 0;
  std::vector<std::unique_ptr<LASitemRawWriter>> raw_writers;
  std::vector<LASitemWriter*> writers;  // the current ones; empty until init
  bool writing_raw = false;             // the current writers are the raw ones
  std::uint32_t point_size = 0;
  raw_record_layout layout;
  std::string error_text;
};

}  // namespace tinrise
