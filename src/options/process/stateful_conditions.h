// Conditions that remember earlier points: scan direction changes, every n-th
// point, a random fraction, and thinning by a grid or by time buckets. The
// reader factory resets them before every open so a reread repeats itself.
#pragma once

#include <array>
#include <cstdint>
#include <unordered_map>

#include "options/process/las_point_condition.h"

namespace tinrise {

class LASconditionKeepScanDirectionChange final : public LASpointCondition {
 public:
  LASconditionKeepScanDirectionChange() : LASpointCondition("keep_scan_direction_change") {}
  void append_echo(std::string& buffer) const override;
  std::uint32_t needed_fields() const override;
  bool drops(const LASpoint& point) override;
  void reset() override { last_direction = -1; }

 private:
  int last_direction = -1;
};

// Selects points nth, 2 x nth, ...: keep_every_nth keeps them, drop_every_nth
// drops them. The count runs on across resets.
class LASconditionEveryNth final : public LASpointCondition {
 public:
  LASconditionEveryNth(bool keep, std::int32_t nth)
      : LASpointCondition(keep ? "keep_every_nth" : "drop_every_nth"), keep(keep), nth(nth) {}
  void append_echo(std::string& buffer) const override;
  std::uint32_t needed_fields() const override;
  bool drops(const LASpoint& point) override;

 private:
  bool keep;
  std::int32_t nth;
  std::uint32_t counter = 1;
};

// Draws one number per point from the shared generator, restarted from the
// condition's own state, so the choice depends only on the seed and the
// number of points seen since the last reset.
class LASconditionKeepRandomFraction final : public LASpointCondition {
 public:
  LASconditionKeepRandomFraction(double fraction, std::uint32_t seed)
      : LASpointCondition("keep_random_fraction"), fraction(fraction), seed(seed), state(seed) {}
  void append_echo(std::string& buffer) const override;
  std::uint32_t needed_fields() const override;
  bool drops(const LASpoint& point) override;
  void reset() override { state = seed; }

 private:
  double fraction;
  std::uint32_t seed;
  std::uint32_t state;
};

// Keeps the first point of every grid cell. Occupied cells are bits in blocks
// of 1024 columns of one row; only blocks that received a point exist, so
// scattered points never ask for memory beyond what they occupy.
class LASconditionThinWithGrid final : public LASpointCondition {
 public:
  explicit LASconditionThinWithGrid(double spacing) : LASpointCondition("thin_with_grid"), spacing(spacing) {}
  void append_echo(std::string& buffer) const override;
  std::uint32_t needed_fields() const override;
  bool drops(const LASpoint& point) override;
  void reset() override;

 private:
  struct BlockKey {
    std::int64_t row;
    std::int64_t block;
    bool operator==(const BlockKey&) const = default;
  };
  struct BlockKeyHash {
    std::size_t operator()(const BlockKey& key) const {
      return std::hash<std::int64_t>()(key.row * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(key.block));
    }
  };
  using Block = std::array<std::uint64_t, 16>;

  double spacing;
  std::unordered_map<BlockKey, Block, BlockKeyHash> blocks;
  BlockKey last_key{0, 0};
  Block* last_block = nullptr;  // consecutive points mostly share a block
};

// thin_pulses_with_time keeps every return of the first pulse of a time
// bucket; thin_points_with_time keeps only the first point of a bucket.
class LASconditionThinWithTime final : public LASpointCondition {
 public:
  LASconditionThinWithTime(bool pulses, double spacing)
      : LASpointCondition(pulses ? "thin_pulses_with_time" : "thin_points_with_time"), pulses(pulses),
        spacing(spacing) {}
  void append_echo(std::string& buffer) const override;
  std::uint32_t needed_fields() const override;
  bool drops(const LASpoint& point) override;
  void reset() override { first_times.clear(); }

 private:
  bool pulses;
  double spacing;
  std::unordered_map<std::int64_t, double> first_times;  // bucket -> GPS time of its first point
};

}  // namespace tinrise
