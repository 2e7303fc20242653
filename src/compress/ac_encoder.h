// The arithmetic (range) encoder with 32-bit registers: codes bits, symbols
// and raw values into a ByteStreamOut. Owned by the point writer engine and
// the layer writer; the item codecs and integer coders code through it.
#pragma once

#include <cstdint>
#include <memory>

#include "compress/ac_bit_model.h"
#include "compress/ac_symbol_model.h"
#include "las/core/bytestream_out.h"

namespace tinrise {

class AcEncoder final {
 public:
  static constexpr std::uint32_t min_length = 0x01000000;  // renormalise below 2^24
  static constexpr std::uint32_t half_buffer_size = 1024;

  AcEncoder();
  AcEncoder(const AcEncoder&) = delete;
  AcEncoder& operator=(const AcEncoder&) = delete;

  // Attaches the stream (not owned) and starts a new interval; false for null.
  bool init(ByteStreamOut* stream);
  // Flushes the interval and every buffered byte, then detaches the stream.
  // Runs exactly once per init, since it writes the final bytes.
  void done();

  void encode_bit(AcBitModel& m, std::uint32_t bit) {
    const std::uint32_t x = m.bit_0_prob * (length >> AcBitModel::length_shift);
    if (bit == 0) {
      length = x;
      ++m.bit_0_count;
    } else {
      const std::uint32_t init_base = base;
      base += x;
      length -= x;
      if (init_base > base) propagate_carry();
    }
    if (length < min_length) renorm_enc_interval();
    if (--m.bits_until_update == 0) m.update();
  }

  void encode_symbol(AcSymbolModel& m, std::uint32_t symbol) {
    const std::uint32_t init_base = base;
    if (symbol == m.last_symbol) {
      // The last symbol takes the whole rest of the interval, so no length is
      // lost to rounding.
      const std::uint32_t x = m.distribution[symbol] * (length >> AcSymbolModel::length_shift);
      base += x;
      length -= x;
    } else {
      length >>= AcSymbolModel::length_shift;
      const std::uint32_t x = m.distribution[symbol] * length;
      base += x;
      length = m.distribution[symbol + 1] * length - x;
    }
    if (init_base > base) propagate_carry();
    if (length < min_length) renorm_enc_interval();
    ++m.symbol_count[symbol];
    if (--m.symbols_until_update == 0) m.update();
  }

  // 1 to 32 bits of `value` (value < 2^bits), uniformly coded.
  void write_bits(std::uint32_t bits, std::uint32_t value);
  void write_short(std::uint16_t value);
  void write_int(std::uint32_t value);
  void write_int64(std::uint64_t value);

  // Encoder-side models (without decoder tables).
  static constexpr bool compresses = true;
  static AcSymbolModel create_symbol_model(std::uint32_t symbols) { return AcSymbolModel(symbols, compresses); }

 private:
  void propagate_carry();
  void renorm_enc_interval();
  void manage_outbuffer();

  ByteStreamOut* outstream = nullptr;
  std::unique_ptr<std::uint8_t[]> outbuffer;  // a ring of two halves
  std::uint8_t* endbuffer;
  std::uint8_t* outbyte;
  std::uint8_t* endbyte;
  std::uint32_t base = 0;
  std::uint32_t length = 0;
};

}  // namespace tinrise
