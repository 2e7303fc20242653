// Turns the output part of a command line into output names and opened point
// writers: explicit names, or names derived from the input with a directory,
// an appendix, a cut or a running number, and the output format.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "las/io/las_writer.h"

namespace tinrise {

class LASwriterFactory final {
 public:
  bool parse(int argc, char* argv[]);
  void usage() const;

  // A writer for the header (owned by the caller), or null after a message.
  std::unique_ptr<LASwriter> open(const LASheader& header);

  void derive_output_name(const char* input_name, int number = -1);
  void set_output_name(const char* name);
  bool set_output_directory(const char* directory);
  void set_name_appendix(const char* appendix);
  void set_cut_count(unsigned count);
  void allow_same_name() { force = true; }
  void set_native_compression(bool value) { native = value; }
  void set_points_per_chunk(std::uint32_t points) { chunk_size = points; }
  void set_text_parse(const char* text) { parse_text = text ? text : ""; }
  void set_text_separator(const char* text) { separator = text ? text : ""; }
  void set_rgb_scale(float scale) { rgb_scale = scale; }
  void set_write_buffer_size(std::uint32_t size) { write_buffer_size = size; }
  void set_format(int code) {
    format = code;
    format_fixed = true;
  }

  const char* output_name() const { return file_name.empty() ? nullptr : file_name.c_str(); }
  const char* output_directory() const { return directory.empty() ? nullptr : directory.c_str(); }
  const char* name_appendix() const { return appendix.empty() ? nullptr : appendix.c_str(); }
  unsigned cut_count() const { return cut; }
  bool native_compression() const { return native; }
  int output_format() const;
  const char* output_format_extension() const;
  bool has_output() const { return !file_name.empty() || to_stdout || to_nil; }
  bool writes_to_stdout() const { return to_stdout && file_name.empty() && !to_nil; }

 private:
  void apply_directory();
  void apply_cut();
  void apply_appendix();
  const char* format_extension() const;

  std::uint32_t write_buffer_size = 262144;
  std::string directory;
  std::string file_name;
  std::string appendix;
  unsigned cut = 0;
  bool text_pts = false;
  bool text_ptx = false;
  std::string parse_text;
  std::string separator;
  float rgb_scale = 1.0f;
  int format = 0;
  bool format_fixed = false;
  bool force = false;
  bool native = true;
  std::uint32_t chunk_size = 50000;
  bool to_stdout = false;
  bool to_nil = false;
};

}  // namespace tinrise
