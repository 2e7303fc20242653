// The point writer engine over raw items.
#include "compress/las_point_writer.h"

#include <cstdarg>
#include <cstdio>

#include "compress/engine_config_check.h"
#include "las/core/las_item_raw.h"

namespace tinrise {

LASpointWriter::LASpointWriter() = default;

LASpointWriter::~LASpointWriter() = default;

bool LASpointWriter::fail(const char* format, ...) {
  char message[128];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(message, sizeof(message), format, arguments);
  va_end(arguments);
  error_text = message;
  return false;
}

bool LASpointWriter::setup(std::uint16_t count, const LASitem* items, const Pakmor* config) {
  raw_writers.clear();
  writers.clear();
  writing_raw = false;
  num_items = 0;
  point_size = 0;
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
  num_items = count;
  layout.build(count, items);
  return true;
}

bool LASpointWriter::init(ByteStreamOut* stream) {
  if (!stream) return false;
  if (raw_writers.empty()) return fail("call setup() before init()");
  outstream = stream;
  writers.clear();
  for (auto& writer : raw_writers) {
    writer->init(stream);
    writers.push_back(writer.get());
  }
  writing_raw = true;
  return true;
}

bool LASpointWriter::write_items(const std::uint8_t* const* point) {
  if (writers.empty()) return fail("no stream to write to");
  std::uint32_t context = 0;
  for (LASitemWriter* writer : writers) {
    if (!writer->write(*point++, context)) return false;
  }
  return true;
}

// Uncompressed records have no chunks.
bool LASpointWriter::chunk() { return false; }

bool LASpointWriter::done() {
  outstream = nullptr;
  writing_raw = false;
  writers.clear();
  return true;
}

}  // namespace tinrise
