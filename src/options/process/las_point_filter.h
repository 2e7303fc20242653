// Decides while reading which points are dropped. Readers ask it per point.
#pragma once

namespace tinrise {

class LASpoint;

class LASpointFilter {
 public:
  bool parse(int argc, char* argv[]) { (void)argc; (void)argv; return true; }
  void usage() const {}
  int condition_count() const { return 0; }
  void reset() {}
  // True when the point is to be dropped.
  bool drops(const LASpoint& point) { (void)point; return false; }
};

}  // namespace tinrise
