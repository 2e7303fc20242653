// Shared by the filter and transform tests: a mutable argv built from texts,
// points on an exact quantizer, and named point fields that a table row can
// set and read as numbers.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "las/core/las_point.h"

namespace tinrise::test {

// Mutable argv as main() receives it; element 0 is the program.
struct Arguments {
  explicit Arguments(const std::string& text) {
    std::istringstream words(text);
    storage.push_back("tinrise");
    for (std::string word; words >> word;) storage.push_back(word);
    for (std::string& word : storage) pointers.push_back(word.data());
  }
  int argc() const { return static_cast<int>(pointers.size()); }
  char** argv() { return pointers.data(); }
  // The arguments the parser left, joined by blanks.
  std::string left() const {
    std::string text;
    for (std::size_t i = 1; i < pointers.size(); i++) {
      if (pointers[i][0] == '\0') continue;
      if (!text.empty()) text += ' ';
      text += pointers[i];
    }
    return text;
  }
  std::vector<std::string> storage;
  std::vector<char*> pointers;
};

// Quarter units with an offset: every multiple of 0.25 is stored exactly.
inline const LAScoordinateQuantizer& exact_quantizer() {
  static const LAScoordinateQuantizer quantizer = [] {
    LAScoordinateQuantizer q;
    q.x_scale_factor = q.y_scale_factor = q.z_scale_factor = 0.25;
    q.x_offset = 1000.0;
    q.y_offset = 2000.0;
    q.z_offset = -50.0;
    return q;
  }();
  return quantizer;
}

// A point of type 3 (GPS time and colour) on the exact quantizer, or of
// `point_type` when given.
inline std::unique_ptr<LASpoint> make_point(int point_type = 3) {
  auto point = std::make_unique<LASpoint>();
  static const int sizes[] = {20, 28, 26, 34, 57, 63, 30, 36, 38, 59, 67};
  point->init(&exact_quantizer(), point_type, sizes[point_type]);
  return point;
}

// A point field a table row names: set from and read as a double.
struct Field {
  const char* name;
  void (*set)(LASpoint&, double);
  double (*get)(const LASpoint&);
};

namespace fields {
inline const Field x{"x", [](LASpoint& p, double v) { p.X = p.quantizer->quantize_x(v); },
                     [](const LASpoint& p) { return p.dequantize_x(); }};
inline const Field y{"y", [](LASpoint& p, double v) { p.Y = p.quantizer->quantize_y(v); },
                     [](const LASpoint& p) { return p.dequantize_y(); }};
inline const Field z{"z", [](LASpoint& p, double v) { p.Z = p.quantizer->quantize_z(v); },
                     [](const LASpoint& p) { return p.dequantize_z(); }};
inline const Field X{"X", [](LASpoint& p, double v) { p.X = static_cast<std::int32_t>(v); },
                     [](const LASpoint& p) { return double(p.X); }};
inline const Field Y{"Y", [](LASpoint& p, double v) { p.Y = static_cast<std::int32_t>(v); },
                     [](const LASpoint& p) { return double(p.Y); }};
inline const Field Z{"Z", [](LASpoint& p, double v) { p.Z = static_cast<std::int32_t>(v); },
                     [](const LASpoint& p) { return double(p.Z); }};
// Return r of n written as r * 10 + n.
inline const Field returns{"returns",
                           [](LASpoint& p, double v) {
                             p.return_number = static_cast<int>(v) / 10;
                             p.number_of_returns = static_cast<int>(v) % 10;
                           },
                           [](const LASpoint& p) { return double(p.return_number * 10 + p.number_of_returns); }};
inline const Field extended_returns{
    "extended returns",
    [](LASpoint& p, double v) {
      p.extended_return_number = static_cast<int>(v) / 100;
      p.extended_number_of_returns = static_cast<int>(v) % 100;
    },
    [](const LASpoint& p) { return double(p.extended_return_number * 100 + p.extended_number_of_returns); }};
inline const Field intensity{"intensity", [](LASpoint& p, double v) { p.intensity = static_cast<std::uint16_t>(v); },
                             [](const LASpoint& p) { return double(p.intensity); }};
inline const Field classification{"classification",
                                  [](LASpoint& p, double v) { p.classification = static_cast<int>(v); },
                                  [](const LASpoint& p) { return double(p.classification); }};
inline const Field extended_classification{
    "extended classification", [](LASpoint& p, double v) { p.extended_classification = static_cast<std::uint8_t>(v); },
    [](const LASpoint& p) { return double(p.extended_classification); }};
// Both classifications at once, written as extended * 100 + legacy.
inline const Field both_classes{"both classes",
                                [](LASpoint& p, double v) {
                                  p.extended_classification = static_cast<std::uint8_t>(int(v) / 100);
                                  p.classification = int(v) % 100;
                                },
                                [](const LASpoint& p) {
                                  return double(p.extended_classification * 100 + p.classification);
                                }};
// Flag bits: 1 synthetic, 2 keypoint, 4 withheld, 8 overlap, 16 edge of
// flight line, 32 scan direction.
inline const Field flags{"flags",
                         [](LASpoint& p, double v) {
                           const int f = static_cast<int>(v);
                           p.synthetic_flag = f & 1;
                           p.keypoint_flag = (f >> 1) & 1;
                           p.withheld_flag = (f >> 2) & 1;
                           p.extended_classification_flags = (f & 8) ? 8 : 0;
                           p.edge_of_flight_line = (f >> 4) & 1;
                           p.scan_direction_flag = (f >> 5) & 1;
                         },
                         [](const LASpoint& p) {
                           return double(p.synthetic_flag | p.keypoint_flag << 1 | p.withheld_flag << 2 |
                                         (p.extended_classification_flags & 8) | p.edge_of_flight_line << 4 |
                                         p.scan_direction_flag << 5);
                         }};
// The four extended flag bits alone.
inline const Field extended_flags{
    "extended flags", [](LASpoint& p, double v) { p.extended_classification_flags = static_cast<int>(v); },
    [](const LASpoint& p) { return double(p.extended_classification_flags); }};
inline const Field scan_angle{"scan angle", [](LASpoint& p, double v) { p.scan_angle_rank = static_cast<std::int8_t>(v); },
                              [](const LASpoint& p) { return double(p.scan_angle_rank); }};
inline const Field user_data{"user data", [](LASpoint& p, double v) { p.user_data = static_cast<std::uint8_t>(v); },
                             [](const LASpoint& p) { return double(p.user_data); }};
inline const Field point_source{"point source",
                                [](LASpoint& p, double v) { p.point_source_ID = static_cast<std::uint16_t>(v); },
                                [](const LASpoint& p) { return double(p.point_source_ID); }};
inline const Field scanner_channel{"scanner channel",
                                   [](LASpoint& p, double v) { p.extended_scanner_channel = static_cast<int>(v); },
                                   [](const LASpoint& p) { return double(p.extended_scanner_channel); }};
inline const Field gps_time{"gps time", [](LASpoint& p, double v) { p.gps_time = v; },
                            [](const LASpoint& p) { return p.gps_time; }};
inline const Field red{"red", [](LASpoint& p, double v) { p.rgb[0] = static_cast<std::uint16_t>(v); },
                       [](const LASpoint& p) { return double(p.rgb[0]); }};
inline const Field green{"green", [](LASpoint& p, double v) { p.rgb[1] = static_cast<std::uint16_t>(v); },
                         [](const LASpoint& p) { return double(p.rgb[1]); }};
inline const Field blue{"blue", [](LASpoint& p, double v) { p.rgb[2] = static_cast<std::uint16_t>(v); },
                        [](const LASpoint& p) { return double(p.rgb[2]); }};
inline const Field nir{"nir", [](LASpoint& p, double v) { p.rgb[3] = static_cast<std::uint16_t>(v); },
                       [](const LASpoint& p) { return double(p.rgb[3]); }};
inline const Field wave_packet_index{"wave packet index",
                                     [](LASpoint& p, double v) { p.wave_packet[0] = static_cast<std::uint8_t>(v); },
                                     [](const LASpoint& p) { return double(p.wave_packet[0]); }};
}  // namespace fields

// Every stored byte of a point that an operation can change, for comparing
// two points field by field.
inline std::vector<std::uint8_t> point_bytes(const LASpoint& p) {
  std::vector<std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(&p.X),
                                  reinterpret_cast<const std::uint8_t*>(&p.X) + 20);
  const std::uint8_t* extended = reinterpret_cast<const std::uint8_t*>(&p.extended_scan_angle);
  bytes.insert(bytes.end(), extended, extended + 6);
  const std::uint8_t* rest = reinterpret_cast<const std::uint8_t*>(&p.gps_time);
  bytes.insert(bytes.end(), rest, rest + sizeof(p.gps_time) + sizeof(p.rgb));
  bytes.insert(bytes.end(), p.wave_packet, p.wave_packet + sizeof(p.wave_packet));
  return bytes;
}

