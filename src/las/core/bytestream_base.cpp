// Operations shared by every input and output byte stream: the byte-swapping
// value paths and bit packing.
#include <algorithm>

#include "las/core/bytestream_in.h"
#include "las/core/bytestream_out.h"

namespace tinrise {

void ByteStreamIn::read_reversed(void* bytes, std::size_t byte_count) {
  std::uint8_t swap[8];
  get_bytes(swap, byte_count);
  std::reverse(swap, swap + byte_count);
  std::memcpy(bytes, swap, byte_count);
}

std::uint32_t ByteStreamIn::read_bit_field(std::uint32_t bit_width) {
  if (bit_count < bit_width) {
    std::uint32_t word;
    read_le32(&word);
    bit_buffer |= static_cast<std::uint64_t>(word) << bit_count;
    bit_count += 32;
  }
  const std::uint32_t value = static_cast<std::uint32_t>(bit_buffer & ((std::uint64_t{1} << bit_width) - 1));
  bit_buffer >>= bit_width;
  bit_count -= bit_width;
  return value;
}

bool ByteStreamOut::write_reversed(const void* bytes, std::size_t byte_count) {
  std::uint8_t swap[8];
  std::memcpy(swap, bytes, byte_count);
  std::reverse(swap, swap + byte_count);
  return put_bytes(swap, byte_count);
}

bool ByteStreamOut::write_bit_field(std::uint32_t bits, std::uint32_t bit_width) {
  // Masking keeps stray high bits of a caller's value out of the next field.
  const std::uint64_t mask = (std::uint64_t{1} << bit_width) - 1;
  bit_buffer |= (bits & mask) << bit_count;
  bit_count += bit_width;
  if (bit_count >= 32) {
    const std::uint32_t word = static_cast<std::uint32_t>(bit_buffer);
    bit_buffer >>= 32;
    bit_count -= 32;
    return write_le32(&word);
  }
  return true;
}

bool ByteStreamOut::flush_bit_field() {
  if (bit_count == 0) return true;
  const std::uint32_t word = static_cast<std::uint32_t>(bit_buffer);
  bit_buffer = 0;
  bit_count = 0;
  return write_le32(&word);
}

}  // namespace tinrise
