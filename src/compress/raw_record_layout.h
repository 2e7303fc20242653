// Where each item of an uncompressed record lies and how it reaches the point:
// copied, or converted for the LAS 1.4 core. The point engines use it to move a
// whole buffered record in one step instead of one virtual call per item.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "las/core/las_item.h"
#include "las/core/las_item_raw.h"

namespace tinrise {

class raw_record_layout {
 public:
  void build(std::uint16_t num_items, const LASitem* items) {
    steps.clear();
    std::uint32_t offset = 0;
    for (std::uint16_t i = 0; i < num_items; i++) {
      steps.push_back({offset, items[i].size, items[i].type == LASitem::POINT14});
      offset += items[i].size;
    }
  }

  void read(const std::uint8_t* record, std::uint8_t* const* point) const {
    for (const step& s : steps) {
      if (s.point14) {
        point14_record_to_item(record + s.offset, *point++);
      } else {
        copy(*point++, record + s.offset, s.size);
      }
    }
  }

  void write(const std::uint8_t* const* point, std::uint8_t* record) const {
    for (const step& s : steps) {
      if (s.point14) {
        point14_item_to_record(*point++, record + s.offset);
      } else {
        copy(record + s.offset, *point++, s.size);
      }
    }
  }

 private:
  struct step {
    std::uint32_t offset;
    std::uint32_t size;
    bool point14;
  };

  // Constant sizes let the compiler copy the common items with a few moves.
  static void copy(std::uint8_t* to, const std::uint8_t* from, std::uint32_t size) {
    switch (size) {
      case 20: std::memcpy(to, from, 20); break;
      case 8: std::memcpy(to, from, 8); break;
      case 6: std::memcpy(to, from, 6); break;
      case 29: std::memcpy(to, from, 29); break;
      default: std::memcpy(to, from, size); break;
    }
  }

  std::vector<step> steps;
};

}  // namespace tinrise
