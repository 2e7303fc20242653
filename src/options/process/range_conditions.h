// Conditions that compare one point field with one bound or an interval:
// coordinates, intensity, user data, point source, scan angle, GPS time,
// scanner channel, wave packet index. Built by the filter's option parser.
#pragma once

#include "options/process/las_point_condition.h"
#include "options/process/point_values.h"

namespace tinrise {

enum class BoundTest { below, at_or_above, above, at_or_below, equal, differs };

// Drops a point when its value passes the test against the bound.
template <class Value, BoundTest test>
class LASconditionBound final : public LASpointCondition {
 public:
  using Bound = typename Value::bound;
  LASconditionBound(const char* name, Bound bound) : LASpointCondition(name), limit(bound) {}

  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    Value::append(buffer, limit);
  }
  std::uint32_t needed_fields() const override { return Value::fields; }
  bool drops(const LASpoint& point) override {
    if (!Value::present(point)) return false;
    const auto value = Value::of(point);
    if constexpr (test == BoundTest::below) return value < limit;
    if constexpr (test == BoundTest::at_or_above) return value >= limit;
    if constexpr (test == BoundTest::above) return value > limit;
    if constexpr (test == BoundTest::at_or_below) return value <= limit;
    if constexpr (test == BoundTest::equal) return value == limit;
    if constexpr (test == BoundTest::differs) return value != limit;
  }

 private:
  Bound limit;
};

// Half-open intervals [min, max) belong to coordinates, closed ones [min, max]
// to every other field.
enum class IntervalTest { outside_half_open, inside_half_open, outside_closed, inside_closed };

template <class Value, IntervalTest test>
class LASconditionInterval final : public LASpointCondition {
 public:
  using Bound = typename Value::bound;
  LASconditionInterval(const char* name, Bound min, Bound max) : LASpointCondition(name), min(min), max(max) {}

  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    Value::append(buffer, min);
    Value::append(buffer, max);
  }
  std::uint32_t needed_fields() const override { return Value::fields; }
  bool drops(const LASpoint& point) override {
    if (!Value::present(point)) return false;
    const auto value = Value::of(point);
    if constexpr (test == IntervalTest::outside_half_open) return value < min || value >= max;
    if constexpr (test == IntervalTest::inside_half_open) return min <= value && value < max;
    if constexpr (test == IntervalTest::outside_closed) return value < min || value > max;
    if constexpr (test == IntervalTest::inside_closed) return min <= value && value <= max;
  }

 private:
  Bound min;
  Bound max;
};

}  // namespace tinrise
