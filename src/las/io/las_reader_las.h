// Reads LAS 1.0 to 1.4 files, uncompressed or compressed: parses the header
// and all records with their checks and hands the point records to the point
// reader engine. The variants re-scale or re-offset coordinates on the fly.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "compress/las_point_reader.h"
#include "las/io/las_reader.h"
#include "options/process/record_plan.h"

namespace tinrise {

class LASreaderLAS : public LASreader {
 public:
  LASreaderLAS();
  ~LASreaderLAS() override;

  bool open(const char* file_name, int io_buffer_size = 262144, bool peek_only = false,
            std::uint32_t decompress_selective = LASpointReader::decompress_all);
  bool open(std::FILE* file, bool peek_only = false, std::uint32_t decompress_selective = LASpointReader::decompress_all);
  // Takes the stream (owned when owns_stream is left true).
  virtual bool open(ByteStreamIn* stream, bool peek_only = false,
                    std::uint32_t decompress_selective = LASpointReader::decompress_all);

  int format_code() const override;
  bool seek(std::int64_t index) override;
  ByteStreamIn* source_stream() const override { return stream; }
  void close(bool close_stream = true) override;

  bool owns_stream = true;

 protected:
  bool read_record() override;
  // Uncompressed records are decided a buffered run at a time by the
  // filter's record plan, so dropped ones are never copied (LAS 1.4 records
  // on the legacy bytes they give), and the kept records of point types 0 to
  // 5 are changed together when the transform can change stored records.
  // Other points are decided one by one by the plan when there is one.
  bool read_processed_record() override;
  void end_pending_reads() override;
  // The rest of read_processed_record once the decided run is delivered.
  [[gnu::noinline]] bool read_processed_after_batch();

  // False in variants whose points are not the stored records unchanged.
  bool points_are_records = true;

 private:
  // With a record plan, runs of buffered records are decided at once; where
  // records cannot be taken that way (compressed, rescaled) the plan still
  // decides each point without asking every condition in turn.
  enum class PlanState : std::uint8_t { unknown, batches, points, none };
  // Works out how records can be decided and changed.
  void make_plan();
  // Decides the next run of buffered records; false when not one whole
  // record is buffered. Kept out of line so that delivering a decided record
  // stays a small function.
  [[gnu::noinline]] bool decide_batch();
  // Ends the decided run at the records passed so far: the stream moves over
  // them, and the drop counts of the others are taken back.
  [[gnu::noinline]] void forget_batch();
  // Ends the decided run after its first `passed` records.
  void end_batch(std::uint32_t passed);

  bool read_header_fields();
  bool read_version_parts();
  bool read_vlrs(std::uint32_t& vlr_bytes);
  bool read_evlrs();
  bool create_point_reader(std::uint32_t decompress_selective);

  std::FILE* file = nullptr;
  ByteStreamIn* stream = nullptr;
  std::unique_ptr<LASpointReader> point_reader;
  bool end_checked = false;

  PlanState plan_state = PlanState::unknown;
  LASrecordPlan plan;
  LAScoordinateQuantizer planned_quantizer;
  std::uint32_t record_size = 0;
  bool changes_records = false;   // the transform changes the batch's copies
  bool legacy_records = false;    // LAS 1.4 records, decided on their legacy bytes
  std::vector<std::uint8_t> changed_records;  // the run changed, or its legacy bytes
  const std::uint8_t* batch_records = nullptr;  // the decided run, or its changed copy
  std::int64_t batch_start = 0;                // points_done when it was decided
  std::uint32_t batch_size = 0;      // records decided
  std::uint32_t batch_next = 0;      // kept records of them delivered
  std::uint32_t batch_kept = 0;
  std::array<std::uint16_t, LASrecordPlan::batch> kept_records{};
  std::array<std::uint32_t, LASrecordPlan::batch> drop_masks{};  // the lowest bit is the condition that counted
};

// Re-expresses the integer coordinates of a LAS file in new scale factors
// and/or offsets while reading. A scale factor of 0 keeps the file's; the
// automatic offset rounds the box centre down to a multiple of 10^7 units.
class LASreaderLASrescaled : public LASreaderLAS {
 public:
  struct Settings {
    bool rescale = false;
    double scale[3] = {0.0, 0.0, 0.0};
    bool check_for_overflow = true;
    bool reoffset = false;
    bool auto_reoffset = false;
    double offset[3] = {0.0, 0.0, 0.0};
  };

  explicit LASreaderLASrescaled(const Settings& settings) : settings(settings) { points_are_records = false; }
  bool open(ByteStreamIn* stream, bool peek_only = false,
            std::uint32_t decompress_selective = LASpointReader::decompress_all) override;
  using LASreaderLAS::open;

 protected:
  bool read_record() override;

 private:
  void warn_overflows() const;
  std::int32_t convert(int axis, std::int32_t value) const;

  Settings settings;
  double file_scale[3] = {0.0, 0.0, 0.0};
  double file_offset[3] = {0.0, 0.0, 0.0};
  bool rescaled[3] = {false, false, false};
  bool reoffset[3] = {false, false, false};
};

}  // namespace tinrise
