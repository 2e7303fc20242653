// Operations on the coordinates: real translations, scalings, rotations and
// clamps that requantize with the point's quantizer, and changes of the
// stored integers (switches, raw translations, raw clamps).
#pragma once

#include <cmath>

#include "common/random.h"
#include "las/core/las_point.h"
#include "options/process/las_point_operation.h"
#include "options/process/option_text.h"
#include "options/process/point_attribute_value.h"
#include "options/process/record_plan.h"

namespace tinrise {

// Axis 0 is x, 1 y, 2 z; the stored integer of axis a lies at 4 a in the record.
template <int axis>
double dequantized(const LAScoordinateQuantizer& q, std::int32_t stored) {
  if constexpr (axis == 0) return q.dequantize_x(stored);
  if constexpr (axis == 1) return q.dequantize_y(stored);
  if constexpr (axis == 2) return q.dequantize_z(stored);
}
template <int axis>
std::int32_t quantized(const LAScoordinateQuantizer& q, double value) {
  if constexpr (axis == 0) return q.quantize_x(value);
  if constexpr (axis == 1) return q.quantize_y(value);
  if constexpr (axis == 2) return q.quantize_z(value);
}
template <int axis>
std::int32_t& raw_coordinate(LASpoint& p) {
  if constexpr (axis == 0) return p.X;
  if constexpr (axis == 1) return p.Y;
  if constexpr (axis == 2) return p.Z;
}
template <int axis>
double real_coordinate(const LASpoint& p) {
  if constexpr (axis == 0) return dequantized<0>(*p.quantizer, p.X);
  if constexpr (axis == 1) return dequantized<1>(*p.quantizer, p.Y);
  if constexpr (axis == 2) return dequantized<2>(*p.quantizer, p.Z);
}
template <int axis>
void set_real_coordinate(LASpoint& p, double value) {
  raw_coordinate<axis>(p) = quantized<axis>(*p.quantizer, value);
}
// 32-bit sum that wraps around like the stored integers do.
inline std::int32_t wrapping_add(std::int32_t a, std::uint32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + b);
}

template <int axis>
double scale_factor_of(const LAScoordinateQuantizer& q) {
  if constexpr (axis == 0) return q.x_scale_factor;
  if constexpr (axis == 1) return q.y_scale_factor;
  if constexpr (axis == 2) return q.z_scale_factor;
}
template <int axis>
double offset_of(const LAScoordinateQuantizer& q) {
  if constexpr (axis == 0) return q.x_offset;
  if constexpr (axis == 1) return q.y_offset;
  if constexpr (axis == 2) return q.z_offset;
}

// The whole number of stored units by which adding `offset` to the real
// coordinate and quantizing again moves every 32-bit integer, if there is
// one. For Z + f units (f = offset / scale) rounding gives Z + round(f)
// whatever Z is, unless f lies within the arithmetic's rounding error of a
// half; the error is bounded here from the largest magnitude any step of the
// real computation reaches, with a wide margin. Negative or odd scale
// factors keep the real computation, whose rounding direction then differs.
inline bool whole_unit_shift(double scale, double quantizer_offset, double offset, std::uint32_t& units) {
  if (!(scale > 0.0) || !std::isfinite(scale) || !std::isfinite(quantizer_offset) || !std::isfinite(offset)) {
    return false;
  }
  // Coordinates beyond the double range turn the real computation into
  // infinities, which no shift reproduces.
  if (!(scale * 2147483648.0 + std::fabs(quantizer_offset) + std::fabs(offset) < 0x1p1000)) return false;
  const double f = offset / scale;
  if (!(std::fabs(f) < 0x1p40)) return false;
  const double whole = std::round(f);
  const double reach = 2147483648.0 + (2.0 * std::fabs(quantizer_offset) + std::fabs(offset)) / scale + std::fabs(f);
  const double error = reach * 0x1p-45;
  if (!(std::fabs(f - whole) + error < 0.5)) return false;
  units = static_cast<std::uint32_t>(static_cast<std::uint64_t>(static_cast<std::int64_t>(whole)));
  return true;
}

// Caches the whole-unit shift of one axis for the quantizer last seen, so a
// translation costs one integer addition per point on every usual file.
template <int axis>
class WholeUnitShift {
 public:
  // True with `units` set when translating by `offset` is a whole shift.
  bool applies(const LAScoordinateQuantizer& q, double offset) {
    const double scale = scale_factor_of<axis>(q);
    const double quantizer_offset = offset_of<axis>(q);
    if (&q != seen || scale != seen_scale || quantizer_offset != seen_offset) {
      seen = &q;
      seen_scale = scale;
      seen_offset = quantizer_offset;
      whole = whole_unit_shift(scale, quantizer_offset, offset, units);
    }
    return whole;
  }
  std::uint32_t units = 0;

 private:
  const LAScoordinateQuantizer* seen = nullptr;
  double seen_scale = 0.0, seen_offset = 0.0;
  bool whole = false;
};

