// The point fields the filter compares with bounds, each with the width its
// bounds are converted to and the way a bound is echoed. The range conditions
// are templates over these, so every comparison compiles to a few loads.
#pragma once

#include <cstdint>
#include <string>

#include "las/core/las_point.h"
#include "options/process/las_point_condition.h"
#include "options/process/option_text.h"

namespace tinrise::point_values {

struct real_bound {
  using bound = double;
  static bound parse(const char* text) { return lenient_real(text); }
  static void append(std::string& buffer, bound value) { append_real(buffer, value); }
};

template <class T>
struct integer_bound {
  using bound = T;
  static bound parse(const char* text) { return static_cast<T>(lenient_int(text)); }
  static void append(std::string& buffer, bound value) { append_int(buffer, value); }
};

struct every_point {
  static bool present(const LASpoint&) { return true; }
};

struct real_x : real_bound, every_point {
  static constexpr std::uint32_t fields = point_fields::xy_and_returns;
  static double of(const LASpoint& p) { return p.quantizer->dequantize_x(p.X); }
};
struct real_y : real_bound, every_point {
  static constexpr std::uint32_t fields = point_fields::xy_and_returns;
  static double of(const LASpoint& p) { return p.quantizer->dequantize_y(p.Y); }
};
struct real_z : real_bound, every_point {
  static constexpr std::uint32_t fields = point_fields::z;
  static double of(const LASpoint& p) { return p.quantizer->dequantize_z(p.Z); }
};
struct raw_X : integer_bound<std::int32_t>, every_point {
  static constexpr std::uint32_t fields = point_fields::xy_and_returns;
  static std::int32_t of(const LASpoint& p) { return p.X; }
};
struct raw_Y : integer_bound<std::int32_t>, every_point {
  static constexpr std::uint32_t fields = point_fields::xy_and_returns;
  static std::int32_t of(const LASpoint& p) { return p.Y; }
};
struct raw_Z : integer_bound<std::int32_t>, every_point {
  static constexpr std::uint32_t fields = point_fields::z;
  static std::int32_t of(const LASpoint& p) { return p.Z; }
};
struct intensity : integer_bound<std::int32_t>, every_point {
  static constexpr std::uint32_t fields = point_fields::intensity;
  static int of(const LASpoint& p) { return p.intensity; }
};
struct user_data : integer_bound<std::uint8_t>, every_point {
  static constexpr std::uint32_t fields = point_fields::user_data;
  static int of(const LASpoint& p) { return p.user_data; }
};
struct point_source : integer_bound<std::uint16_t>, every_point {
  static constexpr std::uint32_t fields = point_fields::point_source;
  static int of(const LASpoint& p) { return p.point_source_ID; }
};
struct scan_angle : integer_bound<std::int8_t>, every_point {
  static constexpr std::uint32_t fields = point_fields::scan_angle;
  static int of(const LASpoint& p) { return p.scan_angle_rank; }
};
struct scan_direction : integer_bound<std::int32_t>, every_point {
  static constexpr std::uint32_t fields = point_fields::flags;
  static int of(const LASpoint& p) { return p.scan_direction_flag; }
};
struct scanner_channel : integer_bound<std::int32_t>, every_point {
  static constexpr std::uint32_t fields = point_fields::xy_and_returns;
  static int of(const LASpoint& p) { return p.extended_scanner_channel; }
};
struct wave_packet_index : integer_bound<std::uint32_t>, every_point {
  static constexpr std::uint32_t fields = point_fields::wave_packet;
  static std::uint32_t of(const LASpoint& p) { return p.wave_packet[0]; }
};
// Points without GPS time pass every time condition.
struct gps_time {
  using bound = double;
  static constexpr std::uint32_t fields = point_fields::gps_time;
  static bound parse(const char* text) { return lenient_real(text); }
  static void append(std::string& buffer, bound value) { append_time(buffer, value); }
  static bool present(const LASpoint& p) { return p.has_gps_time; }
  static double of(const LASpoint& p) { return p.gps_time; }
};

}  // namespace tinrise::point_values
