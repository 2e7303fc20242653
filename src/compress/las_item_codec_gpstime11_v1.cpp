// GPSTIME11 version 1: the decoder and its mirror, the encoder.
#include "compress/las_item_codec_gpstime11_v1.h"

#include <cstring>

namespace tinrise {

namespace {

std::int64_t add_wrapping(std::int64_t a, std::int64_t b) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}
std::int32_t multiply_wrapping(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

// The context of a multiple: small, medium and large ones adapt apart.
std::uint32_t multiple_context(std::uint32_t multiple) { return multiple < 10 ? 3 : (multiple < 50 ? 4 : 5); }

}  // namespace

template <class Coder>
void GPSTIME11v1models<Coder>::init(const std::uint8_t* item) {
  last_diff = 0;
  extreme_counter = 0;
  multi.init();
  zero_diff.init();
  time.init();
  std::memcpy(&last_time, item, 8);
}

template struct GPSTIME11v1models<AcDecoder>;
template struct GPSTIME11v1models<AcEncoder>;

bool LASitemDecoderGPSTIME11v1::init(std::uint8_t* item, std::uint32_t&) {
  m.init(item);
  return true;
}

void LASitemDecoderGPSTIME11v1::read(std::uint8_t* item, std::uint32_t&) {
  if (m.last_diff == 0) {
    const std::uint32_t s = dec.decode_symbol(m.zero_diff);
    if (s == 1) {
      m.last_diff = m.time.decode(0, 0);
      m.last_time = add_wrapping(m.last_time, m.last_diff);
    } else if (s == 2) {
      m.last_time = static_cast<std::int64_t>(dec.read_int64());
    }
  } else {
    const std::uint32_t s = dec.decode_symbol(m.multi);
    if (s < m.multi_full) {
      std::int32_t diff;
      if (s == 1) {
        diff = m.time.decode(m.last_diff, 1);
        m.last_diff = diff;
        m.extreme_counter = 0;
      } else if (s == 0 || s == m.multi_full - 1) {
        diff = s == 0 ? m.time.decode(m.last_diff / 4, 2)
                      : m.time.decode(multiply_wrapping(static_cast<std::int32_t>(s), m.last_diff), 5);
        if (++m.extreme_counter > 3) {
          m.last_diff = diff;
          m.extreme_counter = 0;
        }
      } else {
        diff = m.time.decode(multiply_wrapping(static_cast<std::int32_t>(s), m.last_diff), multiple_context(s));
      }
      m.last_time = add_wrapping(m.last_time, diff);
    } else if (s == m.multi_full) {
      m.last_time = static_cast<std::int64_t>(dec.read_int64());
    }
  }
  std::memcpy(item, &m.last_time, 8);
}

bool LASitemEncoderGPSTIME11v1::init(const std::uint8_t* item, std::uint32_t&) {
  m.init(item);
  return true;
}

bool LASitemEncoderGPSTIME11v1::write(const std::uint8_t* item, std::uint32_t&) {
  std::int64_t time;
  std::memcpy(&time, item, 8);
  const std::int64_t diff64 =
      static_cast<std::int64_t>(static_cast<std::uint64_t>(time) - static_cast<std::uint64_t>(m.last_time));
  const bool fits = diff64 == static_cast<std::int32_t>(diff64);
  const std::int32_t diff = static_cast<std::int32_t>(diff64);
  if (m.last_diff == 0) {
    if (time == m.last_time) {
      enc.encode_symbol(m.zero_diff, 0);
    } else if (fits) {
      enc.encode_symbol(m.zero_diff, 1);
      m.time.encode(0, diff, 0);
      m.last_diff = diff;
    } else {
      enc.encode_symbol(m.zero_diff, 2);
      enc.write_int64(static_cast<std::uint64_t>(time));
    }
  } else if (time == m.last_time) {
    enc.encode_symbol(m.multi, m.multi_unchanged);
  } else if (!fits) {
    enc.encode_symbol(m.multi, m.multi_full);
    enc.write_int64(static_cast<std::uint64_t>(time));
  } else {
    const double quotient = static_cast<double>(diff) / static_cast<double>(m.last_diff);
    const std::int64_t q =
        quotient >= 0 ? static_cast<std::int64_t>(quotient + 0.5) : static_cast<std::int64_t>(quotient - 0.5);
    if (q == 1) {
      enc.encode_symbol(m.multi, 1);
      m.time.encode(m.last_diff, diff, 1);
      m.last_diff = diff;
      m.extreme_counter = 0;
    } else if (q > 1 && q < m.multi_full - 1) {
      const std::uint32_t multiple = static_cast<std::uint32_t>(q);
      enc.encode_symbol(m.multi, multiple);
      m.time.encode(multiply_wrapping(static_cast<std::int32_t>(multiple), m.last_diff), diff,
                    multiple_context(multiple));
    } else {
      // Multiples beyond the largest one and all below 1 count as extreme.
      const std::uint32_t s = q > 1 ? m.multi_full - 1 : 0;
      enc.encode_symbol(m.multi, s);
      const std::int32_t pred =
          s == 0 ? m.last_diff / 4 : multiply_wrapping(static_cast<std::int32_t>(s), m.last_diff);
      m.time.encode(pred, diff, s == 0 ? 2 : 5);
      if (++m.extreme_counter > 3) {
        m.last_diff = diff;
        m.extreme_counter = 0;
      }
    }
  }
  m.last_time = time;
  return true;
}

}  // namespace tinrise
