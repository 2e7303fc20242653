#include "tool/driver.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <memory>

#include "geo/geo_projection_parser.h"
#include "options/open/las_reader_factory.h"
#include "options/open/las_writer_factory.h"
#include "tool/command_line.h"
#include "tool/ground_pass.h"
#include "tool/height_options.h"
#include "tool/height_pass.h"
#include "tool/height_run.h"
#include "tool/run_clock.h"

namespace tinrise {
namespace {

// The one way out of a run: with -wait the user sees the result first.
int finish(int status, const HeightOptions& options) {
  if (options.wait) {
    std::fprintf(stderr, "<press ENTER>\n");
    std::getc(stdin);
  }
  return status;
}

void print_lay_warning() {
  std::fprintf(stderr, "WARNING: do not expect LAY files to work across different versions\n");
  std::fprintf(stderr, "         of Pelotrax. the layer feature of Pelotrax is still in development and\n");
  std::fprintf(stderr, "         not completed. this is just an awesome prototype as proof\n");
  std::fprintf(stderr, "         of concept. we continue to gather community input ... (-;\n");
}

}  // namespace

int run_tool(int argc, char* argv[]) {
  HeightOptions options;
  if (argc <= 1) {
    // The option window is not part of this build: show how to run the tool.
    print_usage();
    return 1;
  }
  prepare_arguments(argc, argv, options);

  GeoProjectionParser projection;
  LASreaderFactory read_opener;
  LASwriterFactory write_opener;
  if (!projection.parse(argc, argv)) return finish(1, options);
  if (!read_opener.parse(argc, argv)) return finish(1, options);
  if (!write_opener.parse(argc, argv)) return finish(1, options);

  const int parsed = parse_height_options(argc, argv, options, read_opener);
  if (parsed != continue_run) return finish(parsed, options);

  if (options.ilay || options.olay) {
    print_lay_warning();
    if (options.ilay && read_opener.uses_buffering()) {
      std::fprintf(stderr, "ERROR: on-the-fly buffering and '-ilay' cannot currently be combined.\n");
      return finish(1, options);
    }
    if (options.ilay && read_opener.reads_stdin()) {
      std::fprintf(stderr, "ERROR: cannot use '-ilay' for piped input\n");
      return finish(1, options);
    }
    if (options.olay && read_opener.has_area_query()) {
      std::fprintf(stderr, "ERROR: inside queries and '-olay' cannot currently be combined.\n");
      return finish(1, options);
    }
  }

  if (options.gui) {
    // The option window is not part of this build.
    print_usage();
    return finish(1, options);
  }

  if (options.cores > 1) {
    if (read_opener.input_count() < 2) {
      std::fprintf(stderr, "WARNING: only %u input files. ignoring '-cores %d' ...\n", read_opener.input_count(),
                   options.cores);
    } else if (read_opener.is_merged()) {
      std::fprintf(stderr, "WARNING: input files merged on-the-fly. ignoring '-cores %d' ...\n", options.cores);
    } else {
      std::fprintf(stderr, "WARNING: multi-core processing not available in this build. ignoring '-cores %d' ...\n",
                   options.cores);
    }
  }

  if (!read_opener.has_more_input()) {
    std::fprintf(stderr, "ERROR: no input specified\n");
    return finish(1, options);
  }

  const char* input_name = read_opener.current_input_name();
  const char* output_name = write_opener.output_name();
  if (input_name && output_name && std::strcmp(input_name, output_name) == 0) {
    std::fprintf(stderr, "ERROR: input and output file name are identical\n");
    print_usage();
    return finish(1, options);
  }

  HeightRun run{options, read_opener, write_opener};
  if (projection.has_source_projection()) {
    run.has_geo_keys = projection.get_geo_keys(run.geo_keys, run.geo_doubles);
  }
  const double run_start = options.quiet ? 0.0 : process_seconds();

  if (read_opener.reads_stdin()) {
    // Heights need the input twice (ground, then every point), which standard
    // input can only give once stored.
    std::fprintf(stderr, "ERROR: reading from standard input ('-stdin') is not supported by this build yet\n");
    return finish(1, options);
  }
  if (!options.ground_points_file.empty()) {
    if (!build_ground_from_file(run)) return finish(1, options);
  } else if (options.ground_classification_mask == 0) {
    options.ground_classification_mask = 1u << 2;
  }

  while (read_opener.has_more_input()) {
    if (options.verbose) run.file_clock = run.timing_mark = process_seconds();
    std::unique_ptr<LASreader> reader = read_opener.open();
    if (!reader) {
      std::fprintf(stderr, "ERROR: could not open lasreader\n");
      return finish(1, options);
    }
    if (options.ilay) {
      std::fprintf(stderr, "ERROR: reading LAY layers ('-ilay') is not supported by this build yet\n");
      return finish(1, options);
    }
    if (run.ground.from_file) {
      check_ground_overlap(run, *reader);
    } else {
      const GroundOutcome outcome = build_ground_from_input(run, reader);
      if (outcome == GroundOutcome::failed) return finish(1, options);
      if (outcome == GroundOutcome::copied_or_skipped) {
        write_opener.set_output_name(nullptr);
        continue;
      }
    }
    const std::string input_name = read_opener.current_input_name() ? read_opener.current_input_name() : "";
    if (!run_height_pass(run, reader)) return finish(1, options);
    if (!options.quiet) {
      const char* shown = options.olay ? input_name.c_str() : write_opener.output_name();
      std::fprintf(stderr, "done with '%s'. total time %g sec.\n", shown ? shown : "piped file",
                   process_seconds() - (options.verbose ? run.file_clock : 0.0));
    }
    write_opener.set_output_name(nullptr);
  }
  if (!options.quiet && read_opener.input_count() > 1 && !read_opener.is_merged()) {
    std::fprintf(stderr, "done with all files. total time for %u files %g sec.\n", read_opener.input_count(),
                 process_seconds() - run_start);
  }
  return finish(0, options);
}

}  // namespace tinrise
