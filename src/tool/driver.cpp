#include "tool/driver.h"

#include <cstdio>
#include <cstring>

namespace tinrise {

int run_tool(int argc, char* argv[]) {
  for (int i = 1; i < argc; i++) {
    if (std::strcmp(argv[i], "-version") == 0) {
      std::fprintf(stderr, "Pelotrax (by info@pelotrax.org) version 180303 (linux)\n");
      return 0;
    }
  }
  return 1;
}

}  // namespace tinrise
