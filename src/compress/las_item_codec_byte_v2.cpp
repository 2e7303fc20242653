// BYTE version 2: the decoder and its mirror, the encoder.
#include "compress/las_item_codec_byte_v2.h"

#include <cstring>

namespace tinrise {

template <class Coder>
void BYTEv2models<Coder>::init(const std::uint8_t* item) {
  for (AcSymbolModel& model : byte_diff) model.init();
  std::memcpy(last_item.data(), item, last_item.size());
}

template struct BYTEv2models<AcDecoder>;
template struct BYTEv2models<AcEncoder>;

bool LASitemDecoderBYTEv2::init(std::uint8_t* item, std::uint32_t&) {
  m.init(item);
  return true;
}

void LASitemDecoderBYTEv2::read(std::uint8_t* item, std::uint32_t&) {
  std::uint8_t* last = m.last_item.data();
  const std::size_t number = m.last_item.size();
  for (std::size_t i = 0; i < number; i++) {
    last[i] = fold_byte(last[i] + static_cast<int>(dec.decode_symbol(m.byte_diff[i])));
  }
  std::memcpy(item, last, number);
}

bool LASitemEncoderBYTEv2::init(const std::uint8_t* item, std::uint32_t&) {
  m.init(item);
  return true;
}

bool LASitemEncoderBYTEv2::write(const std::uint8_t* item, std::uint32_t&) {
  std::uint8_t* last = m.last_item.data();
  const std::size_t number = m.last_item.size();
  for (std::size_t i = 0; i < number; i++) enc.encode_symbol(m.byte_diff[i], fold_byte(item[i] - last[i]));
  std::memcpy(last, item, number);
  return true;
}

}  // namespace tinrise
