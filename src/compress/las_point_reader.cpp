// The point reader engine over raw items.
#include "compress/las_point_reader.h"

#include <cstdarg>
#include <cstdio>

#include "compress/engine_config_check.h"
#include "las/core/las_item_raw.h"

namespace tinrise {

LASpointReader::LASpointReader(std::uint32_t decompress_selective) : decompress_selective(decompress_selective) {}

LASpointReader::~LASpointReader() = default;

bool LASpointReader::fail(const char* format, ...) {
  char message[128];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(message, sizeof(message), format, arguments);
  va_end(arguments);
  error_text = message;
  return false;
}

bool LASpointReader::setup(std::uint16_t count, const LASitem* items, const Pakmor* config) {
  raw_readers.clear();
  readers.clear();
  reading_raw = false;
  num_items = 0;
  point_size = 0;
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
  num_items = count;
  layout.build(count, items);
  return true;
}

bool LASpointReader::init(ByteStreamIn* stream) {
  if (!stream) return false;
  if (raw_readers.empty()) return fail("call setup() before init()");
  instream = stream;
  readers.clear();
  for (auto& reader : raw_readers) {
    reader->init(stream);
    readers.push_back(reader.get());
  }
  reading_raw = true;
  point_start = stream->tell();
  return true;
}

bool LASpointReader::read_items(std::uint8_t* const* point) {
  if (readers.empty()) return fail("no stream to read from");
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

bool LASpointReader::seek(std::uint64_t current, std::uint64_t target) {
  if (!instream || !instream->can_seek()) return false;
  if (target == current) return true;
  // Positions are 64-bit, so a target beyond them cannot be a record.
  if (target > static_cast<std::uint64_t>(INT64_MAX - point_start) / (point_size ? point_size : 1)) return false;
  return instream->seek(point_start + static_cast<std::int64_t>(target * point_size));
}

bool LASpointReader::check_end() { return true; }

bool LASpointReader::done() {
  instream = nullptr;
  reading_raw = false;
  readers.clear();
  return true;
}

}  // namespace tinrise
