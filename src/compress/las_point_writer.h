// The point writer engine: writes whole point records from the items of a
// point to a byte stream, item by item, raw or compressed in chunks followed
// by their chunk table. Owned by the LAS writer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "compress/raw_record_layout.h"
#include "las/core/bytestream_out.h"
#include "las/core/las_item.h"

namespace tinrise {

class AcEncoder;
class LASitemEncoder;
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
  // Starts writing records at the stream's current position; chunked output
  // first writes the place-holder of the chunk table position.
  bool init(ByteStreamOut* outstream);
  // Writes one record from the items the pointers designate
  // (LASpoint::item_pointers); false when the stream refused a raw record.
  // A raw record that fits the stream's buffer is stored inline in one step.
  bool write(const std::uint8_t* const* point) {
    if (writing_raw) {
      if (std::uint8_t* record = outstream->put_bytes_in_place(point_size)) {
        layout.write(point, record);
        return true;
      }
    }
    return write_items(point);
  }
  // Ends the current chunk here; only variably chunked output has such borders.
  bool chunk();
  // Finishes the point data: the last chunk and the chunk table.
  bool done();

  const char* last_error() const { return error_text.empty() ? nullptr : error_text.c_str(); }

 private:
  static constexpr std::uint32_t not_started = 0xFFFFFFFF;

  bool fail(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // The record item by item through the current writers.
  bool write_items(const std::uint8_t* const* point);
  void close_chunk();
  void add_chunk_to_table();
  void write_chunk_table();

  ByteStreamOut* outstream = nullptr;
  std::uint16_t num_items = 0;
  std::vector<std::unique_ptr<LASitemRawWriter>> raw_writers;
  std::vector<std::unique_ptr<LASitemEncoder>> compressed_writers;
  std::vector<LASitemWriter*> writers;  // the current ones; empty until init and at a chunk start
  bool writing_raw = false;             // the current writers are the raw ones
  std::uint32_t point_size = 0;
  raw_record_layout layout;
  std::unique_ptr<AcEncoder> encoder;  // only when compressed
  std::uint16_t compressor = 0;
  bool chunking = false;           // compressors 2 and 3
  bool variable_chunking = false;  // chunks end only where chunk() ends them
  std::uint32_t chunk_size = 0xFFFFFFFF;
  std::uint32_t chunk_count = 0;
  std::uint32_t number_chunks = 0;
  std::vector<std::uint32_t> chunk_sizes;  // points per chunk, variable chunking only
  std::vector<std::uint32_t> chunk_bytes;
  std::int64_t chunk_start_position = 0;
  std::int64_t chunk_table_start_position = 0;  // -1 when the stream cannot seek
  std::string error_text;
};

}  // namespace tinrise
