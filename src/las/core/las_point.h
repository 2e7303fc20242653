// The in-memory point record: every field of LAS point types 0 to 10 at once.
// Readers fill it and writers drain it through `item_pointers`, which point at
// the members that hold the raw bytes of each item, so no record is copied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "las/core/las_attribute.h"
#include "las/core/las_item.h"
#include "las/core/las_quantizer.h"

namespace tinrise {

class LASpoint {
 public:
  // The first 20 bytes are the POINT10 item as stored (little-endian, bit
  // fields packed from the least significant bit).
  std::int32_t X = 0;
  std::int32_t Y = 0;
  std::int32_t Z = 0;
  std::uint16_t intensity = 0;
  std::uint8_t return_number : 3;
  std::uint8_t number_of_returns : 3;
  std::uint8_t scan_direction_flag : 1;
  std::uint8_t edge_of_flight_line : 1;
  std::uint8_t classification : 5;
  std::uint8_t synthetic_flag : 1;
  std::uint8_t keypoint_flag : 1;
  std::uint8_t withheld_flag : 1;
  std::int8_t scan_angle_rank = 0;
  std::uint8_t user_data = 0;
  std::uint16_t point_source_ID = 0;

  std::int16_t extended_scan_angle = 0;
  std::uint8_t extended_form : 2;
  std::uint8_t extended_scanner_channel : 2;
  std::uint8_t extended_classification_flags : 4;
  std::uint8_t extended_classification = 0;
  std::uint8_t extended_return_number : 4;
  std::uint8_t extended_number_of_returns : 4;

  std::uint32_t deleted_flag = 0;

  double gps_time = 0.0;
  std::uint16_t rgb[4] = {0, 0, 0, 0};
  std::uint8_t wave_packet[29] = {};

  std::uint8_t* extra_bytes = nullptr;  // extra_byte_count bytes, owned by the point

  const LAScoordinateQuantizer* quantizer = nullptr;
  double coordinates[3] = {0.0, 0.0, 0.0};
  const LASextraAttributeSet* attribute_set = nullptr;

  std::vector<std::uint8_t*> item_pointers;
  bool has_gps_time = false;
  bool has_rgb = false;
  bool has_nir = false;
  bool has_wave_packet = false;
  std::int32_t extra_byte_count = 0;
  std::int32_t point_size = 0;
  std::uint16_t num_items = 0;
  std::vector<LASitem> items;

  LASpoint();
  ~LASpoint();
  // Item pointers refer to the point's own members, so a point is never copied
  // or moved as a whole; assignment copies field values between layouts.
  LASpoint(const LASpoint&) = delete;
  LASpoint& operator=(const LASpoint& source);

  // Prepares the point for records of one type and size; prints
  // "ERROR: unknown point type %d with point size %d" and returns false when
  // no item list exists for them.
  bool init(const LAScoordinateQuantizer* quantizer, int point_type, int point_size,
            const LASextraAttributeSet* attribute_set = nullptr);
  // Prepares the point for an explicit item list (as read from a compressed file).
  bool init(const LAScoordinateQuantizer* quantizer, const std::vector<LASitem>& items,
            const LASextraAttributeSet* attribute_set = nullptr);
  void reset();

  double dequantize_x() const { return quantizer->dequantize_x(X); }
  double dequantize_y() const { return quantizer->dequantize_y(Y); }
  double dequantize_z() const { return quantizer->dequantize_z(Z); }

  bool is_extended() const { return extended_form != 0; }

  // Start of attribute `index` of the point's attribute set inside extra_bytes,
  // or null when the attribute does not lie within this point's extra bytes.
  std::uint8_t* attribute_bytes(int index) const;

  // Owns what extra_bytes points at. Public only so that the point stays a
  // standard-layout type whose POINT10 bytes sit at a known offset.
  std::unique_ptr<std::uint8_t[]> extra_bytes_storage;

 private:
  void reset_fields();
};

static_assert(offsetof(LASpoint, extended_scan_angle) == 20, "POINT10 bytes must come first");

}  // namespace tinrise
