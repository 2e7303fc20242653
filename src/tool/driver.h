// Entry point of the height tool: parses the command line and runs the job.
#pragma once

namespace tinrise {

int run_tool(int argc, char* argv[]);

}  // namespace tinrise
