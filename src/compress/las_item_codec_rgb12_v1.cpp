// RGB12 version 1: the decoder and its mirror, the encoder.
#include "compress/las_item_codec_rgb12_v1.h"

#include <cstring>

namespace tinrise {

template <class Coder>
void RGB12v1models<Coder>::init(const std::uint8_t* item) {
  byte_used.init();
  rgb.init();
  std::memcpy(last_item, item, 6);
}

template struct RGB12v1models<AcDecoder>;
template struct RGB12v1models<AcEncoder>;

bool LASitemDecoderRGB12v1::init(std::uint8_t* item, std::uint32_t&) {
  m.init(item);
  return true;
}

void LASitemDecoderRGB12v1::read(std::uint8_t* item, std::uint32_t&) {
  const std::uint32_t used = dec.decode_symbol(m.byte_used);
  for (std::uint32_t i = 0; i < 6; i++) {
    if (used & (1u << i)) m.last_item[i] = static_cast<std::uint8_t>(m.rgb.decode(m.last_item[i], i));
  }
  std::memcpy(item, m.last_item, 6);
}

bool LASitemEncoderRGB12v1::init(const std::uint8_t* item, std::uint32_t&) {
  m.init(item);
  return true;
}

bool LASitemEncoderRGB12v1::write(const std::uint8_t* item, std::uint32_t&) {
  std::uint32_t used = 0;
  for (std::uint32_t i = 0; i < 6; i++) used |= static_cast<std::uint32_t>(item[i] != m.last_item[i]) << i;
  enc.encode_symbol(m.byte_used, used);
  for (std::uint32_t i = 0; i < 6; i++) {
    if (used & (1u << i)) m.rgb.encode(m.last_item[i], item[i], i);
  }
  std::memcpy(m.last_item, item, 6);
  return true;
}

}  // namespace tinrise
