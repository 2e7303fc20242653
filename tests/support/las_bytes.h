// Builds LAS files byte by byte for tests, and reads fields of stored LAS
// bytes at their fixed offsets, independently of the library's reader.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tinrise::test {

using Bytes = std::vector<std::uint8_t>;

template <typename T>
T get(const Bytes& bytes, std::size_t offset) {
  T value;
  std::memcpy(&value, bytes.data() + offset, sizeof(T));
  return value;
}

template <typename T>
void put(Bytes& bytes, std::size_t offset, T value) {
  if (bytes.size() < offset + sizeof(T)) bytes.resize(offset + sizeof(T));
  std::memcpy(bytes.data() + offset, &value, sizeof(T));
}

inline Bytes read_file_bytes(const std::string& path) {
  Bytes bytes;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    std::uint8_t block[65536];
    std::size_t n;
    while ((n = std::fread(block, 1, sizeof(block), file)) > 0) bytes.insert(bytes.end(), block, block + n);
    std::fclose(file);
  }
  return bytes;
}

inline void write_file_bytes(const std::string& path, const Bytes& bytes) {
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
}

// A minimal valid LAS header of the given version (header only, no records).
inline Bytes las_header(int minor, int point_type, int record_length, std::uint32_t point_count) {
  const int size = minor >= 4 ? 375 : minor == 3 ? 235 : 227;
  Bytes b(size, 0);
  std::memcpy(b.data(), "LASF", 4);
  b[24] = 1;
  b[25] = static_cast<std::uint8_t>(minor);
  put<std::uint16_t>(b, 94, static_cast<std::uint16_t>(size));
  put<std::uint32_t>(b, 96, static_cast<std::uint32_t>(size));
  b[104] = static_cast<std::uint8_t>(point_type);
  put<std::uint16_t>(b, 105, static_cast<std::uint16_t>(record_length));
  put<std::uint32_t>(b, 107, point_count);
  for (int i = 0; i < 3; i++) put<double>(b, 131 + 8 * i, 0.01);
  if (minor >= 4) put<std::uint64_t>(b, 247, point_count);
  return b;
}

// Appends a VLR and counts it in the header.
inline void add_vlr(Bytes& b, const char* user_id, std::uint16_t record_id, const Bytes& payload) {
  Bytes record(54, 0);
  std::strncpy(reinterpret_cast<char*>(record.data() + 2), user_id, 16);
  put<std::uint16_t>(record, 18, record_id);
  put<std::uint16_t>(record, 20, static_cast<std::uint16_t>(payload.size()));
  record.insert(record.end(), payload.begin(), payload.end());
  b.insert(b.end(), record.begin(), record.end());
  put<std::uint32_t>(b, 100, get<std::uint32_t>(b, 100) + 1);
  put<std::uint32_t>(b, 96, get<std::uint32_t>(b, 96) + static_cast<std::uint32_t>(record.size()));
}

}  // namespace tinrise::test
