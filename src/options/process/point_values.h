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

// Where a field lies in the POINT10 record, for restating a condition on the
// stored bytes: width 0 for fields outside that record. Fields of 2 or 4
// bytes also give their value for a stored number (`at`) and say whether
// that value never decreases as the stored number grows (`increasing`).
template <unsigned offset, unsigned width>
struct in_record {
  static constexpr unsigned record_offset = offset;
  static constexpr unsigned record_width = width;
};
struct not_in_record : in_record<0, 0> {};
template <unsigned offset, unsigned width>
struct stored_integer : in_record<offset, width> {
  static std::int64_t at(std::int64_t stored, const LAScoordinateQuantizer&) { return stored; }
  static bool increasing(const LAScoordinateQuantizer&) { return true; }
};
// A real coordinate grows with its stored integer when the scale factor is
// positive and scale and offset are finite: each rounding step is monotonic.
inline bool increasing_coordinate(double scale, double offset) {
  return scale > 0.0 && scale <= 1.7976931348623157e308 && offset >= -1.7976931348623157e308 &&
         offset <= 1.7976931348623157e308;
}

struct real_x : real_bound, every_point, in_record<0, 4> {
  static constexpr std::uint32_t fields = point_fields::xy_and_returns;
  static double at(std::int64_t stored, const LAScoordinateQuantizer& q) {
    return q.dequantize_x(static_cast<std::int32_t>(stored));
  }
  static bool increasing(const LAScoordinateQuantizer& q) { return increasing_coordinate(q.x_scale_factor, q.x_offset); }
  static double of(const LASpoint& p) { return p.quantizer->dequantize_x(p.X); }
};
struct real_y : real_bound, every_point, in_record<4, 4> {
  static constexpr std::uint32_t fields = point_fields::xy_and_returns;
  static double at(std::int64_t stored, const LAScoordinateQuantizer& q) {
    return q.dequantize_y(static_cast<std::int32_t>(stored));
  }
  static bool increasing(const LAScoordinateQuantizer& q) { return increasing_coordinate(q.y_scale_factor, q.y_offset); }
  static double of(const LASpoint& p) { return p.quantizer->dequantize_y(p.Y); }
};
struct real_z : real_bound, every_point, in_record<8, 4> {
  static constexpr std::uint32_t fields = point_fields::z;
  static double at(std::int64_t stored, const LAScoordinateQuantizer& q) {
    return q.dequantize_z(static_cast<std::int32_t>(stored));
  }
  static bool increasing(const LAScoordinateQuantizer& q) { return increasing_coordinate(q.z_scale_factor, q.z_offset); }
  static double of(const LASpoint& p) { return p.quantizer->dequantize_z(p.Z); }
};
struct raw_X : integer_bound<std::int32_t>, every_point, stored_integer<0, 4> {
  static constexpr std::uint32_t fields = point_fields::xy_and_returns;
  static std::int32_t of(const LASpoint& p) { return p.X; }
};
struct raw_Y : integer_bound<std::int32_t>, every_point, stored_integer<4, 4> {
  static constexpr std::uint32_t fields = point_fields::xy_and_returns;
  static std::int32_t of(const LASpoint& p) { return p.Y; }
};
struct raw_Z : integer_bound<std::int32_t>, every_point, stored_integer<8, 4> {
  static constexpr std::uint32_t fields = point_fields::z;
  static std::int32_t of(const LASpoint& p) { return p.Z; }
};
struct intensity : integer_bound<std::int32_t>, every_point, stored_integer<12, 2> {
  static constexpr std::uint32_t fields = point_fields::intensity;
  static int of(const LASpoint& p) { return p.intensity; }
};
struct user_data : integer_bound<std::uint8_t>, every_point, in_record<17, 1> {
  static constexpr std::uint32_t fields = point_fields::user_data;
  static int of(const LASpoint& p) { return p.user_data; }
};
struct point_source : integer_bound<std::uint16_t>, every_point, stored_integer<18, 2> {
  static constexpr std::uint32_t fields = point_fields::point_source;
  static int of(const LASpoint& p) { return p.point_source_ID; }
};
struct scan_angle : integer_bound<std::int8_t>, every_point, in_record<16, 1> {
  static constexpr std::uint32_t fields = point_fields::scan_angle;
  static int of(const LASpoint& p) { return p.scan_angle_rank; }
};
struct scan_direction : integer_bound<std::int32_t>, every_point, in_record<14, 1> {
  static constexpr std::uint32_t fields = point_fields::flags;
  static int of(const LASpoint& p) { return p.scan_direction_flag; }
};
struct scanner_channel : integer_bound<std::int32_t>, every_point, not_in_record {
  static constexpr std::uint32_t fields = point_fields::xy_and_returns;
  static int of(const LASpoint& p) { return p.extended_scanner_channel; }
};
struct wave_packet_index : integer_bound<std::uint32_t>, every_point, not_in_record {
  static constexpr std::uint32_t fields = point_fields::wave_packet;
  static std::uint32_t of(const LASpoint& p) { return p.wave_packet[0]; }
};
// Points without GPS time pass every time condition.
struct gps_time : not_in_record {
  using bound = double;
  static constexpr std::uint32_t fields = point_fields::gps_time;
  static bound parse(const char* text) { return lenient_real(text); }
  static void append(std::string& buffer, bound value) { append_time(buffer, value); }
  static bool present(const LASpoint& p) { return p.has_gps_time; }
  static double of(const LASpoint& p) { return p.gps_time; }
};

}  // namespace tinrise::point_values
