// The point writer engine: raw records, and compressed records in chunks with
// the chunk table after them.
#include "compress/las_point_writer.h"

#include <cstdarg>
#include <cstdio>

#include "compress/ac_encoder.h"
#include "compress/engine_config_check.h"
#include "compress/integer_coder.h"
#include "compress/las_item_codec.h"
#include "compress/las_item_codec_factory.h"
#include "las/core/las_item_raw.h"
#include "las/core/pakmor.h"

namespace tinrise {

LASpointWriter::LASpointWriter() = default;

LASpointWriter::~LASpointWriter() = default;

bool LASpointWriter::fail(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  error_text = format_engine_message(format, arguments);
  va_end(arguments);
  return false;
}

bool LASpointWriter::setup(std::uint16_t count, const LASitem* items, const Pakmor* config) {
  raw_writers.clear();
  compressed_writers.clear();
  writers.clear();
  encoder.reset();
  writing_raw = false;
  num_items = 0;
  point_size = 0;
  compressor = 0;
  chunking = false;
  variable_chunking = false;
  chunk_size = 0xFFFFFFFF;
  chunk_count = 0;
  number_chunks = 0;
  if (!check_engine_config(count, items, config, error_text)) return false;
  for (std::uint16_t i = 0; i < count; i++) {
    auto writer = create_raw_item_writer(items[i]);
    if (!writer) {
      raw_writers.clear();
      return fail("item type %d of size %d has no raw writer", static_cast<int>(items[i].type), items[i].size);
    }
    raw_writers.push_back(std::move(writer));
    point_size += items[i].size;
  }
  if (config && config->compressor != Pakmor::COMPRESSOR_NONE) {
    encoder = std::make_unique<AcEncoder>();
    for (std::uint16_t i = 0; i < count; i++) {
      auto item_encoder = create_item_encoder(items[i], *encoder);
      if (!item_encoder) {
        raw_writers.clear();
        compressed_writers.clear();
        encoder.reset();
        return fail("item type %d of size %d and version %d cannot be compressed", static_cast<int>(items[i].type),
                    items[i].size, items[i].version);
      }
      compressed_writers.push_back(std::move(item_encoder));
    }
    compressor = config->compressor;
    if (compressor != Pakmor::COMPRESSOR_POINTWISE) {
      chunking = true;
      variable_chunking = config->chunk_size == 0;
      if (!variable_chunking) chunk_size = config->chunk_size;
      number_chunks = not_started;
    }
  }
  num_items = count;
  layout.build(count, items);
  return true;
}

bool LASpointWriter::init(ByteStreamOut* stream) {
  if (!stream) return false;
  if (raw_writers.empty()) return fail("call setup() before init()");
  outstream = stream;
  if (chunking && number_chunks == not_started) {
    number_chunks = 0;
    chunk_sizes.clear();
    chunk_bytes.clear();
    // Room for 1024 chunks (51 million points in chunks of 50000) before the arrays grow.
    if (variable_chunking) chunk_sizes.reserve(1024);
    chunk_bytes.reserve(1024);
    // Where the table will be is known only at the end: a stream that can
    // seek gets the place-holder overwritten, one that cannot gets the
    // position again after the table.
    chunk_table_start_position = stream->can_seek() ? stream->tell() : -1;
    stream->write_le64(&chunk_table_start_position);
    chunk_start_position = stream->tell();
  }
  for (auto& writer : raw_writers) writer->init(stream);
  writers.clear();
  if (compressor) {
    writing_raw = false;
  } else {
    for (auto& writer : raw_writers) writers.push_back(writer.get());
    writing_raw = true;
  }
  return true;
}

bool LASpointWriter::write_items(const std::uint8_t* const* point) {
  if (!outstream) return fail("no stream to write to");
  std::uint32_t context = 0;
  if (!compressor) {
    for (LASitemWriter* writer : writers) {
      if (!writer->write(*point++, context)) return false;
    }
    return true;
  }
  if (chunk_count == chunk_size && chunking && !variable_chunking) {
    close_chunk();
    add_chunk_to_table();
    init(outstream);
    chunk_count = 0;
  }
  chunk_count++;
  if (!writers.empty()) {
    for (LASitemWriter* writer : writers) writer->write(*point++, context);
    return true;
  }
  // The first point of a chunk goes raw and starts every codec.
  bool written = true;
  for (std::uint16_t i = 0; i < num_items; i++) written = raw_writers[i]->write(point[i], context) && written;
  for (std::uint16_t i = 0; i < num_items; i++) compressed_writers[i]->init(point[i], context);
  for (auto& writer : compressed_writers) writers.push_back(writer.get());
  encoder->init(outstream);
  return written;
}

void LASpointWriter::close_chunk() { encoder->done(); }

void LASpointWriter::add_chunk_to_table() {
  const std::int64_t position = outstream->tell();
  if (variable_chunking) chunk_sizes.push_back(chunk_count);
  chunk_bytes.push_back(static_cast<std::uint32_t>(position - chunk_start_position));
  chunk_start_position = position;
  number_chunks++;
}

bool LASpointWriter::chunk() {
  if (!variable_chunking || !outstream) return false;
  // A border right after another one would make an empty chunk, which no
  // reader can enter; there is nothing to close.
  if (writers.empty()) return true;
  close_chunk();
  add_chunk_to_table();
  init(outstream);
  chunk_count = 0;
  return true;
}

void LASpointWriter::write_chunk_table() {
  const std::int64_t position = outstream->tell();
  if (chunk_table_start_position != -1) {
    outstream->seek(chunk_table_start_position);
    outstream->write_le64(&position);
    outstream->seek(position);
  }
  const std::uint32_t version = 0;
  outstream->write_le32(&version);
  outstream->write_le32(&number_chunks);
  if (number_chunks > 0) {
    encoder->init(outstream);
    IntegerCoder entries(*encoder, 32, 2, 8, 0);
    entries.init_encoder();
    for (std::uint32_t i = 0; i < number_chunks; i++) {
      if (variable_chunking) {
        entries.encode(i ? static_cast<std::int32_t>(chunk_sizes[i - 1]) : 0, static_cast<std::int32_t>(chunk_sizes[i]), 0);
      }
      entries.encode(i ? static_cast<std::int32_t>(chunk_bytes[i - 1]) : 0, static_cast<std::int32_t>(chunk_bytes[i]), 1);
    }
    encoder->done();
  }
  if (chunk_table_start_position == -1) outstream->write_le64(&position);
}

bool LASpointWriter::done() {
  if (outstream && compressor) {
    if (!writers.empty()) {
      close_chunk();
      if (chunking && chunk_count > 0) add_chunk_to_table();
    }
    if (chunking) write_chunk_table();
  }
  outstream = nullptr;
  writing_raw = false;
  writers.clear();
  return true;
}

}  // namespace tinrise
