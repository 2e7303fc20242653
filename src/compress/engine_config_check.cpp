// Set-up checks shared by the point engines.
#include "compress/engine_config_check.h"

#include <algorithm>
#include <cstdio>

#include "las/core/pakmor.h"

namespace tinrise {

bool check_engine_config(std::uint16_t num_items, const LASitem* items, const Pakmor* config, std::string& error) {
  char message[128];
  if (num_items == 0 || !items) {
    error = "no items";
    return false;
  }
  if (!config) return true;
  if (config->num_items() != num_items || !std::equal(items, items + num_items, config->items.begin())) {
    error = "items differ from those of the compressor configuration";
    return false;
  }
  if (config->coder != 0) {
    std::snprintf(message, sizeof(message), "coder %d not supported", config->coder);
    error = message;
    return false;
  }
  // Layered chunks (the LAS 1.4 point types) have no codecs in this build yet.
  if (config->compressor > Pakmor::COMPRESSOR_POINTWISE_CHUNKED) {
    std::snprintf(message, sizeof(message), "compressor %d not available", config->compressor);
    error = message;
    return false;
  }
  return true;
}

std::string format_engine_message(const char* format, va_list arguments) {
  char message[128];
  std::vsnprintf(message, sizeof(message), format, arguments);
  return message;
}

}  // namespace tinrise
