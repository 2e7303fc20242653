// POINT10 version 2: the decoder and its mirror, the encoder.
#include "compress/las_item_codec_point10_v2.h"

#include <cstring>

#include "compress/item_bytes.h"

namespace tinrise {

const std::uint8_t point10_return_map[8][8] = {
    {15, 14, 13, 12, 11, 10, 9, 8}, {14, 0, 1, 3, 6, 10, 10, 9},   {13, 1, 2, 4, 7, 11, 11, 10},
    {12, 3, 4, 5, 8, 12, 12, 11},   {11, 6, 7, 8, 9, 13, 13, 12},  {10, 10, 11, 12, 13, 14, 14, 13},
    {9, 10, 11, 12, 13, 14, 15, 14}, {8, 9, 10, 11, 12, 13, 14, 15},
};

const std::uint8_t point10_return_level[8][8] = {
    {0, 1, 2, 3, 4, 5, 6, 7}, {1, 0, 1, 2, 3, 4, 5, 6}, {2, 1, 0, 1, 2, 3, 4, 5}, {3, 2, 1, 0, 1, 2, 3, 4},
    {4, 3, 2, 1, 0, 1, 2, 3}, {5, 4, 3, 2, 1, 0, 1, 2}, {6, 5, 4, 3, 2, 1, 0, 1}, {7, 6, 5, 4, 3, 2, 1, 0},
};

template <class Coder>
POINT10v2models<Coder>::POINT10v2models(Coder& coder)
    : changed_values(Coder::create_symbol_model(64)),
      scan_angle_rank{Coder::create_symbol_model(256), Coder::create_symbol_model(256)},
      bit_byte(256, Coder::compresses),
      classification(256, Coder::compresses),
      user_data(256, Coder::compresses),
      dx(coder, 32, 2),
      dy(coder, 32, 22),
      z(coder, 32, 20),
      intensity(coder, 16, 4),
      point_source_ID(coder, 16) {}

template <class Coder>
void POINT10v2models<Coder>::init(const std::uint8_t* item) {
  for (int i = 0; i < 16; i++) {
    last_x_diff_median5[i].init();
    last_y_diff_median5[i].init();
    last_intensity[i] = 0;
  }
  for (int i = 0; i < 8; i++) last_height[i] = 0;
  changed_values.init();
  scan_angle_rank[0].init();
  scan_angle_rank[1].init();
  bit_byte.init();
  classification.init();
  user_data.init();
  dx.init();
  dy.init();
  z.init();
  intensity.init();
  point_source_ID.init();
  std::memcpy(last_item, item, 20);
}

template struct POINT10v2models<AcDecoder>;
template struct POINT10v2models<AcEncoder>;

namespace {

using namespace item_bytes;

// The k of the previous coordinate as context: even classes up to a cap, plus
// one for single returns.
std::uint32_t k_context(std::uint32_t k, std::uint32_t cap, std::uint32_t n) {
  return (n == 1) + (k < cap ? k & ~1u : cap);
}

}  // namespace

bool LASitemDecoderPOINT10v2::init(std::uint8_t* item, std::uint32_t&) {
  m.init(item);
  return true;
}

void LASitemDecoderPOINT10v2::read(std::uint8_t* item, std::uint32_t&) {
  std::uint8_t* last = m.last_item;
  const std::uint32_t changed = dec.decode_symbol(m.changed_values);
  if (changed & 32) last[14] = static_cast<std::uint8_t>(dec.decode_symbol(m.bit_byte[last[14]]));
  const std::uint32_t r = last[14] & 7;
  const std::uint32_t n = (last[14] >> 3) & 7;
  const std::uint32_t slot = point10_return_map[n][r];
  const std::uint32_t level = point10_return_level[n][r];
  if (changed & 16) {
    m.last_intensity[slot] = static_cast<std::uint16_t>(m.intensity.decode(m.last_intensity[slot], slot < 3 ? slot : 3));
  }
  put_u16(last + 12, m.last_intensity[slot]);
  if (changed & 8) last[15] = static_cast<std::uint8_t>(dec.decode_symbol(m.classification[last[15]]));
  if (changed & 4) {
    last[16] = fold_byte(last[16] + static_cast<int>(dec.decode_symbol(m.scan_angle_rank[(last[14] >> 6) & 1])));
  }
  if (changed & 2) last[17] = static_cast<std::uint8_t>(dec.decode_symbol(m.user_data[last[17]]));
  if (changed & 1) put_u16(last + 18, static_cast<std::uint16_t>(m.point_source_ID.decode(get_u16(last + 18))));

  const std::int32_t diff_x = m.dx.decode(m.last_x_diff_median5[slot].get(), n == 1);
  put_i32(last, add_wrapping(get_i32(last), diff_x));
  m.last_x_diff_median5[slot].add(diff_x);

  const std::int32_t diff_y = m.dy.decode(m.last_y_diff_median5[slot].get(), k_context(m.dx.k, 20, n));
  put_i32(last + 4, add_wrapping(get_i32(last + 4), diff_y));
  m.last_y_diff_median5[slot].add(diff_y);

  const std::int32_t z = m.z.decode(m.last_height[level], k_context((m.dx.k + m.dy.k) / 2, 18, n));
  put_i32(last + 8, z);
  m.last_height[level] = z;

  std::memcpy(item, last, 20);
}

bool LASitemEncoderPOINT10v2::init(const std::uint8_t* item, std::uint32_t&) {
  m.init(item);
  return true;
}

bool LASitemEncoderPOINT10v2::write(const std::uint8_t* item, std::uint32_t&) {
  std::uint8_t* last = m.last_item;
  const std::uint32_t r = item[14] & 7;
  const std::uint32_t n = (item[14] >> 3) & 7;
  const std::uint32_t slot = point10_return_map[n][r];
  const std::uint32_t level = point10_return_level[n][r];
  const std::uint16_t intensity = get_u16(item + 12);
  const std::uint32_t changed = (last[14] != item[14]) << 5 | (m.last_intensity[slot] != intensity) << 4 |
                                (last[15] != item[15]) << 3 | (last[16] != item[16]) << 2 |
                                (last[17] != item[17]) << 1 | (get_u16(last + 18) != get_u16(item + 18));
  enc.encode_symbol(m.changed_values, changed);
  if (changed & 32) enc.encode_symbol(m.bit_byte[last[14]], item[14]);
  if (changed & 16) {
    m.intensity.encode(m.last_intensity[slot], intensity, slot < 3 ? slot : 3);
    m.last_intensity[slot] = intensity;
  }
  if (changed & 8) enc.encode_symbol(m.classification[last[15]], item[15]);
  if (changed & 4) enc.encode_symbol(m.scan_angle_rank[(item[14] >> 6) & 1], fold_byte(item[16] - last[16]));
  if (changed & 2) enc.encode_symbol(m.user_data[last[17]], item[17]);
  if (changed & 1) m.point_source_ID.encode(get_u16(last + 18), get_u16(item + 18));

  const std::int32_t diff_x = sub_wrapping(get_i32(item), get_i32(last));
  m.dx.encode(m.last_x_diff_median5[slot].get(), diff_x, n == 1);
  m.last_x_diff_median5[slot].add(diff_x);

  const std::int32_t diff_y = sub_wrapping(get_i32(item + 4), get_i32(last + 4));
  m.dy.encode(m.last_y_diff_median5[slot].get(), diff_y, k_context(m.dx.k, 20, n));
  m.last_y_diff_median5[slot].add(diff_y);

  const std::int32_t z = get_i32(item + 8);
  m.z.encode(m.last_height[level], z, k_context((m.dx.k + m.dy.k) / 2, 18, n));
  m.last_height[level] = z;

  std::memcpy(last, item, 20);
  return true;
}

}  // namespace tinrise
