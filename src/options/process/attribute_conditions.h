// Conditions on the value of one extra-bytes attribute of the point.
#pragma once

#include "options/process/las_point_condition.h"
#include "options/process/option_text.h"
#include "options/process/point_attribute_value.h"

namespace tinrise {

// One bound on an attribute: keep_attribute_below drops a >= value and
// drop_attribute_below drops a < value; keep_attribute_above drops a <= value
// and drop_attribute_above drops a > value.
template <bool above>
class LASconditionAttributeBound final : public LASpointCondition {
 public:
  LASconditionAttributeBound(bool keep, std::int32_t index, double value)
      : LASpointCondition(name_for(keep)), keep(keep), index(index), value(value) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_int(buffer, index);
    append_real(buffer, value);
  }
  std::uint32_t needed_fields() const override { return point_fields::extra_bytes; }
  bool drops(const LASpoint& point) override {
    const double a = point_attribute_value(point, index);
    return (above ? a > value : a < value) != keep;
  }

 private:
  static const char* name_for(bool keep) {
    if constexpr (above) return keep ? "keep_attribute_above" : "drop_attribute_above";
    else return keep ? "keep_attribute_below" : "drop_attribute_below";
  }
  bool keep;
  std::int32_t index;
  double value;
};
using LASconditionAttributeBelow = LASconditionAttributeBound<false>;
using LASconditionAttributeAbove = LASconditionAttributeBound<true>;

// Closed interval [below, above]: keep_ drops outside it, drop_ inside.
class LASconditionAttributeBetween final : public LASpointCondition {
 public:
  LASconditionAttributeBetween(bool keep, std::int32_t index, double below, double above)
      : LASpointCondition(keep ? "keep_attribute_between" : "drop_attribute_between"), keep(keep), index(index),
        below(below), above(above) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_int(buffer, index);
    append_real(buffer, below);
    append_real(buffer, above);
  }
  std::uint32_t needed_fields() const override { return point_fields::extra_bytes; }
  bool drops(const LASpoint& point) override {
    const double a = point_attribute_value(point, index);
    return (below <= a && a <= above) != keep;
  }

 private:
  bool keep;
  std::int32_t index;
  double below, above;
};

}  // namespace tinrise
