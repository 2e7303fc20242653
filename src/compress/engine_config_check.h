// The set-up checks that the point reader and writer engines share: the item
// list against the compressor configuration, and which compressors exist.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>

#include "las/core/las_item.h"

namespace tinrise {

class Pakmor;

// False with a message in `error` when the configuration does not describe the
// item list, names an unknown coder, or asks for compression this build lacks.
bool check_engine_config(std::uint16_t num_items, const LASitem* items, const Pakmor* config, std::string& error);

// Formats an engine's error text (at most 127 characters, as the engines keep).
std::string format_engine_message(const char* format, va_list arguments);

}  // namespace tinrise
