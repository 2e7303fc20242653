// What the passes of one run share: the settings, the two openers, the
// projection keys for output headers, and the ground surface with its vertex
// array and origin.
#pragma once

#include <string>
#include <vector>

#include "geo/geo_projection_parser.h"
#include "tin/tin.h"
#include "tool/height_options.h"

namespace tinrise {

class LASreaderFactory;
class LASwriterFactory;

// Shown in the version line and in the generating software of written files.
inline constexpr char installation_label[] = "linux";

struct GroundSurface {
  std::vector<TINvertex> point_buffer;  // exactly as many vertices as counted
  int vertex_count = 0;
  double x0 = 0.0, y0 = 0.0;            // origin subtracted from x and y
  // Ground-file mode: the file and its bounding box, for the overlap check.
  bool from_file = false;
  std::string file_name;
  double min_x = 0.0, min_y = 0.0, max_x = 0.0, max_y = 0.0;
};

struct HeightRun {
  HeightRun(HeightOptions& options, LASreaderFactory& read_opener, LASwriterFactory& write_opener)
      : options(options), read_opener(read_opener), write_opener(write_opener) {}

  HeightOptions& options;
  LASreaderFactory& read_opener;
  LASwriterFactory& write_opener;
  bool has_geo_keys = false;
  std::vector<GeoKeyEntry> geo_keys;
  std::vector<double> geo_doubles;
  GroundSurface ground;
  double file_clock = 0.0;   // when the current file started (verbose)
  double timing_mark = 0.0;  // where the next "took" line counts from
};

}  // namespace tinrise
