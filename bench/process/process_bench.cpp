// Per-point cost of a filter of three conditions and a transform of two
// operations over 10 million points, in one run: first asked point by point
// (as for compressed or other inputs) beside a plain loop that fills the
// point from in-memory records, then through the LAS reader reading the same
// points from uncompressed files of point types 1 and 6 (which it decides
// and changes in runs of buffered records) beside the same read without
// them. The best of several interleaved passes counts.
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "las/core/las_point.h"
#include "las/io/las_reader_las.h"
#include "las/io/las_writer_las.h"
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

// What both loops add up from every delivered point, so no work is skipped.
std::uint64_t fold(const tinrise::LASpoint& p) {
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(p.Z)) + p.intensity + p.classification;
}

// Writes the records as a LAS 1.2 file of point type 1, or as a LAS 1.4
// file of point type 6 with the same fields.
bool write_file(const char* name, const std::vector<std::uint8_t>& records, int point_type) {
  tinrise::LASheader header;
  header.point_data_format = static_cast<std::uint8_t>(point_type);
  header.point_data_record_length = point_type == 6 ? 30 : record_size;
  if (point_type == 6) {
    header.version_minor = 4;
    header.header_size = 375;
    header.offset_to_point_data = 375;
  }
  tinrise::LASpoint point;
  if (!point.init(&header, point_type, header.point_data_record_length, &header)) return false;
  tinrise::LASwriterLAS writer;
  if (!writer.open(name, &header)) return false;
  for (std::size_t i = 0; i < point_count; i++) {
    std::memcpy(&point.X, records.data() + i * record_size, 20);
    std::memcpy(&point.gps_time, records.data() + i * record_size + 20, 8);
    if (point_type == 6) {
      point.extended_return_number = point.return_number;
      point.extended_number_of_returns = point.number_of_returns;
      point.extended_classification = point.classification;
    }
    if (!writer.put_point(point)) return false;
    writer.tally_point(point);
  }
  writer.patch_header(&header, true);
  return writer.close() > 0;
}

// Reads the whole file, with the filter and transform when given; returns
// nanoseconds per stored point and the checksum of the points delivered.
double read_ns_per_point(const char* name, tinrise::LASpointFilter* filter, tinrise::LASpointTransform* transform,
                         std::uint64_t& checksum) {
  tinrise::LASreaderLAS reader;
  checksum = 0;
  const auto start = std::chrono::steady_clock::now();
  if (!reader.open(name)) return -1.0;
  if (filter) filter->reset(), reader.attach_filter(filter);
  if (transform) transform->reset(), reader.attach_transform(transform);
  while (reader.next_point()) {
    checksum += fold(reader.point);
  }
  reader.close();
  const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
  return elapsed.count() / point_count;
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
  std::printf("point by point, in memory:\n");
  std::printf("plain loop (fill point)         %6.2f ns/point   checksum %llu\n", plain,
              static_cast<unsigned long long>(plain_sum));
  std::printf("with filter and transform       %6.2f ns/point   checksum %llu\n", processed,
              static_cast<unsigned long long>(processed_sum));
  std::printf("added by filter and transform   %6.2f ns/point   (%.2f x the plain loop)\n", processed - plain,
              processed / plain);

  const struct {
    int point_type;
    const char* title;
  } files[] = {{1, "uncompressed LAS file, point type 1"}, {6, "uncompressed LAS 1.4 file, point type 6"}};
  for (const auto& file : files) {
    char name[64];
    std::snprintf(name, sizeof(name), "/tmp/tinrise_process_bench_%d.las", static_cast<int>(getpid()));
    if (!write_file(name, records, file.point_type)) {
      std::printf("cannot write '%s'\n", name);
      std::remove(name);
      return 1;
    }
    double read_plain = 1e30, read_processed = 1e30;
    std::uint64_t read_plain_sum = 0, read_processed_sum = 0;
    for (int pass = 0; pass < 5; pass++) {
      const double a = read_ns_per_point(name, nullptr, nullptr, read_plain_sum);
      const double b = read_ns_per_point(name, &filter, &transform, read_processed_sum);
      if (a >= 0 && a < read_plain) read_plain = a;
      if (b >= 0 && b < read_processed) read_processed = b;
    }
    std::remove(name);
    std::printf("%s:\n", file.title);
    std::printf("LAS file read                   %6.2f ns/point   checksum %llu\n", read_plain,
                static_cast<unsigned long long>(read_plain_sum));
    std::printf("read, filtered and transformed   %6.2f ns/point   checksum %llu\n", read_processed,
                static_cast<unsigned long long>(read_processed_sum));
    std::printf("added to the read               %6.2f ns/point   (+%.0f%% of the read time)\n",
                read_processed - read_plain, 100.0 * (read_processed - read_plain) / read_plain);
  }
  return 0;
}
