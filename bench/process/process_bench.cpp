// Per-point cost of a filter of three conditions and a transform of two
// operations, beside a plain loop that fills the point from raw records the
// way the raw point reader does. Both loops run over the same 10 million
// in-memory records in one run; the best of five passes counts.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "las/core/las_point.h"
#include "options/process/las_point_filter.h"
#include "options/process/las_point_transform.h"

namespace {

constexpr std::size_t point_count = 10'000'000;
constexpr std::size_t record_size = 28;  // point type 1: POINT10 and GPS time

std::vector<std::uint8_t> make_records() {
  std::vector<std::uint8_t> records(point_count * record_size);
  std::uint32_t state = 1;
  const auto next = [&state](std::uint32_t range) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % range;
  };
  tinrise::LASpoint point;
  for (std::size_t i = 0; i < point_count; i++) {
    point.X = static_cast<std::int32_t>(next(100000));
    point.Y = static_cast<std::int32_t>(next(100000));
    point.Z = static_cast<std::int32_t>(next(60000)) - 1000;  // -10 m to 590 m
    point.intensity = static_cast<std::uint16_t>(next(4096));
    // A mix like airborne data: most points first returns, few of them
    // noise, ground and unclassified points interleaved.
    point.number_of_returns = 1 + next(3);
    point.return_number = next(4) == 0 ? 1 + next(point.number_of_returns) : 1;
    const std::uint32_t kind = next(100);
    point.classification = kind < 3 ? 7 : kind < 45 ? 2 : 1;
    point.point_source_ID = 7;
    std::uint8_t* record = records.data() + i * record_size;
    std::memcpy(record, &point.X, 20);
    const double gps_time = 1000.0 + i * 1e-5;
    std::memcpy(record + 20, &gps_time, 8);
  }
  return records;
}

// Runs `body` over every record filled into `point`; returns the best pass
// in nanoseconds per point and the checksum of the last pass.
template <class Body>
double best_ns_per_point(const std::vector<std::uint8_t>& records, tinrise::LASpoint& point, Body body,
                         std::uint64_t& checksum) {
  double best = 1e30;
  for (int pass = 0; pass < 5; pass++) {
    checksum = 0;
    const auto start = std::chrono::steady_clock::now();
    const std::uint8_t* record = records.data();
    for (std::size_t i = 0; i < point_count; i++, record += record_size) {
      std::memcpy(&point.X, record, 20);
      std::memcpy(&point.gps_time, record + 20, 8);
      checksum += body(point);
    }
    const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
    if (elapsed.count() / point_count < best) best = elapsed.count() / point_count;
  }
  return best;
}

}  // namespace

int main() {
  using namespace tinrise;
  const std::vector<std::uint8_t> records = make_records();
  LAScoordinateQuantizer quantizer;
  LASpoint point;
  point.init(&quantizer, 1, static_cast<int>(record_size));

  const char filter_options[] = "-keep_first -drop_z_above 500 -drop_class 7";
  const char transform_options[] = "-translate_z 1.5 -scale_intensity 2";
  LASpointFilter filter;
  LASpointTransform transform;
  if (!filter.parse_text(filter_options) || !transform.parse_text(transform_options)) return 1;

  const auto fold = [](const LASpoint& p) {
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(p.Z)) + p.intensity + p.classification;
  };
  std::uint64_t plain_sum = 0, processed_sum = 0;
  const double plain = best_ns_per_point(records, point, [&](LASpoint& p) { return fold(p); }, plain_sum);
  const double processed = best_ns_per_point(
      records, point,
      [&](LASpoint& p) -> std::uint64_t {
        if (filter.drops(p)) return 0;
        transform.apply(p);
        return fold(p);
      },
      processed_sum);

  std::uint64_t dropped = 0;
  for (std::uint32_t i = 0; i < filter.condition_count(); i++) dropped += filter.drop_count(i);
  std::printf("points per pass                 %zu (%.1f%% dropped by the filter)\n", point_count,
              100.0 * static_cast<double>(dropped) / (5.0 * point_count));
  std::printf("filter   %s\n", filter.echo().c_str());
  std::printf("transform %s\n", transform.echo().c_str());
  std::printf("plain loop (fill point)         %6.2f ns/point   checksum %llu\n", plain,
              static_cast<unsigned long long>(plain_sum));
  std::printf("with filter and transform       %6.2f ns/point   checksum %llu\n", processed,
              static_cast<unsigned long long>(processed_sum));
  std::printf("added by filter and transform   %6.2f ns/point   (%.2f x the plain loop)\n", processed - plain,
              processed / plain);
  return 0;
}
