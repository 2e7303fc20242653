// The two interfaces of the compressed item codecs: a decoder takes the raw
// first point of a chunk and then decodes each further point, an encoder the
// mirror. The point engines drive one per item, all sharing one coder.
#pragma once

#include <cstdint>

#include "las/core/las_item_io.h"

namespace tinrise {

class AcDecoder;
class AcEncoder;

class LASitemDecoder : public LASitemReader {
 public:
  // Coded bytes of layered chunks only; other codecs have none.
  virtual bool read_layer_sizes() { return true; }
  // Takes the raw first point of a chunk and resets all models.
  virtual bool init(std::uint8_t* item, std::uint32_t& context) = 0;
};

class LASitemEncoder : public LASitemWriter {
 public:
  virtual bool init(const std::uint8_t* item, std::uint32_t& context) = 0;
  // Layered chunks only.
  virtual bool write_layer_sizes() { return true; }
  virtual bool write_layers() { return true; }
};

// Byte arithmetic of the colour and extra-byte codecs.
inline std::uint8_t fold_byte(int value) { return static_cast<std::uint8_t>(value); }
inline int clamp_byte(int value) { return value < 0 ? 0 : (value > 255 ? 255 : value); }

}  // namespace tinrise
