// Conditions on an area of the x-y plane or a box in space: tile, circle,
// rectangle, box, and the rectangle of stored integer coordinates.
#pragma once

#include "las/core/las_point.h"
#include "options/process/las_point_condition.h"
#include "options/process/option_text.h"

namespace tinrise {

// Tiles are 32-bit float areas, like the tile queries of the readers.
class LASconditionKeepTile final : public LASpointCondition {
 public:
  LASconditionKeepTile(float ll_x, float ll_y, float size)
      : LASpointCondition("keep_tile"), ll_x(ll_x), ll_y(ll_y), size(size), ur_x(ll_x + size), ur_y(ll_y + size) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_real32(buffer, ll_x);
    append_real32(buffer, ll_y);
    append_real32(buffer, size);
  }
  std::uint32_t needed_fields() const override { return point_fields::xy_and_returns; }
  bool drops(const LASpoint& point) override {
    const double x = point.dequantize_x();
    const double y = point.dequantize_y();
    return !(ll_x <= x && x < ur_x && ll_y <= y && y < ur_y);
  }

 private:
  float ll_x, ll_y, size, ur_x, ur_y;
};

class LASconditionKeepCircle final : public LASpointCondition {
 public:
  LASconditionKeepCircle(double center_x, double center_y, double radius)
      : LASpointCondition("keep_circle"), center_x(center_x), center_y(center_y), radius(radius),
        radius_squared(radius * radius) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    append_real(buffer, center_x);
    append_real(buffer, center_y);
    append_real(buffer, radius);
  }
  std::uint32_t needed_fields() const override { return point_fields::xy_and_returns; }
  bool drops(const LASpoint& point) override {
    const double dx = point.dequantize_x() - center_x;
    const double dy = point.dequantize_y() - center_y;
    return dx * dx + dy * dy >= radius_squared;
  }

 private:
  double center_x, center_y, radius, radius_squared;
};

// keep_xy drops points outside [min_x, max_x) x [min_y, max_y), drop_xy those inside.
class LASconditionRectangle final : public LASpointCondition {
 public:
  LASconditionRectangle(bool keep, double min_x, double min_y, double max_x, double max_y)
      : LASpointCondition(keep ? "keep_xy" : "drop_xy"), keep(keep), min_x(min_x), min_y(min_y), max_x(max_x),
        max_y(max_y) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    for (double bound : {min_x, min_y, max_x, max_y}) append_real(buffer, bound);
  }
  std::uint32_t needed_fields() const override { return point_fields::xy_and_returns; }
  bool drops(const LASpoint& point) override {
    const double x = point.dequantize_x();
    const double y = point.dequantize_y();
    const bool inside = min_x <= x && x < max_x && min_y <= y && y < max_y;
    return inside != keep;
  }

 private:
  bool keep;
  double min_x, min_y, max_x, max_y;
};

class LASconditionBox final : public LASpointCondition {
 public:
  LASconditionBox(bool keep, const double (&min)[3], const double (&max)[3])
      : LASpointCondition(keep ? "keep_xyz" : "drop_xyz"), keep(keep), min{min[0], min[1], min[2]},
        max{max[0], max[1], max[2]} {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    for (double bound : min) append_real(buffer, bound);
    for (double bound : max) append_real(buffer, bound);
  }
  std::uint32_t needed_fields() const override { return point_fields::z; }
  bool drops(const LASpoint& point) override {
    const double x = point.dequantize_x();
    const double y = point.dequantize_y();
    const double z = point.dequantize_z();
    const bool inside = min[0] <= x && x < max[0] && min[1] <= y && y < max[1] && min[2] <= z && z < max[2];
    return inside != keep;
  }

 private:
  bool keep;
  double min[3];
  double max[3];
};

class LASconditionKeepRawRectangle final : public LASpointCondition {
 public:
  LASconditionKeepRawRectangle(std::int32_t min_X, std::int32_t min_Y, std::int32_t max_X, std::int32_t max_Y)
      : LASpointCondition("keep_XY"), min_X(min_X), min_Y(min_Y), max_X(max_X), max_Y(max_Y) {}
  void append_echo(std::string& buffer) const override {
    append_option(buffer, name());
    for (std::int32_t bound : {min_X, min_Y, max_X, max_Y}) append_int(buffer, bound);
  }
  std::uint32_t needed_fields() const override { return point_fields::xy_and_returns; }
  bool drops(const LASpoint& point) override {
    return point.X < min_X || point.X >= max_X || point.Y < min_Y || point.Y >= max_Y;
  }

 private:
  std::int32_t min_X, min_Y, max_X, max_Y;
};

}  // namespace tinrise
