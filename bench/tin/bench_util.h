// Clock and memory readings shared by the two sides of the TIN benchmark.
#pragma once

#include <sys/resource.h>

#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace tinrise::bench {

inline double now_seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// CPU time of this process (user and system): unlike wall time, it does not
// grow when other processes take turns on the same core.
inline double cpu_seconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

struct Times {
  double wall = 0;
  double cpu = 0;
};

class Stopwatch {
 public:
  Stopwatch() : wall_(now_seconds()), cpu_(cpu_seconds()) {}
  Times elapsed() const { return Times{now_seconds() - wall_, cpu_seconds() - cpu_}; }

 private:
  double wall_, cpu_;
};

// Current resident set of this process, in bytes.
inline double resident_bytes() {
  long pages_total = 0, pages_resident = 0;
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (f == nullptr) return 0;
  if (std::fscanf(f, "%ld %ld", &pages_total, &pages_resident) != 2) pages_resident = 0;
  std::fclose(f);
  return static_cast<double>(pages_resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// Peak resident set of this process so far, in bytes.
inline double peak_resident_bytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) * 1024.0;
}

}  // namespace tinrise::bench
