// Memory byte streams. The cursor lives in the base's window so that the
// inline get/put paths serve every item without a virtual call.
#include "las/core/bytestream_array.h"

#include <algorithm>

namespace tinrise {

void ByteStreamInArray::init(const std::uint8_t* new_data, std::int64_t new_size) {
  data = new_data;
  size = new_data ? std::max<std::int64_t>(new_size, 0) : 0;
  window_next = data;
  window_end = data + size;
  bit_buffer = 0;
  bit_count = 0;
}

std::uint32_t ByteStreamInArray::read_byte() {
  if (window_next == window_end) throw stream_end_of_data;
  return *window_next++;
}

void ByteStreamInArray::read_bytes(void* bytes, std::size_t byte_count) {
  if (byte_count == 0) return;
  if (byte_count > static_cast<std::size_t>(window_end - window_next)) throw stream_end_of_data;
  std::memcpy(bytes, window_next, byte_count);
  window_next += byte_count;
}

bool ByteStreamInArray::seek(std::int64_t position) {
  if (position < 0 || position > size) return false;
  window_next = data + position;
  return true;
}

bool ByteStreamInArray::seek_from_end(std::int64_t distance) {
  if (distance < 0 || distance > size) return false;
  window_next = data + (size - distance);
  return true;
}

ByteStreamOutArray::ByteStreamOutArray(std::int64_t initial_capacity) {
  if (initial_capacity > 0) reserve(initial_capacity, true);
}

bool ByteStreamOutArray::reserve(std::int64_t needed, bool exact) {
  if (needed <= capacity) return true;
  // Doubling keeps writing a large stream item by item linear; the 1024-byte
  // step keeps small streams from reallocating on every write.
  const std::int64_t grown = exact ? needed : std::max(needed, capacity + std::max<std::int64_t>(capacity, 1024));
  const std::int64_t cursor = tell();
  const std::int64_t written = get_size();
  auto* block = static_cast<std::uint8_t*>(std::realloc(data.get(), static_cast<std::size_t>(grown)));
  if (!block) return false;
  (void)data.release();
  data.reset(block);
  capacity = grown;
  high_water = written;
  window_next = block + cursor;
  window_end = block + capacity;
  return true;
}

bool ByteStreamOutArray::write_byte(std::uint8_t byte) {
  if (window_next == window_end && !reserve(capacity + 1)) return false;
  *window_next++ = byte;
  return true;
}

bool ByteStreamOutArray::write_bytes(const void* bytes, std::size_t byte_count) {
  if (byte_count == 0) return true;
  const std::int64_t room = window_end - window_next;
  if (byte_count > static_cast<std::size_t>(room)) {
    if (byte_count > static_cast<std::size_t>(INT64_MAX / 2) || !reserve(tell() + static_cast<std::int64_t>(byte_count)))
      return false;
  }
  std::memcpy(window_next, bytes, byte_count);
  window_next += byte_count;
  return true;
}

std::int64_t ByteStreamOutArray::get_size() const { return std::max(high_water, tell()); }

bool ByteStreamOutArray::seek(std::int64_t position) {
  const std::int64_t written = get_size();
  if (position < 0 || position > written) return false;
  high_water = written;
  window_next = data.get() + position;
  return true;
}

bool ByteStreamOutArray::seek_from_end() {
  high_water = get_size();
  window_next = data.get() + high_water;
  return true;
}

stream_bytes ByteStreamOutArray::take_data(std::int64_t* taken_size) {
  if (taken_size) *taken_size = get_size();
  capacity = 0;
  high_water = 0;
  window_next = nullptr;
  window_end = nullptr;
  return std::move(data);
}

}  // namespace tinrise
