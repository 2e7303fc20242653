// Turns the input part of a command line into input names and, per name, an
// opened point reader: name expansion, the reading options, area queries, and
// the filter and transform it lends to every reader it opens.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "las/io/las_reader.h"

namespace tinrise {

class LASpointFilter;
class LASpointTransform;

// Input and output format codes shared by the openers.
enum LASformat : int {
  LAS_FORMAT_DEFAULT = 0, LAS_FORMAT_LAS = 1, LAS_FORMAT_KPZ = 2, LAS_FORMAT_BIN = 3, LAS_FORMAT_QFIT = 4,
  LAS_FORMAT_VRML = 5, LAS_FORMAT_TXT = 6, LAS_FORMAT_SHP = 7, LAS_FORMAT_ASC = 8, LAS_FORMAT_BIL = 9,
  LAS_FORMAT_FLT = 10, LAS_FORMAT_DTM = 11,
};

// Name of a format code ("las", "kpz", ...), "dtm" for 11.
const char* las_format_name(int format);

class LASreaderFactory final {
 public:
  LASreaderFactory();
  ~LASreaderFactory();
  LASreaderFactory(const LASreaderFactory&) = delete;
  LASreaderFactory& operator=(const LASreaderFactory&) = delete;

  // Consumes and blanks the input options; false after an error message.
  bool parse(int argc, char* argv[]);
  void usage() const;

  // The next input as an opened reader (owned by the caller), or null.
  std::unique_ptr<LASreader> open(const char* other_name = nullptr, bool restart_after_other = false);
  // Rewinds a reader this factory opened to its first point.
  bool reopen(LASreader* reader, bool keep_buffer = false);
  // The options child processes need, each followed by one blank.
  std::string echo_options() const;

  bool add_input(const char* name, bool unique = false);
  bool add_input_list(const char* list_name, bool unique = false);
  bool add_neighbor(const char* name, bool unique = false);
  void remove_input(unsigned index);
  bool select_input(unsigned index);

  const char* current_input_name() const;
  const char* input_name(unsigned index) const;
  unsigned input_count() const { return static_cast<unsigned>(file_names.size()); }
  int input_format(unsigned index) const;
  bool has_more_input() const { return next_input < file_names.size() || read_stdin; }
  bool uses_buffering() const { return buffer_size > 0 && (file_names.size() > 1 || !neighbor_file_names.empty()); }
  bool header_is_complete() const;
  void rewind_inputs();

  bool reads_stdin() const { return read_stdin && file_names.empty(); }
  bool has_area_query() const { return area_tile || area_circle || area_rectangle; }
  bool is_merged() const { return merged; }

  void enable_storing() { stored = true; }
  void set_text_parse(const char* text) { parse_text = text ? text : ""; }
  void set_area_rectangle(double min_x, double min_y, double max_x, double max_y);
  void set_text_skip_lines(int lines) { skip_line_count = lines; }
  void set_populate(bool value) { populate = value; }
  void set_read_buffer_size(std::uint32_t size) { read_buffer_size = size; }

  LASpointFilter* get_filter() const { return filter.get(); }
  LASpointTransform* get_transform() const { return transform.get(); }

 private:
  bool add_matches(std::vector<std::string>& names, const char* name, bool unique);
  void set_flightline_start(int start);
  void set_flightline_index(int index);
  bool open_single(const std::string& name, std::unique_ptr<LASreader>& reader, bool reopening);
  void apply_area(LASreader& reader) const;

  std::uint32_t read_buffer_size = 262144;
  std::vector<std::string> file_names;
  std::optional<std::string> other_current_name;
  bool merged = false;
  bool stored = false;
  std::size_t next_input = 0;
  bool current_from_list = false;
  float buffer_size = 0.0f;
  std::string temp_files_base;
  std::vector<std::string> neighbor_file_names;
  bool comma_not_point = false;
  std::optional<std::array<double, 3>> scale_factor;
  std::optional<std::array<double, 3>> offset;
  bool auto_reoffset = false;
  int files_are_flightlines = 0;
  int flightline_index = -1;
  bool apply_file_source_ID = false;
  bool itxt = false, ipts = false, iptx = false;
  float intensity_offset = 0.0f, intensity_scale = 1.0f;
  float scan_angle_offset = 0.0f, scan_angle_scale = 1.0f;
  struct ExtraAttribute {
    int type;
    std::string name, description;
    double scale, offset, pre_scale, pre_offset, no_data;
  };
  std::vector<ExtraAttribute> attributes;  // at most 32
  std::uint8_t text_point_type = 0;
  std::string parse_text;
  int skip_line_count = 0;
  bool populate = false;
  bool pipe_on = false;
  bool read_stdin = false;
  bool unique = false;
  std::unique_ptr<LASpointFilter> filter;
  std::unique_ptr<LASpointTransform> transform;
  std::uint32_t item_selection = 0xFFFFFFFF;
  std::optional<std::array<float, 3>> area_tile;
  std::optional<std::array<double, 3>> area_circle;
  std::optional<std::array<double, 4>> area_rectangle;
};

}  // namespace tinrise
