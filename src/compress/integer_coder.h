// Codes an integer as its difference from a prediction: the difference's
// magnitude class k through a context's model, then the value within the class.
// Used by the item codecs, the chunk table and the layer codecs.
#pragma once

#include <cstdint>
#include <vector>

#include "compress/ac_bit_model.h"
#include "compress/ac_decoder.h"
#include "compress/ac_encoder.h"
#include "compress/ac_symbol_model.h"

namespace tinrise {

class IntegerCoder final {
 public:
  // bits: width of the values (1 to 32); range, when not 0, the number of
  // values instead; contexts: number of k-models; bits_high: the widest
  // corrector coded by a model alone, the rest as raw bits.
  IntegerCoder(AcEncoder& encoder, std::uint32_t bits = 16, std::uint32_t contexts = 1, std::uint32_t bits_high = 8,
               std::uint32_t range = 0);
  IntegerCoder(AcDecoder& decoder, std::uint32_t bits = 16, std::uint32_t contexts = 1, std::uint32_t bits_high = 8,
               std::uint32_t range = 0);
  IntegerCoder(const IntegerCoder&) = delete;
  IntegerCoder& operator=(const IntegerCoder&) = delete;
  IntegerCoder(IntegerCoder&&) = default;

  // Reset every model; called at each chunk start. The two are one operation;
  // init serves code written for either side.
  void init_encoder() { init_models(); }
  void init_decoder() { init_models(); }
  void init() { init_models(); }

  void encode(std::int32_t pred, std::int32_t real, std::uint32_t context = 0) {
    std::uint32_t corr = static_cast<std::uint32_t>(real) - static_cast<std::uint32_t>(pred);
    if (static_cast<std::int32_t>(corr) < corr_min) {
      corr += corr_range;
    } else if (static_cast<std::int32_t>(corr) > corr_max) {
      corr -= corr_range;
    }
    write_corrector(static_cast<std::int32_t>(corr), k_models[context]);
  }

  std::int32_t decode(std::int32_t pred, std::uint32_t context = 0) {
    std::uint32_t real = static_cast<std::uint32_t>(pred) + static_cast<std::uint32_t>(read_corrector(k_models[context]));
    if (static_cast<std::int32_t>(real) < 0) {
      real += corr_range;
    } else if (real >= corr_range) {
      real -= corr_range;
    }
    return static_cast<std::int32_t>(real);
  }

  // The magnitude class of the last corrector coded or decoded; the codecs
  // use it as a context for the next field.
  std::uint32_t k = 0;

 private:
  void set_bits(std::uint32_t bits, std::uint32_t range);
  void create_models(bool compress, std::uint32_t contexts);
  void init_models();
  void write_corrector(std::int32_t corr, AcSymbolModel& k_model);

  std::int32_t read_corrector(AcSymbolModel& k_model) {
    k = decoder->decode_symbol(k_model);
    if (k == 0) return static_cast<std::int32_t>(decoder->decode_bit(corrector0));
    if (k >= 32) return corr_min;
    std::uint32_t c = decoder->decode_symbol(correctors[k - 1]);
    if (k > bits_high) {
      const std::uint32_t k1 = k - bits_high;
      c = (c << k1) | decoder->read_bits(k1);
    }
    // Back from 0 .. 2^k - 1 to the two halves of the class.
    const std::uint32_t negative = c - ((1u << k) - 1);
    return static_cast<std::int32_t>(c >= (1u << (k - 1)) ? c + 1 : negative);
  }

  std::uint32_t bits_high;
  std::uint32_t corr_bits = 0;
  std::uint32_t corr_range = 0;
  std::int32_t corr_min = 0;
  std::int32_t corr_max = 0;
  AcEncoder* encoder = nullptr;
  AcDecoder* decoder = nullptr;
  std::vector<AcSymbolModel> k_models;
  AcBitModel corrector0;
  std::vector<AcSymbolModel> correctors;  // k = 1 .. corr_bits at k - 1
};

}  // namespace tinrise
