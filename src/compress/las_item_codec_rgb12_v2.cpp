// RGB12 version 2: the decoder and its mirror, the encoder. Bytes are the
// little-endian halves of the three u16 channels: 0, 1 red, 2, 3 green, 4, 5 blue.
#include "compress/las_item_codec_rgb12_v2.h"

#include <cstring>

namespace tinrise {

template <class Coder>
void RGB12v2models<Coder>::init(const std::uint8_t* item) {
  byte_used.init();
  for (AcSymbolModel& model : rgb_diff) model.init();
  std::memcpy(last_item, item, 6);
}

template struct RGB12v2models<AcDecoder>;
template struct RGB12v2models<AcEncoder>;

bool LASitemDecoderRGB12v2::init(std::uint8_t* item, std::uint32_t&) {
  m.init(item);
  return true;
}

void LASitemDecoderRGB12v2::read(std::uint8_t* item, std::uint32_t&) {
  const std::uint8_t* last = m.last_item;
  const std::uint32_t used = dec.decode_symbol(m.byte_used);
  std::uint8_t rgb[6];
  rgb[0] = used & 1 ? fold_byte(static_cast<int>(dec.decode_symbol(m.rgb_diff[0])) + last[0]) : last[0];
  rgb[1] = used & 2 ? fold_byte(static_cast<int>(dec.decode_symbol(m.rgb_diff[1])) + last[1]) : last[1];
  if (used & 64) {
    int diff = rgb[0] - last[0];
    if (used & 4) {
      rgb[2] = fold_byte(static_cast<int>(dec.decode_symbol(m.rgb_diff[2])) + clamp_byte(diff + last[2]));
    } else {
      rgb[2] = last[2];
    }
    if (used & 16) {
      diff = (diff + rgb[2] - last[2]) / 2;
      rgb[4] = fold_byte(static_cast<int>(dec.decode_symbol(m.rgb_diff[4])) + clamp_byte(diff + last[4]));
    } else {
      rgb[4] = last[4];
    }
    diff = rgb[1] - last[1];
    if (used & 8) {
      rgb[3] = fold_byte(static_cast<int>(dec.decode_symbol(m.rgb_diff[3])) + clamp_byte(diff + last[3]));
    } else {
      rgb[3] = last[3];
    }
    if (used & 32) {
      diff = (diff + rgb[3] - last[3]) / 2;
      rgb[5] = fold_byte(static_cast<int>(dec.decode_symbol(m.rgb_diff[5])) + clamp_byte(diff + last[5]));
    } else {
      rgb[5] = last[5];
    }
  } else {
    rgb[2] = rgb[4] = rgb[0];
    rgb[3] = rgb[5] = rgb[1];
  }
  std::memcpy(m.last_item, rgb, 6);
  std::memcpy(item, rgb, 6);
}

bool LASitemEncoderRGB12v2::init(const std::uint8_t* item, std::uint32_t&) {
  m.init(item);
  return true;
}

bool LASitemEncoderRGB12v2::write(const std::uint8_t* item, std::uint32_t&) {
  const std::uint8_t* last = m.last_item;
  std::uint32_t used = 0;
  for (int i = 0; i < 6; i++) used |= static_cast<std::uint32_t>(item[i] != last[i]) << i;
  const bool grey = item[0] == item[2] && item[0] == item[4] && item[1] == item[3] && item[1] == item[5];
  if (!grey) used |= 64;
  enc.encode_symbol(m.byte_used, used);
  if (used & 1) enc.encode_symbol(m.rgb_diff[0], fold_byte(item[0] - last[0]));
  if (used & 2) enc.encode_symbol(m.rgb_diff[1], fold_byte(item[1] - last[1]));
  if (used & 64) {
    int diff = item[0] - last[0];
    if (used & 4) enc.encode_symbol(m.rgb_diff[2], fold_byte(item[2] - clamp_byte(diff + last[2])));
    if (used & 16) {
      diff = (diff + item[2] - last[2]) / 2;
      enc.encode_symbol(m.rgb_diff[4], fold_byte(item[4] - clamp_byte(diff + last[4])));
    }
    diff = item[1] - last[1];
    if (used & 8) enc.encode_symbol(m.rgb_diff[3], fold_byte(item[3] - clamp_byte(diff + last[3])));
    if (used & 32) {
      diff = (diff + item[3] - last[3]) / 2;
      enc.encode_symbol(m.rgb_diff[5], fold_byte(item[5] - clamp_byte(diff + last[5])));
    }
  }
  std::memcpy(m.last_item, item, 6);
  return true;
}

}  // namespace tinrise
