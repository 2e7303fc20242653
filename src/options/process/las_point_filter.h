// The point filter: an ordered list of conditions built from filter options
// (or from their echo stored in a layer). Readers skip every point it drops;
// the transform can borrow it to choose the points it changes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "options/process/las_point_condition.h"
#include "options/process/record_plan.h"

namespace tinrise {

class LASpointFilter final {
 public:
  LASpointFilter();
  ~LASpointFilter();
  LASpointFilter(const LASpointFilter&) = delete;
  LASpointFilter& operator=(const LASpointFilter&) = delete;

  // Consumes and blanks the filter options of argv[1..argc-1]; other
  // arguments stay for other parsers. False after an error message; the
  // conditions made before the error stay.
  bool parse(int argc, char* argv[]);
  // Parses option text such as an echo, cut at blanks.
  bool parse_text(const char* text);
  void usage() const;

  // Appends the options that rebuild this filter; returns the characters appended.
  int echo(std::string& buffer) const;
  std::string echo() const;

  // True when a condition drops the point; the first that does counts it.
  bool drops(const LASpoint& point) {
    const std::size_t count = conditions.size();
    for (std::size_t i = 0; i < count; i++) {
      if (conditions[i]->drops(point)) {
        drop_counts[i]++;
        return true;
      }
    }
    return false;
  }

  // Restates every condition on the stored bytes of records that begin with
  // the POINT10 item, for coordinates quantized by `quantizer`; false (plan
  // cleared) when a condition has no such form or there are too many.
  bool plan_records(const LAScoordinateQuantizer& quantizer, LASrecordPlan& plan);
  // Counts the drops a plan's select found (one slot per condition, more
  // slots ignored), or takes back those of records that were never passed.
  void add_drop_counts(const std::uint32_t* drops);
  void take_back_drop_counts(const std::uint32_t* drops);
  // Counts one drop by condition `index`, as drops would have.
  void count_drop(std::uint32_t index) { drop_counts[index]++; }

  // Union of the point fields the conditions read.
  std::uint32_t needed_fields() const;
  // Restarts the stateful conditions; called before every open and reopen.
  void reset();
  void add(std::unique_ptr<LASpointCondition> condition);
  void clear();

  std::uint32_t condition_count() const { return static_cast<std::uint32_t>(conditions.size()); }
  const LASpointCondition& condition(std::uint32_t index) const { return *conditions[index]; }
  std::uint32_t drop_count(std::uint32_t index) const { return drop_counts[index]; }

 private:
  // Takes the last two conditions off the list, for filter_and and filter_or.
  bool take_last_two(std::unique_ptr<LASpointCondition>& first, std::unique_ptr<LASpointCondition>& second);

  std::vector<std::unique_ptr<LASpointCondition>> conditions;
  std::vector<std::uint32_t> drop_counts;
};

}  // namespace tinrise
