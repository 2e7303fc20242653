// Operations that compute a field from arithmetic and fit the result into the
// field's width: intensity, scan angle, user data, colour scaling, copies of
// attribute values, and bins into the point source ID.
#pragma once

#include <cstdlib>

#include "las/core/las_point.h"
#include "options/process/las_point_operation.h"
#include "options/process/option_text.h"
#include "options/process/point_attribute_value.h"
#include "options/process/record_plan.h"

namespace tinrise {

// A float result truncated toward zero into 0..top (the 16-bit and user data
// results); NaN gives 0. Compared before converting, so no value overflows.
inline int truncated_into(float p, float top) {
  if (!(p >= 1.0f)) return 0;
  if (p >= top) return static_cast<int>(top);
  return static_cast<int>(p);
}
inline int truncated_into(double v, double top) {
  if (!(v > 0.0)) return 0;
  if (v >= top) return static_cast<int>(top);
  return static_cast<int>(v);
}
// The scan angle result: rounded half away from zero into -128..127.
inline std::int8_t rounded_scan_angle(float p) {
  const double q = p >= 0.0f ? static_cast<double>(p) + 0.5 : static_cast<double>(p) - 0.5;
  if (q <= -128.0) return -128;
  if (q >= 127.0) return 127;
  if (!(q == q)) return 0;
  return static_cast<std::int8_t>(static_cast<int>(q));
}

// scale_intensity, translate_intensity, translate_then_scale_intensity share
// one form: (intensity + offset) x scale in 32-bit floats.
class LASoperationIntensityArithmetic final : public LASpointOperation {
 public:
  enum Echo { scale_only, offset_only, offset_and_scale };
  LASoperationIntensityArithmetic(const char* name, Echo echo, float offset, float scale)
      : LASpointOperation(name), echo_form(echo), offset(offset), scale(scale) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    if (echo_form != scale_only) append_real32(buffer, offset);
    if (echo_form != offset_only) append_real32(buffer, scale);
  }
  void apply(LASpoint& point) override { point.intensity = changed(point.intensity); }
  bool changes_records() const override { return true; }
  // One loop per form, so the loops carry no test of the form.
  void apply_to_records(std::uint8_t* records, std::uint32_t count, std::uint32_t record_size,
                        const LAScoordinateQuantizer&) override {
    const float o = offset, s = scale;
    const auto change = [&](auto compute) {
      change_stored_field<std::uint16_t>(records, count, record_size, record_fields::intensity,
                                         [compute](std::uint16_t i) { return fitted(compute(i)); });
    };
    // A whole factor up to 65536 gives an exact float product below 2^24,
    // and any larger product is fitted to 65535 either way: integers then
    // give the same results.
    if (echo_form == scale_only && s >= 0.0f && s <= 65536.0f && s == static_cast<float>(static_cast<int>(s))) {
      const std::uint32_t factor = static_cast<std::uint32_t>(s);
      change_stored_field<std::uint16_t>(records, count, record_size, record_fields::intensity,
                                         [factor](std::uint16_t i) {
                                           const std::uint32_t p = i * factor;
                                           return static_cast<std::uint16_t>(p < 65535u ? p : 65535u);
                                         });
    } else if (echo_form == scale_only) change([s](std::uint16_t i) { return i * s; });
    else if (echo_form == offset_only) change([o](std::uint16_t i) { return i + o; });
    else change([o, s](std::uint16_t i) { return (i + o) * s; });
  }

 private:
  std::uint16_t changed(std::uint16_t intensity) const {
    float p;
    if (echo_form == scale_only) p = intensity * scale;
    else if (echo_form == offset_only) p = intensity + offset;
    else p = (intensity + offset) * scale;
    return fitted(p);
  }
  // truncated_into(p, 65535) without branches: NaN and values below 1 give
  // 0, as the truncation of [0, 1) does anyway.
  static std::uint16_t fitted(float p) {
    const float q = p > 0.0f ? p : 0.0f;
    return static_cast<std::uint16_t>(static_cast<int>(q < 65535.0f ? q : 65535.0f));
  }

  Echo echo_form;
  float offset, scale;
};

// The same three forms for the scan angle rank.
class LASoperationScanAngleArithmetic final : public LASpointOperation {
 public:
  using Echo = LASoperationIntensityArithmetic::Echo;
  LASoperationScanAngleArithmetic(const char* name, Echo echo, float offset, float scale)
      : LASpointOperation(name), echo_form(echo), offset(offset), scale(scale) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    if (echo_form != Echo::scale_only) append_real32(buffer, offset);
    if (echo_form != Echo::offset_only) append_real32(buffer, scale);
  }
  void apply(LASpoint& point) override {
    float p;
    if (echo_form == Echo::scale_only) p = point.scan_angle_rank * scale;
    else if (echo_form == Echo::offset_only) p = point.scan_angle_rank + offset;
    else p = (point.scan_angle_rank + offset) * scale;
    point.scan_angle_rank = rounded_scan_angle(p);
  }

 private:
  Echo echo_form;
  float offset, scale;
};

