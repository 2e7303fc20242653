// Writes LAS 1.0 to 1.4 files, uncompressed or compressed: the header with the
// records kept outside the VLR list, the points through the point writer
// engine, then the EVLRs and the corrected point counts.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>

#include "las/core/pakmor.h"
#include "las/io/las_writer.h"

namespace tinrise {

class ByteStreamOut;
class LASpointWriter;

class LASwriterLAS final : public LASwriter {
 public:
  LASwriterLAS();
  ~LASwriterLAS() override;

  bool open(const char* file_name, const LASheader* header, std::uint16_t compressor = 0,
            int requested_version = 0, int chunk_size = -1, int io_buffer_size = 65536);
  bool open(std::FILE* file, const LASheader* header, std::uint16_t compressor = 0, int requested_version = 0,
            int chunk_size = -1);
  // Writes to nothing, which tells a caller the size of the output.
  bool open(const LASheader* header, std::uint16_t compressor = 0, int requested_version = 0, int chunk_size = -1);
  // Takes the stream (owned when owns_stream is left true).
  bool open(ByteStreamOut* stream, const LASheader* header, std::uint16_t compressor = 0, int requested_version = 0,
            int chunk_size = -1);

  bool put_point(const LASpoint& point) override;
  bool chunk() override;
  bool patch_header(const LASheader* header, bool use_inventory = false, bool update_extra_bytes = false) override;
  std::int64_t close(bool update_point_count = true) override;

  bool owns_stream = true;

 private:
  bool write_header(const LASheader& header, int point_type, std::uint16_t compressor);
  bool write_private_records(const LASheader& header);
  bool write_evlrs();

  std::FILE* file = nullptr;
  ByteStreamOut* stream = nullptr;
  std::unique_ptr<LASpointWriter> point_writer;
  std::optional<Pakmor> written_config;  // the compressor record this writer created
  std::int64_t header_start = 0;
  bool is_las_1_4 = false;
  bool is_new_point_type = false;
  std::int64_t start_of_first_extended_variable_length_record = 0;
  std::uint32_t number_of_extended_variable_length_records = 0;
  const std::vector<LASextendedVariableRecord>* evlrs = nullptr;
};

}  // namespace tinrise
