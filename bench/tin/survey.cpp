// The survey generator of the TIN benchmark (see survey.h). Deterministic:
// the same arguments give the same points.
#include "survey.h"

#include <cmath>
#include <cstdint>

#include "tin/tin_vertex.h"

namespace tinrise::bench {
namespace {

constexpr double pi = 3.14159265358979323846;

// Acquisition parameters of a typical mid-altitude survey at about 10 points
// per square metre.
constexpr double flying_height = 1000.0;  // metres above the datum
constexpr double swath = 400.0;           // nominal swath width, metres
constexpr double line_spacing = 300.0;    // between flight lines: 25 % side overlap
constexpr double speed = 60.0;            // metres per second
constexpr double pulse_rate = 240000.0;   // pulses per second
constexpr double mirror_rate = 60.0;      // full mirror periods per second: 120 scan lines
constexpr double world_x = 636000.0;      // lower left corner of the block
constexpr double world_y = 848000.0;

std::uint64_t mix(std::uint64_t z) {  // splitmix64 finaliser
  z += 0x9e3779b97f4a7c15ull;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
  return z ^ (z >> 31);
}

double unit(std::uint64_t h) { return static_cast<double>(h >> 11) * 0x1.0p-53; }

// Hilly terrain: long swells, a ridge and some small-scale roughness.
double terrain(double x, double y) {
  return 120.0 + 25.0 * std::sin(x / 310.0) * std::cos(y / 270.0) + 8.0 * std::sin((x + 2 * y) / 95.0) +
         3.0 * std::cos((3 * x - y) / 41.0) + 0.4 * std::sin(x / 3.1) * std::sin(y / 2.7);
}

// Vegetation density in [0, 1] and buildings on a block grid.
double canopy(double x, double y) {
  double c = 0.66 + 0.35 * std::sin(x / 83.0 + std::cos(y / 57.0)) + 0.25 * std::sin(y / 37.0 - x / 151.0);
  return c < 0 ? 0 : (c > 1 ? 1 : c);
}

bool building(double x, double y) {
  const double bx = std::floor(x / 60.0), by = std::floor(y / 60.0);
  const std::uint64_t h = mix(static_cast<std::uint64_t>(bx * 7919 + by * 104729 + 1e9));
  if ((h & 7) != 0) return false;  // one block in eight holds a building
  const double fx = x - bx * 60.0, fy = y - by * 60.0;
  return fx > 15 && fx < 45 && fy > 12 && fy < 40;
}

double round_cm(double v) { return std::round(v * 100.0) / 100.0; }

}  // namespace

Survey make_survey(std::size_t ground_points, std::size_t max_other_points) {
  Survey s;
  // About 47 % of the points are ground: size the block to be roughly square.
  const double area = static_cast<double>(ground_points) / 0.47 / 10.0;
  s.line_length = std::fmax(200.0, std::round(std::sqrt(area) / 50.0) * 50.0);
  s.ground.reserve(ground_points);
  s.others.reserve(max_other_points);

  const double half_angle = std::atan(swath / 2 / flying_height);
  const double x0 = world_x - swath, y0 = world_y - 50.0;  // the origin: below every point
  std::uint64_t pulse = 0;
  for (int line = 0; s.ground.size() < ground_points; line++) {
    s.flight_lines = line + 1;
    const double centre_x = world_x + swath / 2 + line * line_spacing;
    const double direction = (line % 2 == 0) ? 1.0 : -1.0;
    const double start_y = (line % 2 == 0) ? world_y : world_y + s.line_length;
    const std::uint64_t pulses = static_cast<std::uint64_t>(s.line_length / speed * pulse_rate);
    for (std::uint64_t i = 0; i < pulses && s.ground.size() < ground_points; i++, pulse++) {
      const double t = static_cast<double>(i) / pulse_rate;
      // Oscillating mirror: a triangle wave across the swath, plus a slow
      // roll of the aircraft and a little pointing noise.
      const double phase = t * mirror_rate - std::floor(t * mirror_rate);
      const double sweep = phase < 0.5 ? 4 * phase - 1 : 3 - 4 * phase;
      const std::uint64_t h = mix(pulse);
      const double roll = 0.004 * std::sin(2 * pi * 0.13 * t + line) + 0.0015 * std::sin(2 * pi * 0.9 * t);
      const double angle = sweep * half_angle + roll + (unit(h) - 0.5) * 2e-5;
      const double ay = start_y + direction * speed * t;
      // The footprint moves with the terrain height under it (one iteration).
      double x = centre_x + flying_height * std::tan(angle);
      const double z0 = terrain(x, ay);
      x = centre_x + (flying_height - z0) * std::tan(angle);
      const double y = ay + 0.01 * std::sin(2 * pi * 0.7 * t) + (unit(mix(h)) - 0.5) * 0.02;
      // What the pulse hits: buildings and canopy hide the ground.
      bool ground;
      double z = terrain(x, y);
      if (building(x, y)) {
        ground = false;
        z += 9.0;
      } else {
        const double cover = canopy(x, y);
        ground = unit(mix(h ^ 0x5bd1e995)) >= 0.85 * cover;
        if (!ground) z += 1.0 + 15.0 * cover * unit(mix(h + 17));
      }
      const TINvertex v = tin_vertex_from(round_cm(x), round_cm(y), round_cm(z), x0, y0);
      if (ground) {
        s.ground.push_back(v);
      } else if (s.others.size() < max_other_points) {
        s.others.push_back(v);
      }
    }
  }
  return s;
}

}  // namespace tinrise::bench
