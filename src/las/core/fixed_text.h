// Copies a zero-terminated text into a fixed-width, zero-padded field of a
// file structure (user ids, descriptions, names), cut at `limit` characters.
#pragma once

#include <cstddef>
#include <cstring>

namespace tinrise {

inline void copy_fixed_text(char* target, std::size_t target_size, const char* source, std::size_t limit) {
  std::memset(target, 0, target_size);
  if (!source) return;
  if (limit > target_size) limit = target_size;
  std::memcpy(target, source, strnlen(source, limit));
}

}  // namespace tinrise
