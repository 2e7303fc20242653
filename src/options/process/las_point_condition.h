// The abstract condition of the point filter: one test that decides whether a
// point is dropped, able to write itself back as option text. Conditions are
// small final classes so the filter's per-point loop costs one call each.
#pragma once

#include <cstdint>
#include <string>

namespace tinrise {

class LAScoordinateQuantizer;
class LASpoint;
struct LASrecordTest;

// Point fields a condition reads, as reported by needed_fields.
namespace point_fields {
inline constexpr std::uint32_t xy_and_returns = 0;
inline constexpr std::uint32_t z = 0x1;
inline constexpr std::uint32_t classification = 0x2;
inline constexpr std::uint32_t flags = 0x4;
inline constexpr std::uint32_t intensity = 0x8;
inline constexpr std::uint32_t scan_angle = 0x10;
inline constexpr std::uint32_t user_data = 0x20;
inline constexpr std::uint32_t point_source = 0x40;
inline constexpr std::uint32_t gps_time = 0x80;
inline constexpr std::uint32_t colour = 0x100;
inline constexpr std::uint32_t wave_packet = 0x400;
inline constexpr std::uint32_t extra_bytes = 0xFFF00000;
}  // namespace point_fields

class LASpointCondition {
 public:
  explicit LASpointCondition(const char* name) : condition_name(name) {}
  virtual ~LASpointCondition() = default;
  LASpointCondition(const LASpointCondition&) = delete;
  LASpointCondition& operator=(const LASpointCondition&) = delete;

  // The option name without its leading '-'.
  virtual const char* name() const { return condition_name; }
  // Appends the condition as options, each followed by one blank; returns the
  // number of characters appended.
  int echo(std::string& buffer) const {
    const std::size_t start = buffer.size();
    append_echo(buffer);
    return static_cast<int>(buffer.size() - start);
  }
  virtual void append_echo(std::string& buffer) const = 0;
  virtual std::uint32_t needed_fields() const = 0;
  virtual bool drops(const LASpoint& point) = 0;
  // Restores the starting state; only stateful conditions do something.
  virtual void reset() {}
  // Restates the condition as a test on the stored bytes of a record that
  // begins with the POINT10 item, for coordinates quantized by `quantizer`.
  // False for conditions that keep state, read other fields, or whose drop
  // set is not a run of stored values.
  virtual bool record_test(const LAScoordinateQuantizer& quantizer, LASrecordTest& test) {
    (void)quantizer, (void)test;
    return false;
  }

 protected:
  const char* condition_name;  // a literal: conditions never own their names
};

}  // namespace tinrise
