// BYTE version 1: the decoder and its mirror, the encoder.
#include "compress/las_item_codec_byte_v1.h"

#include <cstring>

namespace tinrise {

template <class Coder>
void BYTEv1models<Coder>::init(const std::uint8_t* item) {
  bytes.init();
  std::memcpy(last_item.data(), item, last_item.size());
}

template struct BYTEv1models<AcDecoder>;
template struct BYTEv1models<AcEncoder>;

bool LASitemDecoderBYTEv1::init(std::uint8_t* item, std::uint32_t&) {
  m.init(item);
  return true;
}

void LASitemDecoderBYTEv1::read(std::uint8_t* item, std::uint32_t&) {
  std::uint8_t* last = m.last_item.data();
  const std::uint32_t number = static_cast<std::uint32_t>(m.last_item.size());
  for (std::uint32_t i = 0; i < number; i++) last[i] = static_cast<std::uint8_t>(m.bytes.decode(last[i], i));
  std::memcpy(item, last, number);
}

bool LASitemEncoderBYTEv1::init(const std::uint8_t* item, std::uint32_t&) {
  m.init(item);
  return true;
}

bool LASitemEncoderBYTEv1::write(const std::uint8_t* item, std::uint32_t&) {
  std::uint8_t* last = m.last_item.data();
  const std::uint32_t number = static_cast<std::uint32_t>(m.last_item.size());
  for (std::uint32_t i = 0; i < number; i++) m.bytes.encode(last[i], item[i], i);
  std::memcpy(last, item, number);
  return true;
}

}  // namespace tinrise
