// Turns the input part of a command line into input names and, per name, an
// opened point reader. For now it knows the input names (-i, bare names) and
// the queries the driver asks; opening files arrives with the LAS reader.
#pragma once

#include <string>
#include <vector>

namespace tinrise {

class LASreaderFactory final {
 public:
  // Consumes and blanks the input options; false after an error message.
  bool parse(int argc, char* argv[]);
  void usage() const;

  void add_input(const char* file_name) { file_names.emplace_back(file_name); }
  unsigned input_count() const { return static_cast<unsigned>(file_names.size()); }
  bool has_more_input() const { return next_input < file_names.size(); }
  // Name of the input opened last, or the next one before any was opened.
  const char* current_input_name() const;

  bool uses_buffering() const { return false; }
  bool reads_stdin() const { return read_stdin && file_names.empty(); }
  bool has_area_query() const { return false; }
  bool is_merged() const { return false; }

  // Opens the next input; prints why and returns false when it cannot.
  bool open();

 private:
  std::vector<std::string> file_names;
  std::size_t next_input = 0;
  bool read_stdin = false;
};

}  // namespace tinrise
