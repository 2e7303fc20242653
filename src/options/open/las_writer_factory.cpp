#include "options/open/las_writer_factory.h"

#include <cstdio>
#include <cstring>

namespace tinrise {

bool LASwriterFactory::parse(int argc, char* argv[]) {
  for (int i = 1; i < argc; i++) {
    char* arg = argv[i];
    if (arg[0] == '\0') continue;
    if (std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "-help") == 0) {
      usage();
    } else if (std::strcmp(arg, "-o") == 0) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "ERROR: '%s' needs 1 argument: file_name\n", arg);
        return false;
      }
      set_output_name(argv[i + 1]);
      arg[0] = '\0';
      argv[++i][0] = '\0';
    }
  }
  return true;
}

void LASwriterFactory::usage() const {
  std::fprintf(stderr, "Supported output options\n");
  std::fprintf(stderr, "  -o file_name\n");
}

}  // namespace tinrise
