// Operations that set one integer field to a value, or change it from one
// value to another: return numbering, extended classification, user data,
// point source, intensity and scanner channel.
#pragma once

#include "las/core/las_point.h"
#include "options/process/las_point_operation.h"
#include "options/process/option_text.h"
#include "options/process/record_plan.h"

namespace tinrise {

namespace point_field {
struct return_number {
  using value = std::uint8_t;
  static int get(const LASpoint& p) { return p.return_number; }
  static void set(LASpoint& p, value v) { p.return_number = v & 7; }
};
struct extended_return_number {
  using value = std::uint8_t;
  static int get(const LASpoint& p) { return p.extended_return_number; }
  static void set(LASpoint& p, value v) { p.extended_return_number = v & 15; }
};
struct number_of_returns {
  using value = std::uint8_t;
  static int get(const LASpoint& p) { return p.number_of_returns; }
  static void set(LASpoint& p, value v) { p.number_of_returns = v & 7; }
};
struct extended_number_of_returns {
  using value = std::uint8_t;
  static int get(const LASpoint& p) { return p.extended_number_of_returns; }
  static void set(LASpoint& p, value v) { p.extended_number_of_returns = v & 15; }
};
struct extended_classification {
  using value = std::uint8_t;
  static int get(const LASpoint& p) { return p.extended_classification; }
  static void set(LASpoint& p, value v) { p.extended_classification = v; }
};
struct user_data {
  static constexpr int record_offset = record_fields::user_data;
  using value = std::uint8_t;
  static int get(const LASpoint& p) { return p.user_data; }
  static void set(LASpoint& p, value v) { p.user_data = v; }
};
struct point_source {
  static constexpr int record_offset = record_fields::point_source;
  using value = std::uint16_t;
  static int get(const LASpoint& p) { return p.point_source_ID; }
  static void set(LASpoint& p, value v) { p.point_source_ID = v; }
};
struct intensity {
  static constexpr int record_offset = record_fields::intensity;
  using value = std::uint16_t;
  static int get(const LASpoint& p) { return p.intensity; }
  static void set(LASpoint& p, value v) { p.intensity = v; }
};
struct scanner_channel {
  using value = std::uint8_t;
  static int get(const LASpoint& p) { return p.extended_scanner_channel; }
  static void set(LASpoint& p, value v) { p.extended_scanner_channel = v & 3; }
};
}  // namespace point_field

// Where a whole-byte field lies in the POINT10 record; -1 for the fields that
// are bits of a byte or lie outside that record.
template <class Field>
constexpr int record_offset_of() {
  if constexpr (requires { Field::record_offset; }) return Field::record_offset;
  else return -1;
}

template <class Field>
class LASoperationSet final : public LASpointOperation {
 public:
  using Value = typename Field::value;
  LASoperationSet(const char* name, Value value) : LASpointOperation(name), value(value) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_int(buffer, value);
  }
  void apply(LASpoint& point) override { Field::set(point, value); }
  bool changes_records() const override { return record_offset_of<Field>() >= 0; }
  void apply_to_records(std::uint8_t* records, std::uint32_t count, std::uint32_t record_size,
                        const LAScoordinateQuantizer&) override {
    if constexpr (record_offset_of<Field>() >= 0) {
      const Value v = value;
      change_stored_field<Value>(records, count, record_size, record_offset_of<Field>(), [v](Value) { return v; });
    }
  }

 private:
  Value value;
};

template <class Field>
class LASoperationChange final : public LASpointOperation {
 public:
  using Value = typename Field::value;
  LASoperationChange(const char* name, Value from, Value to) : LASpointOperation(name), from(from), to(to) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_int(buffer, from);
    append_int(buffer, to);
  }
  void apply(LASpoint& point) override {
    if (Field::get(point) == from) Field::set(point, to);
  }
  bool changes_records() const override { return record_offset_of<Field>() >= 0; }
  void apply_to_records(std::uint8_t* records, std::uint32_t count, std::uint32_t record_size,
                        const LAScoordinateQuantizer&) override {
    if constexpr (record_offset_of<Field>() >= 0) {
      const Value f = from, t = to;
      change_stored_field<Value>(records, count, record_size, record_offset_of<Field>(),
                                 [f, t](Value v) { return v == f ? t : v; });
    }
  }

 private:
  Value from, to;
};

}  // namespace tinrise
