#include "las/core/las_item.h"

#include <cstdio>

namespace tinrise {
namespace {

struct PointTypeLayout {
  int base_size;
  LASitem::Type items[4];
  int item_count;
};

constexpr PointTypeLayout layouts[11] = {
    {20, {LASitem::POINT10}, 1},
    {28, {LASitem::POINT10, LASitem::GPSTIME11}, 2},
    {26, {LASitem::POINT10, LASitem::RGB12}, 2},
    {34, {LASitem::POINT10, LASitem::GPSTIME11, LASitem::RGB12}, 3},
    {57, {LASitem::POINT10, LASitem::GPSTIME11, LASitem::WAVEPACKET13}, 3},
    {63, {LASitem::POINT10, LASitem::GPSTIME11, LASitem::RGB12, LASitem::WAVEPACKET13}, 4},
    {30, {LASitem::POINT14}, 1},
    {36, {LASitem::POINT14, LASitem::RGB14}, 2},
    {38, {LASitem::POINT14, LASitem::RGBNIR14}, 2},
    {59, {LASitem::POINT14, LASitem::WAVEPACKET14}, 2},
    {67, {LASitem::POINT14, LASitem::RGBNIR14, LASitem::WAVEPACKET14}, 3},
};

std::uint16_t fixed_item_size(LASitem::Type type) {
  switch (type) {
    case LASitem::POINT10: return 20;
    case LASitem::GPSTIME11: return 8;
    case LASitem::RGB12: return 6;
    case LASitem::WAVEPACKET13: return 29;
    case LASitem::POINT14: return 30;
    case LASitem::RGB14: return 6;
    case LASitem::RGBNIR14: return 8;
    case LASitem::WAVEPACKET14: return 29;
    default: return 0;
  }
}

}  // namespace

int las_point_type_base_size(int point_type) {
  if (point_type < 0 || point_type > 10) return -1;
  return layouts[point_type].base_size;
}

bool las_items_for_point_type(int point_type, int point_size, std::vector<LASitem>& items,
                              char* error, int error_size) {
  items.clear();
  if (point_type < 0 || point_type > 10) {
    if (error && error_size > 0) std::snprintf(error, error_size, "point type %d unknown", point_type);
    return false;
  }
  const PointTypeLayout& layout = layouts[point_type];
  int extra = point_size - layout.base_size;
  if (extra < 0) {
    std::fprintf(stderr, "WARNING: point size %d too small by %d bytes for point type %d. assuming point_size of %d\n",
                 point_size, -extra, point_type, layout.base_size);
    extra = 0;
  }
  for (int i = 0; i < layout.item_count; i++) {
    items.push_back(LASitem{layout.items[i], fixed_item_size(layout.items[i]), 0});
  }
  if (extra > 0) {
    // A record longer than 65535 + base cannot be described by a 16-bit size;
    // such a record length cannot occur in a LAS header either.
    items.push_back(LASitem{point_type <= 5 ? LASitem::BYTE : LASitem::BYTE14, static_cast<std::uint16_t>(extra), 0});
  }
  return true;
}

}  // namespace tinrise
