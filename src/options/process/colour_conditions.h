// Conditions on the colour channels: one channel within bounds, and the
// vegetation index NDVI from red and near infrared (or the channels that
// stand in for them).
#pragma once

#include "las/core/las_point.h"
#include "options/process/las_point_condition.h"
#include "options/process/option_text.h"

namespace tinrise {

// Channel 0 red, 1 green, 2 blue, 3 near infrared.
class LASconditionKeepRGB final : public LASpointCondition {
 public:
  LASconditionKeepRGB(int channel, std::int32_t min, std::int32_t max)
      : LASpointCondition("keep_RGB"), channel(channel), min(min), max(max) {}
  void append_echo(std::string& buffer) const override {
    static const char* const channel_names[] = {"red", "green", "blue", "nir"};
    buffer += '-';
    buffer += name();
    buffer += '_';
    buffer += channel_names[channel];
    buffer += ' ';
    append_int(buffer, min);
    append_int(buffer, max);
  }
  std::uint32_t needed_fields() const override { return point_fields::colour; }
  bool drops(const LASpoint& point) override {
    const std::int32_t value = point.rgb[channel];
    return value < min || value > max;
  }

 private:
  int channel;
  std::int32_t min, max;
};

// v = (nir - red) / (nir + red) with the channels the option names; channel 4
// is the intensity. A point whose two channels sum to 0 has no index and is kept.
class LASconditionKeepNDVI final : public LASpointCondition {
 public:
  static constexpr int intensity_channel = 4;
  LASconditionKeepNDVI(const char* name, const char* echo_suffix, int nir_channel, int red_channel, float min,
                       float max)
      : LASpointCondition(name), echo_suffix(echo_suffix), nir_channel(nir_channel), red_channel(red_channel),
        min(min), max(max) {}
  void append_echo(std::string& buffer) const override {
    buffer += '-';
    buffer += name();
    buffer += echo_suffix;
    buffer += ' ';
    append_real32(buffer, min);
    append_real32(buffer, max);
  }
  std::uint32_t needed_fields() const override {
    return point_fields::colour | (nir_channel == intensity_channel ? point_fields::intensity : 0u);
  }
  bool drops(const LASpoint& point) override {
    const float nir = channel_value(point, nir_channel);
    const float red = channel_value(point, red_channel);
    const float sum = nir + red;
    if (sum == 0.0f) return false;
    const float v = (nir - red) / sum;
    return v < min || v > max;
  }

 private:
  static float channel_value(const LASpoint& point, int channel) {
    return channel == intensity_channel ? point.intensity : point.rgb[channel];
  }
  const char* echo_suffix;
  int nir_channel, red_channel;
  float min, max;
};

}  // namespace tinrise
