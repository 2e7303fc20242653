// Entry point of the height tool: start-up order, dispatch and the per-file
// loop. Every way out of the run returns its exit status through here.
#pragma once

namespace tinrise {

int run_tool(int argc, char* argv[]);

}  // namespace tinrise
