// An output stream that stores nothing and counts the bytes written, so a
// writer can learn the size of a header or an encoded block without keeping it.
#pragma once

#include "las/core/bytestream_out.h"

namespace tinrise {

class ByteStreamOutNil final : public ByteStreamOut {
 public:
  bool write_byte(std::uint8_t) override {
    byte_count++;
    return true;
  }
  bool write_bytes(const void*, std::size_t count) override {
    byte_count += static_cast<std::int64_t>(count);
    return true;
  }
  bool can_seek() const override { return true; }
  std::int64_t tell() const override { return byte_count; }
  bool seek(std::int64_t) override { return true; }
  bool seek_from_end() override { return true; }

 private:
  std::int64_t byte_count = 0;
};

}  // namespace tinrise
