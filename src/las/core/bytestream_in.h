// Abstract byte input: bytes, blocks and 16/32/64-bit values in either byte
// order, positions and bit unpacking. Readers, point engines and decoders read
// through it; running out of data throws the int stream_end_of_data.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tinrise {

static_assert(std::endian::native == std::endian::little,
              "point records are copied between files and memory unchanged, which needs a little-endian host");

// Thrown by every input stream operation that runs out of data; readers catch
// it around each field and turn it into their own message.
inline constexpr int stream_end_of_data = -1;

class ByteStreamIn {
 public:
  ByteStreamIn() = default;
  ByteStreamIn(const ByteStreamIn&) = delete;
  ByteStreamIn& operator=(const ByteStreamIn&) = delete;
  virtual ~ByteStreamIn() = default;

  virtual std::uint32_t read_byte() = 0;
  virtual void read_bytes(void* bytes, std::size_t byte_count) = 0;
  // Values are stored in host (little-endian) order at `bytes`.
  virtual void read_le16(void* bytes) { get_bytes(bytes, 2); }
  virtual void read_le32(void* bytes) { get_bytes(bytes, 4); }
  virtual void read_le64(void* bytes) { get_bytes(bytes, 8); }
  virtual void read_be16(void* bytes) { read_reversed(bytes, 2); }
  virtual void read_be32(void* bytes) { read_reversed(bytes, 4); }
  virtual void read_be64(void* bytes) { read_reversed(bytes, 8); }
  virtual bool can_seek() const = 0;
  virtual std::int64_t tell() const = 0;
  virtual bool seek(std::int64_t position) = 0;
  virtual bool seek_from_end(std::int64_t distance = 0) = 0;
  virtual bool skip_forward(std::int64_t byte_count) { return seek(tell() + byte_count); }

  // The same as read_bytes and read_byte, but without a virtual call while the
  // stream's buffer still holds the bytes: the per-item and per-symbol path.
  void get_bytes(void* bytes, std::size_t byte_count) {
    if (byte_count <= static_cast<std::size_t>(window_end - window_next) && byte_count != 0) {
      std::memcpy(bytes, window_next, byte_count);
      window_next += byte_count;
    } else {
      read_bytes(bytes, byte_count);
    }
  }
  std::uint32_t get_byte() { return window_next != window_end ? *window_next++ : read_byte(); }
  // The next byte_count bytes where the stream buffers them, consumed, or null
  // (nothing consumed) when they are not buffered contiguously: lets an engine
  // take a whole record with one check and copy its items straight out.
  const std::uint8_t* get_bytes_in_place(std::size_t byte_count) {
    if (byte_count > static_cast<std::size_t>(window_end - window_next)) return nullptr;
    const std::uint8_t* bytes = window_next;
    window_next += byte_count;
    return bytes;
  }

  // The bytes the stream holds buffered from the current position on; they
  // stay valid until the stream is read past them.
  const std::uint8_t* buffered_bytes() const { return window_next; }
  std::size_t buffered_size() const { return static_cast<std::size_t>(window_end - window_next); }

  // 1 to 31 bits, least significant first, taken from 32-bit little-endian words.
  std::uint32_t read_bit_field(std::uint32_t bit_width);

  std::uint64_t bit_buffer = 0;
  std::uint32_t bit_count = 0;

 protected:
  void read_reversed(void* bytes, std::size_t byte_count);

  // Bytes of the concrete stream that can be taken without asking it; an empty
  // window sends every request to the virtual operations.
  const std::uint8_t* window_next = nullptr;
  const std::uint8_t* window_end = nullptr;
};

}  // namespace tinrise
