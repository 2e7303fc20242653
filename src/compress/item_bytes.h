// Little-endian field access in raw item bytes and the wrapping integer
// arithmetic the codecs use on them (differences of 32-bit coordinates wrap).
#pragma once

#include <cstdint>
#include <cstring>

namespace tinrise::item_bytes {

inline std::int32_t get_i32(const std::uint8_t* p) {
  std::int32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline void put_i32(std::uint8_t* p, std::int32_t v) { std::memcpy(p, &v, 4); }
inline std::uint16_t get_u16(const std::uint8_t* p) {
  std::uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
inline void put_u16(std::uint8_t* p, std::uint16_t v) { std::memcpy(p, &v, 2); }
inline std::int32_t add_wrapping(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
inline std::int32_t sub_wrapping(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

}  // namespace tinrise::item_bytes