template <int axis>
void translate_coordinate(LASpoint& point, double offset, WholeUnitShift<axis>& shift) {
  std::int32_t& raw = raw_coordinate<axis>(point);
  if (shift.applies(*point.quantizer, offset)) {
    raw = wrapping_add(raw, shift.units);
  } else {
    raw = quantized<axis>(*point.quantizer, dequantized<axis>(*point.quantizer, raw) + offset);
  }
}

template <int axis>
void translate_records(std::uint8_t* records, std::uint32_t count, std::uint32_t record_size,
                       const LAScoordinateQuantizer& q, double offset, WholeUnitShift<axis>& shift) {
  if (shift.applies(q, offset)) {
    const std::uint32_t units = shift.units;
    change_stored_field<std::int32_t>(records, count, record_size, 4 * axis,
                                      [units](std::int32_t v) { return wrapping_add(v, units); });
  } else {
    change_stored_field<std::int32_t>(records, count, record_size, 4 * axis, [&q, offset](std::int32_t v) {
      return quantized<axis>(q, dequantized<axis>(q, v) + offset);
    });
  }
}

template <int axis>
class LASoperationTranslate final : public LASpointOperation {
 public:
  LASoperationTranslate(const char* name, double offset) : LASpointOperation(name), offset(offset) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_real(buffer, offset);
  }
  void apply(LASpoint& point) override { translate_coordinate(point, offset, shift); }
  bool changes_records() const override { return true; }
  void apply_to_records(std::uint8_t* records, std::uint32_t count, std::uint32_t record_size,
                        const LAScoordinateQuantizer& quantizer) override {
    translate_records(records, count, record_size, quantizer, offset, shift);
  }

 private:
  double offset;
  WholeUnitShift<axis> shift;
};

class LASoperationTranslateXYZ final : public LASpointOperation {
 public:
  LASoperationTranslateXYZ(double x, double y, double z) : LASpointOperation("translate_xyz"), offset{x, y, z} {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    for (double value : offset) append_real(buffer, value);
  }
  void apply(LASpoint& point) override {
    translate_coordinate(point, offset[0], shift_x);
    translate_coordinate(point, offset[1], shift_y);
    translate_coordinate(point, offset[2], shift_z);
  }
  bool changes_records() const override { return true; }
  void apply_to_records(std::uint8_t* records, std::uint32_t count, std::uint32_t record_size,
                        const LAScoordinateQuantizer& quantizer) override {
    translate_records(records, count, record_size, quantizer, offset[0], shift_x);
    translate_records(records, count, record_size, quantizer, offset[1], shift_y);
    translate_records(records, count, record_size, quantizer, offset[2], shift_z);
  }

 private:
  double offset[3];
  WholeUnitShift<0> shift_x;
  WholeUnitShift<1> shift_y;
  WholeUnitShift<2> shift_z;
};

template <int axis>
class LASoperationTranslateThenScale final : public LASpointOperation {
 public:
  LASoperationTranslateThenScale(const char* name, double offset, double scale)
      : LASpointOperation(name), offset(offset), scale(scale) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_real(buffer, offset);
    append_real(buffer, scale);
  }
  void apply(LASpoint& point) override {
    set_real_coordinate<axis>(point, (real_coordinate<axis>(point) + offset) * scale);
  }

 private:
  double offset, scale;
};

template <int axis>
class LASoperationScale final : public LASpointOperation {
 public:
  LASoperationScale(const char* name, double scale) : LASpointOperation(name), scale(scale) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_real(buffer, scale);
  }
  void apply(LASpoint& point) override { set_real_coordinate<axis>(point, real_coordinate<axis>(point) * scale); }

 private:
  double scale;
};

class LASoperationScaleXYZ final : public LASpointOperation {
 public:
  LASoperationScaleXYZ(double x, double y, double z) : LASpointOperation("scale_xyz"), scale{x, y, z} {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    for (double value : scale) append_real(buffer, value);
  }
  void apply(LASpoint& point) override {
    set_real_coordinate<0>(point, real_coordinate<0>(point) * scale[0]);
    set_real_coordinate<1>(point, real_coordinate<1>(point) * scale[1]);
    set_real_coordinate<2>(point, real_coordinate<2>(point) * scale[2]);
  }

 private:
  double scale[3];
};

// rotate_xy (second axis 1) and rotate_xz (second axis 2) about a centre;
// the angle is kept in degrees for the echo, its cosine and sine for the points.
template <int second_axis>
class LASoperationRotate final : public LASpointOperation {
 public:
  LASoperationRotate(const char* name, double angle, double center_x, double center_second)
      : LASpointOperation(name), angle(angle), center_x(center_x), center_second(center_second),
        cos_angle(std::cos(angle * 0.017453292519943295)), sin_angle(std::sin(angle * 0.017453292519943295)) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_real(buffer, angle);
    append_real(buffer, center_x);
    append_real(buffer, center_second);
  }
  void apply(LASpoint& point) override {
    const double dx = real_coordinate<0>(point) - center_x;
    const double ds = real_coordinate<second_axis>(point) - center_second;
    set_real_coordinate<0>(point, center_x + dx * cos_angle - ds * sin_angle);
    set_real_coordinate<second_axis>(point, center_second + ds * cos_angle + dx * sin_angle);
  }

 private:
  double angle, center_x, center_second, cos_angle, sin_angle;
};

