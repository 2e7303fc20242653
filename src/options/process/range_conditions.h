// Conditions that compare one point field with one bound or an interval:
// coordinates, intensity, user data, point source, scan angle, GPS time,
// scanner channel, wave packet index. Built by the filter's option parser.
#pragma once

#include "options/process/las_point_condition.h"
#include "options/process/point_values.h"
#include "options/process/record_plan.h"

namespace tinrise {

enum class BoundTest { below, at_or_above, above, at_or_below, equal, differs };

// Restates a condition on the record field of `Value`: fields of one byte
// are tabulated from the condition's own answers; wider ones, whose value
// never decreases as the stored number grows, get the run `find_run` works
// out from the value of each stored number, confirmed against the condition.
template <class Value, class FindRun>
bool record_test_for(LASpointCondition& condition, const LAScoordinateQuantizer& quantizer, LASrecordTest& test,
                     FindRun find_run) {
  if constexpr (Value::record_width == 0) {
    return false;
  } else if constexpr (Value::record_width == 1) {
    return tabulate_record_byte(condition, quantizer, Value::record_offset, test);
  } else {
    if (!Value::increasing(quantizer)) return false;
    test = LASrecordTest{};
    test.offset = static_cast<std::uint8_t>(Value::record_offset);
    std::int64_t first = INT32_MIN, last = INT32_MAX;
    test.kind = LASrecordTest::range_i32;
    if constexpr (Value::record_width == 2) {
      test.kind = LASrecordTest::range_u16;
      first = 0, last = 0xFFFF;
    }
    find_run([&quantizer](std::int64_t stored) { return Value::at(stored, quantizer); }, first, last, test);
    return confirm_record_range(condition, quantizer, test);
  }
}

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
  // As the value never decreases with the stored number, the stored numbers
  // a one-sided test drops form a run at one end, and those equal to the
  // bound a run in between: each end is found by bisection.
  bool record_test(const LAScoordinateQuantizer& quantizer, LASrecordTest& restated) override {
    const Bound l = limit;
    return record_test_for<Value>(*this, quantizer, restated, [l](auto v, std::int64_t first, std::int64_t last,
                                                              LASrecordTest& t) {
      if constexpr (test == BoundTest::below || test == BoundTest::at_or_below) {
        t.lo = first_holding(first, last, [&](std::int64_t s) {
          if constexpr (test == BoundTest::below) return !(v(s) < l);
          else return !(v(s) <= l);
        });
        t.hi = last;
        t.drop_inside = false;
      } else if constexpr (test == BoundTest::above || test == BoundTest::at_or_above) {
        t.lo = first_holding(first, last, [&](std::int64_t s) {
          if constexpr (test == BoundTest::above) return v(s) > l;
          else return v(s) >= l;
        });
        t.hi = last;
        t.drop_inside = true;
      } else {
        t.lo = first_holding(first, last, [&](std::int64_t s) { return v(s) >= l; });
        t.hi = first_holding(first, last, [&](std::int64_t s) { return v(s) > l; }) - 1;
        t.drop_inside = test == BoundTest::equal;
      }
    });
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
  // The stored numbers inside the interval form one run, found by bisection
  // at both ends as for a single bound.
  bool record_test(const LAScoordinateQuantizer& quantizer, LASrecordTest& restated) override {
    const Bound low = min, high = max;
    return record_test_for<Value>(*this, quantizer, restated, [low, high](auto v, std::int64_t first, std::int64_t last,
                                                                      LASrecordTest& t) {
      constexpr bool half_open = test == IntervalTest::outside_half_open || test == IntervalTest::inside_half_open;
      t.lo = first_holding(first, last, [&](std::int64_t s) { return !(v(s) < low); });
      t.hi = first_holding(first, last, [&](std::int64_t s) {
               if constexpr (half_open) return v(s) >= high;
               else return v(s) > high;
             }) - 1;
      t.drop_inside = test == IntervalTest::inside_half_open || test == IntervalTest::inside_closed;
    });
  }

 private:
  Bound min;
  Bound max;
};

}  // namespace tinrise
