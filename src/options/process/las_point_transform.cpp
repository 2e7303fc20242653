// The point transform's list of operations, its borrowed filter and the
// point source stamp the reader factory updates per file. Its options are
// parsed in las_point_transform_options.cpp.
#include "options/process/las_point_transform.h"

#include <cstring>

#include "options/process/field_operations.h"
#include "options/process/option_text.h"

namespace tinrise {

LASpointTransform::LASpointTransform() = default;
LASpointTransform::~LASpointTransform() = default;

bool LASpointTransform::parse_text(const char* text) {
  std::string words_text(text ? text : "");
  std::vector<char*> words = split_option_text(words_text);
  return parse(static_cast<int>(words.size()), words.data());
}

int LASpointTransform::echo(std::string& buffer) const {
  const std::size_t start = buffer.size();
  if (filter) {
    filter->echo(buffer);
    append_option(buffer, "filtered_transform");
  }
  for (const auto& operation : operations) operation->echo(buffer);
  return static_cast<int>(buffer.size() - start);
}

std::string LASpointTransform::echo() const {
  std::string text;
  echo(text);
  return text;
}

// The attached filter is reset here too: it belongs to the transform once
// handed over, and a reread must select the same points again.
void LASpointTransform::reset() {
  for (const auto& operation : operations) operation->reset();
  if (filter) filter->reset();
}

bool LASpointTransform::changes_records() const {
  if (filter) return false;
  for (const auto& operation : operations) {
    if (!operation->changes_records()) return false;
  }
  return true;
}

void LASpointTransform::add(std::unique_ptr<LASpointOperation> operation) { operations.push_back(std::move(operation)); }

void LASpointTransform::clear() {
  operations.clear();
  filter.reset();
}

void LASpointTransform::attach_filter(std::unique_ptr<LASpointFilter> selection) {
  filter = std::move(selection);
  if (!filter) filtered = false;
}

void LASpointTransform::update_point_source(std::uint16_t value) {
  auto replacement = std::make_unique<LASoperationSet<point_field::point_source>>("set_point_source", value);
  for (auto& operation : operations) {
    if (std::strcmp(operation->name(), "set_point_source") == 0) {
      operation = std::move(replacement);
      return;
    }
  }
  add(std::move(replacement));
}

}  // namespace tinrise
