// POINT10 version 1: the decoder and its mirror, the encoder.
#include "compress/las_item_codec_point10_v1.h"

#include <cstring>

#include "compress/item_bytes.h"

namespace tinrise {

namespace {

using namespace item_bytes;
std::uint32_t at_most_19(std::uint32_t k) { return k < 19 ? k : 19; }

}  // namespace

template <class Coder>
std::int32_t POINT10v1models<Coder>::median3(const std::int32_t* v) {
  if (v[0] < v[1]) {
    if (v[1] < v[2]) return v[1];
    return v[0] < v[2] ? v[2] : v[0];
  }
  if (v[0] < v[2]) return v[0];
  return v[1] < v[2] ? v[2] : v[1];
}

template <class Coder>
void POINT10v1models<Coder>::init(const std::uint8_t* item) {
  for (int i = 0; i < 3; i++) last_x_diff[i] = last_y_diff[i] = 0;
  last_incr = 0;
  changed_values.init();
  bit_byte.init();
  classification.init();
  user_data.init();
  dx.init();
  dy.init();
  z.init();
  intensity.init();
  scan_angle_rank.init();
  point_source_ID.init();
  std::memcpy(last_item, item, 20);
}

template struct POINT10v1models<AcDecoder>;
template struct POINT10v1models<AcEncoder>;

bool LASitemDecoderPOINT10v1::init(std::uint8_t* item, std::uint32_t&) {
  m.init(item);
  return true;
}

void LASitemDecoderPOINT10v1::read(std::uint8_t* item, std::uint32_t&) {
  std::uint8_t* last = m.last_item;
  const std::int32_t diff_x = m.dx.decode(m.median_x());
  put_i32(last, add_wrapping(get_i32(last), diff_x));
  std::uint32_t k = m.dx.k;
  const std::int32_t diff_y = m.dy.decode(m.median_y(), at_most_19(k));
  put_i32(last + 4, add_wrapping(get_i32(last + 4), diff_y));
  k = (k + m.dy.k) / 2;
  put_i32(last + 8, m.z.decode(get_i32(last + 8), at_most_19(k)));

  const std::uint32_t changed = dec.decode_symbol(m.changed_values);
  if (changed) {
    if (changed & 32) put_u16(last + 12, static_cast<std::uint16_t>(m.intensity.decode(get_u16(last + 12))));
    if (changed & 16) last[14] = static_cast<std::uint8_t>(dec.decode_symbol(m.bit_byte[last[14]]));
    if (changed & 8) last[15] = static_cast<std::uint8_t>(dec.decode_symbol(m.classification[last[15]]));
    if (changed & 4) last[16] = static_cast<std::uint8_t>(m.scan_angle_rank.decode(last[16], k < 3));
    if (changed & 2) last[17] = static_cast<std::uint8_t>(dec.decode_symbol(m.user_data[last[17]]));
    if (changed & 1) put_u16(last + 18, static_cast<std::uint16_t>(m.point_source_ID.decode(get_u16(last + 18))));
  }
  m.last_x_diff[m.last_incr] = diff_x;
  m.last_y_diff[m.last_incr] = diff_y;
  if (++m.last_incr > 2) m.last_incr = 0;
  std::memcpy(item, last, 20);
}

bool LASitemEncoderPOINT10v1::init(const std::uint8_t* item, std::uint32_t&) {
  m.init(item);
  return true;
}

bool LASitemEncoderPOINT10v1::write(const std::uint8_t* item, std::uint32_t&) {
  std::uint8_t* last = m.last_item;
  const std::int32_t diff_x = sub_wrapping(get_i32(item), get_i32(last));
  m.dx.encode(m.median_x(), diff_x);
  std::uint32_t k = m.dx.k;
  const std::int32_t diff_y = sub_wrapping(get_i32(item + 4), get_i32(last + 4));
  m.dy.encode(m.median_y(), diff_y, at_most_19(k));
  k = (k + m.dy.k) / 2;
  m.z.encode(get_i32(last + 8), get_i32(item + 8), at_most_19(k));

  const std::uint32_t changed = (get_u16(last + 12) != get_u16(item + 12)) << 5 | (last[14] != item[14]) << 4 |
                                (last[15] != item[15]) << 3 | (last[16] != item[16]) << 2 |
                                (last[17] != item[17]) << 1 | (get_u16(last + 18) != get_u16(item + 18));
  enc.encode_symbol(m.changed_values, changed);
  if (changed) {
    if (changed & 32) m.intensity.encode(get_u16(last + 12), get_u16(item + 12));
    if (changed & 16) enc.encode_symbol(m.bit_byte[last[14]], item[14]);
    if (changed & 8) enc.encode_symbol(m.classification[last[15]], item[15]);
    if (changed & 4) m.scan_angle_rank.encode(last[16], item[16], k < 3);
    if (changed & 2) enc.encode_symbol(m.user_data[last[17]], item[17]);
    if (changed & 1) m.point_source_ID.encode(get_u16(last + 18), get_u16(item + 18));
  }
  m.last_x_diff[m.last_incr] = diff_x;
  m.last_y_diff[m.last_incr] = diff_y;
  if (++m.last_incr > 2) m.last_incr = 0;
  std::memcpy(last, item, 20);
  return true;
}

}  // namespace tinrise
