// A writer that passes on only the points not marked deleted, keeping its own
// inventory of them: the sink of the height pass when it drops points.
#pragma once

#include <memory>

#include "las/io/las_writer.h"

namespace tinrise {

class LASwriterSkipDeleted final : public LASwriter {
 public:
  explicit LASwriterSkipDeleted(std::unique_ptr<LASwriter> wrapped) : writer(std::move(wrapped)) {}

  bool put_point(const LASpoint& point) override {
    if (point.deleted_flag) return false;
    points_done++;
    return writer->put_point(point);
  }
  void tally_point(const LASpoint& point) override {
    if (!point.deleted_flag) inventory.add(point);
  }
  bool chunk() override { return writer->chunk(); }
  bool patch_header(const LASheader* header, bool use_inventory, bool update_extra_bytes) override {
    if (use_inventory) writer->inventory = inventory;
    return writer->patch_header(header, use_inventory, update_extra_bytes);
  }
  std::int64_t close(bool update_point_count) override {
    const std::int64_t bytes = writer->close(update_point_count);
    point_count = writer->point_count;
    points_done = writer->points_done;
    return bytes;
  }

 private:
  std::unique_ptr<LASwriter> writer;
};

}  // namespace tinrise
