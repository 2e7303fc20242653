// The tool's own option loop and its texts: usage, version line and the
// messages of every option. Used by the driver, tested directly.
#pragma once

#include "tool/height_options.h"

namespace tinrise {

class LASreaderFactory;

// Returned by parse_height_options while the run goes on.
inline constexpr int continue_run = -1;

void print_version_line();
void print_usage();

// Replaces a leading Windows-1252 en dash (0x96) by '-' in every argument and,
// when an argument begins with "-olay", records the command line for the
// layer writer.
void prepare_arguments(int argc, char* argv[], HeightOptions& options);

// Runs the tool's loop over the arguments the other parsers left. Returns
// continue_run, or the exit status when the run must end here (after -h,
// -version or an error message).
int parse_height_options(int argc, char* argv[], HeightOptions& options, LASreaderFactory& read_opener);

}  // namespace tinrise