// clamp_intensity (both bounds), clamp_intensity_below, clamp_intensity_above.
template <bool has_below, bool has_above>
class LASoperationClampIntensity final : public LASpointOperation {
 public:
  LASoperationClampIntensity(const char* name, std::uint16_t below, std::uint16_t above)
      : LASpointOperation(name), below(below), above(above) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    if (has_below) append_int(buffer, below);
    if (has_above) append_int(buffer, above);
  }
  void apply(LASpoint& point) override {
    if (has_above && point.intensity > above) point.intensity = above;
    else if (has_below && point.intensity < below) point.intensity = below;
  }

 private:
  std::uint16_t below, above;
};

class LASoperationCopyAttributeIntoIntensity final : public LASpointOperation {
 public:
  explicit LASoperationCopyAttributeIntoIntensity(std::int32_t index)
      : LASpointOperation("copy_attribute_into_intensity"), index(index) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_int(buffer, index);
  }
  void apply(LASpoint& point) override {
    point.intensity = static_cast<std::uint16_t>(truncated_into(point_attribute_value(point, index), 65535.0));
  }

 private:
  std::int32_t index;
};

class LASoperationScaleUserData final : public LASpointOperation {
 public:
  explicit LASoperationScaleUserData(float scale) : LASpointOperation("scale_user_data"), scale(scale) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_real32(buffer, scale);
  }
  void apply(LASpoint& point) override {
    point.user_data = static_cast<std::uint8_t>(truncated_into(point.user_data * scale, 255.0f));
  }

 private:
  float scale;
};

class LASoperationCopyAttributeIntoUserData final : public LASpointOperation {
 public:
  explicit LASoperationCopyAttributeIntoUserData(std::int32_t index)
      : LASpointOperation("copy_attribute_into_user_data"), index(index) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_int(buffer, index);
  }
  void apply(LASpoint& point) override {
    point.user_data = static_cast<std::uint8_t>(truncated_into(point_attribute_value(point, index), 255.0));
  }

 private:
  std::int32_t index;
};

// Red, green and blue each scaled in 32-bit floats; near infrared unchanged.
class LASoperationScaleRGB final : public LASpointOperation {
 public:
  LASoperationScaleRGB(float r, float g, float b) : LASpointOperation("scale_RGB"), scale{r, g, b} {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    for (float value : scale) append_real32(buffer, value);
  }
  void apply(LASpoint& point) override {
    for (int c = 0; c < 3; c++) {
      point.rgb[c] = static_cast<std::uint16_t>(truncated_into(point.rgb[c] * scale[c], 65535.0f));
    }
  }

 private:
  float scale[3];
};

// Point source = stored Z / bin size, truncated into 0..65535. A bin size of
// 0 puts positive Z into the top bin and the rest into bin 0.
class LASoperationBinZIntoPointSource final : public LASpointOperation {
 public:
  explicit LASoperationBinZIntoPointSource(std::int32_t bin_size)
      : LASpointOperation("bin_Z_into_point_source"), bin_size(bin_size) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_int(buffer, bin_size);
  }
  void apply(LASpoint& point) override {
    std::int64_t q;
    if (bin_size != 0) q = static_cast<std::int64_t>(point.Z) / bin_size;
    else q = point.Z > 0 ? 65535 : 0;
    point.point_source_ID = q <= 0 ? 0 : q >= 65535 ? 65535 : static_cast<std::uint16_t>(q);
  }

 private:
  std::int32_t bin_size;
};

class LASoperationBinAbsScanAngleIntoPointSource final : public LASpointOperation {
 public:
  explicit LASoperationBinAbsScanAngleIntoPointSource(float bin_size)
      : LASpointOperation("bin_abs_scan_angle_into_point_source"), bin_size(bin_size) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_real32(buffer, bin_size);
  }
  void apply(LASpoint& point) override {
    const float angle = point.extended_form ? static_cast<float>(std::abs(point.extended_scan_angle) * 0.006f)
                                            : static_cast<float>(std::abs(point.scan_angle_rank));
    const float q = angle / bin_size;
    if (!(q > 0.0f)) point.point_source_ID = 0;
    else if (q >= 65535.0f) point.point_source_ID = 65535;
    else point.point_source_ID = static_cast<std::uint16_t>(q);
  }

 private:
  float bin_size;
};

}  // namespace tinrise
