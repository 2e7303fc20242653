// Conditions without arguments: return numbering, the classic flags, the
// overlap flag and the edge of the flight line. Each is one rule function
// compiled into its own final class.
#pragma once

#include "las/core/las_point.h"
#include "options/process/las_point_condition.h"
#include "options/process/option_text.h"
#include "options/process/record_plan.h"

namespace tinrise {

// `record_byte` is the one byte of the POINT10 record the rule reads, or -1
// when it reads a field outside that record.
template <bool (*rule)(const LASpoint&), std::uint32_t fields, int record_byte>
class LASconditionRule final : public LASpointCondition {
 public:
  explicit LASconditionRule(const char* name) : LASpointCondition(name) {}
  void append_echo(std::string& buffer) const override { append_option(buffer, name()); }
  std::uint32_t needed_fields() const override { return fields; }
  bool drops(const LASpoint& point) override { return rule(point); }
  bool record_test(const LAScoordinateQuantizer& quantizer, LASrecordTest& test) override {
    if constexpr (record_byte < 0) return false;
    else return tabulate_record_byte(*this, quantizer, record_byte, test);
  }
};

// Each rule returns true for the points its option drops.
namespace drop_rules {
inline bool unless_first(const LASpoint& p) { return p.return_number > 1; }
inline bool unless_first_of_many(const LASpoint& p) { return p.number_of_returns == 1 || p.return_number > 1; }
inline bool unless_last(const LASpoint& p) { return p.return_number < p.number_of_returns; }
inline bool unless_last_of_many(const LASpoint& p) {
  return p.return_number == 1 || p.return_number < p.number_of_returns;
}
inline bool unless_middle(const LASpoint& p) { return p.return_number == 1 || p.return_number >= p.number_of_returns; }
inline bool is_second_last(const LASpoint& p) {
  return p.number_of_returns >= 2 && p.number_of_returns == p.return_number + 1;
}
inline bool unless_second_last(const LASpoint& p) { return !is_second_last(p); }
inline bool first(const LASpoint& p) { return p.return_number == 1; }
inline bool first_of_many(const LASpoint& p) { return p.number_of_returns >= 2 && p.return_number == 1; }
inline bool last(const LASpoint& p) { return p.return_number >= p.number_of_returns; }
inline bool last_of_many(const LASpoint& p) {
  return p.number_of_returns >= 2 && p.return_number >= p.number_of_returns;
}
inline bool middle(const LASpoint& p) { return 1 < p.return_number && p.return_number < p.number_of_returns; }

inline bool unless_edge_of_flight_line(const LASpoint& p) { return p.edge_of_flight_line == 0; }
inline bool unless_synthetic(const LASpoint& p) { return p.synthetic_flag == 0; }
inline bool unless_keypoint(const LASpoint& p) { return p.keypoint_flag == 0; }
inline bool unless_withheld(const LASpoint& p) { return p.withheld_flag == 0; }
inline bool unless_overlap(const LASpoint& p) { return (p.extended_classification_flags & 0x8) == 0; }
inline bool synthetic(const LASpoint& p) { return p.synthetic_flag != 0; }
inline bool keypoint(const LASpoint& p) { return p.keypoint_flag != 0; }
inline bool withheld(const LASpoint& p) { return p.withheld_flag != 0; }
inline bool overlap(const LASpoint& p) { return (p.extended_classification_flags & 0x8) != 0; }
}  // namespace drop_rules

template <bool (*rule)(const LASpoint&)>
using LASconditionReturnRule = LASconditionRule<rule, point_fields::xy_and_returns, record_fields::returns>;
template <bool (*rule)(const LASpoint&), int record_byte>
using LASconditionFlagRule = LASconditionRule<rule, point_fields::flags, record_byte>;

}  // namespace tinrise
