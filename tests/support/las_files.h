// Writes small LAS files point by point for end-to-end tests, and reads the
// points of a LAS file back in order.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "las/io/las_reader_las.h"
#include "las/io/las_writer_las.h"

namespace tinrise::test {

struct TestPoint {
  double x, y, z;
  int classification = 1;
  std::uint8_t user_data = 0;
};

// Writes the points with the given type and record length; `configure` may
// change the header (attributes, version) before it is written, and `fill`
// each point before it is written.
inline bool write_las(const std::string& path, const std::vector<TestPoint>& points, int type = 1, int length = 28,
                      const std::function<void(LASheader&)>& configure = nullptr,
                      const std::function<void(LASpoint&, std::size_t)>& fill = nullptr) {
  LASheader header;
  header.point_data_format = static_cast<std::uint8_t>(type);
  header.point_data_record_length = static_cast<std::uint16_t>(length);
  header.x_scale_factor = header.y_scale_factor = header.z_scale_factor = 0.01;
  if (configure) configure(header);
  LASwriterLAS writer;
  if (!writer.open(path.c_str(), &header)) return false;
  LASpoint point;
  if (!point.init(&header, type, length, &header)) return false;
  for (std::size_t i = 0; i < points.size(); i++) {
    const TestPoint& p = points[i];
    point.X = header.quantize_x(p.x);
    point.Y = header.quantize_y(p.y);
    point.Z = header.quantize_z(p.z);
    point.classification = static_cast<std::uint8_t>(p.classification);
    point.user_data = p.user_data;
    point.gps_time = static_cast<double>(i);
    if (fill) fill(point, i);
    writer.put_point(point);
    writer.tally_point(point);
  }
  writer.patch_header(&header, true);
  writer.close();
  return true;
}

struct ReadBack {
  LASheader header;
  std::vector<std::vector<std::uint8_t>> records;  // raw item bytes per point
  std::vector<double> x, y, z;
  std::vector<int> classification;
  std::vector<std::uint8_t> user_data;
  std::vector<std::vector<std::uint8_t>> extra_bytes;
  std::vector<double> gps_time;
  bool ok = false;
};

inline ReadBack read_las(const std::string& path) {
  ReadBack back;
  LASreaderLAS reader;
  if (!reader.open(path.c_str())) return back;
  back.header = reader.header;
  const LASpoint& p = reader.point;
  while (reader.next_point()) {
    back.x.push_back(p.dequantize_x());
    back.y.push_back(p.dequantize_y());
    back.z.push_back(p.dequantize_z());
    back.classification.push_back(p.classification);
    back.user_data.push_back(p.user_data);
    back.gps_time.push_back(p.gps_time);
    back.extra_bytes.emplace_back(p.extra_bytes, p.extra_bytes + p.extra_byte_count);
  }
  back.ok = true;
  return back;
}

}  // namespace tinrise::test
