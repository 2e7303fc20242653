// The adaptive probability of a binary decision, shared by the arithmetic
// encoder and decoder and by every item codec that codes a yes/no choice.
#pragma once

#include <cstdint>

namespace tinrise {

struct AcBitModel {
  static constexpr std::uint32_t length_shift = 13;   // probabilities are 13-bit fractions
  static constexpr std::uint32_t max_count = 1u << length_shift;
  static constexpr std::uint32_t longest_update_cycle = 64;

  std::uint32_t update_cycle = 4;
  std::uint32_t bits_until_update = 4;
  std::uint32_t bit_0_prob = 1u << (length_shift - 1);
  std::uint32_t bit_0_count = 1;
  std::uint32_t bit_count = 2;

  // Back to one half, with the shortest update cycle.
  void init() { *this = AcBitModel(); }

  // Runs every update_cycle bits; the cycle grows by a quarter up to its cap,
  // so the model adapts fast at a chunk start and costs little later.
  void update() {
    bit_count += update_cycle;
    if (bit_count > max_count) {
      bit_count = (bit_count + 1) >> 1;
      bit_0_count = (bit_0_count + 1) >> 1;
      // Keeps the probability of a 0 strictly below one.
      if (bit_0_count == bit_count) ++bit_count;
    }
    const std::uint32_t scale = 0x80000000u / bit_count;
    bit_0_prob = (bit_0_count * scale) >> (31 - length_shift);
    update_cycle = (5 * update_cycle) >> 2;
    if (update_cycle > longest_update_cycle) update_cycle = longest_update_cycle;
    bits_until_update = update_cycle;
  }
};

}  // namespace tinrise
