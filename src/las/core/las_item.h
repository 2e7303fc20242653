// One item of a point record (a fixed slice with a type, a size and a codec
// version) and the item list of each LAS point type. Used by the point model,
// the compressor configuration and the point engines.
#pragma once

#include <cstdint>
#include <vector>

namespace tinrise {

struct LASitem {
  enum Type : std::int32_t {
    BYTE = 0,
    POINT10 = 6,
    GPSTIME11 = 7,
    RGB12 = 8,
    WAVEPACKET13 = 9,
    POINT14 = 10,
    RGB14 = 11,
    RGBNIR14 = 12,
    WAVEPACKET14 = 13,
    BYTE14 = 14,
  };

  Type type = BYTE;
  std::uint16_t size = 0;
  std::uint16_t version = 0;

  bool operator==(const LASitem&) const = default;
};

// Smallest record size of a LAS point type (0 to 10), or -1 for other types.
int las_point_type_base_size(int point_type);

// The raw (version 0) item list of a LAS point type and record size: the
// type's fixed items in the order core, GPS time, colour, wave packet, then one
// BYTE (types 0 to 5) or BYTE14 (6 to 10) item holding the bytes beyond the
// base size. A record shorter than the base size prints the too-small warning
// and gets no extra bytes. Returns false with "point type %d unknown" in
// `error` for any other type.
bool las_items_for_point_type(int point_type, int point_size, std::vector<LASitem>& items,
                              char* error = nullptr, int error_size = 0);

}  // namespace tinrise
