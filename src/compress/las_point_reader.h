// The point reader engine: reads point records from a byte stream into the
// items of a point, raw or decompressed, with the chunk table that lets a
// compressed file be read from any point. Owned by the LAS reader.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "compress/raw_record_layout.h"
#include "las/core/bytestream_in.h"
#include "las/core/las_item.h"

namespace tinrise {

class AcDecoder;
class LASitemDecoder;
class LASitemRawReader;
class LASitemReader;
class LASpoint;
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
  // Starts reading at the stream's current position (the first record, or
  // for chunked files the chunk table position before it).
  bool init(ByteStreamIn* instream);
  // Reads the next record; `point` holds one item pointer per item
  // (LASpoint::item_pointers). False with the last error set on failure; an
  // uncompressed stream that ends sets no error. A raw record that the stream
  // holds buffered is taken inline in one step.
  bool read(std::uint8_t* const* point) {
    if (reading_raw) {
      if (const std::uint8_t* record = instream->get_bytes_in_place(point_size)) {
        layout.read(record, point);
        return true;
      }
    }
    return read_items(point);
  }
  // Fills the point from a raw record the caller took from the stream (or a
  // copy of it); only for engines that read raw.
  void read_buffered(const std::uint8_t* record, std::uint8_t* const* point) const { layout.read(record, point); }
  // Positions the engine so that the next read returns record `target`;
  // `current` is the record the caller would have read next.
  bool seek(std::uint64_t current, std::uint64_t target);
  // Integrity check once all records were read: the last chunk must end
  // where the next one (or the chunk table) begins.
  bool check_end();
  // Detaches the stream.
  bool done();

  const char* last_error() const { return error_text.empty() ? nullptr : error_text.c_str(); }
  const char* last_warning() const { return warning_text.empty() ? nullptr : warning_text.c_str(); }
  std::uint32_t get_point_size() const { return point_size; }
  // True when records are read uncompressed, one after the other from the stream.
  bool reads_raw() const { return reading_raw; }

 private:
  static constexpr std::uint32_t no_table_yet = 0xFFFFFFFF;

  bool fail(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // The record item by item through the current readers; compressed records
  // enter chunks and read each chunk's first point raw.
  bool read_items(std::uint8_t* const* point);
  void read_compressed(std::uint8_t* const* point);
  // Moves on to the next chunk; false (error set) when it cannot be read at all.
  bool enter_chunk();
  // The chunk's first point by itself, at the chunk start the stream is at.
  void start_chunk_here();
  void jump_to_chunk(std::uint32_t chunk);
  bool read_chunk_table();
  // Keeps the first `kept` starts of a damaged or absent table (at least the
  // first chunk's); later starts are collected while reading.
  void keep_chunk_starts(std::uint32_t kept, std::int64_t first_chunk);

  ByteStreamIn* instream = nullptr;
  std::uint16_t num_items = 0;
  std::vector<std::unique_ptr<LASitemRawReader>> raw_readers;
  std::vector<std::unique_ptr<LASitemDecoder>> compressed_readers;
  std::vector<LASitemReader*> readers;  // the current ones; empty until init and at a chunk start
  bool reading_raw = false;             // the current readers are the raw ones
  raw_record_layout layout;
  std::unique_ptr<AcDecoder> decoder;  // only when compressed
  std::uint16_t compressor = 0;
  bool variable_chunking = false;
  bool in_chunks = false;       // a chunk was entered since init
  bool table_complete = false;  // the chunk table was read to its end
  bool broken = false;          // a read failed inside a chunk that cannot be left
  std::uint32_t configured_chunk_size = 0xFFFFFFFF;
  std::uint32_t chunk_size = 0xFFFFFFFF;
  std::uint32_t chunk_count = 0;
  std::uint32_t current_chunk = 0;
  std::uint32_t number_chunks = 0;
  std::uint32_t tabled_chunks = 0;
  std::vector<std::int64_t> chunk_starts;   // absolute positions; the last one ends the last chunk
  std::vector<std::uint32_t> chunk_totals;  // points before each chunk, variable chunking only
  std::uint32_t decompress_selective;
  std::int64_t point_start = 0;  // the current chunk's (or first record's) position; 0 before
  std::uint32_t point_size = 0;
  std::unique_ptr<LASpoint> seek_point;  // skipped records are decoded into it
  std::string error_text;
  std::string warning_text;
};

}  // namespace tinrise
