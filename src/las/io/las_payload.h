// Reads a run of bytes whose length comes from a file without trusting that
// length: memory grows only as the bytes actually arrive, so a hostile size
// ends in the stream's end-of-data signal instead of a huge allocation.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "las/core/bytestream_in.h"

namespace tinrise {

inline void read_untrusted_payload(ByteStreamIn& stream, std::uint64_t size, std::vector<std::uint8_t>& data) {
  constexpr std::uint64_t step = std::uint64_t{1} << 20;
  data.clear();
  while (data.size() < size) {
    const std::size_t old_size = data.size();
    const std::size_t more = static_cast<std::size_t>(std::min<std::uint64_t>(step, size - old_size));
    data.resize(old_size + more);
    stream.get_bytes(data.data() + old_size, more);
  }
}

}  // namespace tinrise
