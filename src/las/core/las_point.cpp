#include "las/core/las_point.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tinrise {

LASpoint::LASpoint() { reset_fields(); }

LASpoint::~LASpoint() = default;

void LASpoint::reset_fields() {
  std::memset(static_cast<void*>(this), 0, offsetof(LASpoint, gps_time));
  return_number = 1;
  number_of_returns = 1;
  extended_return_number = 1;
  extended_number_of_returns = 1;
  gps_time = 0.0;
  std::memset(rgb, 0, sizeof(rgb));
  std::memset(wave_packet, 0, sizeof(wave_packet));
  coordinates[0] = coordinates[1] = coordinates[2] = 0.0;
}

void LASpoint::reset() {
  reset_fields();
  extra_bytes_storage.reset();
  extra_bytes = nullptr;
  item_pointers.clear();
  items.clear();
  has_gps_time = has_rgb = has_nir = has_wave_packet = false;
  extra_byte_count = 0;
  point_size = 0;
  num_items = 0;
}

bool LASpoint::init(const LAScoordinateQuantizer* point_quantizer, int point_type, int record_size,
                    const LASextraAttributeSet* point_attribute_set) {
  std::vector<LASitem> type_items;
  if (!las_items_for_point_type(point_type, record_size, type_items)) {
    reset();
    std::fprintf(stderr, "ERROR: unknown point type %d with point size %d\n", point_type, record_size);
    return false;
  }
  return init(point_quantizer, type_items, point_attribute_set);
}

bool LASpoint::init(const LAScoordinateQuantizer* point_quantizer, const std::vector<LASitem>& item_list,
                    const LASextraAttributeSet* point_attribute_set) {
  reset();
  items = item_list;
  num_items = static_cast<std::uint16_t>(items.size());
  item_pointers.assign(items.size(), nullptr);
  for (std::size_t i = 0; i < items.size(); i++) {
    point_size += items[i].size;
    switch (items[i].type) {
      case LASitem::BYTE:
      case LASitem::BYTE14:
        extra_byte_count = items[i].size;
        extra_bytes_storage = std::make_unique<std::uint8_t[]>(extra_byte_count);
        extra_bytes = extra_bytes_storage.get();
        item_pointers[i] = extra_bytes;
        break;
      case LASitem::POINT10:
        item_pointers[i] = reinterpret_cast<std::uint8_t*>(&X);
        break;
      case LASitem::POINT14:
        item_pointers[i] = reinterpret_cast<std::uint8_t*>(&X);
        extended_form = 1;
        has_gps_time = true;
        break;
      case LASitem::GPSTIME11:
        item_pointers[i] = reinterpret_cast<std::uint8_t*>(&gps_time);
        has_gps_time = true;
        break;
      case LASitem::RGBNIR14:
        has_nir = true;
        [[fallthrough]];
      case LASitem::RGB12:
      case LASitem::RGB14:
        item_pointers[i] = reinterpret_cast<std::uint8_t*>(rgb);
        has_rgb = true;
        break;
      case LASitem::WAVEPACKET13:
      case LASitem::WAVEPACKET14:
        item_pointers[i] = wave_packet;
        has_wave_packet = true;
        break;
      default:
        reset();
        return false;
    }
  }
  quantizer = point_quantizer;
  attribute_set = point_attribute_set;
  return true;
}

LASpoint& LASpoint::operator=(const LASpoint& source) {
  if (this == &source) return *this;
  std::memcpy(static_cast<void*>(&X), &source.X, 20);
  deleted_flag = source.deleted_flag;
  if (source.has_gps_time) gps_time = source.gps_time;
  if (source.has_rgb) {
    rgb[0] = source.rgb[0];
    rgb[1] = source.rgb[1];
    rgb[2] = source.rgb[2];
    if (source.has_nir) rgb[3] = source.rgb[3];
  }
  if (source.has_wave_packet) std::memcpy(wave_packet, source.wave_packet, sizeof(wave_packet));
  if (extra_bytes && source.extra_bytes) {
    std::memcpy(extra_bytes, source.extra_bytes, std::min(extra_byte_count, source.extra_byte_count));
  }
  if (source.extended_form) {
    extended_classification = source.extended_classification;
    extended_classification_flags = source.extended_classification_flags;
    extended_return_number = source.extended_return_number;
    extended_number_of_returns = source.extended_number_of_returns;
    extended_scan_angle = source.extended_scan_angle;
    extended_scanner_channel = source.extended_scanner_channel;
  } else if (extended_form) {
    extended_classification = source.classification;
    extended_classification_flags = 0;
    extended_number_of_returns = source.number_of_returns;
    extended_return_number = source.return_number;
    extended_scan_angle = static_cast<std::int16_t>(
        quantize_rounded(source.scan_angle_rank * 166.66666666666666, source.scan_angle_rank >= 0));
    extended_scanner_channel = source.extended_scanner_channel;
  }
  return *this;
}

std::uint8_t* LASpoint::attribute_bytes(int index) const {
  if (!attribute_set || !extra_bytes || index < 0 || index >= attribute_set->attribute_count()) return nullptr;
  const int start = attribute_set->attribute_offsets[index];
  if (start + attribute_set->attribute_lengths[index] > extra_byte_count) return nullptr;
  return extra_bytes + start;
}

}  // namespace tinrise
