#include "options/open/las_reader_factory.h"

#include <cstdio>
#include <cstring>

namespace tinrise {

bool LASreaderFactory::parse(int argc, char* argv[]) {
  for (int i = 1; i < argc; i++) {
    char* arg = argv[i];
    if (arg[0] == '\0') continue;
    if (std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "-help") == 0) {
      usage();
    } else if (std::strcmp(arg, "-i") == 0) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "ERROR: '%s' needs at least 1 argument: file_name or wild_card\n", arg);
        return false;
      }
      arg[0] = '\0';
      while (i + 1 < argc && argv[i + 1][0] != '-' && argv[i + 1][0] != '\0') {
        add_input(argv[i + 1]);
        argv[++i][0] = '\0';
      }
    } else if (std::strcmp(arg, "-stdin") == 0) {
      read_stdin = true;
      arg[0] = '\0';
    }
  }
  return true;
}

void LASreaderFactory::usage() const {
  std::fprintf(stderr, "Supported input options\n");
  std::fprintf(stderr, "  -i file_name or wild_card [more names]\n");
  std::fprintf(stderr, "  -stdin\n");
}

const char* LASreaderFactory::current_input_name() const {
  if (file_names.empty()) return nullptr;
  const std::size_t index = next_input == 0 ? 0 : next_input - 1;
  return file_names[index].c_str();
}

bool LASreaderFactory::open() {
  if (!has_more_input()) return false;
  std::fprintf(stderr, "ERROR: cannot read '%s': point file input is not available in this build yet\n",
               file_names[next_input].c_str());
  next_input++;
  return false;
}

}  // namespace tinrise
