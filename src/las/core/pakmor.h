// The compression configuration of a point file: item list, compressor, coder,
// chunk size and the library version, carried in the "pakmor encoded" record.
// Owned by LASheader; used by the LAS reader and writer and the point engines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "las/core/las_item.h"

namespace tinrise {

class Pakmor final {
 public:
  enum Compressor : std::uint16_t { COMPRESSOR_NONE = 0, COMPRESSOR_POINTWISE = 1, COMPRESSOR_POINTWISE_CHUNKED = 2,
                                    COMPRESSOR_LAYERED_CHUNKED = 3 };

  std::uint16_t compressor = COMPRESSOR_POINTWISE_CHUNKED;
  std::uint16_t coder = 0;
  std::uint8_t version_major = 3;
  std::uint8_t version_minor = 2;
  std::uint16_t version_revision = 0;
  std::uint32_t options = 0;
  std::uint32_t chunk_size = 50000;
  std::int64_t number_of_special_evlrs = -1;
  std::int64_t offset_to_special_evlrs = -1;
  std::vector<LASitem> items;  // num_items is items.size()

  std::uint16_t num_items() const { return static_cast<std::uint16_t>(items.size()); }
  const char* last_error() const { return error_text.empty() ? nullptr : error_text.c_str(); }

 private:
  std::string error_text;
};

}  // namespace tinrise
