#include "tool/run_clock.h"

#include <chrono>

namespace tinrise {
namespace {
// Initialised while the program starts, before main runs.
const std::chrono::steady_clock::time_point process_start = std::chrono::steady_clock::now();
}  // namespace

double process_seconds() {
  const auto elapsed = std::chrono::steady_clock::now() - process_start;
  return static_cast<double>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()) / 1000.0;
}

}  // namespace tinrise
