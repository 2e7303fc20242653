// GPSTIME11 version 2: the decoder and its mirror, the encoder. Times are the
// 64-bit patterns of the doubles; all differences are integer differences.
#include "compress/las_item_codec_gpstime11_v2.h"

#include <cstring>

namespace tinrise {

namespace {

std::int64_t add_wrapping(std::int64_t a, std::int64_t b) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}
std::int32_t multiply_wrapping(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}
std::int32_t high_half(std::int64_t time) { return static_cast<std::int32_t>(static_cast<std::uint64_t>(time) >> 32); }
bool fits_32_bits(std::int64_t value) { return value == static_cast<std::int32_t>(value); }

}  // namespace

template <class Coder>
void GPSTIME11v2models<Coder>::init(const std::uint8_t* item) {
  last = next = 0;
  for (int i = 0; i < 4; i++) {
    last_diff[i] = 0;
    extreme_counter[i] = 0;
    last_time[i] = 0;
  }
  multi.init();
  zero_diff.init();
  time.init();
  std::memcpy(&last_time[0], item, 8);
}

template struct GPSTIME11v2models<AcDecoder>;
template struct GPSTIME11v2models<AcEncoder>;

bool LASitemDecoderGPSTIME11v2::init(std::uint8_t* item, std::uint32_t&) {
  m.init(item);
  return true;
}

// A full time opens the next sequence.
void LASitemDecoderGPSTIME11v2::read_full_time() {
  m.next = (m.next + 1) & 3;
  const std::uint64_t high = static_cast<std::uint32_t>(m.time.decode(high_half(m.last_time[m.last]), 8));
  const std::uint64_t low = dec.read_int();
  m.last_time[m.next] = static_cast<std::int64_t>((high << 32) | low);
  m.last = m.next;
  m.last_diff[m.last] = 0;
  m.extreme_counter[m.last] = 0;
}

void LASitemDecoderGPSTIME11v2::read(std::uint8_t* item, std::uint32_t&) {
  // An encoder switches sequences at most once per time, always to one within
  // reach; more switches are damage, which could otherwise spin for long.
  for (int switches = 0;; switches++) {
    if (switches > 1) throw corrupt_data;
    std::int64_t& t = m.last_time[m.last];
    std::int32_t& d = m.last_diff[m.last];
    std::int32_t& counter = m.extreme_counter[m.last];
    if (d == 0) {
      const std::uint32_t s = dec.decode_symbol(m.zero_diff);
      if (s == 1) {
        d = m.time.decode(0, 0);
        t = add_wrapping(t, d);
        counter = 0;
      } else if (s == 2) {
        read_full_time();
      } else if (s > 2) {
        m.last = (m.last + s - 2) & 3;
        continue;
      }
      break;
    }
    const std::uint32_t s = dec.decode_symbol(m.multi);
    // Large multiples seen four times in a row become the new difference.
    auto extreme = [&](std::int32_t diff) {
      if (++counter > 3) {
        d = diff;
        counter = 0;
      }
    };
    if (s == 1) {
      t = add_wrapping(t, m.time.decode(d, 1));
      counter = 0;
    } else if (s < static_cast<std::uint32_t>(m.multi_max)) {
      if (s == 0) {
        const std::int32_t diff = m.time.decode(0, 7);
        t = add_wrapping(t, diff);
        extreme(diff);
      } else {
        t = add_wrapping(t, m.time.decode(multiply_wrapping(static_cast<std::int32_t>(s), d), s < 10 ? 2 : 3));
      }
    } else if (s == static_cast<std::uint32_t>(m.multi_max)) {
      const std::int32_t diff = m.time.decode(multiply_wrapping(m.multi_max, d), 4);
      t = add_wrapping(t, diff);
      extreme(diff);
    } else if (s < static_cast<std::uint32_t>(m.multi_max - m.multi_min)) {
      const std::int32_t multiple = m.multi_max - static_cast<std::int32_t>(s);
      t = add_wrapping(t, m.time.decode(multiply_wrapping(multiple, d), 5));
    } else if (s == static_cast<std::uint32_t>(m.multi_max - m.multi_min)) {
      const std::int32_t diff = m.time.decode(multiply_wrapping(m.multi_min, d), 6);
      t = add_wrapping(t, diff);
      extreme(diff);
    } else if (s == m.multi_full) {
      read_full_time();
    } else if (s > m.multi_full) {
      m.last = (m.last + s - m.multi_full) & 3;
      continue;
    }
    break;
  }
  std::memcpy(item, &m.last_time[m.last], 8);
}

