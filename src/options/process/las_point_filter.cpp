// The point filter's list of conditions: echo, fields, reset, and the list
// handling that filter_and and filter_or need. Its options are parsed in
// las_point_filter_options.cpp.
#include "options/process/las_point_filter.h"

#include "options/process/option_text.h"

namespace tinrise {

LASpointFilter::LASpointFilter() = default;
LASpointFilter::~LASpointFilter() = default;

bool LASpointFilter::parse_text(const char* text) {
  std::string words_text(text ? text : "");
  std::vector<char*> words = split_option_text(words_text);
  return parse(static_cast<int>(words.size()), words.data());
}

int LASpointFilter::echo(std::string& buffer) const {
  int written = 0;
  for (const auto& condition : conditions) written += condition->echo(buffer);
  return written;
}

std::string LASpointFilter::echo() const {
  std::string text;
  echo(text);
  return text;
}

std::uint32_t LASpointFilter::needed_fields() const {
  std::uint32_t fields = 0;
  for (const auto& condition : conditions) fields |= condition->needed_fields();
  return fields;
}

bool LASpointFilter::plan_records(const LAScoordinateQuantizer& quantizer, LASrecordPlan& plan) {
  plan.clear();
  if (conditions.empty() || conditions.size() > LASrecordPlan::max_tests) return false;
  for (const auto& condition : conditions) {
    LASrecordTest test;
    if (!condition->record_test(quantizer, test) || !plan.add(test)) {
      plan.clear();
      return false;
    }
  }
  return true;
}

void LASpointFilter::add_drop_counts(const std::uint32_t* drops) {
  for (std::size_t i = 0; i < drop_counts.size(); i++) drop_counts[i] += drops[i];
}

void LASpointFilter::take_back_drop_counts(const std::uint32_t* drops) {
  for (std::size_t i = 0; i < drop_counts.size(); i++) drop_counts[i] -= drops[i];
}

void LASpointFilter::reset() {
  for (const auto& condition : conditions) condition->reset();
}

void LASpointFilter::add(std::unique_ptr<LASpointCondition> condition) {
  conditions.push_back(std::move(condition));
  drop_counts.push_back(0);
}

void LASpointFilter::clear() {
  conditions.clear();
  drop_counts.clear();
}

bool LASpointFilter::take_last_two(std::unique_ptr<LASpointCondition>& first,
                                   std::unique_ptr<LASpointCondition>& second) {
  if (conditions.size() < 2) return false;
  second = std::move(conditions.back());
  conditions.pop_back();
  first = std::move(conditions.back());
  conditions.pop_back();
  drop_counts.resize(conditions.size());
  return true;
}

}  // namespace tinrise
