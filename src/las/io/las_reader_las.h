// Reads LAS 1.0 to 1.4 files, uncompressed or compressed: parses the header
// and all records with their checks and hands the point records to the point
// reader engine. The variants re-scale or re-offset coordinates on the fly.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "compress/las_point_reader.h"
#include "las/io/las_reader.h"

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

 private:
  bool read_header_fields();
  bool read_version_parts();
  bool read_vlrs(std::uint32_t& vlr_bytes);
  bool read_evlrs();
  bool create_point_reader(std::uint32_t decompress_selective);

  std::FILE* file = nullptr;
  ByteStreamIn* stream = nullptr;
  std::unique_ptr<LASpointReader> point_reader;
  bool end_checked = false;
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

  explicit LASreaderLASrescaled(const Settings& settings) : settings(settings) {}
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
