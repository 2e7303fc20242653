#include "geo/geo_projection_parser.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tinrise {
namespace {

void blank(char* argument) { argument[0] = '\0'; }

// "32N" -> 32632, "33s" -> 32733 (WGS 84 UTM zones); 0 when not a zone.
std::uint32_t utm_zone_epsg(const char* text) {
  char* end = nullptr;
  const long zone = std::strtol(text, &end, 10);
  if (end == text || zone < 1 || zone > 60) return 0;
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(*end)));
  if (letter < 'C' || letter > 'X' || end[1] != '\0') return 0;
  return static_cast<std::uint32_t>((letter >= 'N' ? 32600 : 32700) + zone);
}

}  // namespace

bool GeoProjectionParser::parse(int argc, char* argv[]) {
  for (int i = 1; i < argc; i++) {
    char* arg = argv[i];
    if (arg[0] == '\0') continue;
    if (std::strcmp(arg, "-epsg") == 0) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "ERROR: '%s' needs 1 argument: code\n", arg);
        return false;
      }
      source_epsg = static_cast<std::uint32_t>(std::atoi(argv[i + 1]));
      source_geographic = source_epsg == 4326;
      blank(arg);
      blank(argv[++i]);
    } else if (std::strcmp(arg, "-utm") == 0) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "ERROR: '%s' needs 1 argument: zone\n", arg);
        return false;
      }
      const std::uint32_t code = utm_zone_epsg(argv[i + 1]);
      if (code == 0) {
        std::fprintf(stderr, "ERROR: bad utm zone '%s'\n", argv[i + 1]);
        return false;
      }
      source_epsg = code;
      source_geographic = false;
      blank(arg);
      blank(argv[++i]);
    } else if (std::strcmp(arg, "-longlat") == 0 || std::strcmp(arg, "-latlong") == 0) {
      source_epsg = 4326;
      source_geographic = true;
      blank(arg);
    }
  }
  return true;
}

bool GeoProjectionParser::get_geo_keys(std::vector<GeoKeyEntry>& keys, std::vector<double>& doubles) const {
  keys.clear();
  doubles.clear();
  if (!has_source_projection()) return false;
  const std::uint16_t code = static_cast<std::uint16_t>(source_epsg);
  if (source_geographic) {
    keys.push_back({1024, 0, 1, 2});      // GTModelTypeGeoKey: geographic
    keys.push_back({1025, 0, 1, 1});      // GTRasterTypeGeoKey: pixel is area
    keys.push_back({2048, 0, 1, code});   // GeographicTypeGeoKey
  } else {
    keys.push_back({1024, 0, 1, 1});      // GTModelTypeGeoKey: projected
    keys.push_back({1025, 0, 1, 1});
    keys.push_back({3072, 0, 1, code});   // ProjectedCSTypeGeoKey
  }
  return true;
}

}  // namespace tinrise
