// The arithmetic (range) decoder, the exact mirror of AcEncoder: decodes bits,
// symbols and raw values from a ByteStreamIn. Owned by the point reader engine
// and the layer reader; the item codecs and integer coders decode through it.
#pragma once

#include <cstdint>

#include "compress/ac_bit_model.h"
#include "compress/ac_symbol_model.h"
#include "las/core/bytestream_in.h"

namespace tinrise {

// Thrown (as an int) when the coded data cannot have come from an encoder;
// the point reader engine reports the chunk as corrupt.
inline constexpr int corrupt_data = 4711;

class AcDecoder final {
 public:
  static constexpr std::uint32_t min_length = 0x01000000;

  // Attaches the stream (not owned); false for null. With really_init the
  // first four bytes are read into the value register; without, the stream
  // is only handed over.
  bool init(ByteStreamIn* stream, bool really_init = true);
  // Detaches the stream; reads nothing.
  void done() { instream = nullptr; }

  std::uint32_t decode_bit(AcBitModel& m) {
    std::uint32_t v = value, l = length;
    const std::uint32_t x = m.bit_0_prob * (l >> AcBitModel::length_shift);
    std::uint32_t bit;
    if (v < x) {
      bit = 0;
      l = x;
      ++m.bit_0_count;
    } else {
      bit = 1;
      v -= x;
      l -= x;
    }
    const bool update = --m.bits_until_update == 0;
    while (l < min_length) {
      v = (v << 8) | instream->get_byte();
      l <<= 8;
    }
    value = v;
    length = l;
    if (update) m.update();
    return bit;
  }

  // The registers stay in locals until the model's counts are written, so
  // that no store through the model's arrays makes them be read again.
  std::uint32_t decode_symbol(AcSymbolModel& m) {
    std::uint32_t v = value, l = length;
    std::uint32_t symbol, x, y = l;
    if (m.decoder_table) {
      l >>= AcSymbolModel::length_shift;
      const std::uint32_t dv = v / l;
      const std::uint32_t t = dv >> m.table_shift;
      // Coded data never points past the table's last slot; damaged data can.
      if (t > m.table_size) throw corrupt_data;
      symbol = m.decoder_table[t];
      std::uint32_t n = m.decoder_table[t + 1] + 1;
      while (n > symbol + 1) {
        const std::uint32_t mid = (symbol + n) >> 1;
        if (m.distribution[mid] > dv) {
          n = mid;
        } else {
          symbol = mid;
        }
      }
      x = m.distribution[symbol] * l;
      if (symbol != m.last_symbol) y = m.distribution[symbol + 1] * l;
    } else {
      x = symbol = 0;
      l >>= AcSymbolModel::length_shift;
      std::uint32_t n = m.symbols;
      std::uint32_t mid = n >> 1;
      do {
        const std::uint32_t z = l * m.distribution[mid];
        if (z > v) {
          n = mid;
          y = z;
        } else {
          symbol = mid;
          x = z;
        }
      } while ((mid = (symbol + n) >> 1) != symbol);
    }
    v -= x;
    l = y - x;
    ++m.symbol_count[symbol];
    const bool update = --m.symbols_until_update == 0;
    while (l < min_length) {
      v = (v << 8) | instream->get_byte();
      l <<= 8;
    }
    value = v;
    length = l;
    if (update) m.update();
    return symbol;
  }

  // 1 to 32 raw bits; a value of bits or more bits is corrupt data.
  std::uint32_t read_bits(std::uint32_t bits);
  std::uint32_t read_short();
  std::uint32_t read_int();
  std::uint64_t read_int64();

  // Decoder-side models (with decoder tables above 16 symbols).
  static constexpr bool compresses = false;
  static AcSymbolModel create_symbol_model(std::uint32_t symbols) { return AcSymbolModel(symbols, compresses); }

 private:
  void renorm_dec_interval() {
    do {
      value = (value << 8) | instream->get_byte();
      length <<= 8;
    } while (length < min_length);
  }

  ByteStreamIn* instream = nullptr;
  std::uint32_t value = 0;
  std::uint32_t length = 0;
};

}  // namespace tinrise