bool LASitemEncoderGPSTIME11v2::init(const std::uint8_t* item, std::uint32_t&) {
  m.init(item);
  return true;
}

void LASitemEncoderGPSTIME11v2::write_full_time(std::int64_t time) {
  m.time.encode(high_half(m.last_time[m.last]), high_half(time), 8);
  enc.write_int(static_cast<std::uint32_t>(time));
  m.next = (m.next + 1) & 3;
  m.last = m.next;
  m.last_diff[m.last] = 0;
  m.extreme_counter[m.last] = 0;
}

bool LASitemEncoderGPSTIME11v2::write(const std::uint8_t* item, std::uint32_t&) {
  std::int64_t time;
  std::memcpy(&time, item, 8);
  write_time(time);
  m.last_time[m.last] = time;
  return true;
}

void LASitemEncoderGPSTIME11v2::write_time(std::int64_t time) {
  const std::int64_t t = m.last_time[m.last];
  std::int32_t& d = m.last_diff[m.last];
  std::int32_t& counter = m.extreme_counter[m.last];
  // Whether another sequence lies within 32 bits of the time; then switches to it.
  auto other_sequence = [&]() -> std::uint32_t {
    for (std::uint32_t i = 1; i < 4; i++) {
      const std::int64_t other = m.last_time[(m.last + i) & 3];
      if (fits_32_bits(static_cast<std::int64_t>(static_cast<std::uint64_t>(time) - static_cast<std::uint64_t>(other)))) {
        return i;
      }
    }
    return 0;
  };
  const std::int64_t diff64 = static_cast<std::int64_t>(static_cast<std::uint64_t>(time) - static_cast<std::uint64_t>(t));
  if (d == 0) {
    if (time == t) {
      enc.encode_symbol(m.zero_diff, 0);
    } else if (fits_32_bits(diff64)) {
      enc.encode_symbol(m.zero_diff, 1);
      m.time.encode(0, static_cast<std::int32_t>(diff64), 0);
      d = static_cast<std::int32_t>(diff64);
      counter = 0;
    } else if (const std::uint32_t i = other_sequence()) {
      enc.encode_symbol(m.zero_diff, i + 2);
      m.last = (m.last + i) & 3;
      write_time(time);
    } else {
      enc.encode_symbol(m.zero_diff, 2);
      write_full_time(time);
    }
    return;
  }
  if (time == t) {
    enc.encode_symbol(m.multi, m.multi_unchanged);
    return;
  }
  if (!fits_32_bits(diff64)) {
    if (const std::uint32_t i = other_sequence()) {
      enc.encode_symbol(m.multi, m.multi_full + i);
      m.last = (m.last + i) & 3;
      write_time(time);
    } else {
      enc.encode_symbol(m.multi, m.multi_full);
      write_full_time(time);
    }
    return;
  }
  const std::int32_t diff = static_cast<std::int32_t>(diff64);
  const double quotient = static_cast<double>(diff) / static_cast<double>(d);
  const std::int64_t q =
      quotient >= 0 ? static_cast<std::int64_t>(quotient + 0.5) : static_cast<std::int64_t>(quotient - 0.5);
  auto extreme = [&]() {
    if (++counter > 3) {
      d = diff;
      counter = 0;
    }
  };
  if (q == 1) {
    enc.encode_symbol(m.multi, 1);
    m.time.encode(d, diff, 1);
    counter = 0;
  } else if (q >= 2 && q < m.multi_max) {
    const std::int32_t multiple = static_cast<std::int32_t>(q);
    enc.encode_symbol(m.multi, static_cast<std::uint32_t>(multiple));
    m.time.encode(multiply_wrapping(multiple, d), diff, multiple < 10 ? 2 : 3);
  } else if (q >= m.multi_max) {
    enc.encode_symbol(m.multi, m.multi_max);
    m.time.encode(multiply_wrapping(m.multi_max, d), diff, 4);
    extreme();
  } else if (q > m.multi_min && q < 0) {
    const std::int32_t multiple = static_cast<std::int32_t>(q);
    enc.encode_symbol(m.multi, static_cast<std::uint32_t>(m.multi_max - multiple));
    m.time.encode(multiply_wrapping(multiple, d), diff, 5);
  } else if (q <= m.multi_min) {
    enc.encode_symbol(m.multi, static_cast<std::uint32_t>(m.multi_max - m.multi_min));
    m.time.encode(multiply_wrapping(m.multi_min, d), diff, 6);
    extreme();
  } else {
    enc.encode_symbol(m.multi, 0);
    m.time.encode(0, diff, 7);
    extreme();
  }
}

}  // namespace tinrise
