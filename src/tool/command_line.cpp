#include "tool/command_line.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "options/open/las_reader_factory.h"
#include "tool/height_run.h"

namespace tinrise {
namespace {

constexpr std::size_t max_command_line = 4095;

bool is(const char* arg, const char* option) { return std::strcmp(arg, option) == 0; }

// Classes after -class and -ignore_class: the first argument always, further
// ones while they begin with a digit from 1 to 9 (so "0" ends the list).
int parse_class_list(int argc, char* argv[], int i, std::uint32_t& mask) {
  do {
    i++;
    mask |= 1u << (static_cast<unsigned>(std::atoi(argv[i])) & 31u);
  } while (i + 1 < argc && argv[i + 1][0] >= '1' && argv[i + 1][0] <= '9');
  return i;
}

bool class_in_range(const char* option, int classification) {
  if (classification >= 0 && classification <= 31) return true;
  std::fprintf(stderr, "ERROR: '%s' had classification %d but it to be between 0 and 31\n", option, classification);
  return false;
}

bool has_arguments(int argc, int i, int needed, const char* message, const char* option) {
  if (i + needed < argc) return true;
  std::fprintf(stderr, message, option);
  return false;
}

}  // namespace

void print_version_line() {
  std::fprintf(stderr, "Pelotrax (by support@pelotrax.example) version %d (%s)\n", tool_version, installation_label);
}

void print_usage() {
  static const char* const lines[] = {
      "usage:\n",
      "tinrise -i *.las -v\n",
      "tinrise -i *.kpz -okpz -quiet\n",
      "tinrise -i *.las -classification 2 8 -replace_z\n",
      // (the two literals of a line below are one text)
      "tinrise -i *.las"
      " -ground_points ground.las -replace_z\n",
      "tinrise -i *.las"
      " -ground_points geoid.xyz -replace_z\n",
      "tinrise -i in.las -o out.las -drop_below 1.5\n",
      "tinrise -i in.las -o out.txt -drop_above 6.5 -oparse xyzu\n",
      "tinrise -i in.las -o out.las -drop_between 0.5 2.5\n",
      "tinrise -i in.kpz -o out.kpz -classify_below -1 7\n",
      "tinrise -i in.kpz -o out.kpz -classify_above 100 10\n",
      "tinrise -i in.kpz -o out.kpz -classify_between 0.5 2 3 -classify_between 2 5 4 -ignore_class 6\n",
      "tinrise -i in.kpz -o out.kpz -replace_z\n",
      "tinrise -i in.las -o out.txt -replace_z -oparse z\n",
      "tinrise -i tiles_ground\\*.kpz -store_as_extra_bytes -odir tiles_height -okpz -cores 4\n",
      "tinrise -i tiles_ground\\*.kpz -store_precise_as_extra_bytes -odir tiles_height -okpz -cores 4\n",
      "tinrise -h\n",
  };
  for (const char* line : lines) std::fputs(line, stderr);
}

void prepare_arguments(int argc, char* argv[], HeightOptions& options) {
  bool olay = false;
  for (int i = 1; i < argc; i++) {
    if (static_cast<unsigned char>(argv[i][0]) == 0x96) argv[i][0] = '-';
    if (std::strncmp(argv[i], "-olay", 5) == 0) olay = true;
  }
  if (!olay) return;
  std::string line;
  for (int i = 0; i < argc; i++) {
    if (i > 0) line += ' ';
    line += argv[i];
  }
  if (line.size() > max_command_line) line.resize(max_command_line);
  options.command_line = line;
}

int parse_height_options(int argc, char* argv[], HeightOptions& options, LASreaderFactory& read_opener) {
  for (int i = 1; i < argc; i++) {
    char* arg = argv[i];
    if (arg[0] == '\0') continue;
    if (is(arg, "-h") || is(arg, "-help")) {
      print_version_line();
      print_usage();
      return 0;
    } else if (is(arg, "-v") || is(arg, "-verbose")) {
      options.verbose = true;
    } else if (is(arg, "-vv")) {
      options.verbose = options.very_verbose = true;
    } else if (is(arg, "-quiet")) {
      options.quiet = true;
    } else if (is(arg, "-wait")) {
      options.wait = true;
    } else if (is(arg, "-version")) {
      print_version_line();
      return 0;
    } else if (is(arg, "-gui")) {
      options.gui = true;
    } else if (is(arg, "-cores")) {
      if (!has_arguments(argc, i, 1, "ERROR: '%s' needs 1 argument: number\n", arg)) return 1;
      options.cores = std::atoi(argv[i + 1]);
      arg[0] = '\0';
      argv[++i][0] = '\0';
    } else if (is(arg, "-ground_points")) {
      if (!has_arguments(argc, i, 1, "ERROR: '%s' needs 1 argument: file_name\n", arg)) return 1;
      options.ground_points_file = argv[++i];
    } else if (is(arg, "-all_ground_points")) {
      options.all_ground_points = true;
    } else if (is(arg, "-parse")) {
      if (!has_arguments(argc, i, 1, "ERROR: '%s' needs 1 argument: <parse string>\n", arg)) return 1;
      options.ground_parse_string = argv[++i];
    } else if (is(arg, "-class") || is(arg, "-classification")) {
      if (!has_arguments(argc, i, 1, "ERROR: '%s' needs at least 1 argument: classification\n", arg)) return 1;
      i = parse_class_list(argc, argv, i, options.ground_classification_mask);
    } else if (is(arg, "-ignore_class")) {
      if (!has_arguments(argc, i, 1, "ERROR: '%s' needs 1 at least argument: classification\n", arg)) return 1;
      i = parse_class_list(argc, argv, i, options.ignore_classification_mask);
    } else if (is(arg, "-drop_below") || is(arg, "-drop_above")) {
      if (!has_arguments(argc, i, 1, "ERROR: '%s' needs 1 argument: value\n", arg)) return 1;
      const float value = static_cast<float>(std::atof(argv[++i]));
      (is(arg, "-drop_below") ? options.drop_below : options.drop_above) = value;
      options.drop = true;
    } else if (is(arg, "-drop_between")) {
      if (!has_arguments(argc, i, 2, "ERROR: '%s' needs 2 arguments: min max\n", arg)) return 1;
      options.drop_between_min = static_cast<float>(std::atof(argv[i + 1]));
      options.drop_between_max = static_cast<float>(std::atof(argv[i + 2]));
      options.drop = true;
      i += 2;
    } else if (is(arg, "-classify_below") || is(arg, "-classify_above")) {
      if (!has_arguments(argc, i, 2, "ERROR: '%s' needs 2 arguments: value classification\n", arg)) return 1;
      const float value = static_cast<float>(std::atof(argv[i + 1]));
      const int classification = std::atoi(argv[i + 2]);
      if (!class_in_range(arg, classification)) return 1;
      if (is(arg, "-classify_below")) {
        options.classify_below_value = value;
        options.classify_below_class = classification;
      } else {
        options.classify_above_value = value;
        options.classify_above_class = classification;
      }
      options.classify = true;
      i += 2;
    } else if (is(arg, "-classify_between")) {
      if (!has_arguments(argc, i, 3, "ERROR: '%s' needs 3 arguments: min max classification\n", arg)) return 1;
      const float min = static_cast<float>(std::atof(argv[i + 1]));
      const float max = static_cast<float>(std::atof(argv[i + 2]));
      const int classification = std::atoi(argv[i + 3]);
      if (min > max) {
        std::fprintf(stderr, "ERROR: '%s' had min %g larger than max %g\n", arg, min, max);
        return 1;
      }
      if (!class_in_range(arg, classification)) return 1;
      options.classify_between.push_back({min, max, classification});
      options.classify = true;
      i += 3;
    } else if (is(arg, "-store_in_user_data")) {
      options.force_user_data = true;
    } else if (is(arg, "-do_not_store_in_user_data")) {
      options.store_in_user_data = false;
    } else if (is(arg, "-replace_z")) {
      options.store_in_user_data = false;
      options.replace_z = true;
    } else if (is(arg, "-store_as_extra_bytes")) {
      options.store_in_user_data = false;
      options.store_as_extra_bytes = true;
    } else if (is(arg, "-store_precise_as_extra_bytes")) {
      options.store_in_user_data = false;
      options.store_as_extra_bytes = true;
      options.store_precise = true;
    } else if (is(arg, "-scale_u")) {
      if (!has_arguments(argc, i, 1, "ERROR: '%s' needs 1 argument: value\n", arg)) return 1;
      options.scale_u = static_cast<float>(std::atof(argv[++i]));
    } else if (is(arg, "-remain_buffered")) {
      options.remain_buffered = true;
    } else if (is(arg, "-skip_files")) {
      options.skip_files = true;
    } else if (std::strncmp(arg, "-ilay", 5) == 0) {
      if (is(arg, "-ilaydir")) {
        if (!has_arguments(argc, i, 1, "ERROR: '%s' needs 1 argument: directory name\n", arg)) return 1;
        options.ilay_directory = argv[++i];
      } else if (i + 1 < argc) {
        const char* next = argv[i + 1];
        const char* digit = next[0] == '-' ? next + 1 : next;
        if (*digit >= '0' && *digit <= '9') i++;
      }
      options.ilay = true;
    } else if (std::strncmp(arg, "-olay", 5) == 0) {
      if (is(arg, "-olaydir")) {
        if (!has_arguments(argc, i, 1, "ERROR: '%s' needs 1 argument: directory name\n", arg)) return 1;
        options.olay_directory = argv[++i];
      }
      options.olay = true;
    } else if (arg[0] != '-' && read_opener.input_count() == 0) {
      read_opener.add_input(arg);
    } else {
      std::fprintf(stderr, "ERROR: cannot understand argument '%s'\n", arg);
      return 1;
    }
  }
  if (options.force_user_data) options.store_in_user_data = true;
  return continue_run;
}

}  // namespace tinrise
