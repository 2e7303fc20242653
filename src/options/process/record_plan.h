// A filter restated on the stored bytes of point records that begin with the
// POINT10 item (point types 0 to 5), so that a reader can decide a whole
// buffered run of records at once: without filling a point for the records
// that are dropped, and without a data-dependent branch per record, which on
// typical data mispredicts often enough to cost more than the tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "las/core/las_quantizer.h"

namespace tinrise {

class LASpoint;
class LASpointCondition;

// One condition as a test on one stored field of the record.
struct LASrecordTest {
  enum Kind : std::uint8_t {
    byte_table,  // drops when the bit of the byte's value is set in `table`
    range_u16,   // compares the unsigned 16-bit field with [lo, hi]
    range_i32,   // compares the signed 32-bit field with [lo, hi]
  };
  Kind kind = byte_table;
  std::uint8_t offset = 0;   // of the field in the record
  bool drop_inside = false;  // ranges: drop values inside [lo, hi], else outside
  std::int64_t lo = 0, hi = -1;
  std::uint32_t table[8] = {};

  // The decision for one stored value, as the reader's scan makes it.
  bool drops_stored(std::int64_t value) const;
};

// Fields of the POINT10 record the tests read.
namespace record_fields {
inline constexpr unsigned X = 0, Y = 4, Z = 8, intensity = 12, returns = 14, classification = 15, scan_angle = 16,
                          user_data = 17, point_source = 18;
}  // namespace record_fields

// Replaces the field of type Field at `offset` of each of `count` records
// with change(field).
template <class Field, class Change>
void change_stored_field(std::uint8_t* records, std::uint32_t count, std::uint32_t record_size, unsigned offset,
                         Change change) {
  std::uint8_t* field = records + offset;
  for (std::uint32_t r = 0; r < count; r++, field += record_size) {
    Field value;
    std::memcpy(&value, field, sizeof(Field));
    value = change(value);
    std::memcpy(field, &value, sizeof(Field));
  }
}

// Tabulates a condition that reads only the byte at `offset` of the record,
// by asking the condition itself about a point for each of the 256 values.
bool tabulate_record_byte(LASpointCondition& condition, const LAScoordinateQuantizer& quantizer, unsigned offset,
                          LASrecordTest& test);

// Restates a condition on a 16- or 32-bit field whose drop set is a run of
// stored values (or all values but a run): [lo, hi] with `drop_inside`. The
// condition's own answers at both ends of the run, just beyond them and at
// the ends of the value range must agree, else there is no test.
bool confirm_record_range(LASpointCondition& condition, const LAScoordinateQuantizer& quantizer, LASrecordTest& test);

// The smallest stored value in [first, last] for which `holds` is true, for a
// predicate that is false up to some value and true from there on; last + 1
// when it never holds.
template <class Predicate>
std::int64_t first_holding(std::int64_t first, std::int64_t last, Predicate holds) {
  std::int64_t low = first, high = last + 1;
  while (low < high) {
    const std::int64_t middle = low + (high - low) / 2;
    if (holds(middle)) high = middle;
    else low = middle + 1;
  }
  return low;
}

class LASrecordPlan {
 public:
  static constexpr std::uint32_t max_tests = 32;
  static constexpr std::uint32_t batch = 256;

  void clear() { tests.clear(); }
  // Appends a test; false when the plan is full.
  bool add(const LASrecordTest& test);
  std::uint32_t test_count() const { return static_cast<std::uint32_t>(tests.size()); }

  // Decides `count` (at most `batch`) records of `record_size` bytes: writes
  // the indices of the kept ones in order to `kept` and returns how many;
  // sets in masks[r] the bit of every test that drops record r (0 when it is
  // kept) and adds one per dropped record to `drops` at the index of the
  // first such test, its lowest bit.
  std::uint32_t select(const std::uint8_t* records, std::uint32_t count, std::uint32_t record_size,
                       std::uint16_t* kept, std::uint32_t* masks, std::uint32_t* drops) const;
  // The bits of the tests that drop one record (0 when it is kept); also
  // right for the first 20 bytes of a point of any type, which hold the
  // POINT10 fields the tests read.
  std::uint32_t drops_of(const std::uint8_t* record) const;

  // A test with its bits in the mask: for byte tables per byte value, for
  // runs [lo, lo + span] of stored values inside and outside the run.
  struct Planned {
    LASrecordTest test;
    std::uint32_t lo, span;
    std::uint32_t inside_bits, outside_bits;
    std::uint32_t bits[256];
  };

 private:
  std::vector<Planned> tests;
};

}  // namespace tinrise
