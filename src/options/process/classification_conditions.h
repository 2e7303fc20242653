// Conditions on the classification: a 32-bit drop mask over the legacy
// classes 0 to 31 and a 256-bit drop mask over the extended classes.
#pragma once

#include <bit>

#include "las/core/las_point.h"
#include "options/process/las_point_condition.h"
#include "options/process/option_text.h"
#include "options/process/record_plan.h"

namespace tinrise {

class LASconditionClassificationMask final : public LASpointCondition {
 public:
  explicit LASconditionClassificationMask(std::uint32_t drop_mask)
      : LASpointCondition("drop_classification_mask"), drop_mask(drop_mask) {}
  // Written as the shorter of the two class lists. A mask that drops every
  // class has no class to keep and is written as the drop list.
  void append_echo(std::string& buffer) const override {
    const bool as_kept = std::popcount(drop_mask) > 15 && drop_mask != 0xFFFFFFFFu;
    append_option(buffer, as_kept ? "keep_class" : "drop_class");
    for (std::uint32_t c = 0; c < 32; c++) {
      if (((drop_mask >> c) & 1u) != (as_kept ? 0u : 1u)) continue;
      append_int(buffer, c);
    }
  }
  std::uint32_t needed_fields() const override { return point_fields::classification; }
  bool drops(const LASpoint& point) override { return (drop_mask >> point.classification) & 1u; }
  bool record_test(const LAScoordinateQuantizer& quantizer, LASrecordTest& test) override {
    return tabulate_record_byte(*this, quantizer, record_fields::classification, test);
  }

 private:
  std::uint32_t drop_mask;
};

// mask[0] holds classes 0 to 31, mask[7] classes 224 to 255.
class LASconditionExtendedClassificationMask final : public LASpointCondition {
 public:
  explicit LASconditionExtendedClassificationMask(const std::uint32_t (&drop_mask)[8])
      : LASpointCondition("drop_extended_classification_mask") {
    for (int i = 0; i < 8; i++) mask[i] = drop_mask[i];
  }
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    for (int i = 7; i >= 0; i--) append_int(buffer, mask[i]);
  }
  std::uint32_t needed_fields() const override { return point_fields::classification; }
  bool drops(const LASpoint& point) override {
    const unsigned c = point.extended_classification;
    return (mask[c >> 5] >> (c & 31u)) & 1u;
  }

 private:
  std::uint32_t mask[8];
};

}  // namespace tinrise
