// The adaptive frequency table of an alphabet of 2 to 2048 symbols, used by the
// arithmetic encoder and decoder and every item codec; decoder-side models of
// more than 16 symbols carry a table that gives a first guess of the symbol.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace tinrise {

class AcSymbolModel {
 public:
  static constexpr std::uint32_t length_shift = 15;  // distribution values are 15-bit fractions
  static constexpr std::uint32_t max_count = 1u << length_shift;
  static constexpr std::uint32_t min_symbols = 2;
  static constexpr std::uint32_t max_symbols = 2048;

  // `compress` marks a model that serves an encoder; it never gets a table.
  // The storage is taken here, so initialising and coding allocate nothing.
  AcSymbolModel(std::uint32_t symbols, bool compress);

  // Resets all adaptive state; false (model unusable) outside 2 to 2048 symbols.
  bool init();
  // Rebuilds the distribution (and the table) from the counts.
  void update();

  std::uint32_t* distribution = nullptr;  // distribution[0] is 0
  std::uint32_t* symbol_count = nullptr;
  std::uint32_t* decoder_table = nullptr;  // table_size + 2 entries, or null
  std::uint32_t total_count = 0;
  std::uint32_t update_cycle = 0;
  std::uint32_t symbols_until_update = 0;
  std::uint32_t symbols;
  std::uint32_t last_symbol = 0;
  std::uint32_t table_size = 0;
  std::uint32_t table_shift = 0;
  bool compress;

 private:
  std::unique_ptr<std::uint32_t[]> storage;
};

// Models chosen by the previous value of a byte, one per value. Each is
// initialised the first time its value occurs in a chunk, which codes the same
// as re-initialising every model at the chunk start, at a fraction of the cost.
class AcSymbolModelByByte final {
 public:
  AcSymbolModelByByte(std::uint32_t symbols, bool compress);
  // Called at every chunk start.
  void init() { std::fill_n(fresh, 256, false); }
  AcSymbolModel& operator[](std::uint32_t byte) {
    AcSymbolModel& model = models[byte];
    if (!fresh[byte]) {
      model.init();
      fresh[byte] = true;
    }
    return model;
  }

 private:
  std::vector<AcSymbolModel> models;
  bool fresh[256] = {};
};

}  // namespace tinrise