// A deterministic assortment of points with every field varied, for checking
// that two filters or transforms behave the same.
inline std::vector<std::unique_ptr<LASpoint>> assorted_points(int count = 400) {
  std::vector<std::unique_ptr<LASpoint>> points;
  std::uint32_t state = 12345;
  const auto next = [&state](std::uint32_t range) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % range;
  };
  for (int i = 0; i < count; i++) {
    auto p = make_point(i % 2 ? 3 : 8);
    p->X = static_cast<std::int32_t>(next(4000)) - 2000;
    p->Y = static_cast<std::int32_t>(next(4000)) - 2000;
    p->Z = static_cast<std::int32_t>(next(4000)) - 2000;
    p->intensity = static_cast<std::uint16_t>(next(65536));
    p->number_of_returns = next(8);
    p->return_number = next(8);
    p->scan_direction_flag = next(2);
    p->edge_of_flight_line = next(2);
    p->classification = next(32);
    p->synthetic_flag = next(2);
    p->keypoint_flag = next(2);
    p->withheld_flag = next(2);
    p->scan_angle_rank = static_cast<std::int8_t>(next(256));
    p->user_data = static_cast<std::uint8_t>(next(256));
    p->point_source_ID = static_cast<std::uint16_t>(next(40));
    p->extended_scan_angle = static_cast<std::int16_t>(next(65536));
    p->extended_scanner_channel = next(4);
    p->extended_classification_flags = next(16);
    p->extended_classification = static_cast<std::uint8_t>(next(256));
    p->extended_return_number = next(16);
    p->extended_number_of_returns = next(16);
    p->gps_time = next(1000000) * 0.001;
    for (std::uint16_t& channel : p->rgb) channel = static_cast<std::uint16_t>(next(65536));
    for (std::uint8_t& byte : p->wave_packet) byte = static_cast<std::uint8_t>(next(256));
    points.push_back(std::move(p));
  }
  return points;
}

}  // namespace tinrise::test
