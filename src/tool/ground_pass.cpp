#include "tool/ground_pass.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <new>

#include "las/core/las_quantizer.h"
#include "las/io/las_reader_las.h"
#include "options/open/las_reader_factory.h"
#include "options/open/las_writer_factory.h"
#include "tin/tin_vertex.h"
#include "tool/run_clock.h"

namespace tinrise {
namespace {

const char* const support_line = "       please contact support@pelotrax.example for assistance\n";

bool is_ground(const LASpoint& point, std::uint32_t mask) { return (mask >> point.classification) & 1u; }

TINvertex vertex_of(const LASpoint& point, const GroundSurface& ground) {
  return tin_vertex_from(point.dequantize_x(), point.dequantize_y(), point.dequantize_z(), ground.x0, ground.y0);
}

// Allocates the vertex array and the TIN for exactly n vertices.
bool prepare_triangulation(GroundSurface& ground, std::uint32_t n) {
  try {
    ground.point_buffer.assign(n, TINvertex{});
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "ERROR: cannot alloc point_buffer for %u points.\n", n);
    std::fputs(support_line, stderr);
    return false;
  }
  ground.vertex_count = 0;
  if (!TINclean(static_cast<int>(n), ground.point_buffer.data())) {
    std::fprintf(stderr, "ERROR: cannot alloc enough TIN triangles to triangulate %u points.\n", n);
    std::fputs(support_line, stderr);
    return false;
  }
  return true;
}

// Appends a vertex unless the buffer is full: a reader that delivers more on
// the second pass than it did on the first cannot overrun the array.
bool append_vertex(GroundSurface& ground, const LASpoint& point) {
  if (ground.vertex_count >= static_cast<int>(ground.point_buffer.size())) return true;
  TINvertex& vertex = ground.point_buffer[ground.vertex_count++];
  vertex = vertex_of(point, ground);
  return TINappend(&vertex);
}

void took(HeightRun& run, const char* format, std::uint64_t count) {
  if (!run.options.verbose) return;
  const double now = process_seconds();
  std::fprintf(stderr, format, now - run.timing_mark, count);
  run.timing_mark = now;
}

}  // namespace

bool reopen_input(HeightRun& run, LASreader& reader, bool remain_buffered) {
  if (!run.read_opener.reopen(&reader, remain_buffered)) {
    std::fprintf(stderr, "ERROR: could not re-open lasreader\n");
    return false;
  }
  return true;
}

