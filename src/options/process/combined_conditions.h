// Two conditions combined into one: filter_and drops a point when both parts
// drop it, filter_or when either does. The parts are asked in order and the
// second only when it can change the answer.
#pragma once

#include <memory>

#include "options/process/las_point_condition.h"
#include "options/process/option_text.h"

namespace tinrise {

template <bool both>
class LASconditionCombined final : public LASpointCondition {
 public:
  LASconditionCombined(std::unique_ptr<LASpointCondition> first, std::unique_ptr<LASpointCondition> second)
      : LASpointCondition(both ? "filter_and" : "filter_or"), first(std::move(first)), second(std::move(second)) {}
  void append_echo(std::string& buffer) const override {
    first->echo(buffer);
    second->echo(buffer);
    append_option(buffer, name());
  }
  std::uint32_t needed_fields() const override { return first->needed_fields() | second->needed_fields(); }
  bool drops(const LASpoint& point) override {
    if constexpr (both) return first->drops(point) && second->drops(point);
    else return first->drops(point) || second->drops(point);
  }
  void reset() override {
    first->reset();
    second->reset();
  }

 private:
  std::unique_ptr<LASpointCondition> first;
  std::unique_ptr<LASpointCondition> second;
};

using LASconditionAnd = LASconditionCombined<true>;
using LASconditionOr = LASconditionCombined<false>;

}  // namespace tinrise
