// Symbol model initialisation and the periodic rebuild of its distribution.
#include "compress/ac_symbol_model.h"

#include <algorithm>

namespace tinrise {

namespace {

// Table bits start at 3 and grow while the alphabet exceeds 4 table entries per slot.
std::uint32_t table_bits_for(std::uint32_t symbols) {
  std::uint32_t table_bits = 3;
  while (symbols > (1u << (table_bits + 2))) ++table_bits;
  return table_bits;
}

}  // namespace

AcSymbolModel::AcSymbolModel(std::uint32_t symbols, bool compress) : symbols(symbols), compress(compress) {
  if (symbols < min_symbols || symbols > max_symbols) return;
  std::uint32_t words = 2 * symbols;
  if (!compress && symbols > 16) {
    const std::uint32_t table_bits = table_bits_for(symbols);
    table_size = 1u << table_bits;
    table_shift = length_shift - table_bits;
    words += table_size + 2;
  }
  storage.reset(new std::uint32_t[words]);
  distribution = storage.get();
  symbol_count = distribution + symbols;
  if (table_size) decoder_table = symbol_count + symbols;
}

bool AcSymbolModel::init() {
  if (!storage) return false;
  last_symbol = symbols - 1;
  total_count = 0;
  update_cycle = symbols;
  std::fill_n(symbol_count, symbols, 1u);
  update();
  update_cycle = symbols_until_update = (symbols + 6) >> 1;
  return true;
}

void AcSymbolModel::update() {
  total_count += update_cycle;
  if (total_count > max_count) {
    total_count = 0;
    for (std::uint32_t k = 0; k < symbols; k++) {
      symbol_count[k] = (symbol_count[k] + 1) >> 1;
      total_count += symbol_count[k];
    }
  }
  const std::uint32_t scale = 0x80000000u / total_count;
  std::uint32_t sum = 0;
  if (!decoder_table) {
    for (std::uint32_t k = 0; k < symbols; k++) {
      distribution[k] = (scale * sum) >> (31 - length_shift);
      sum += symbol_count[k];
    }
  } else {
    std::uint32_t s = 0;
    for (std::uint32_t k = 0; k < symbols; k++) {
      distribution[k] = (scale * sum) >> (31 - length_shift);
      sum += symbol_count[k];
      const std::uint32_t w = distribution[k] >> table_shift;
      while (s < w) decoder_table[++s] = k - 1;
    }
    decoder_table[0] = 0;
    while (s <= table_size) decoder_table[++s] = symbols - 1;
  }
  update_cycle = (5 * update_cycle) >> 2;
  const std::uint32_t max_cycle = (symbols + 6) << 3;
  if (update_cycle > max_cycle) update_cycle = max_cycle;
  symbols_until_update = update_cycle;
}

AcSymbolModelByByte::AcSymbolModelByByte(std::uint32_t symbols, bool compress) {
  models.reserve(256);
  for (int i = 0; i < 256; i++) models.emplace_back(symbols, compress);
}

}  // namespace tinrise
