// Parses the projection options of a command line (the first parser to see
// it) and answers the GeoTIFF keys of the source projection, which the height
// pass writes into output headers. Knows EPSG codes, UTM zones and
// geographic coordinates; the projections with parameters come later.
#pragma once

#include <cstdint>
#include <vector>

namespace tinrise {

struct GeoKeyEntry {
  std::uint16_t key_id;
  std::uint16_t tiff_tag_location;
  std::uint16_t count;
  std::uint16_t value_offset;
};

class GeoProjectionParser final {
 public:
  // Consumes and blanks its options; prints an "ERROR: ..." line and returns
  // false when one of them is incomplete.
  bool parse(int argc, char* argv[]);

  bool has_source_projection() const { return source_epsg != 0; }

  // Key entries (without the four-value directory header) and double
  // parameters of the source projection; false without one.
  bool get_geo_keys(std::vector<GeoKeyEntry>& keys, std::vector<double>& doubles) const;

  std::uint32_t source_epsg = 0;  // EPSG code of the source, 0 when absent
  bool source_geographic = false;
};

}  // namespace tinrise
