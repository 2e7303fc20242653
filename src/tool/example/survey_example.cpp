// The built-in example of the quick start: writes a synthetic airborne survey
// as a LAS file, and summarises the heights tinrise stored in one.
//
//   tinrise_example generate out.las [points]   hilly terrain with buildings
//                                              and trees, scanned in flight
//                                              lines, ground classified
//   tinrise_example summarize heights.las      points per class and height band
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "las/io/las_reader_las.h"
#include "las/io/las_writer_las.h"

namespace tinrise {
namespace {

constexpr double pi = 3.14159265358979323846;

std::uint64_t mix(std::uint64_t z) {
  z += 0x9e3779b97f4a7c15ull;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
  return z ^ (z >> 31);
}

double unit(std::uint64_t h) { return static_cast<double>(h >> 11) * 0x1.0p-53; }

double terrain(double x, double y) {
  return 210.0 + 18.0 * std::sin(x / 240.0) * std::cos(y / 310.0) + 6.0 * std::sin((x - 2 * y) / 110.0) +
         1.5 * std::cos((3 * x + y) / 37.0);
}

// Roof height above the terrain where a building stands, else 0.
double roof(double x, double y) {
  const double bx = std::floor(x / 70.0), by = std::floor(y / 70.0);
  const std::uint64_t h = mix(static_cast<std::uint64_t>((bx + 1000) * 7919 + (by + 1000) * 104729));
  if ((h & 3) != 0) return 0.0;
  const double fx = x - bx * 70.0, fy = y - by * 70.0;
  if (fx < 18 || fx > 52 || fy < 15 || fy > 45) return 0.0;
  return 6.0 + 9.0 * unit(h);
}

// Tree crown height above the terrain, 0 in the open.
double crown(double x, double y) {
  const double cell = 9.0;
  const double cx = std::floor(x / cell), cy = std::floor(y / cell);
  const std::uint64_t h = mix(static_cast<std::uint64_t>((cx + 5000) * 92821 + (cy + 5000) * 68917 + 17));
  const double density = 0.5 + 0.5 * std::sin(x / 160.0 + std::cos(y / 120.0));
  if (unit(h) > density * 0.7) return 0.0;
  const double tx = (cx + 0.2 + 0.6 * unit(mix(h))) * cell, ty = (cy + 0.2 + 0.6 * unit(mix(h + 1))) * cell;
  const double radius = 2.5 + 2.0 * unit(mix(h + 2));
  const double d = std::hypot(x - tx, y - ty);
  if (d > radius) return 0.0;
  const double top = 8.0 + 14.0 * unit(mix(h + 3));
  return top * (1.0 - 0.35 * (d / radius) * (d / radius));
}

struct Echo {
  double z;
  std::uint8_t classification;
};

int generate(const char* file_name, std::int64_t wanted) {
  LASheader header;
  header.version_minor = 2;
  header.point_data_format = 1;
  header.point_data_record_length = 28;
  header.x_offset = 500000.0;
  header.y_offset = 4000000.0;
  header.global_encoding = 1;
  std::strcpy(header.system_identifier, "tinrise example survey");
  std::strcpy(header.generating_software, "tinrise_example");
  LASwriterLAS writer;
  if (!writer.open(file_name, &header)) return 1;
  LASpoint point;
  point.init(&header, 1, 28, &header);

  // About 8 pulses per square metre and pass: 60 m/s, 150 kHz, 330 m swath,
  // 25 % side overlap, lines flown alternately east and west.
  const double speed = 60.0, pulse_rate = 150000.0, swath = 330.0, spacing = 250.0, scan_rate = 70.0;
  const double side = std::sqrt(static_cast<double>(wanted) / 8.0 * spacing / swath) + 50.0;
  const double x0 = 512000.0, y0 = 4003000.0;
  std::int64_t written = 0;
  std::uint64_t pulse = 0;
  for (int line = 0; written < wanted; line++) {
    const double centre = y0 + swath / 2 + line * spacing;
    const bool east = (line % 2) == 0;
    const double duration = side / speed;
    const std::uint64_t pulses = static_cast<std::uint64_t>(duration * pulse_rate);
    for (std::uint64_t k = 0; k < pulses && written < wanted; k++, pulse++) {
      const double t = k / pulse_rate;
      const double along = speed * t;
      const double phase = std::fmod(t * scan_rate, 1.0);
      const double across = (phase < 0.5 ? 4 * phase - 1 : 3 - 4 * phase) * swath / 2;  // zigzag mirror
      const std::uint64_t h = mix(pulse);
      const double x = east ? x0 + along : x0 + side - along;
      const double y = centre + across + 0.05 * (unit(h) - 0.5);
      const double ground = terrain(x, y);
      Echo echoes[4];
      int count = 0;
      const double building = roof(x, y);
      const double tree = crown(x, y);
      if (building > 0) {
        echoes[count++] = {ground + building, 6};
      } else if (tree > 0) {
        echoes[count++] = {ground + tree - 0.6 * unit(mix(h + 5)), 5};
        if (unit(mix(h + 6)) < 0.6) echoes[count++] = {ground + tree * (0.3 + 0.4 * unit(mix(h + 7))), 4};
        if (unit(mix(h + 8)) < 0.7) echoes[count++] = {ground + 0.03 * unit(mix(h + 9)), 2};
      } else if (unit(mix(h + 10)) < 0.12) {
        echoes[count++] = {ground + 0.2 + 0.8 * unit(mix(h + 11)), 3};
        echoes[count++] = {ground, 2};
      } else {
        echoes[count++] = {ground + 0.02 * (unit(mix(h + 12)) - 0.5), 2};
      }
      if (unit(mix(h + 13)) < 0.00002) echoes[0] = {ground - 8.0 - 20.0 * unit(mix(h + 14)), 7};  // low noise
      // Later echoes of an off-nadir pulse lie further along the beam.
      const double lean = across / 1000.0;
      for (int e = 0; e < count && written < wanted; e++) {
        point.X = header.quantize_x(x);
        point.Y = header.quantize_y(y + (echoes[0].z - echoes[e].z) * lean);
        point.Z = header.quantize_z(echoes[e].z);
        point.intensity = static_cast<std::uint16_t>(200 + 1800 * unit(mix(h + 20 + e)));
        point.return_number = static_cast<std::uint8_t>(e + 1);
        point.number_of_returns = static_cast<std::uint8_t>(count);
        point.scan_direction_flag = phase < 0.5;
        point.edge_of_flight_line = std::fabs(across) > swath / 2 - 0.5;
        point.classification = echoes[e].classification;
        point.scan_angle_rank = static_cast<std::int8_t>(std::lround(std::atan2(across, 1000.0) * 180.0 / pi));
        point.point_source_ID = static_cast<std::uint16_t>(line + 1);
        point.gps_time = 300000.0 + line * (duration + 90.0) + t;
        writer.put_point(point);
        writer.tally_point(point);
        written++;
      }
    }
  }
  header.number_of_point_records = static_cast<std::uint32_t>(written);
  writer.patch_header(&header, true);
  writer.close();
  std::fprintf(stderr, "generated %" PRId64 " points in '%s'\n", written, file_name);
  return 0;
}

int summarize(const char* file_name) {
  LASreaderLAS reader;
  if (!reader.open(file_name)) return 1;
  static const char* const band_names[] = {"< 0.5 m", "0.5-2 m", "2-5 m", "5-15 m", ">= 15 m"};
  static const double band_limits[] = {0.5, 2.0, 5.0, 15.0};
  std::int64_t counts[32][5] = {};
  std::int64_t total = 0;
  while (reader.next_point()) {
    const double height = reader.point.user_data / 10.0;
    int band = 0;
    while (band < 4 && height >= band_limits[band]) band++;
    counts[reader.point.classification][band]++;
    total++;
  }
  static const char* const class_names[32] = {"never classified", "unclassified", "ground", "low vegetation",
                                              "medium vegetation", "high vegetation", "building", "low noise"};
  std::printf("heights above ground in '%s' (%" PRId64 " points, from the user data in decimetres)\n", file_name,
              total);
  std::printf("%-18s", "class");
  for (const char* band : band_names) std::printf("%11s", band);
  std::printf("\n");
  for (int c = 0; c < 32; c++) {
    std::int64_t row = 0;
    for (int b = 0; b < 5; b++) row += counts[c][b];
    if (row == 0) continue;
    std::printf("%2d %-15s", c, class_names[c] ? class_names[c] : "");
    for (int b = 0; b < 5; b++) std::printf("%11" PRId64, counts[c][b]);
    std::printf("\n");
  }
  return 0;
}

}  // namespace
}  // namespace tinrise

int main(int argc, char* argv[]) {
  if (argc >= 3 && std::strcmp(argv[1], "generate") == 0) {
    const std::int64_t points = argc >= 4 ? std::atoll(argv[3]) : 3000000;
    return tinrise::generate(argv[2], points > 0 ? points : 3000000);
  }
  if (argc >= 3 && std::strcmp(argv[1], "summarize") == 0) return tinrise::summarize(argv[2]);
  std::fprintf(stderr, "usage: tinrise_example generate out.las [points] | summarize heights.las\n");
  return 1;
}
