// Operations without arguments: switches and copies between fields, return
// repair, the move of ancient classification bytes, scanner channel and
// point source packing, the GPS week conversion, colour byte shifts and the
// waveform direction. Each is one rule function compiled into its own class.
#pragma once

#include <cstring>

#include "las/core/las_point.h"
#include "options/process/las_point_operation.h"
#include "options/process/option_text.h"

namespace tinrise {

template <void (*rule)(LASpoint&)>
class LASoperationRule final : public LASpointOperation {
 public:
  explicit LASoperationRule(const char* name) : LASpointOperation(name) {}
  void append_echo(std::string& buffer) const override { append_option(buffer, name()); }
  void apply(LASpoint& point) override { rule(point); }
};

namespace change_rules {

inline void switch_x_y(LASpoint& p) { std::swap(p.X, p.Y); }
inline void switch_x_z(LASpoint& p) { std::swap(p.X, p.Z); }
inline void switch_y_z(LASpoint& p) { std::swap(p.Y, p.Z); }
inline void copy_intensity_into_z(LASpoint& p) { p.Z = p.quantizer->quantize_z(p.intensity); }

inline void copy_RGB_into_intensity(LASpoint& p) {
  const double v = 0.587 * p.rgb[1] + 0.114 * p.rgb[2] + 0.2989 * p.rgb[0];
  p.intensity = v >= 0.0 ? static_cast<std::uint16_t>(v + 0.5) : 0;
}
template <int channel>
void copy_channel_into_intensity(LASpoint& p) { p.intensity = p.rgb[channel]; }

inline void repair_zero_returns(LASpoint& p) {
  if (p.number_of_returns == 0) p.number_of_returns = 1;
  if (p.return_number == 0) p.return_number = 1;
}

// The classification byte of LAS 1.0 to 1.3 files that misused the three flag
// bits as class bits moves whole into the extended classification.
inline void move_ancient_to_extended_classification(LASpoint& p) {
  const unsigned flags = (p.synthetic_flag << 5) | (p.keypoint_flag << 6) | (p.withheld_flag << 7);
  if (flags == 0) return;
  p.extended_classification = static_cast<std::uint8_t>(p.classification | flags);
  p.classification = 0;
  p.synthetic_flag = 0;
  p.keypoint_flag = 0;
  p.withheld_flag = 0;
  p.extended_classification_flags &= 0x8;  // the overlap bit stays
}

inline void copy_user_data_into_scanner_channel(LASpoint& p) { p.extended_scanner_channel = p.user_data & 3; }
inline void copy_classification_into_user_data(LASpoint& p) {
  p.user_data = p.classification != 0 ? p.classification : p.extended_classification;
}
inline void copy_user_data_into_point_source(LASpoint& p) { p.point_source_ID = p.user_data; }
inline void copy_scanner_channel_into_point_source(LASpoint& p) { p.point_source_ID = p.extended_scanner_channel; }
inline void merge_scanner_channel_into_point_source(LASpoint& p) {
  p.point_source_ID = static_cast<std::uint16_t>(p.point_source_ID * 4 + p.extended_scanner_channel);
}
inline void split_scanner_channel_from_point_source(LASpoint& p) {
  p.extended_scanner_channel = p.point_source_ID & 3;
  p.point_source_ID = p.point_source_ID / 4;
}

// Adjusted standard GPS time to time of week. The week bracket wraps in 32
// bits; times beyond the 32-bit week range saturate rather than overflow.
inline void adjusted_to_week(LASpoint& p) {
  const double week_real = p.gps_time * (1.0 / 604800.0) + 1653.4391534391534;
  std::int32_t week = 0;
  if (week_real >= 2147483647.0) week = 2147483647;
  else if (week_real <= -2147483648.0) week = -2147483647 - 1;
  else if (week_real == week_real) week = static_cast<std::int32_t>(week_real);
  const auto bracket =
      static_cast<std::int32_t>(static_cast<std::uint32_t>(week) * 604800u - 1000000000u);
  p.gps_time = p.gps_time - bracket;
}

inline void scale_RGB_down(LASpoint& p) {
  for (int c = 0; c < 3; c++) p.rgb[c] = p.rgb[c] / 256;
}
inline void scale_RGB_up(LASpoint& p) {
  for (int c = 0; c < 3; c++) p.rgb[c] = static_cast<std::uint16_t>(p.rgb[c] * 256);
}
template <int a, int b>
void switch_channels(LASpoint& p) { std::swap(p.rgb[a], p.rgb[b]); }
template <int channel>
void copy_channel_into_nir(LASpoint& p) { p.rgb[3] = p.rgb[channel]; }
inline void copy_intensity_into_nir(LASpoint& p) { p.rgb[3] = p.intensity; }

// Negates x(t), y(t) and z(t), the three floats at bytes 17, 21 and 25 of the
// wave packet, by their sign bits.
inline void flip_waveform_direction(LASpoint& p) {
  p.wave_packet[20] ^= 0x80;
  p.wave_packet[24] ^= 0x80;
  p.wave_packet[28] ^= 0x80;
}

}  // namespace change_rules

}  // namespace tinrise
