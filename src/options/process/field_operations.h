// Operations that set one integer field to a value, or change it from one
// value to another: return numbering, extended classification, user data,
// point source, intensity and scanner channel.
#pragma once

#include "las/core/las_point.h"
#include "options/process/las_point_operation.h"
#include "options/process/option_text.h"

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
  using value = std::uint8_t;
  static int get(const LASpoint& p) { return p.user_data; }
  static void set(LASpoint& p, value v) { p.user_data = v; }
};
struct point_source {
  using value = std::uint16_t;
  static int get(const LASpoint& p) { return p.point_source_ID; }
  static void set(LASpoint& p, value v) { p.point_source_ID = v; }
};
struct intensity {
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

 private:
  Value from, to;
};

}  // namespace tinrise
