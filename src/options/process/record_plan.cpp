#include "options/process/record_plan.h"

#include <bit>
#include <cstring>

#include "las/core/las_point.h"
#include "options/process/las_point_condition.h"

namespace tinrise {
namespace {

// A point whose POINT10 bytes are all zero but one field.
struct ScratchPoint {
  explicit ScratchPoint(const LAScoordinateQuantizer& quantizer) {
    point.quantizer = &quantizer;
    std::memset(&point.X, 0, 20);
  }
  LASpoint& with(unsigned offset, unsigned width, std::int64_t value) {
    std::memset(&point.X, 0, 20);
    const std::uint32_t bits = static_cast<std::uint32_t>(static_cast<std::uint64_t>(value));
    std::memcpy(reinterpret_cast<std::uint8_t*>(&point.X) + offset, &bits, width);
    return point;
  }
  LASpoint point;
};

template <class Field>
Field load(const std::uint8_t* bytes) {
  Field value;
  std::memcpy(&value, bytes, sizeof(Field));
  return value;
}

// Sets bit `test_index` of masks[r] for every record the range test drops.
// Where a pass over one test stands among the plan's passes: the first sets
// the masks instead of merging, the last also gathers the kept records.
struct PassRole {
  bool first, last;
};

// One pass of one test over the run: `bits_of` gives the test's bits for the
// field of a record.
template <PassRole role, class BitsOf>
std::uint32_t run_pass(const std::uint8_t* field, std::uint32_t count, std::uint32_t record_size, BitsOf bits_of,
                       std::uint32_t* masks, std::uint16_t* kept) {
  std::uint32_t kept_count = 0;
  for (std::uint32_t r = 0; r < count; r++, field += record_size) {
    std::uint32_t m = bits_of(field);
    if constexpr (!role.first) m |= masks[r];
    masks[r] = m;
    if constexpr (role.last) {
      kept[kept_count] = static_cast<std::uint16_t>(r);
      kept_count += m == 0;
    }
  }
  return kept_count;
}

// A run test asks one unsigned comparison whether the value lies in the run;
// an empty run gives every record the outside bits.
template <PassRole role>
std::uint32_t test_pass(const LASrecordPlan::Planned& p, const std::uint8_t* records, std::uint32_t count,
                        std::uint32_t record_size, std::uint32_t* masks, std::uint16_t* kept) {
  const std::uint8_t* field = records + p.test.offset;
  if (p.test.kind == LASrecordTest::byte_table) {
    const std::uint32_t* bits = p.bits;
    return run_pass<role>(field, count, record_size, [bits](const std::uint8_t* f) { return bits[*f]; }, masks, kept);
  }
  const std::uint32_t lo = p.lo, span = p.span, outside = p.outside_bits, flip = p.inside_bits ^ p.outside_bits;
  const auto in_run = [=](std::uint32_t v) { return outside ^ (flip & (0u - static_cast<std::uint32_t>(v - lo <= span))); };
  if (p.test.kind == LASrecordTest::range_u16) {
    return run_pass<role>(
        field, count, record_size, [in_run](const std::uint8_t* f) { return in_run(load<std::uint16_t>(f)); }, masks,
        kept);
  }
  return run_pass<role>(
      field, count, record_size,
      [in_run](const std::uint8_t* f) { return in_run(static_cast<std::uint32_t>(load<std::int32_t>(f))); }, masks,
      kept);
}

}  // namespace

bool LASrecordTest::drops_stored(std::int64_t value) const {
  if (kind == byte_table) {
    const std::uint32_t v = static_cast<std::uint32_t>(value) & 0xFFu;
    return (table[v >> 5] >> (v & 31u)) & 1u;
  }
  const bool inside = lo <= value && value <= hi;
  return inside == drop_inside;
}

bool tabulate_record_byte(LASpointCondition& condition, const LAScoordinateQuantizer& quantizer, unsigned offset,
                          LASrecordTest& test) {
  if (offset >= 20) return false;
  ScratchPoint scratch(quantizer);
  test = LASrecordTest{};
  test.kind = LASrecordTest::byte_table;
  test.offset = static_cast<std::uint8_t>(offset);
  for (std::uint32_t v = 0; v < 256; v++) {
    if (condition.drops(scratch.with(offset, 1, v))) test.table[v >> 5] |= 1u << (v & 31u);
  }
  return true;
}

bool confirm_record_range(LASpointCondition& condition, const LAScoordinateQuantizer& quantizer, LASrecordTest& test) {
  std::int64_t first, last;
  unsigned width;
  if (test.kind == LASrecordTest::range_u16) {
    first = 0, last = 0xFFFF, width = 2;
  } else if (test.kind == LASrecordTest::range_i32) {
    first = INT32_MIN, last = INT32_MAX, width = 4;
  } else {
    return false;
  }
  if (test.offset + width > 20) return false;
  ScratchPoint scratch(quantizer);
  const std::int64_t probes[] = {first, first + 1, test.lo - 1, test.lo, test.lo + 1,
                                 test.hi - 1, test.hi, test.hi + 1, last - 1, last};
  for (std::int64_t value : probes) {
    if (value < first || value > last) continue;
    if (condition.drops(scratch.with(test.offset, width, value)) != test.drops_stored(value)) return false;
  }
  return true;
}

bool LASrecordPlan::add(const LASrecordTest& test) {
  if (tests.size() >= max_tests) return false;
  Planned& planned = tests.emplace_back();
  planned.test = test;
  const std::uint32_t bit = 1u << (tests.size() - 1);
  for (std::uint32_t v = 0; v < 256; v++) planned.bits[v] = test.drops_stored(v) ? bit : 0u;
  // Runs are compared in 32 bits: fields are at most 32 bits wide, and the
  // stored value minus lo wraps onto the run's offsets exactly.
  const bool empty = test.lo > test.hi;
  planned.lo = empty ? 0u : static_cast<std::uint32_t>(test.lo);
  planned.span = empty ? 0xFFFFFFFFu : static_cast<std::uint32_t>(test.hi - test.lo);
  planned.outside_bits = test.drop_inside ? 0u : bit;
  planned.inside_bits = empty ? planned.outside_bits : (test.drop_inside ? bit : 0u);
  return true;
}

std::uint32_t LASrecordPlan::select(const std::uint8_t* records, std::uint32_t count, std::uint32_t record_size,
                                    std::uint16_t* kept, std::uint32_t* masks, std::uint32_t* drops) const {
  // One pass per test keeps every loop short and free of branches on the data.
  std::uint32_t kept_count;
  const std::size_t n = tests.size();
  if (n == 0) {
    std::memset(masks, 0, sizeof(std::uint32_t) * count);
    for (std::uint32_t r = 0; r < count; r++) kept[r] = static_cast<std::uint16_t>(r);
    kept_count = count;
  } else if (n == 1) {
    kept_count = test_pass<PassRole{true, true}>(tests[0], records, count, record_size, masks, kept);
  } else {
    test_pass<PassRole{true, false}>(tests[0], records, count, record_size, masks, kept);
    for (std::size_t i = 1; i + 1 < n; i++) {
      test_pass<PassRole{false, false}>(tests[i], records, count, record_size, masks, kept);
    }
    kept_count = test_pass<PassRole{false, true}>(tests[n - 1], records, count, record_size, masks, kept);
  }
  // The first test that drops a record is the one that counts it, as when the
  // conditions are asked in order. Counting goes test by test over the lowest
  // bits: a histogram in memory would chain every record to the previous one.
  for (std::uint32_t i = 0; i < tests.size(); i++) {
    std::uint32_t dropped = 0;
    for (std::uint32_t r = 0; r < count; r++) dropped += ((masks[r] & (0u - masks[r])) >> i) & 1u;
    drops[i] += dropped;
  }
  return kept_count;
}

std::uint32_t LASrecordPlan::drops_of(const std::uint8_t* record) const {
  std::uint32_t m = 0;
  for (const Planned& p : tests) {
    const std::uint8_t* field = record + p.test.offset;
    if (p.test.kind == LASrecordTest::byte_table) {
      m |= p.bits[*field];
      continue;
    }
    const std::uint32_t v = p.test.kind == LASrecordTest::range_u16
                                ? load<std::uint16_t>(field)
                                : static_cast<std::uint32_t>(load<std::int32_t>(field));
    const std::uint32_t inside = v - p.lo <= p.span;
    m |= p.outside_bits ^ ((p.inside_bits ^ p.outside_bits) & (0u - inside));
  }
  return m;
}

}  // namespace tinrise
