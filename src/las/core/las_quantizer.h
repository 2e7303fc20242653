// Scale factors and offsets that map the stored 32-bit integer coordinates of a
// point file to real coordinates. Every place that quantizes rounds half away
// from zero through quantize_x/y/z.
#pragma once

#include <cstdint>

namespace tinrise {

// Rounds q half away from zero, deciding the direction by `at_or_above`, and
// keeps the low 32 bits of the 64-bit result. Values beyond the 64-bit range
// (and NaN) saturate instead of invoking undefined behaviour.
inline std::int32_t quantize_rounded(double q, bool at_or_above) {
  q = at_or_above ? q + 0.5 : q - 0.5;
  std::int64_t wide;
  if (q >= 9.2e18) wide = INT64_MAX;
  else if (q <= -9.2e18) wide = INT64_MIN;
  else if (q == q) wide = static_cast<std::int64_t>(q);
  else wide = 0;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(wide)));
}

class LAScoordinateQuantizer {
 public:
  double x_scale_factor = 0.01;
  double y_scale_factor = 0.01;
  double z_scale_factor = 0.01;
  double x_offset = 0.0;
  double y_offset = 0.0;
  double z_offset = 0.0;

  double dequantize_x(std::int32_t X) const { return x_scale_factor * X + x_offset; }
  double dequantize_y(std::int32_t Y) const { return y_scale_factor * Y + y_offset; }
  double dequantize_z(std::int32_t Z) const { return z_scale_factor * Z + z_offset; }

  std::int32_t quantize_x(double x) const { return quantize_rounded((x - x_offset) / x_scale_factor, x >= x_offset); }
  std::int32_t quantize_y(double y) const { return quantize_rounded((y - y_offset) / y_scale_factor, y >= y_offset); }
  std::int32_t quantize_z(double z) const { return quantize_rounded((z - z_offset) / z_scale_factor, z >= z_offset); }
};

}  // namespace tinrise
