// The one random generator of a process. It reproduces the C library's
// sequence so that TIN insertion order, jitter, random filtering and random
// translation are the same on every platform and in every child process.
#pragma once

#include <cstdint>

namespace tinrise {

inline constexpr int random_max = 32767;

// Restarts the sequence; a fresh process starts as if seeded with 1.
void random_seed(std::uint32_t seed);

// Next value in 0..random_max.
int random_next();

}  // namespace tinrise
