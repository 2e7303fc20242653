// Conditions on the number of returns and on a set of return numbers.
#pragma once

#include "las/core/las_point.h"
#include "options/process/las_point_condition.h"
#include "options/process/option_text.h"
#include "options/process/record_plan.h"

namespace tinrise {

// keep_single ... keep_quintuple and keep_number_of_returns n (drop_ alike).
// Counts 1 to 5 echo as their named option, any other count as
// "-keep_number_of_returns n" so a rebuilt filter tests the same count.
class LASconditionNumberOfReturns final : public LASpointCondition {
 public:
  LASconditionNumberOfReturns(bool keep, int count)
      : LASpointCondition(name_for(keep, count)), keep(keep), count(count) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    if (count < 1 || count > 5) append_int(buffer, count);
  }
  std::uint32_t needed_fields() const override { return point_fields::xy_and_returns; }
  bool drops(const LASpoint& point) override { return (point.number_of_returns == count) != keep; }
  bool record_test(const LAScoordinateQuantizer& quantizer, LASrecordTest& test) override {
    return tabulate_record_byte(*this, quantizer, record_fields::returns, test);
  }

 private:
  static const char* name_for(bool keep, int count) {
    static const char* const keep_names[] = {"keep_number_of_returns", "keep_single", "keep_double", "keep_triple",
                                             "keep_quadruple", "keep_quintuple"};
    static const char* const drop_names[] = {"drop_number_of_returns", "drop_single", "drop_double", "drop_triple",
                                             "drop_quadruple", "drop_quintuple"};
    const int slot = (count >= 1 && count <= 5) ? count : 0;
    return keep ? keep_names[slot] : drop_names[slot];
  }
  bool keep;
  int count;
};

// Keeps the return numbers whose bit is set in the keep mask.
class LASconditionKeepReturnMask final : public LASpointCondition {
 public:
  explicit LASconditionKeepReturnMask(std::uint32_t keep_mask)
      : LASpointCondition("keep_return_mask"), keep_mask(keep_mask), drop_mask(~keep_mask) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_int(buffer, keep_mask);
  }
  std::uint32_t needed_fields() const override { return point_fields::xy_and_returns; }
  bool drops(const LASpoint& point) override { return (drop_mask >> point.return_number) & 1u; }
  bool record_test(const LAScoordinateQuantizer& quantizer, LASrecordTest& test) override {
    return tabulate_record_byte(*this, quantizer, record_fields::returns, test);
  }

 private:
  std::uint32_t keep_mask;
  std::uint32_t drop_mask;
};

}  // namespace tinrise
