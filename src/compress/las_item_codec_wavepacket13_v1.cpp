// WAVEPACKET13 version 1: the decoder and its mirror, the encoder. The item's
// last 28 bytes: offset (u64) at 0, packet size (u32) at 8, then return point,
// x(t), y(t), z(t) at 12 to 24, floats handled as the integers of their bits.
#include "compress/las_item_codec_wavepacket13_v1.h"

#include <cstring>

namespace tinrise {

namespace {

enum : std::uint32_t { same_offset = 0, next_packet = 1, offset_step = 2, full_offset = 3 };

template <typename T>
T get(const std::uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof(T));
  return v;
}
template <typename T>
void put(std::uint8_t* p, T v) {
  std::memcpy(p, &v, sizeof(T));
}

}  // namespace

template <class Coder>
void WAVEPACKET13v1models<Coder>::init(const std::uint8_t* item) {
  last_offset_diff = 0;
  last_kind = 0;
  packet_index.init();
  for (AcSymbolModel& model : offset_kind) model.init();
  offset_diff.init();
  packet_size.init();
  return_point.init();
  xyz.init();
  std::memcpy(last_item, item + 1, 28);
}

template struct WAVEPACKET13v1models<AcDecoder>;
template struct WAVEPACKET13v1models<AcEncoder>;

bool LASitemDecoderWAVEPACKET13v1::init(std::uint8_t* item, std::uint32_t&) {
  m.init(item);
  return true;
}

void LASitemDecoderWAVEPACKET13v1::read(std::uint8_t* item, std::uint32_t&) {
  std::uint8_t* last = m.last_item;
  item[0] = static_cast<std::uint8_t>(dec.decode_symbol(m.packet_index));
  m.last_kind = dec.decode_symbol(m.offset_kind[m.last_kind]);
  const std::uint64_t last_offset = get<std::uint64_t>(last);
  if (m.last_kind == next_packet) {
    put<std::uint64_t>(last, last_offset + get<std::uint32_t>(last + 8));
  } else if (m.last_kind == offset_step) {
    m.last_offset_diff = m.offset_diff.decode(m.last_offset_diff);
    put<std::uint64_t>(last, last_offset + static_cast<std::uint64_t>(static_cast<std::int64_t>(m.last_offset_diff)));
  } else if (m.last_kind == full_offset) {
    put<std::uint64_t>(last, dec.read_int64());
  }
  put<std::int32_t>(last + 8, m.packet_size.decode(get<std::int32_t>(last + 8)));
  put<std::int32_t>(last + 12, m.return_point.decode(get<std::int32_t>(last + 12)));
  for (std::uint32_t i = 0; i < 3; i++) {
    put<std::int32_t>(last + 16 + 4 * i, m.xyz.decode(get<std::int32_t>(last + 16 + 4 * i), i));
  }
  std::memcpy(item + 1, last, 28);
}

bool LASitemEncoderWAVEPACKET13v1::init(const std::uint8_t* item, std::uint32_t&) {
  m.init(item);
  return true;
}

bool LASitemEncoderWAVEPACKET13v1::write(const std::uint8_t* item, std::uint32_t&) {
  std::uint8_t* last = m.last_item;
  enc.encode_symbol(m.packet_index, item[0]);
  const std::uint64_t offset = get<std::uint64_t>(item + 1);
  const std::int64_t diff = static_cast<std::int64_t>(offset - get<std::uint64_t>(last));
  std::uint32_t kind;
  if (diff != static_cast<std::int32_t>(diff)) {
    kind = full_offset;
  } else if (diff == 0) {
    kind = same_offset;
  } else if (diff == static_cast<std::int64_t>(get<std::uint32_t>(last + 8))) {
    kind = next_packet;
  } else {
    kind = offset_step;
  }
  enc.encode_symbol(m.offset_kind[m.last_kind], kind);
  m.last_kind = kind;
  if (kind == offset_step) {
    m.offset_diff.encode(m.last_offset_diff, static_cast<std::int32_t>(diff));
    m.last_offset_diff = static_cast<std::int32_t>(diff);
  } else if (kind == full_offset) {
    enc.write_int64(offset);
  }
  m.packet_size.encode(get<std::int32_t>(last + 8), get<std::int32_t>(item + 9));
  m.return_point.encode(get<std::int32_t>(last + 12), get<std::int32_t>(item + 13));
  for (std::uint32_t i = 0; i < 3; i++) {
    m.xyz.encode(get<std::int32_t>(last + 16 + 4 * i), get<std::int32_t>(item + 17 + 4 * i), i);
  }
  std::memcpy(last, item + 1, 28);
  return true;
}

}  // namespace tinrise
