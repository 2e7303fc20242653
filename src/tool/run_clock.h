// Seconds since the process started, with millisecond resolution, for the
// timing lines of the tool.
#pragma once

namespace tinrise {

double process_seconds();

}  // namespace tinrise
