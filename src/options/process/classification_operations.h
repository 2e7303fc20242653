// Operations on the classification and the flags: classes above 31 live in
// the extended classification only, the legacy 5-bit field keeps the others.
#pragma once

#include "las/core/las_point.h"
#include "options/process/las_point_operation.h"
#include "options/process/option_text.h"

namespace tinrise {

class LASoperationSetClassification final : public LASpointOperation {
 public:
  explicit LASoperationSetClassification(std::uint8_t value)
      : LASpointOperation("set_classification"), value(value) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_int(buffer, value);
  }
  void apply(LASpoint& point) override {
    if (value > 31) point.extended_classification = value;
    else point.classification = value;
  }

 private:
  std::uint8_t value;
};

class LASoperationChangeClassificationFromTo final : public LASpointOperation {
 public:
  LASoperationChangeClassificationFromTo(std::uint8_t from, std::uint8_t to)
      : LASpointOperation("change_classification_from_to"), from(from), to(to) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_int(buffer, from);
    append_int(buffer, to);
  }
  void apply(LASpoint& point) override {
    const bool matches = from > 31 ? point.extended_classification == from : point.classification == from;
    if (!matches) return;
    if (to > 31) {
      point.extended_classification = to;
      point.classification = 0;
    } else {
      point.extended_classification = 0;
      point.classification = to;
    }
  }

 private:
  std::uint8_t from, to;
};

// classify_z_below_as, classify_z_above_as and classify_z_between_as.
enum class ZClassTest { below, above, between };

template <ZClassTest test>
class LASoperationClassifyZ final : public LASpointOperation {
 public:
  LASoperationClassifyZ(const char* name, double z_min, double z_max, std::uint8_t code)
      : LASpointOperation(name), z_min(z_min), z_max(z_max), code(code) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    if (test != ZClassTest::above) append_real(buffer, z_min);
    if (test != ZClassTest::below) append_real(buffer, z_max);
    append_int(buffer, code);
  }
  void apply(LASpoint& point) override {
    const double z = point.dequantize_z();
    bool hit;
    if constexpr (test == ZClassTest::below) hit = z < z_min;
    else if constexpr (test == ZClassTest::above) hit = z > z_max;
    else hit = z_min <= z && z <= z_max;
    if (hit) point.classification = code & 31;
  }

 private:
  double z_min, z_max;  // the one bound of below and above sits in its own place
  std::uint8_t code;
};

template <ZClassTest test>
class LASoperationClassifyIntensity final : public LASpointOperation {
 public:
  LASoperationClassifyIntensity(const char* name, std::uint16_t min, std::uint16_t max, std::uint8_t code)
      : LASpointOperation(name), min(min), max(max), code(code) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    if (test != ZClassTest::above) append_int(buffer, min);
    if (test != ZClassTest::below) append_int(buffer, max);
    append_int(buffer, code);
  }
  void apply(LASpoint& point) override {
    const int value = point.intensity;
    bool hit;
    if constexpr (test == ZClassTest::below) hit = value < min;
    else if constexpr (test == ZClassTest::above) hit = value > max;
    else hit = min <= value && value <= max;
    if (hit) point.classification = code & 31;
  }

 private:
  std::uint16_t min, max;
  std::uint8_t code;
};

// set_synthetic_flag (bit 0 of the extended flags), set_keypoint_flag (1),
// set_withheld_flag (2): the legacy flag and its extended twin together.
template <int bit>
class LASoperationSetFlag final : public LASpointOperation {
 public:
  LASoperationSetFlag(const char* name, std::uint8_t value) : LASpointOperation(name), set(value != 0) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_int(buffer, set ? 1 : 0);
  }
  void apply(LASpoint& point) override {
    if constexpr (bit == 0) point.synthetic_flag = set;
    if constexpr (bit == 1) point.keypoint_flag = set;
    if constexpr (bit == 2) point.withheld_flag = set;
    if (set) point.extended_classification_flags |= 1u << bit;
    else point.extended_classification_flags &= ~(1u << bit);
  }

 private:
  bool set;
};

class LASoperationSetOverlapFlag final : public LASpointOperation {
 public:
  explicit LASoperationSetOverlapFlag(std::uint8_t value) : LASpointOperation("set_overlap_flag"), set(value != 0) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_int(buffer, set ? 1 : 0);
  }
  void apply(LASpoint& point) override {
    if (set) point.extended_classification_flags |= 0x8;
    else point.extended_classification_flags &= 0x7;
  }

 private:
  bool set;
};

}  // namespace tinrise
