#include "tool/height_pass.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/random.h"
#include "las/core/fixed_text.h"
#include "las/core/las_quantizer.h"
#include "options/open/las_reader_factory.h"
#include "options/open/las_writer_factory.h"
#include "tin/tin_vertex.h"
#include "tool/las_writer_skip_deleted.h"

namespace tinrise {
namespace {

constexpr char height_attribute_name[] = "height above ground";

// Halves away from zero, saturating far outside the 64-bit range.
std::int64_t nearest_integer(double value) {
  if (!(value > -9.2e18)) return value != value ? 0 : INT64_MIN;
  if (value >= 9.2e18) return INT64_MAX;
  return static_cast<std::int64_t>(value >= 0.0 ? value + 0.5 : value - 0.5);
}

LASextraAttribute height_attribute(bool precise) {
  LASextraAttribute attribute(precise ? 6 : 4, height_attribute_name, "vertical point to TIN distance");
  attribute.options = precise ? 8 : 24;
  attribute.scale[0] = precise ? 0.001 : 0.01;
  attribute.offset[0] = precise ? 0.0 : 250.0;
  return attribute;
}

void apply_projection(const HeightRun& run, LASheader& header) {
  if (!run.has_geo_keys) return;
  const std::uint16_t keys = static_cast<std::uint16_t>(run.geo_keys.size());
  std::vector<std::uint8_t> directory(8 + 8 * static_cast<std::size_t>(keys));
  const std::uint16_t head[4] = {1, 1, 0, keys};
  std::memcpy(directory.data(), head, 8);
  std::memcpy(directory.data() + 8, run.geo_keys.data(), 8 * static_cast<std::size_t>(keys));
  header.set_vlr("LASF_Projection", 34735, static_cast<std::uint16_t>(directory.size()), std::move(directory));
  if (!run.geo_doubles.empty()) {
    std::vector<std::uint8_t> doubles(8 * run.geo_doubles.size());
    std::memcpy(doubles.data(), run.geo_doubles.data(), doubles.size());
    header.set_vlr("LASF_Projection", 34736, static_cast<std::uint16_t>(doubles.size()), std::move(doubles));
  } else {
    header.drop_vlr("LASF_Projection", 34736);
  }
  header.drop_vlr("LASF_Projection", 34737);
}

// Where the extra bytes of an input point go in the output point when the
// height attribute is added.
struct ByteMove {
  int from, to, length;
};

struct ExtraBytesLayout {
  int height_offset = -1;
  std::vector<ByteMove> moves;  // attributes that sit elsewhere in the output
};

// Adds the height attribute to the output header. Bytes of the records that
// no attribute describes are described first, so that appending the height
// behind them does not overwrite them; an earlier height attribute that is
// not the last one is removed and the attributes behind it move up.
bool add_height_attribute(LASheader& header, bool precise, ExtraBytesLayout& layout) {
  const int base = las_point_type_base_size(header.point_data_format & 0x3F);
  int undocumented = base < 0 ? 0 : header.point_data_record_length - base - header.attributes_size();
  while (undocumented > 0) {
    LASextraAttribute raw(0, "undocumented extra bytes", "kept as they were");
    raw.options = static_cast<std::uint8_t>(undocumented > 255 ? 255 : undocumented);
    header.add_attribute(raw);
    undocumented -= raw.options;
  }
  const int previous_total = header.attributes_size();
  const int old_index = header.find_attribute(height_attribute_name);
  if (old_index >= 0) {
    const int removed_length = header.attribute_lengths[old_index];
    for (int i = old_index + 1; i < header.attribute_count(); i++) {
      const int from = header.attribute_offsets[i];
      layout.moves.push_back({from, from - removed_length, header.attribute_lengths[i]});
    }
    header.remove_attribute(old_index);
  }
  const int index = header.add_attribute(height_attribute(precise));
  layout.height_offset = header.attribute_offsets[index];
  header.refresh_extra_bytes_vlr();
  const int record_length = header.point_data_record_length + header.attributes_size() - previous_total;
  if (record_length > 65535) {
    std::fprintf(stderr, "ERROR: point record of %d bytes is too long for the height attribute\n", record_length);
    return false;
  }
  header.point_data_record_length = static_cast<std::uint16_t>(record_length);
  header.compressor_config.reset();
  return true;
}

void store_height_attribute(LASpoint& out, const LASpoint& in, const ExtraBytesLayout& layout, bool precise,
                            float height) {
  for (const ByteMove& move : layout.moves) {
    if (move.from + move.length <= in.extra_byte_count) {
      std::memcpy(out.extra_bytes + move.to, in.extra_bytes + move.from, move.length);
    }
  }
  std::uint8_t* target = out.extra_bytes + layout.height_offset;
  if (precise) {
    const std::int32_t value = static_cast<std::int32_t>(static_cast<std::uint32_t>(nearest_integer(height * 1000.0)));
    std::memcpy(target, &value, 4);
  } else {
    const std::uint16_t value = static_cast<std::uint16_t>(nearest_integer((height - 250.0) * 100.0));
    std::memcpy(target, &value, 2);
  }
}

int classify_by_height(const HeightOptions& options, float height) {
  if (height < options.classify_below_value) return options.classify_below_class;
  if (height > options.classify_above_value) return options.classify_above_class;
  for (const ClassifyBand& band : options.classify_between) {
    if (band.min < height && height < band.max) return band.classification;
  }
  return -1;
}

}  // namespace

bool height_above_surface(const GroundSurface& ground, const LASpoint& point, const LAScoordinateQuantizer& quantizer,
                          const TINtriangle*& hint, float& height) {
  TINvertex q = tin_vertex_from(point.dequantize_x(), point.dequantize_y(), 0.0, ground.x0, ground.y0);
  const TINtriangle* t = TINfind(q.x, q.y, hint);
  while (t == nullptr) {
    if (TINfailed()) return false;
    // The point coincides with a ground vertex: nudge it off by a few units
    // of the input's resolution, in a direction the generator varies.
    float sx = 1.0f, sy = -1.1f;
    TINvertex moved;
    int attempts = 0;
    do {
      moved = tin_vertex_from(q.x + sx * quantizer.x_scale_factor, q.y + sy * quantizer.y_scale_factor, 0.0, 0.0, 0.0);
      if (++attempts > 64) moved.x = std::nextafter(q.x, 3.4e38f);  // scale factors of zero cannot move it
      if (random_next() & (1 << 11)) {
        sx = sx * -1.3f;
        sy = sy * 1.4f;
      } else {
        sx = sy * -1.5f;
        sy = sy * -1.5f * 1.7f;
      }
    } while (moved.x == q.x && moved.y == q.y);
    q = moved;
    // The walk starts at the previous answer, which lies next to the vertex,
    // rather than at the most recently built triangle, which may lie anywhere:
    // the triangle found is the same, the walk a few steps instead of
    // hundreds.
    t = TINfind(q.x, q.y, hint);
  }
  hint = t;
  const double px = q.x, py = q.y;
  double surface;
  if (t->V[0] != TIN_ABSENT) {
    const TINvertex* k[3] = {TINcorner(t, 0), TINcorner(t, 1), TINcorner(t, 2)};
    auto between = [](double a, double b, double v) { return (a <= v && v <= b) || (b <= v && v <= a); };
    // An apex whose x is px itself spans no x interval: interpolating from it
    // would give its own z for every q on that vertical line. Another apex
    // always exists then, unless q is that very corner.
    int apex = -1, apex_at_px = -1;
    for (int i = 0; i < 3 && apex < 0; i++) {
      const double ax = k[i]->x, bx = k[(i + 1) % 3]->x, cx = k[(i + 2) % 3]->x;
      if (ax != bx && ax != cx && between(ax, bx, px) && between(ax, cx, px)) {
        if (ax != px) {
          apex = i;
        } else if (apex_at_px < 0) {
          apex_at_px = i;
        }
      }
    }
    if (apex < 0) apex = apex_at_px;
    if (apex < 0) {
      std::fprintf(stderr, "ERROR: x %g coordinate not contained in x interval of two edges\n", px);
      return false;
    }
    const int qi = apex == 0 ? 1 : 0;
    const int ri = apex == 2 ? 1 : 2;
    const double Px = k[apex]->x, Py = k[apex]->y, Pz = k[apex]->z;
    const double t1 = (px - Px) / (k[qi]->x - Px);
    const double y1 = Py + (k[qi]->y - Py) * t1, z1 = Pz + (k[qi]->z - Pz) * t1;
    const double t2 = (px - Px) / (k[ri]->x - Px);
    const double y2 = Py + (k[ri]->y - Py) * t2, z2 = Pz + (k[ri]->z - Pz) * t2;
    surface = y1 == y2 ? Pz : z2 + (py - y2) / (y1 - y2) * (z1 - z2);
  } else {
    const TINvertex* v1 = TINcorner(t, 1);
    const TINvertex* v2 = TINcorner(t, 2);
    const double d1 = std::hypot(px - v1->x, py - v1->y);
    const double d2 = std::hypot(px - v2->x, py - v2->y);
    surface = (d1 * v2->z + d2 * v1->z) / (d1 + d2);
  }
  height = static_cast<float>(point.dequantize_z() - surface);
  return true;
}

bool run_height_pass(HeightRun& run, std::unique_ptr<LASreader>& reader) {
  const HeightOptions& options = run.options;
  const GroundSurface& ground = run.ground;
  if (options.olay) {
    std::fprintf(stderr, "ERROR: writing LAY layers ('-olay') is not supported by this build yet\n");
    return false;
  }

  // The output header: a deep copy of the input's, so the reader keeps its own.
  LASheader header = reader->header;
  apply_projection(run, header);
  ExtraBytesLayout layout;
  if (options.store_as_extra_bytes && !add_height_attribute(header, options.store_precise, layout)) return false;
  copy_fixed_text(header.system_identifier, sizeof(header.system_identifier), suite_system_identifier, 31);
  char software[64];
  std::snprintf(software, sizeof(software), "tinrise (%d) %s", tool_version, installation_label);
  copy_fixed_text(header.generating_software, sizeof(header.generating_software), software, 31);
  if (options.replace_z) header.z_offset = 0.0;

  LASpoint output_point;
  const bool separate_output = options.store_as_extra_bytes;
  if (separate_output &&
      !output_point.init(&header, header.point_data_format & 0x3F, header.point_data_record_length, &header)) {
    return false;
  }

  LASwriterFactory& write_opener = run.write_opener;
  const char* input_name = run.read_opener.current_input_name();
  if (!write_opener.has_output()) write_opener.derive_output_name(input_name, -1);
  std::unique_ptr<LASwriter> writer = write_opener.open(header);
  if (writer && options.drop) writer = std::make_unique<LASwriterSkipDeleted>(std::move(writer));
  if (!writer) {
    std::fprintf(stderr, "ERROR: could not open laswriter\n");
    return false;
  }
  if (options.verbose) {
    const std::int64_t vertices = ground.from_file ? 0 : ground.vertex_count;
    std::fprintf(stderr, "third pass. computing heights for %" PRId64 " points ...\n", reader->point_count - vertices);
  }
  // Counts and box change whenever points move, vanish or come from several files.
  const bool inventory = options.replace_z || options.drop || run.read_opener.uses_buffering() ||
                         run.read_opener.get_filter() || run.read_opener.get_transform();

  const std::uint32_t ground_mask = options.ground_classification_mask;
  const std::uint32_t ignore_mask = options.ignore_classification_mask;
  const double z_scale = header.z_scale_factor;
  LASpoint& in = reader->point;
  LASpoint& out = separate_output ? output_point : in;
  const TINtriangle* hint = nullptr;
  std::uint32_t dropped = 0, below_count = 0, above_count = 0;
  float below_sum = 0.0f, above_sum = 0.0f;
  std::uint64_t points_read = 0;
  while (reader->next_point()) {
    points_read++;
    float height = 0.0f;
    if (!((ground_mask >> in.classification) & 1u) && !height_above_surface(ground, in, reader->header, hint, height)) {
      return false;
    }
    if (options.drop && (height < options.drop_below || height > options.drop_above ||
                         (options.drop_between_min < height && height < options.drop_between_max))) {
      dropped++;
      in.deleted_flag = 1;
      writer->put_point(in);
      in.deleted_flag = 0;
      continue;
    }
    if (separate_output) {
      out = in;
      store_height_attribute(out, in, layout, options.store_precise, height);
    }
    if (options.replace_z) out.Z = static_cast<std::int32_t>(nearest_integer(height / z_scale));
    if (options.store_in_user_data) {
      const std::int64_t value = nearest_integer(height * options.scale_u);
      if (value < 0) {
        out.user_data = 0;
        below_count++;
        below_sum += height;
      } else if (value > 255) {
        out.user_data = 255;
        above_count++;
        above_sum += height;
      } else {
        out.user_data = static_cast<std::uint8_t>(value);
      }
    }
    if (options.classify && !((ignore_mask >> in.classification) & 1u)) {
      const int classification = classify_by_height(options, height);
      if (classification >= 0) {
        out.classification = static_cast<std::uint8_t>(classification);
        out.extended_classification = static_cast<std::uint8_t>(classification);
      }
    }
    writer->put_point(out);
    if (inventory) writer->tally_point(out);
  }

  // Damaged input ends the run: its output would silently lack points.
  if (reader->read_failed()) return false;
  if (options.very_verbose) {
    if (below_count > 0) {
      std::fprintf(stderr, "WARNING: %u non-ground points had a height below 0 (average: %.2f)\n", below_count,
                   below_sum / below_count);
    }
    if (above_count > 0) {
      std::fprintf(stderr, "WARNING: %u non-ground points had a height above 255 (average: %.2f)\n", above_count,
                   above_sum / above_count);
    }
  }
  if (inventory) writer->patch_header(&header, true, false);
  writer->close(true);
  writer.reset();
  if (options.verbose && dropped > 0) {
    std::fprintf(stderr, "dropped %u of %" PRIu64 " points\n", dropped, points_read);
  }
  reader->close();
  reader.reset();
  if (!ground.from_file) {
    run.ground.point_buffer.clear();
    run.ground.point_buffer.shrink_to_fit();
  }
  return true;
}

}  // namespace tinrise
