// The point reader engine: raw records, and compressed records in chunks
// found through the chunk table.
#include "compress/las_point_reader.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "compress/ac_decoder.h"
#include "compress/engine_config_check.h"
#include "compress/integer_coder.h"
#include "compress/las_item_codec.h"
#include "compress/las_item_codec_factory.h"
#include "las/core/las_item_raw.h"
#include "las/core/las_point.h"
#include "las/core/pakmor.h"

namespace tinrise {

LASpointReader::LASpointReader(std::uint32_t decompress_selective) : decompress_selective(decompress_selective) {}

LASpointReader::~LASpointReader() = default;

bool LASpointReader::fail(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  error_text = format_engine_message(format, arguments);
  va_end(arguments);
  return false;
}

bool LASpointReader::setup(std::uint16_t count, const LASitem* items, const Pakmor* config) {
  raw_readers.clear();
  compressed_readers.clear();
  readers.clear();
  decoder.reset();
  seek_point.reset();
  reading_raw = false;
  num_items = 0;
  point_size = 0;
  compressor = 0;
  variable_chunking = false;
  configured_chunk_size = 0xFFFFFFFF;
  if (!check_engine_config(count, items, config, error_text)) return false;
  for (std::uint16_t i = 0; i < count; i++) {
    auto reader = create_raw_item_reader(items[i]);
    if (!reader) {
      raw_readers.clear();
      return fail("item type %d of size %d has no raw reader", static_cast<int>(items[i].type), items[i].size);
    }
    raw_readers.push_back(std::move(reader));
    point_size += items[i].size;
  }
  if (config && config->compressor != Pakmor::COMPRESSOR_NONE) {
    decoder = std::make_unique<AcDecoder>();
    for (std::uint16_t i = 0; i < count; i++) {
      auto item_decoder = create_item_decoder(items[i], *decoder);
      if (!item_decoder) {
        raw_readers.clear();
        compressed_readers.clear();
        decoder.reset();
        return fail("item type %d of size %d and version %d cannot be decompressed", static_cast<int>(items[i].type),
                    items[i].size, items[i].version);
      }
      compressed_readers.push_back(std::move(item_decoder));
    }
    seek_point = std::make_unique<LASpoint>();
    seek_point->init(nullptr, std::vector<LASitem>(items, items + count));
    compressor = config->compressor;
    if (compressor != Pakmor::COMPRESSOR_POINTWISE) {
      variable_chunking = config->chunk_size == 0;
      if (!variable_chunking) configured_chunk_size = config->chunk_size;
    }
  }
  num_items = count;
  layout.build(count, items);
  return true;
}

bool LASpointReader::init(ByteStreamIn* stream) {
  if (!stream) return false;
  if (raw_readers.empty()) return fail("call setup() before init()");
  instream = stream;
  readers.clear();
  for (auto& reader : raw_readers) reader->init(stream);
  if (compressor) {
    reading_raw = false;
    in_chunks = false;
    table_complete = false;
    chunk_size = configured_chunk_size;
    chunk_count = chunk_size;
    current_chunk = 0;
    tabled_chunks = 0;
    chunk_starts.clear();
    chunk_totals.clear();
    // Pointwise streams have no table to look for; the others read it when
    // the first chunk is entered.
    number_chunks = compressor == Pakmor::COMPRESSOR_POINTWISE ? 0 : no_table_yet;
    point_start = 0;
    broken = false;
  } else {
    for (auto& reader : raw_readers) readers.push_back(reader.get());
    reading_raw = true;
    point_start = stream->tell();
  }
  return true;
}

bool LASpointReader::read_items(std::uint8_t* const* point) {
  if (!instream) return fail("no stream to read from");
  if (!compressor) {
    std::uint32_t context = 0;
    try {
      for (LASitemReader* reader : readers) reader->read(*point++, context);
    } catch (int signal) {
      // Running out of data is the reader's warning, not a decoding error.
      if (signal == stream_end_of_data) {
        error_text.clear();
        return false;
      }
      return fail("corrupt data");
    }
    return true;
  }
  // A decoder stopped midway cannot go on; until a seek starts a chunk afresh
  // every read repeats the failure.
  if (broken) return false;
  try {
    if (chunk_count == chunk_size && !enter_chunk()) {
      broken = true;
      return false;
    }
    read_compressed(point);
  } catch (int signal) {
    broken = true;
    if (signal == stream_end_of_data) return fail("end-of-file during chunk with index %u", current_chunk);
    fail("chunk with index %u of %u is corrupt", current_chunk, tabled_chunks);
    // The caller loses only the rest of this chunk: the next read starts the next one.
    if (current_chunk + 1 < tabled_chunks && instream->seek(chunk_starts[current_chunk + 1])) {
      chunk_count = chunk_size;
      broken = false;
    }
    return false;
  }
  return true;
}

void LASpointReader::read_compressed(std::uint8_t* const* point) {
  chunk_count++;
  std::uint32_t context = 0;
  if (!readers.empty()) {
    for (LASitemReader* reader : readers) reader->read(*point++, context);
    return;
  }
  for (std::uint16_t i = 0; i < num_items; i++) raw_readers[i]->read(point[i], context);
  for (std::uint16_t i = 0; i < num_items; i++) compressed_readers[i]->init(point[i], context);
  decoder->init(instream);
  for (auto& reader : compressed_readers) readers.push_back(reader.get());
}

bool LASpointReader::enter_chunk() {
  if (in_chunks) {
    decoder->done();
    current_chunk++;
    // A chunk decoded right ends exactly where the next one starts.
    if (current_chunk < tabled_chunks && instream->tell() != chunk_starts[current_chunk]) {
      current_chunk--;
      throw corrupt_data;
    }
  }
  if (number_chunks == no_table_yet) {
    if (!read_chunk_table()) return false;
    current_chunk = 0;
  }
  in_chunks = true;
  start_chunk_here();
  return true;
}

void LASpointReader::start_chunk_here() {
  // A complete table ends with its own position: no chunk starts there. Nor
  // can variably chunked points go on past their table: their counts are in it.
  if (current_chunk >= number_chunks && (table_complete || variable_chunking)) throw stream_end_of_data;
  point_start = instream->tell();
  readers.clear();
  broken = false;
  if (current_chunk == tabled_chunks) {
    // No table, or it ran out: the starts are collected while reading.
    if (tabled_chunks == chunk_starts.size()) chunk_starts.resize(chunk_starts.size() + 256);
    chunk_starts[tabled_chunks++] = point_start;
  } else if (variable_chunking) {
    chunk_size = chunk_totals[current_chunk + 1] - chunk_totals[current_chunk];
  }
  chunk_count = 0;
}

void LASpointReader::jump_to_chunk(std::uint32_t chunk) {
  decoder->done();
  current_chunk = chunk;
  if (!instream->seek(chunk_starts[chunk])) throw stream_end_of_data;
  start_chunk_here();
}

void LASpointReader::keep_chunk_starts(std::uint32_t kept, std::int64_t first_chunk) {
  chunk_totals.clear();
  chunk_starts.resize(kept > 0 ? kept : 1);
  chunk_starts[0] = first_chunk;
  tabled_chunks = kept > 0 ? kept : 1;
  number_chunks = tabled_chunks - 1;  // chunks whose end is known; no longer "no table yet"
  table_complete = false;
}

bool LASpointReader::read_chunk_table() {
  std::int64_t table_position;
  instream->read_le64(&table_position);
  const std::int64_t first_chunk = instream->tell();
  // A position that still points at itself: the writer never finished.
  if (table_position == first_chunk - 8 || !instream->can_seek()) {
    if (variable_chunking) return fail("variably chunked points need their chunk table");
    keep_chunk_starts(1, first_chunk);
    return true;
  }
  std::uint32_t decoded = 0;  // chunk_starts[1 .. decoded] passed the checks
  try {
    if (table_position == -1) {
      // A writer that could not seek put the position after the table.
      if (!instream->seek_from_end(8)) throw corrupt_data;
      instream->read_le64(&table_position);
    }
    if (table_position < first_chunk || !instream->seek(table_position)) throw corrupt_data;
    std::uint32_t version;
    instream->read_le32(&version);
    if (version != 0) throw corrupt_data;
    instream->read_le32(&number_chunks);
    // Each chunk holds at least its raw first point; a larger count is damage,
    // and must not size the arrays.
    if (number_chunks > static_cast<std::uint64_t>(table_position - first_chunk) / point_size) throw corrupt_data;
    chunk_starts.assign(std::size_t{number_chunks} + 1, 0);
    chunk_starts[0] = first_chunk;
    if (variable_chunking) chunk_totals.assign(std::size_t{number_chunks} + 1, 0);
    if (number_chunks > 0) {
      decoder->init(instream);
      IntegerCoder entries(*decoder, 32, 2, 8, 0);
      entries.init_decoder();
      std::int32_t last_count = 0, last_size = 0;
      for (std::uint32_t i = 1; i <= number_chunks; i++) {
        if (variable_chunking) last_count = entries.decode(last_count, 0);
        last_size = entries.decode(last_size, 1);
        if (variable_chunking) chunk_totals[i] = chunk_totals[i - 1] + static_cast<std::uint32_t>(last_count);
        chunk_starts[i] = chunk_starts[i - 1] + static_cast<std::uint32_t>(last_size);
        // Every chunk starts after the one before and the last ends at the table.
        if (chunk_starts[i] <= chunk_starts[i - 1] || chunk_starts[i] > table_position) throw corrupt_data;
        decoded = i;
      }
      decoder->done();
    }
    tabled_chunks = number_chunks + 1;
    // A count damaged to fewer chunks leaves later chunks to be found while reading.
    table_complete = chunk_starts[number_chunks] == table_position;
  } catch (int) {
    decoder->done();
    if (variable_chunking) {
      instream->seek(first_chunk);
      return fail("corrupt chunk table of variably chunked points");
    }
    // What was decoded before the damage is kept; the rest is found while reading.
    keep_chunk_starts(decoded + 1, first_chunk);
    warning_text = "corrupt chunk table";
  }
  instream->seek(first_chunk);
  return true;
}

bool LASpointReader::seek(std::uint64_t current, std::uint64_t target) {
  if (!instream || !instream->can_seek()) return false;
  if (!compressor) {
    if (target == current) return true;
    // Positions are 64-bit, so a target beyond them cannot be a record.
    if (target > static_cast<std::uint64_t>(INT64_MAX - point_start) / (point_size ? point_size : 1)) return false;
    return instream->seek(point_start + static_cast<std::int64_t>(target * point_size));
  }
  try {
    if (!in_chunks && (broken || !enter_chunk())) {
      broken = true;
      return false;
    }
    std::uint64_t delta;
    if (tabled_chunks == 0) {
      if (target < current) {
        decoder->done();
        if (!instream->seek(point_start)) return false;
        start_chunk_here();
        delta = target;
      } else {
        delta = target - current;
      }
    } else {
      std::uint64_t target_chunk;
      if (variable_chunking) {
        std::uint32_t lo = 0, hi = number_chunks;
        while (lo + 1 < hi) {
          const std::uint32_t mid = lo + (hi - lo) / 2;
          if (target >= chunk_totals[mid]) {
            lo = mid;
          } else {
            hi = mid;
          }
        }
        target_chunk = lo;
        delta = target - chunk_totals[lo];
      } else {
        target_chunk = target / chunk_size;
        delta = target % chunk_size;
      }
      if (target_chunk >= tabled_chunks) {
        if (current_chunk + 1 < tabled_chunks) jump_to_chunk(tabled_chunks - 1);
        delta += (target_chunk - current_chunk) * chunk_size - chunk_count;
      } else if (target_chunk != current_chunk || target < current) {
        jump_to_chunk(static_cast<std::uint32_t>(target_chunk));
      } else {
        delta = target - current;
      }
    }
    std::uint8_t* const* items = seek_point->item_pointers.data();
    for (; delta > 0; delta--) {
      if (!read(items)) return false;
    }
  } catch (int) {
    return false;
  }
  return true;
}

bool LASpointReader::check_end() {
  if (!compressor || readers.empty()) return true;
  // The decoder stays attached, so a stray read after this cannot find it gone.
  const std::uint32_t next_chunk = current_chunk + 1;
  if (next_chunk < tabled_chunks && instream->tell() != chunk_starts[next_chunk]) {
    return fail("chunk with index %u of %u is corrupt", next_chunk, tabled_chunks);
  }
  return true;
}

bool LASpointReader::done() {
  if (decoder) decoder->done();
  instream = nullptr;
  reading_raw = false;
  readers.clear();
  return true;
}

}  // namespace tinrise
