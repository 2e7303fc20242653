// Abstract byte output: bytes, blocks and 16/32/64-bit values in either byte
// order, positions and bit packing. Writers, point engines and encoders write
// through it; every operation returns false on failure and prints nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tinrise {

class ByteStreamOut {
 public:
  ByteStreamOut() = default;
  ByteStreamOut(const ByteStreamOut&) = delete;
  ByteStreamOut& operator=(const ByteStreamOut&) = delete;
  virtual ~ByteStreamOut() = default;

  virtual bool write_byte(std::uint8_t byte) = 0;
  virtual bool write_bytes(const void* bytes, std::size_t byte_count) = 0;
  // Values are taken in host (little-endian) order from `bytes`.
  virtual bool write_le16(const void* bytes) { return put_bytes(bytes, 2); }
  virtual bool write_le32(const void* bytes) { return put_bytes(bytes, 4); }
  virtual bool write_le64(const void* bytes) { return put_bytes(bytes, 8); }
  virtual bool write_be16(const void* bytes) { return write_reversed(bytes, 2); }
  virtual bool write_be32(const void* bytes) { return write_reversed(bytes, 4); }
  virtual bool write_be64(const void* bytes) { return write_reversed(bytes, 8); }
  virtual bool can_seek() const = 0;
  virtual std::int64_t tell() const = 0;
  virtual bool seek(std::int64_t position) = 0;
  virtual bool seek_from_end() = 0;

  // The same as write_bytes and write_byte, but without a virtual call while
  // the stream's buffer has room: the per-item and per-symbol path.
  bool put_bytes(const void* bytes, std::size_t byte_count) {
    if (byte_count <= static_cast<std::size_t>(window_end - window_next) && byte_count != 0) {
      std::memcpy(window_next, bytes, byte_count);
      window_next += byte_count;
      return true;
    }
    return write_bytes(bytes, byte_count);
  }
  bool put_byte(std::uint8_t byte) {
    if (window_next != window_end) {
      *window_next++ = byte;
      return true;
    }
    return write_byte(byte);
  }

  // Room for the next byte_count bytes inside the stream's buffer, counted as
  // written, or null (nothing written) when the buffer lacks the room: lets an
  // engine store a whole record with one check. The caller must fill it.
  std::uint8_t* put_bytes_in_place(std::size_t byte_count) {
    if (byte_count > static_cast<std::size_t>(window_end - window_next)) return nullptr;
    std::uint8_t* bytes = window_next;
    window_next += byte_count;
    return bytes;
  }

  // Appends the low bit_width bits; a full 32-bit word goes out little-endian
  // at once, and the result is that write's.
  bool write_bit_field(std::uint32_t bits, std::uint32_t bit_width);
  // Writes the bits still buffered as one last 32-bit word (none when empty).
  bool flush_bit_field();

  std::uint64_t bit_buffer = 0;
  std::uint32_t bit_count = 0;

 protected:
  bool write_reversed(const void* bytes, std::size_t byte_count);

  // Room in the concrete stream's buffer that can be filled without asking it;
  // an empty window sends every request to the virtual operations.
  std::uint8_t* window_next = nullptr;
  std::uint8_t* window_end = nullptr;
};

}  // namespace tinrise
