// Byte streams over memory: reading a caller's byte block, and writing into a
// growing heap block that can be handed over. Used for stored input, layered
// codecs and measuring encoded sizes.
#pragma once

#include <cstdlib>
#include <memory>

#include "las/core/bytestream_in.h"
#include "las/core/bytestream_out.h"

namespace tinrise {

struct free_bytes {
  void operator()(std::uint8_t* bytes) const { std::free(bytes); }
};
// A heap block taken over from a ByteStreamOutArray.
using stream_bytes = std::unique_ptr<std::uint8_t[], free_bytes>;

class ByteStreamInArray final : public ByteStreamIn {
 public:
  ByteStreamInArray() = default;
  // The bytes are not owned and must outlive the stream.
  ByteStreamInArray(const std::uint8_t* data, std::int64_t size) { init(data, size); }
  void init(const std::uint8_t* data, std::int64_t size);

  std::uint32_t read_byte() override;
  void read_bytes(void* bytes, std::size_t byte_count) override;
  bool can_seek() const override { return true; }
  std::int64_t tell() const override { return window_next - data; }
  bool seek(std::int64_t position) override;
  bool seek_from_end(std::int64_t distance = 0) override;

  const std::uint8_t* get_data() const { return data; }
  std::int64_t get_size() const { return size; }

 private:
  const std::uint8_t* data = nullptr;
  std::int64_t size = 0;
  // The cursor is window_next; window_end stays at data + size.
};

class ByteStreamOutArray final : public ByteStreamOut {
 public:
  explicit ByteStreamOutArray(std::int64_t capacity = 1024);
  ~ByteStreamOutArray() override = default;

  bool write_byte(std::uint8_t byte) override;
  bool write_bytes(const void* bytes, std::size_t byte_count) override;
  bool can_seek() const override { return true; }
  std::int64_t tell() const override { return window_next - data.get(); }
  bool seek(std::int64_t position) override;
  bool seek_from_end() override;

  const std::uint8_t* get_data() const { return data.get(); }
  // Bytes written so far: the furthest position ever written, not the cursor.
  std::int64_t get_size() const;
  std::int64_t get_capacity() const { return capacity; }
  // Hands the block and its size to the caller and leaves the stream empty
  // (no block, capacity, size and cursor zero); writing then starts a new block.
  stream_bytes take_data(std::int64_t* taken_size);

 private:
  bool reserve(std::int64_t needed_capacity, bool exact = false);

  stream_bytes data;
  std::int64_t capacity = 0;
  std::int64_t high_water = 0;  // size as of the last backward seek; get_size folds in the cursor
  // The cursor is window_next; window_end stays at data + capacity.
};

}  // namespace tinrise
