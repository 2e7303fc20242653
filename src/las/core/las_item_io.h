// The two interfaces through which the point engines move one item of a point
// record: raw item readers and writers, and later the item codecs, implement them.
#pragma once

#include <cstdint>

namespace tinrise {

class LASitemReader {
 public:
  virtual ~LASitemReader() = default;
  // Fills the item's bytes of the point (`item` is the point's item pointer).
  // Stream failures propagate as the stream's exception.
  virtual void read(std::uint8_t* item, std::uint32_t& context) = 0;
};

class LASitemWriter {
 public:
  virtual ~LASitemWriter() = default;
  // Stores the item's bytes of the point; false when the stream refused them.
  virtual bool write(const std::uint8_t* item, std::uint32_t& context) = 0;
};

}  // namespace tinrise
