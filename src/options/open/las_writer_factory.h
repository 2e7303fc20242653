// Turns the output part of a command line into output names and writers. For
// now it knows -o and the queries the driver asks; writing arrives with the
// LAS writer.
#pragma once

#include <string>

namespace tinrise {

class LASwriterFactory final {
 public:
  bool parse(int argc, char* argv[]);
  void usage() const;

  bool has_output() const { return !output_file_name.empty(); }
  const char* output_name() const { return output_file_name.empty() ? nullptr : output_file_name.c_str(); }
  void set_output_name(const char* file_name) { output_file_name = file_name ? file_name : ""; }

 private:
  std::string output_file_name;
};

}  // namespace tinrise