// clamp_z (both bounds), clamp_z_below, clamp_z_above.
template <bool has_below, bool has_above>
class LASoperationClampZ final : public LASpointOperation {
 public:
  LASoperationClampZ(const char* name, double below, double above)
      : LASpointOperation(name), below(below), above(above) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    if (has_below) append_real(buffer, below);
    if (has_above) append_real(buffer, above);
  }
  void apply(LASpoint& point) override {
    const double z = real_coordinate<2>(point);
    if (has_below && z < below) point.Z = point.quantizer->quantize_z(below);
    else if (has_above && z > above) point.Z = point.quantizer->quantize_z(above);
  }

 private:
  double below, above;
};

class LASoperationCopyAttributeIntoZ final : public LASpointOperation {
 public:
  explicit LASoperationCopyAttributeIntoZ(std::int32_t index) : LASpointOperation("copy_attribute_into_z"), index(index) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_int(buffer, index);
  }
  void apply(LASpoint& point) override { set_real_coordinate<2>(point, point_attribute_value(point, index)); }

 private:
  std::int32_t index;
};

template <int axis>
class LASoperationTranslateRaw final : public LASpointOperation {
 public:
  LASoperationTranslateRaw(const char* name, std::int32_t offset) : LASpointOperation(name), offset(offset) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_int(buffer, offset);
  }
  void apply(LASpoint& point) override {
    std::int32_t& raw = raw_coordinate<axis>(point);
    raw = wrapping_add(raw, static_cast<std::uint32_t>(offset));
  }
  bool changes_records() const override { return true; }
  void apply_to_records(std::uint8_t* records, std::uint32_t count, std::uint32_t record_size,
                        const LAScoordinateQuantizer&) override {
    const std::uint32_t units = static_cast<std::uint32_t>(offset);
    change_stored_field<std::int32_t>(records, count, record_size, 4 * axis,
                                      [units](std::int32_t v) { return wrapping_add(v, units); });
  }

 private:
  std::int32_t offset;
};

class LASoperationTranslateRawXYZ final : public LASpointOperation {
 public:
  LASoperationTranslateRawXYZ(std::int32_t x, std::int32_t y, std::int32_t z)
      : LASpointOperation("translate_raw_xyz"), offset{x, y, z} {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    for (std::int32_t value : offset) append_int(buffer, value);
  }
  void apply(LASpoint& point) override {
    point.X = wrapping_add(point.X, static_cast<std::uint32_t>(offset[0]));
    point.Y = wrapping_add(point.Y, static_cast<std::uint32_t>(offset[1]));
    point.Z = wrapping_add(point.Z, static_cast<std::uint32_t>(offset[2]));
  }
  bool changes_records() const override { return true; }
  void apply_to_records(std::uint8_t* records, std::uint32_t count, std::uint32_t record_size,
                        const LAScoordinateQuantizer&) override {
    for (int axis = 0; axis < 3; axis++) {
      const std::uint32_t units = static_cast<std::uint32_t>(offset[axis]);
      change_stored_field<std::int32_t>(records, count, record_size, 4 * axis,
                                        [units](std::int32_t v) { return wrapping_add(v, units); });
    }
  }

 private:
  std::int32_t offset[3];
};

// Draws one number per point from the shared generator restarted from the
// operation's own state, so the offsets repeat after every reset.
class LASoperationTranslateRawXYAtRandom final : public LASpointOperation {
 public:
  LASoperationTranslateRawXYAtRandom(std::int32_t max_x, std::int32_t max_y)
      : LASpointOperation("translate_raw_xy_at_random"), max_x(max_x), max_y(max_y) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_int(buffer, max_x);
    append_int(buffer, max_y);
  }
  void apply(LASpoint& point) override {
    random_seed(state);
    const std::uint32_t r = static_cast<std::uint32_t>(random_next());
    state = r;
    const std::uint32_t range_x = 2u * static_cast<std::uint32_t>(max_x) + 1u;
    const std::uint32_t range_y = 2u * static_cast<std::uint32_t>(max_y) + 1u;
    point.X = wrapping_add(point.X, (r / 8u) % range_x - static_cast<std::uint32_t>(max_x));
    point.Y = wrapping_add(point.Y, (r / 64u) % range_y - static_cast<std::uint32_t>(max_y));
  }
  void reset() override { state = 0; }

 private:
  std::int32_t max_x, max_y;
  std::uint32_t state = 0;
};

class LASoperationClampRawZ final : public LASpointOperation {
 public:
  LASoperationClampRawZ(std::int32_t below, std::int32_t above)
      : LASpointOperation("clamp_raw_z"), below(below), above(above) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_int(buffer, below);
    append_int(buffer, above);
  }
  void apply(LASpoint& point) override {
    if (point.Z < below) point.Z = below;
    else if (point.Z > above) point.Z = above;
  }

 private:
  std::int32_t below, above;
};

}  // namespace tinrise
