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
// Merges into masks[r] (or, for the first test, sets masks[r] to) the bits
// the test gives record r: one unsigned comparison decides whether the value
// lies in the run; an empty run gives every record the outside bits.
template <class Field, bool first>
void range_pass(const std::uint8_t* field, std::uint32_t count, std::uint32_t record_size, std::uint32_t lo,
                std::uint32_t span, std::uint32_t inside_bits, std::uint32_t outside_bits, std::uint32_t* masks) {
  const std::uint32_t flip = inside_bits ^ outside_bits;
  for (std::uint32_t r = 0; r < count; r++, field += record_size) {
    const std::uint32_t v = static_cast<std::uint32_t>(load<Field>(field));
    const std::uint32_t inside = v - lo <= span;
    const std::uint32_t bits = outside_bits ^ (flip & (0u - inside));
    if constexpr (first) masks[r] = bits;
    else masks[r] |= bits;
  }
}

template <bool first>
void byte_pass(const std::uint8_t* field, std::uint32_t count, std::uint32_t record_size, const std::uint32_t* bits,
               std::uint32_t* masks) {
  for (std::uint32_t r = 0; r < count; r++, field += record_size) {
    if constexpr (first) masks[r] = bits[*field];
    else masks[r] |= bits[*field];
  }
}

template <bool first>
void test_pass(const LASrecordPlan::Planned& p, const std::uint8_t* records, std::uint32_t count,
               std::uint32_t record_size, std::uint32_t* masks) {
  const std::uint8_t* field = records + p.test.offset;
  if (p.test.kind == LASrecordTest::byte_table) {
    byte_pass<first>(field, count, record_size, p.bits, masks);
  } else if (p.test.kind == LASrecordTest::range_u16) {
    range_pass<std::uint16_t, first>(field, count, record_size, p.lo, p.span, p.inside_bits, p.outside_bits, masks);
  } else {
    range_pass<std::int32_t, first>(field, count, record_size, p.lo, p.span, p.inside_bits, p.outside_bits, masks);
  }
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
  if (tests.empty()) {
    std::memset(masks, 0, sizeof(std::uint32_t) * count);
  } else {
    test_pass<true>(tests[0], records, count, record_size, masks);
    for (std::size_t i = 1; i < tests.size(); i++) test_pass<false>(tests[i], records, count, record_size, masks);
  }
  std::uint32_t kept_count = 0;
  for (std::uint32_t r = 0; r < count; r++) {
    kept[kept_count] = static_cast<std::uint16_t>(r);
    kept_count += masks[r] == 0;
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

}  // namespace tinrise