bool build_ground_from_file(HeightRun& run) {
  HeightOptions& options = run.options;
  GroundSurface& ground = run.ground;
  LASreaderFactory ground_opener;
  ground_opener.add_input(options.ground_points_file.c_str(), false);
  if (!options.ground_parse_string.empty()) ground_opener.set_text_parse(options.ground_parse_string.c_str());

  if (!options.all_ground_points && (run.read_opener.input_count() == 1 || run.read_opener.is_merged())) {
    LASreaderLAS peek;
    if (!peek.open(run.read_opener.input_name(0), 262144, true)) {
      std::fprintf(stderr, "ERROR: could not open laspeek for bounding box\n");
      return false;
    }
    const LASheader& h = peek.header;
    const double e = 10.0 * std::max(h.max_x - h.min_x, h.max_y - h.min_y);
    ground_opener.set_area_rectangle(h.min_x - e, h.min_y - e, h.max_x + e, h.max_y + e);
    peek.close();
    run.read_opener.rewind_inputs();
  }

  std::unique_ptr<LASreader> reader = ground_opener.open();
  if (!reader) {
    std::fprintf(stderr, "ERROR: could not open ground points file\n");
    return false;
  }
  if (options.verbose) {
    std::fprintf(stderr, "first pass. reading %" PRId64 " points to count ground points ... \n", reader->point_count);
  }
  std::uint64_t counted = 0;
  while (reader->next_point()) counted++;
  if (reader->read_failed()) return false;
  reader->close();
  took(run, "took %g sec. counted %" PRIu64 " ground points.\n", counted);

  const char* name = options.ground_points_file.c_str();
  if (counted < 4) {
    if (counted == 0) {
      std::fprintf(stderr, "ERROR: using zero ground points from '%s'.\n", name);
    } else {
      std::fprintf(stderr, "ERROR: using only %u ground points from '%s'.\n", static_cast<unsigned>(counted), name);
    }
    if (!options.all_ground_points) std::fprintf(stderr, "       try running with option '-all_ground_points'.\n");
    return false;
  }
  if (counted < 100) {
    std::fprintf(stderr, "WARNING: using only %u ground points from '%s'.\n", static_cast<unsigned>(counted), name);
    if (!options.all_ground_points) std::fprintf(stderr, "         better run with option '-all_ground_points'.\n");
  }
  if (counted > static_cast<std::uint64_t>(INT32_MAX)) {
    std::fprintf(stderr, "ERROR: cannot alloc point_buffer for %" PRIu64 " points.\n", counted);
    std::fputs(support_line, stderr);
    return false;
  }
  const std::uint32_t n = static_cast<std::uint32_t>(counted);
  if (!prepare_triangulation(ground, n)) return false;
  if (options.verbose) std::fprintf(stderr, "second pass. triangulating %u ground points ...\n", n);
  if (!ground_opener.reopen(reader.get(), false)) {
    std::fprintf(stderr, "ERROR: could not re-open lasreader\n");
    return false;
  }
  ground.x0 = reader->header.min_x;
  ground.y0 = reader->header.min_y;
  ground.from_file = true;
  ground.file_name = options.ground_points_file;
  ground.min_x = reader->header.min_x;
  ground.min_y = reader->header.min_y;
  ground.max_x = reader->header.max_x;
  ground.max_y = reader->header.max_y;
  while (reader->next_point()) {
    if (!append_vertex(ground, reader->point)) return false;
  }
  if (reader->read_failed()) return false;
  if (!TINcomplete()) {
    if (!TINfailed()) {
      std::fprintf(stderr, "ERROR: the %u ground points of '%s' form degenerate TIN.\n",
                   static_cast<unsigned>(ground.vertex_count), name);
      if (!options.all_ground_points) std::fprintf(stderr, "       try running with option '-all_ground_points'.\n");
    }
    return false;
  }
  took(run, "took %g sec. triangulated %" PRIu64 " points.\n", static_cast<std::uint64_t>(ground.vertex_count));
  reader->close();
  options.ground_classification_mask = 0;
  return true;
}

void check_ground_overlap(HeightRun& run, const LASreader& reader) {
  if (!run.read_opener.header_is_complete()) return;
  const GroundSurface& g = run.ground;
  const LASheader& h = reader.header;
  if (g.min_x > h.max_x || g.min_y > h.max_y || g.max_x < h.min_x || g.max_y < h.min_y) {
    const char* input = run.read_opener.current_input_name();
    std::fprintf(stderr, "WARNING: bounding boxes of '%s' and '%s' have no overlap\n", g.file_name.c_str(), input);
    std::fprintf(stderr, "         '%s' has bounding box:\n", g.file_name.c_str());
    std::fprintf(stderr, "         [%g,%g] to [%g,%g]\n", g.min_x, g.min_y, g.max_x, g.max_y);
    std::fprintf(stderr, "         '%s' has bounding box:\n", input);
    std::fprintf(stderr, "         [%g,%g] to [%g,%g]\n", h.min_x, h.min_y, h.max_x, h.max_y);
  }
}

