// The conditions of the point filter that remember earlier points.
#include "options/process/stateful_conditions.h"

#include <cmath>

#include "common/random.h"
#include "las/core/las_point.h"
#include "options/process/option_text.h"

namespace tinrise {
namespace {

// floor(value) as a 64-bit cell index, saturating instead of overflowing.
std::int64_t cell_index(double value) {
  const double f = std::floor(value);
  if (!(f == f)) return 0;
  if (f >= 9.2e18) return INT64_MAX;
  if (f <= -9.2e18) return INT64_MIN;
  return static_cast<std::int64_t>(f);
}

}  // namespace

void LASconditionKeepScanDirectionChange::append_echo(std::string& buffer) const { append_option(buffer, name()); }
std::uint32_t LASconditionKeepScanDirectionChange::needed_fields() const { return point_fields::flags; }
bool LASconditionKeepScanDirectionChange::drops(const LASpoint& point) {
  const int direction = point.scan_direction_flag;
  if (direction == last_direction) return true;
  const bool first = last_direction == -1;
  last_direction = direction;
  return first;
}

void LASconditionEveryNth::append_echo(std::string& buffer) const {
  append_option(buffer, name());
  append_int(buffer, nth);
}
std::uint32_t LASconditionEveryNth::needed_fields() const { return point_fields::xy_and_returns; }
bool LASconditionEveryNth::drops(const LASpoint&) {
  if (counter == static_cast<std::uint32_t>(nth)) {
    counter = 1;
    return !keep;
  }
  counter++;
  return keep;
}

// The seed is echoed too (when not 0): without it a child process or a layer
// would keep a different random fraction.
void LASconditionKeepRandomFraction::append_echo(std::string& buffer) const {
  append_option(buffer, name());
  append_real(buffer, fraction);
  if (seed != 0) append_int(buffer, seed);
}
std::uint32_t LASconditionKeepRandomFraction::needed_fields() const { return point_fields::xy_and_returns; }
bool LASconditionKeepRandomFraction::drops(const LASpoint&) {
  random_seed(state);
  const int r = random_next();
  state = static_cast<std::uint32_t>(r);
  return static_cast<float>(r) * (1.0f / random_max) > fraction;
}

void LASconditionThinWithGrid::append_echo(std::string& buffer) const {
  append_option(buffer, name());
  append_real(buffer, spacing);
}
std::uint32_t LASconditionThinWithGrid::needed_fields() const { return point_fields::xy_and_returns; }
bool LASconditionThinWithGrid::drops(const LASpoint& point) {
  const std::int64_t column = cell_index(point.dequantize_x() / spacing);
  const BlockKey key{cell_index(point.dequantize_y() / spacing), column >> 10};
  if (last_block == nullptr || !(key == last_key)) {
    last_block = &blocks[key];  // a new block starts all clear
    last_key = key;
  }
  const unsigned bit = static_cast<unsigned>(column & 1023);
  std::uint64_t& word = (*last_block)[bit >> 6];
  const std::uint64_t mask = std::uint64_t{1} << (bit & 63);
  if (word & mask) return true;
  word |= mask;
  return false;
}
void LASconditionThinWithGrid::reset() {
  blocks.clear();
  last_block = nullptr;
}

void LASconditionThinWithTime::append_echo(std::string& buffer) const {
  append_option(buffer, name());
  append_real(buffer, spacing);
}
std::uint32_t LASconditionThinWithTime::needed_fields() const { return point_fields::gps_time; }
bool LASconditionThinWithTime::drops(const LASpoint& point) {
  const auto [entry, inserted] = first_times.try_emplace(cell_index(point.gps_time / spacing), point.gps_time);
  if (inserted) return false;
  return !pulses || entry->second != point.gps_time;
}

}  // namespace tinrise
