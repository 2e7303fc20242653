// The point transform: an ordered list of operations built from transform
// options (or from their echo stored in a layer), applied by readers to every
// point they deliver. With -filtered_transform it owns a filter that chooses
// the points to change instead of points to drop.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "options/process/las_point_filter.h"
#include "options/process/las_point_operation.h"

namespace tinrise {

class LASpointTransform final {
 public:
  LASpointTransform();
  ~LASpointTransform();
  LASpointTransform(const LASpointTransform&) = delete;
  LASpointTransform& operator=(const LASpointTransform&) = delete;

  // Consumes and blanks the transform options of argv[1..argc-1]; other
  // arguments stay for other parsers. False after an error message; the
  // operations made before the error stay.
  bool parse(int argc, char* argv[]);
  // Parses option text such as an echo, cut at blanks.
  bool parse_text(const char* text);
  void usage() const;

  // Appends the options that rebuild this transform, the attached filter's
  // options and "-filtered_transform" first; returns the characters appended.
  int echo(std::string& buffer) const;
  std::string echo() const;

  // Changes the point, unless an attached filter drops it.
  void apply(LASpoint& point) {
    if (filter && filter->drops(point)) return;
    for (const auto& operation : operations) operation->apply(point);
  }

  // True when no filter chooses the points and every operation can change
  // stored records that begin with the POINT10 item directly.
  bool changes_records() const;
  // Changes `count` such records as apply would change the points read from them.
  void apply_to_records(std::uint8_t* records, std::uint32_t count, std::uint32_t record_size,
                        const LAScoordinateQuantizer& quantizer) {
    for (const auto& operation : operations) operation->apply_to_records(records, count, record_size, quantizer);
  }

  // Restarts the random translation and the attached filter's stateful
  // conditions; called before every open and reopen.
  void reset();
  void add(std::unique_ptr<LASpointOperation> operation);
  // Destroys the operations and the attached filter; the filtered flag stays.
  void clear();
  // Takes ownership of `selection` (which replaces any attached filter);
  // attaching none clears the filtered flag.
  void attach_filter(std::unique_ptr<LASpointFilter> selection);
  // Puts a set_point_source with `value` in place of the first one, or at the end.
  void update_point_source(std::uint16_t value);

  std::uint32_t operation_count() const { return static_cast<std::uint32_t>(operations.size()); }
  const LASpointOperation& operation(std::uint32_t index) const { return *operations[index]; }
  // Set by -filtered_transform: the owner should hand over its filter.
  bool is_filtered() const { return filtered; }
  const LASpointFilter* attached_filter() const { return filter.get(); }

 private:
  std::vector<std::unique_ptr<LASpointOperation>> operations;
  bool filtered = false;
  std::unique_ptr<LASpointFilter> filter;
};

}  // namespace tinrise
