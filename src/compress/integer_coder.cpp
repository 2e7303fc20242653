// Integer coder set-up and the encoder side of the corrector.
#include "compress/integer_coder.h"

#include <bit>

namespace tinrise {

IntegerCoder::IntegerCoder(AcEncoder& encoder, std::uint32_t bits, std::uint32_t contexts, std::uint32_t bits_high,
                           std::uint32_t range)
    : bits_high(bits_high), encoder(&encoder) {
  set_bits(bits, range);
  create_models(true, contexts);
}

IntegerCoder::IntegerCoder(AcDecoder& decoder, std::uint32_t bits, std::uint32_t contexts, std::uint32_t bits_high,
                           std::uint32_t range)
    : bits_high(bits_high), decoder(&decoder) {
  set_bits(bits, range);
  create_models(false, contexts);
}

void IntegerCoder::set_bits(std::uint32_t bits, std::uint32_t range) {
  if (range != 0) {
    corr_bits = static_cast<std::uint32_t>(std::bit_width(range));
    if (std::has_single_bit(range)) --corr_bits;
    corr_range = range;
  } else if (bits > 0 && bits < 32) {
    corr_bits = bits;
    corr_range = 1u << bits;
  } else {
    corr_bits = 32;
    corr_range = 0;
    corr_min = INT32_MIN;
    corr_max = INT32_MAX;
    return;
  }
  corr_min = -static_cast<std::int32_t>(corr_range / 2);
  corr_max = static_cast<std::int32_t>(corr_range - corr_range / 2 - 1);
}

void IntegerCoder::create_models(bool compress, std::uint32_t contexts) {
  k_models.reserve(contexts);
  for (std::uint32_t i = 0; i < contexts; i++) k_models.emplace_back(corr_bits + 1, compress);
  correctors.reserve(corr_bits);
  for (std::uint32_t i = 1; i <= corr_bits; i++) {
    correctors.emplace_back(i <= bits_high ? 1u << i : 1u << bits_high, compress);
  }
}

void IntegerCoder::init_models() {
  for (AcSymbolModel& model : k_models) model.init();
  corrector0.init();
  for (AcSymbolModel& model : correctors) model.init();
}

void IntegerCoder::write_corrector(std::int32_t corr, AcSymbolModel& k_model) {
  const std::uint32_t c = static_cast<std::uint32_t>(corr);
  // The number of significant bits of |corr| for corr <= 0, of corr - 1 above.
  const std::uint32_t magnitude = corr <= 0 ? 0u - c : c - 1;
  k = static_cast<std::uint32_t>(std::bit_width(magnitude));
  encoder->encode_symbol(k_model, k);
  if (k == 0) {
    encoder->encode_bit(corrector0, c);
  } else if (k < 32) {
    const std::uint32_t within = corr < 0 ? c + ((1u << k) - 1) : c - 1;  // 0 .. 2^k - 1
    if (k <= bits_high) {
      encoder->encode_symbol(correctors[k - 1], within);
    } else {
      const std::uint32_t k1 = k - bits_high;
      encoder->encode_symbol(correctors[k - 1], within >> k1);
      encoder->write_bits(k1, within & ((1u << k1) - 1));
    }
  }
}

}  // namespace tinrise
