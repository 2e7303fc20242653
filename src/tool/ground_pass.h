// Building the ground surface: from a separate ground file once per run, or
// from the ground points of each input file; files whose ground cannot carry
// a TIN are copied unchanged or skipped.
#pragma once

#include <memory>

#include "las/io/las_reader.h"
#include "tool/height_run.h"

namespace tinrise {

enum class GroundOutcome { triangulated, copied_or_skipped, failed };

// Ground-file mode, once before the per-file loop; false ends the run.
bool build_ground_from_file(HeightRun& run);
// Ground-file mode, per input: warns when the boxes do not touch.
void check_ground_overlap(HeightRun& run, const LASreader& reader);
// Per-file mode. On `triangulated` the reader is re-opened at its first point;
// otherwise the reader has been consumed (copied or skipped) or the run failed.
GroundOutcome build_ground_from_input(HeightRun& run, std::unique_ptr<LASreader>& reader);
// Writes the input unchanged (user data 0) or skips it; false ends the run.
bool copy_or_skip(HeightRun& run, std::unique_ptr<LASreader>& reader);
// Rewinds the current input for another pass; false ends the run.
bool reopen_input(HeightRun& run, LASreader& reader, bool remain_buffered);

}  // namespace tinrise