GroundOutcome build_ground_from_input(HeightRun& run, std::unique_ptr<LASreader>& reader) {
  const HeightOptions& options = run.options;
  GroundSurface& ground = run.ground;
  const std::uint32_t mask = options.ground_classification_mask;
  if (options.verbose) {
    std::fprintf(stderr, "first pass. reading %" PRId64 " points to count ground points ... \n", reader->point_count);
  }
  std::uint64_t counted = 0;
  while (reader->next_point()) {
    if (is_ground(reader->point, mask)) counted++;
  }
  if (reader->read_failed()) return GroundOutcome::failed;
  reader->close();
  took(run, "took %g sec. counted %" PRIu64 " ground points.\n", counted);
  if (!reopen_input(run, *reader, true)) return GroundOutcome::failed;

  const bool quiet = options.quiet;
  if (counted == 0) {
    if (!quiet) std::fprintf(stderr, "zero points match classification mask %u.", mask);
    return copy_or_skip(run, reader) ? GroundOutcome::copied_or_skipped : GroundOutcome::failed;
  }
  if (counted < 4) {
    if (!quiet) std::fprintf(stderr, "only %u points match classification_mask %u.", static_cast<unsigned>(counted), mask);
    return copy_or_skip(run, reader) ? GroundOutcome::copied_or_skipped : GroundOutcome::failed;
  }
  if (static_cast<std::int64_t>(counted) == reader->point_count) {
    if (!quiet) std::fprintf(stderr, "all points match classification_mask %u.", mask);
    return copy_or_skip(run, reader) ? GroundOutcome::copied_or_skipped : GroundOutcome::failed;
  }
  if (counted > static_cast<std::uint64_t>(INT32_MAX)) {
    std::fprintf(stderr, "ERROR: cannot alloc point_buffer for %" PRIu64 " points.\n", counted);
    std::fputs(support_line, stderr);
    return GroundOutcome::failed;
  }
  const std::uint32_t g = static_cast<std::uint32_t>(counted);
  if (!prepare_triangulation(ground, g)) return GroundOutcome::failed;
  if (options.verbose) std::fprintf(stderr, "second pass. triangulating %u ground points ...\n", g);
  ground.x0 = reader->header.min_x;
  ground.y0 = reader->header.min_y;
  while (reader->next_point()) {
    if (is_ground(reader->point, mask) && !append_vertex(ground, reader->point)) return GroundOutcome::failed;
  }
  if (reader->read_failed()) return GroundOutcome::failed;
  took(run, "took %g sec. triangulated %" PRIu64 " points.\n", static_cast<std::uint64_t>(ground.vertex_count));
  reader->close();
  if (!reopen_input(run, *reader, options.remain_buffered)) return GroundOutcome::failed;
  if (TINcomplete()) return GroundOutcome::triangulated;
  if (TINfailed()) return GroundOutcome::failed;
  if (!quiet) std::fprintf(stderr, "the %u ground points form degenerate TIN.", static_cast<unsigned>(ground.vertex_count));
  TINrelease();
  ground.point_buffer.clear();
  ground.point_buffer.shrink_to_fit();
  return copy_or_skip(run, reader) ? GroundOutcome::copied_or_skipped : GroundOutcome::failed;
}

bool copy_or_skip(HeightRun& run, std::unique_ptr<LASreader>& reader) {
  const HeightOptions& options = run.options;
  const char* input = run.read_opener.current_input_name();
  if (options.skip_files) {
    if (!options.quiet) std::fprintf(stderr, " skipping '%s' ...\n", input);
    reader.reset();
    return true;
  }
  if (!options.quiet) std::fprintf(stderr, " copying '%s' ...\n", input);
  LASwriterFactory& write_opener = run.write_opener;
  if (!write_opener.has_output()) write_opener.derive_output_name(input, -1);
  std::unique_ptr<LASwriter> writer = write_opener.open(reader->header);
  if (!writer) {
    std::fprintf(stderr, "ERROR: could not open laswriter for '%s'\n",
                 write_opener.output_name() ? write_opener.output_name() : "stdout");
    return false;
  }
  const LASheader& header = reader->header;
  const std::int32_t zero_z = quantize_rounded(-header.z_offset / header.z_scale_factor, -header.z_offset >= 0.0);
  // The header describes what was read unless z, buffering, a filter or a
  // transform change which points there are or where they lie: then it is
  // patched from an inventory of every point written.
  const bool inventory = options.replace_z || run.read_opener.uses_buffering() || run.read_opener.get_filter() ||
                         run.read_opener.get_transform();
  LASpoint& point = reader->point;
  while (reader->next_point()) {
    if (options.replace_z) point.Z = zero_z;
    point.user_data = 0;
    writer->put_point(point);
    if (inventory) writer->tally_point(point);
  }
  if (reader->read_failed()) return false;
  if (inventory) writer->patch_header(&reader->header, true, false);
  writer->close(true);
  writer.reset();
  write_opener.set_output_name(nullptr);
  reader->close();
  reader.reset();
  return true;
}

}  // namespace tinrise
