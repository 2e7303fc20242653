// Operations that set or shift the GPS time and that set colours, for every
// point or for the points of one class.
#pragma once

#include "las/core/las_point.h"
#include "options/process/las_point_operation.h"
#include "options/process/option_text.h"

namespace tinrise {

class LASoperationSetGpsTime final : public LASpointOperation {
 public:
  explicit LASoperationSetGpsTime(double value) : LASpointOperation("set_gps_time"), value(value) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_real(buffer, value);
  }
  void apply(LASpoint& point) override { point.gps_time = value; }

 private:
  double value;
};

class LASoperationTranslateGpsTime final : public LASpointOperation {
 public:
  explicit LASoperationTranslateGpsTime(double offset) : LASpointOperation("translate_gps_time"), offset(offset) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_real(buffer, offset);
  }
  void apply(LASpoint& point) override { point.gps_time += offset; }

 private:
  double offset;
};

// Adjusted standard GPS time from time of week: the offset of the week is
// computed once, in 64-bit integers.
class LASoperationWeekToAdjusted final : public LASpointOperation {
 public:
  explicit LASoperationWeekToAdjusted(std::int32_t week)
      : LASpointOperation("week_to_adjusted"), week(week),
        offset(static_cast<double>(static_cast<std::int64_t>(week) * 604800 - 1000000000)) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_int(buffer, week);
  }
  void apply(LASpoint& point) override { point.gps_time += offset; }

 private:
  std::int32_t week;
  double offset;
};

class LASoperationSetRGB final : public LASpointOperation {
 public:
  LASoperationSetRGB(std::uint16_t r, std::uint16_t g, std::uint16_t b) : LASpointOperation("set_RGB"), rgb{r, g, b} {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    for (std::uint16_t value : rgb) append_int(buffer, value);
  }
  void apply(LASpoint& point) override {
    point.rgb[0] = rgb[0];
    point.rgb[1] = rgb[1];
    point.rgb[2] = rgb[2];
  }

 private:
  std::uint16_t rgb[3];
};

// Classes above 31 are matched in the extended classification.
class LASoperationSetRGBOfClass final : public LASpointOperation {
 public:
  LASoperationSetRGBOfClass(std::uint8_t class_value, std::uint16_t r, std::uint16_t g, std::uint16_t b)
      : LASpointOperation("set_RGB_of_class"), class_value(class_value), rgb{r, g, b} {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_int(buffer, class_value);
    for (std::uint16_t value : rgb) append_int(buffer, value);
  }
  void apply(LASpoint& point) override {
    const bool matches = class_value > 31 ? point.extended_classification == class_value
                                          : point.classification == class_value;
    if (!matches) return;
    point.rgb[0] = rgb[0];
    point.rgb[1] = rgb[1];
    point.rgb[2] = rgb[2];
  }

 private:
  std::uint8_t class_value;
  std::uint16_t rgb[3];
};

}  // namespace tinrise
