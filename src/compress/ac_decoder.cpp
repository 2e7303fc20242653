// The decoder's raw values: uniformly coded bits, shorts and wider integers.
#include "compress/ac_decoder.h"

namespace tinrise {

bool AcDecoder::init(ByteStreamIn* stream, bool really_init) {
  if (!stream) return false;
  instream = stream;
  length = 0xFFFFFFFF;
  if (really_init) {
    value = stream->get_byte() << 24;
    value |= stream->get_byte() << 16;
    value |= stream->get_byte() << 8;
    value |= stream->get_byte();
  }
  return true;
}

std::uint32_t AcDecoder::read_bits(std::uint32_t bits) {
  if (bits > 19) {
    const std::uint32_t low = read_short();
    const std::uint32_t high = read_bits(bits - 16);
    return (high << 16) | low;
  }
  length >>= bits;
  const std::uint32_t symbol = value / length;
  value -= symbol * length;
  if (length < min_length) renorm_dec_interval();
  if (symbol >= (1u << bits)) throw corrupt_data;
  return symbol;
}

std::uint32_t AcDecoder::read_short() {
  length >>= 16;
  const std::uint32_t symbol = value / length;
  value -= symbol * length;
  if (length < min_length) renorm_dec_interval();
  if (symbol >= (1u << 16)) throw corrupt_data;
  return symbol;
}

std::uint32_t AcDecoder::read_int() {
  const std::uint32_t low = read_short();
  const std::uint32_t high = read_short();
  return (high << 16) | low;
}

std::uint64_t AcDecoder::read_int64() {
  const std::uint64_t low = read_int();
  const std::uint64_t high = read_int();
  return (high << 32) | low;
}

}  // namespace tinrise
