// Reading with a filter and transform attached, where the reader decides and
// changes buffered runs of records at once: the points, their bytes, the
// positions and the drop counts must be those of reading every point and
// asking the filter and transform about it by hand, through seeks, reopens,
// damaged counts, rescaling and compression.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "las/core/bytestream_array.h"
#include "las/core/bytestream_file.h"
#include "las/io/las_reader_las.h"
#include "options/process/las_point_filter.h"
#include "options/process/las_point_transform.h"
#include "support/las_bytes.h"

namespace tinrise {
namespace {

using test::Bytes;
using test::put;

struct Generator {
  std::uint64_t state;
  explicit Generator(std::uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
  std::uint32_t next(std::uint32_t range) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<std::uint32_t>((state >> 16) % range);
  }
  std::int32_t between(std::int64_t lo, std::int64_t hi) {
    return static_cast<std::int32_t>(lo + next(static_cast<std::uint32_t>(hi - lo + 1)));
  }
};

struct FileLayout {
  const char* name;
  int point_type;
  int record_length;  // beyond the type's own size: extra bytes
  std::uint32_t count;
  double scale, offset;
};

// A LAS 1.2 file (LAS 1.4 for point types 6 and up) built byte by byte:
// coordinates spread around real z from -10 to 100, plausible returns with a
// few broken ones, classes 0 to 5 with random flags, a few records at the
// ends of the 32-bit range.
Bytes make_file(const FileLayout& layout, std::uint32_t seed = 1) {
  const bool core14 = layout.point_type >= 6;
  Bytes b = test::las_header(core14 ? 4 : 2, layout.point_type, layout.record_length, layout.count);
  for (int axis = 0; axis < 3; axis++) {
    put<double>(b, 131 + 8 * axis, layout.scale);
    put<double>(b, 155 + 8 * axis, layout.offset);
  }
  Generator random(seed);
  const std::int64_t z_lo = static_cast<std::int64_t>((-10 - layout.offset) / layout.scale);
  const std::int64_t z_hi = static_cast<std::int64_t>((100 - layout.offset) / layout.scale);
  const std::size_t start = b.size();
  for (std::uint32_t i = 0; i < layout.count; i++) {
    Bytes r(layout.record_length, 0);
    put<std::int32_t>(r, 0, random.between(-2000000, 2000000));
    put<std::int32_t>(r, 4, random.between(-2000000, 2000000));
    put<std::int32_t>(r, 8, random.between(z_lo, z_hi));
    if (i % 97 == 5) put<std::int32_t>(r, 8, i % 2 ? INT32_MAX - static_cast<std::int32_t>(i % 3) : INT32_MIN);
    put<std::uint16_t>(r, 12, static_cast<std::uint16_t>(random.next(65536)));
    int n = 1 + static_cast<int>(random.next(5)), rn = 1 + static_cast<int>(random.next(n));
    int base;
    if (core14) {
      // Up to 15 returns, so that long pulses map onto the legacy fields;
      // classes beyond 31 and every flag and channel bit.
      if (random.next(10) == 0) n = static_cast<int>(random.next(16)), rn = static_cast<int>(random.next(16));
      r[14] = static_cast<std::uint8_t>(rn | n << 4);
      r[15] = static_cast<std::uint8_t>(random.next(256));
      r[16] = static_cast<std::uint8_t>(random.next(4) == 0 ? random.next(256) : random.next(6));
      r[17] = static_cast<std::uint8_t>(random.next(8));
      put<std::int16_t>(r, 18, static_cast<std::int16_t>(random.between(-30000, 30000)));
      put<std::uint16_t>(r, 20, static_cast<std::uint16_t>(random.next(11)));
      put<double>(r, 22, 1000.0 + i * 0.001);
      base = 30;
      if (layout.point_type == 7 || layout.point_type == 8) {
        const int channels = layout.point_type == 8 ? 4 : 3;
        for (int c = 0; c < channels; c++) put<std::uint16_t>(r, 30 + 2 * c, static_cast<std::uint16_t>(random.next(65536)));
        base += 2 * channels;
      }
    } else {
      if (random.next(20) == 0) n = static_cast<int>(random.next(8)), rn = static_cast<int>(random.next(8));
      r[14] = static_cast<std::uint8_t>(rn | n << 3 | random.next(4) << 6);
      r[15] = static_cast<std::uint8_t>(random.next(6) | (random.next(8) == 0 ? 0x20 : 0) |
                                        (random.next(8) == 0 ? 0x40 : 0) | (random.next(8) == 0 ? 0x80 : 0));
      r[16] = static_cast<std::uint8_t>(static_cast<std::int8_t>(random.between(-30, 30)));
      r[17] = static_cast<std::uint8_t>(random.next(8));
      put<std::uint16_t>(r, 18, static_cast<std::uint16_t>(random.next(11)));
      if (layout.point_type == 1 || layout.point_type == 3) put<double>(r, 20, 1000.0 + i * 0.001);
      if (layout.point_type == 3) {
        for (int c = 0; c < 3; c++) put<std::uint16_t>(r, 28 + 2 * c, static_cast<std::uint16_t>(random.next(65536)));
      }
      base = layout.point_type == 0 ? 20 : layout.point_type == 1 ? 28 : 34;
    }
    for (int e = base; e < layout.record_length; e++) r[e] = static_cast<std::uint8_t>(random.next(256));
    b.insert(b.end(), r.begin(), r.end());
  }
  // The bounding box of the records, so that rescaling finds no overflow.
  double min[3] = {1e300, 1e300, 1e300}, max[3] = {-1e300, -1e300, -1e300};
  for (std::uint32_t i = 0; i < layout.count; i++) {
    for (int axis = 0; axis < 3; axis++) {
      const std::int32_t stored = test::get<std::int32_t>(b, start + std::size_t{i} * layout.record_length + 4 * axis);
      if (axis == 2 && (stored == INT32_MIN || stored > INT32_MAX - 3)) continue;
      min[axis] = std::min(min[axis], stored * layout.scale + layout.offset);
      max[axis] = std::max(max[axis], stored * layout.scale + layout.offset);
    }
  }
  for (int axis = 0; axis < 3; axis++) {
    put<double>(b, 179 + 16 * axis, max[axis]);
    put<double>(b, 187 + 16 * axis, min[axis]);
  }
  return b;
}

const FileLayout files[] = {
    {"type 0", 0, 20, 3000, 0.01, 0},
    {"type 1 with 3 extra bytes", 1, 31, 2900, 0.001, 1000},
    {"type 3", 3, 34, 3001, 0.25, -50},
    {"type 3 with 7 extra bytes", 3, 41, 2777, 0.01, 0},
    {"LAS 1.4 type 6", 6, 30, 2901, 0.01, 0},
    {"LAS 1.4 type 7 with 5 extra bytes", 7, 41, 2799, 0.001, 1000},
    {"LAS 1.4 type 8", 8, 38, 2655, 0.25, -50},
};

// Streams over the same bytes: one buffer holding the whole file, or a file
// read in small blocks that cut records at their ends.
enum class Feed { array, small_blocks };

class Source {
 public:
  Source(const Bytes& bytes, Feed feed) : bytes(bytes), feed(feed) {}
  Source(const Source&) = delete;
  ~Source() {
    for (std::FILE* file : opened) std::fclose(file);
  }
  // A new stream for a reader to own; the source must outlive the reader.
  ByteStreamIn* stream() {
    if (feed == Feed::array) return new ByteStreamInArray(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(bytes.data()), bytes.size(), "rb");
    opened.push_back(file);
    return new ByteStreamInFile(file, 1000);
  }

 private:
  const Bytes& bytes;
  Feed feed;
  std::vector<std::FILE*> opened;
};

const char* feed_name(Feed feed) { return feed == Feed::array ? "whole buffer" : "small blocks"; }

// What is delivered of a point: its position in the file and every byte a
// filter or transform could read or change.
struct Delivered {
  std::int64_t index;
  Bytes bytes;
  bool operator==(const Delivered&) const = default;
};

Delivered delivered(const LASreaderLAS& reader) {
  const LASpoint& p = reader.point;
  Delivered d{reader.points_done - 1, {}};
  const auto add = [&d](const void* at, std::size_t size) {
    const std::uint8_t* bytes = static_cast<const std::uint8_t*>(at);
    d.bytes.insert(d.bytes.end(), bytes, bytes + size);
  };
  add(&p.X, 26);
  add(&p.gps_time, sizeof(p.gps_time));
  add(p.rgb, sizeof(p.rgb));
  if (p.extra_byte_count > 0) add(p.extra_bytes, static_cast<std::size_t>(p.extra_byte_count));
  return d;
}

void PrintTo(const Delivered& d, std::ostream* out) {
  std::int32_t xyz[3];
  std::memcpy(xyz, d.bytes.data(), 12);
  *out << "point " << d.index << " (X " << xyz[0] << " Y " << xyz[1] << " Z " << xyz[2] << ")";
}

struct Options {
  std::string filter, transform;
};

std::unique_ptr<LASpointFilter> filter_from(const std::string& text) {
  if (text.empty()) return nullptr;
  auto filter = std::make_unique<LASpointFilter>();
  EXPECT_TRUE(filter->parse_text(text.c_str())) << text;
  return filter;
}

// A transform from its options; after -filtered_transform the filter options
// among them choose the points it changes.
std::unique_ptr<LASpointTransform> transform_from(const std::string& text) {
  if (text.empty()) return nullptr;
  auto transform = std::make_unique<LASpointTransform>();
  EXPECT_TRUE(transform->parse_text(text.c_str())) << text;
  if (transform->is_filtered()) transform->attach_filter(filter_from(text));
  return transform;
}

// A reader with its own filter and transform, either attached to it or asked
// by hand about every point it reads.
class Pass {
 public:
  Pass(std::unique_ptr<LASreaderLAS> reader, const Options& options, bool by_hand)
      : filter(filter_from(options.filter)), transform(transform_from(options.transform)), reader(std::move(reader)),
        by_hand(by_hand) {}

  bool open(Source& source) {
    // As before every open of a file: stateful conditions and operations restart.
    if (filter) filter->reset();
    if (transform) transform->reset();
    const bool opened = reader->open(source.stream());
    if (!by_hand && !attached) {
      if (filter) reader->attach_filter(filter.get());
      if (transform) reader->attach_transform(transform.get());
      attached = true;
    }
    return opened;
  }
  bool next() {
    if (!by_hand || !active) return reader->next_point();
    while (reader->next_point()) {
      if (filter && filter->drops(reader->point)) continue;
      if (transform) transform->apply(reader->point);
      return true;
    }
    return false;
  }
  // Takes the filter and transform off the reader, or puts them back.
  void set_active(bool on) {
    active = on;
    if (by_hand) return;
    reader->attach_filter(on ? filter.get() : nullptr);
    reader->attach_transform(on ? transform.get() : nullptr);
  }
  // Every filter's drop counts, the transform's chooser's last.
  std::vector<std::uint32_t> drop_counts() const {
    std::vector<std::uint32_t> counts;
    if (filter) {
      for (std::uint32_t c = 0; c < filter->condition_count(); c++) counts.push_back(filter->drop_count(c));
    }
    if (const LASpointFilter* chooser = transform ? transform->attached_filter() : nullptr) {
      for (std::uint32_t c = 0; c < chooser->condition_count(); c++) counts.push_back(chooser->drop_count(c));
    }
    return counts;
  }

  // The reader goes first: closing it may give back counts to its filter.
  std::unique_ptr<LASpointFilter> filter;
  std::unique_ptr<LASpointTransform> transform;
  std::unique_ptr<LASreaderLAS> reader;
  bool by_hand;
  bool attached = false;
  bool active = true;
};

struct Step {
  // area: a rectangle around every point; clear_area: none again; detach:
  // no filter or transform; attach: both again.
  enum Kind { read, seek, reopen, area, clear_area, detach, attach } kind;
  std::int64_t n = -1;  // points to read (all when negative), or the index to seek to
};

// What one pass showed in one step.
struct Seen {
  std::vector<Delivered> points;
  bool result = false;
  std::int64_t points_done = 0;
  std::string err;
};

Seen run_step(Pass& pass, Source& source, const Step& step) {
  Seen seen;
  testing::internal::CaptureStderr();
  if (step.kind == Step::read) {
    while (step.n < 0 || static_cast<std::int64_t>(seen.points.size()) < step.n) {
      seen.result = pass.next();
      if (!seen.result) break;
      seen.points.push_back(delivered(*pass.reader));
    }
  } else if (step.kind == Step::seek) {
    seen.result = pass.reader->seek(step.n);
  } else if (step.kind == Step::reopen) {
    pass.reader->close();
    seen.result = pass.open(source);
  } else if (step.kind == Step::area) {
    seen.result = pass.reader->inside_rectangle(-1e12, -1e12, 1e12, 1e12);
  } else if (step.kind == Step::clear_area) {
    seen.result = pass.reader->inside_clear();
  } else {
    pass.set_active(step.kind == Step::attach);
    seen.result = true;
  }
  seen.err = testing::internal::GetCapturedStderr();
  seen.points_done = pass.reader->points_done;
  return seen;
}

// Runs the steps on a reader with the options attached and on one asked by
// hand, comparing everything after every step; drop counts are compared
// whenever no decided record can be pending: after seeks, reopens and reads
// that reached the end. Returns the number of points delivered.
std::size_t expect_same_passes(Source& source, const Options& options, const std::vector<Step>& steps,
                        const std::function<std::unique_ptr<LASreaderLAS>()>& make_reader) {
  Pass attached(make_reader(), options, false);
  Pass by_hand(make_reader(), options, true);
  EXPECT_TRUE(attached.open(source));
  EXPECT_TRUE(by_hand.open(source));
  std::size_t total = 0;
  for (std::size_t s = 0; s < steps.size(); s++) {
    SCOPED_TRACE(testing::Message() << "step " << s);
    const Seen a = run_step(attached, source, steps[s]);
    const Seen b = run_step(by_hand, source, steps[s]);
    EXPECT_EQ(a.points.size(), b.points.size());
    const std::size_t both = std::min(a.points.size(), b.points.size());
    for (std::size_t i = 0; i < both; i++) {
      if (a.points[i] != b.points[i]) {
        ADD_FAILURE() << "delivered " << i << ": " << testing::PrintToString(a.points[i]) << " instead of "
                      << testing::PrintToString(b.points[i]);
        break;
      }
    }
    total += a.points.size();
    EXPECT_EQ(a.result, b.result);
    EXPECT_EQ(a.points_done, b.points_done);
    EXPECT_EQ(a.err, b.err);
    if (steps[s].kind != Step::read || !a.result) {
      EXPECT_EQ(attached.drop_counts(), by_hand.drop_counts());
    }
  }
  return total;
}

std::unique_ptr<LASreaderLAS> plain_reader() { return std::make_unique<LASreaderLAS>(); }

const Options option_rows[] = {
    {"-keep_class 2 3 -drop_z_above 50 -keep_first", ""},
    {"", "-translate_z 1.5 -scale_intensity 2 -set_user_data 7"},
    {"-drop_intensity_above 40000 -keep_return 1 2 -drop_user_data 3",
     "-translate_xyz 0.005 1 -2 -change_point_source_from_to 1 9"},
    // A plan for the filter, but a transform that changes points one by one.
    {"-keep_single -drop_Z_below 0 -drop_scan_angle_above 10", "-scale_x 2 -set_classification 4"},
    // Filters without a plan, with transforms that could change records.
    {"-keep_random_fraction 0.5 4711", "-translate_raw_z 5"},
    {"-keep_every_nth 3 -drop_class 1", "-translate_z 0.25"},
    {"-keep_class 31", "-set_user_data 1"},  // drops every point
    {"-drop_user_data_above 255", ""},       // keeps every point
    {"", "-set_user_data 9 -filtered_transform -keep_class 2"},
    {"-drop_x_below 0 -drop_y_above 0", "-translate_raw_xy_at_random 3 3"},
    // Fields LAS 1.4 records give their points' legacy bytes by conversion:
    // long pulses, classes beyond 31, flags and the scan angle rank.
    {"-keep_last -drop_synthetic -keep_class 0 2 3", "-scale_intensity 3 -change_user_data_from_to 2 5"},
    {"-keep_scan_angle -5 5 -drop_withheld -keep_number_of_returns 7", "-translate_x -0.125"},
};

TEST(LASreaderLASbatches, DeliverWhatReadingPointByPointDelivers) {
  for (const FileLayout& layout : files) {
    const Bytes bytes = make_file(layout);
    for (Feed feed : {Feed::array, Feed::small_blocks}) {
      for (const Options& options : option_rows) {
        SCOPED_TRACE(std::string(layout.name) + ", " + feed_name(feed) + ": '" + options.filter + "' '" +
                     options.transform + "'");
        Source source(bytes, feed);
        const std::size_t delivered = expect_same_passes(source, options, {{Step::read}, {Step::read}}, plain_reader);
        // Every row but the one that drops everything delivers points.
        if (options.filter != "-keep_class 31") {
          EXPECT_GT(delivered, 0u);
        }
      }
    }
  }
}

TEST(LASreaderLASbatches, SeeksAndReopensCountEveryDropOnce) {
  using S = Step;
  const std::vector<std::vector<Step>> scripts = {
      // Seeks forwards and backwards from the middle of a decided run.
      {{S::read, 50}, {S::seek, 1000}, {S::read}},
      {{S::read, 120}, {S::seek, 10}, {S::read}},
      {{S::read, 1}, {S::seek, 0}, {S::read, 100}, {S::seek, 255}, {S::read}},
      // Seeks that fail leave the reader where it was.
      {{S::read, 30}, {S::seek, 1 << 20}, {S::seek, -1}, {S::read}},
      // Counts accumulate over rereads: twice the counts of one pass.
      {{S::read}, {S::reopen}, {S::read}},
      {{S::read, 60}, {S::reopen}, {S::read, 5}, {S::reopen}, {S::read}},
      {{S::read}, {S::seek, 2}, {S::read}},
      // Taking the options off mid-run gives back the drops of records not passed.
      {{S::read, 40}, {S::detach}, {S::read, 300}, {S::attach}, {S::read}},
      {{S::read, 3}, {S::attach}, {S::read, 3}, {S::detach}, {S::seek, 5}, {S::read, 2}, {S::attach}, {S::read}},
  };
  const Options rows[] = {option_rows[0], option_rows[2], option_rows[3], option_rows[5], option_rows[8],
                          option_rows[9]};
  for (const FileLayout& layout : {files[0], files[3], files[5]}) {
    const Bytes bytes = make_file(layout, 2);
    for (Feed feed : {Feed::array, Feed::small_blocks}) {
      for (const Options& options : rows) {
        for (std::size_t s = 0; s < scripts.size(); s++) {
          SCOPED_TRACE(testing::Message() << layout.name << ", " << feed_name(feed) << ": '" << options.filter << "' '"
                                          << options.transform << "', script " << s);
          Source source(bytes, feed);
          expect_same_passes(source, options, scripts[s], plain_reader);
        }
      }
    }
  }
}

// An area query set or cleared while part of a run is decided: the records
// decided but not passed are read again by the area query, so they must
// neither be counted twice nor delivered from the old run afterwards.
TEST(LASreaderLASbatches, AreaQueriesSetBetweenReads) {
  using S = Step;
  const std::vector<std::vector<Step>> scripts = {
      {{S::read, 20}, {S::area}, {S::read}},
      {{S::read, 20}, {S::area}, {S::read, 40}, {S::clear_area}, {S::read}},
  };
  const Bytes bytes = make_file(files[0], 5);
  for (const Options& options : {option_rows[0], option_rows[2]}) {
    for (std::size_t s = 0; s < scripts.size(); s++) {
      SCOPED_TRACE(testing::Message() << "'" << options.filter << "' '" << options.transform << "', script " << s);
      Source source(bytes, Feed::array);
      expect_same_passes(source, options, scripts[s], plain_reader);
    }
  }
}

TEST(LASreaderLASbatches, CountsInTheHeaderThatDisagreeWithTheRecords) {
  const FileLayout layout = files[3];
  const Bytes whole = make_file(layout, 3);
  const std::size_t points_start = test::las_header(2, layout.point_type, layout.record_length, 0).size();
  struct Row {
    const char* what;
    Bytes bytes;
    const char* end_warning;
  };
  std::vector<Row> rows;
  {
    Bytes cut = whole;  // 100 and a half records fewer than announced
    cut.resize(points_start + std::size_t{layout.count - 100} * layout.record_length - layout.record_length / 2);
    rows.push_back({"cut short", cut, "WARNING: end-of-file after 2676 of 2777 points\n"});
  }
  {
    Bytes fewer = whole;
    put<std::uint32_t>(fewer, 107, 1500);
    rows.push_back({"fewer announced", fewer, ""});
  }
  {
    Bytes none = whole;
    put<std::uint32_t>(none, 107, 0);
    rows.push_back({"none announced", none, ""});
  }
  for (const Row& row : rows) {
    for (Feed feed : {Feed::array, Feed::small_blocks}) {
      for (const Options& options : {option_rows[0], option_rows[1], option_rows[2], option_rows[6]}) {
        SCOPED_TRACE(std::string(row.what) + ", " + feed_name(feed) + ": '" + options.filter + "' '" +
                     options.transform + "'");
        Source source(row.bytes, feed);
        expect_same_passes(source, options, {{Step::read, 200}, {Step::read}, {Step::read}}, plain_reader);
        // The end as a plain read reports it.
        LASreaderLAS plain;
        ASSERT_TRUE(plain.open(source.stream()));
        testing::internal::CaptureStderr();
        while (plain.next_point()) {
        }
        EXPECT_EQ(testing::internal::GetCapturedStderr(), row.end_warning);
      }
    }
  }
}

// Rescaled points are no longer the stored records: conditions on them must
// see the rescaled integers.
TEST(LASreaderLASbatches, RescaledPointsAreFilteredAfterRescaling) {
  const FileLayout layout = files[3];
  const Bytes bytes = make_file(layout, 4);
  LASreaderLASrescaled::Settings settings;
  settings.rescale = true;
  settings.scale[0] = 0.001;
  settings.scale[2] = 0.002;
  settings.reoffset = true;
  settings.offset[0] = 0.0;
  settings.offset[1] = 0.0;
  settings.offset[2] = 20.0;
  const auto rescaled = [&settings] { return std::make_unique<LASreaderLASrescaled>(settings); };
  const Options rows[] = {
      {"-drop_z_above 50.005 -keep_z 0 80", "-translate_z 0.001"},
      {"-keep_Z -5000 5000", "-translate_raw_z 3"},
      {"-drop_X_below 0 -keep_class 1 2", "-set_user_data 5"},
      {"-drop_z_below 30.001", ""},
  };
  for (Feed feed : {Feed::array, Feed::small_blocks}) {
    for (const Options& options : rows) {
      SCOPED_TRACE(std::string(feed_name(feed)) + ": '" + options.filter + "' '" + options.transform + "'");
      Source source(bytes, feed);
      expect_same_passes(source, options, {{Step::read, 500}, {Step::seek, 100}, {Step::read}}, rescaled);
      // Checked on the rescaled integers themselves: the filter on raw Z
      // keeps nothing outside its range.
      if (options.filter == "-keep_Z -5000 5000") {
        Pass pass(rescaled(), options, false);
        ASSERT_TRUE(pass.open(source));
        int kept = 0;
        while (pass.next()) {
          EXPECT_GE(pass.reader->point.Z, -5000 + 3);
          EXPECT_LT(pass.reader->point.Z, 5000 + 3);
          kept++;
        }
        EXPECT_GT(kept, 0);
      }
    }
  }
}

std::string real(const char* name) { return std::string(TINRISE_TEST_DATA) + "/real/" + name; }

// The samples as they are: compressed ones read point by point inside the
// engine, the others decided in runs; both must match reading by hand.
TEST(LASreaderLASbatches, RealSamplesCompressedOrNot) {
  const char* const samples[] = {"simple.las", "simple.kpz", "extrabytes.las", "100-points.las", "test1_4.las",
                                 "warsaw_small.las"};
  for (const char* sample : samples) {
    const Bytes bytes = test::read_file_bytes(real(sample));
    ASSERT_GT(bytes.size(), 227u) << sample;
    LASreaderLAS peek;
    ASSERT_TRUE(peek.open(real(sample).c_str()));
    const double middle_z = (peek.header.min_z + peek.header.max_z) / 2;
    const double middle_x = (peek.header.min_x + peek.header.max_x) / 2;
    const std::int64_t count = peek.point_count;
    peek.close();
    const Options rows[] = {
        {"-drop_z_above " + std::to_string(middle_z) + " -keep_last -drop_intensity_below 30", ""},
        {"-keep_class 1 2 -drop_x_below " + std::to_string(middle_x), "-translate_z 0.005 -set_point_source 3"},
        {"", "-translate_xyz 1 2 3 -scale_intensity 1.5"},
        {"-keep_random_fraction 0.3 77", "-translate_raw_z 1"},
    };
    for (Feed feed : {Feed::array, Feed::small_blocks}) {
      for (const Options& options : rows) {
        SCOPED_TRACE(std::string(sample) + ", " + feed_name(feed) + ": '" + options.filter + "' '" +
                     options.transform + "'");
        Source source(bytes, feed);
        expect_same_passes(source, options, {{Step::read, 30}, {Step::seek, count / 2}, {Step::read}, {Step::reopen},
                                             {Step::read}},
                           plain_reader);
      }
    }
  }
  // The compressed sample holds the same points as the uncompressed one.
  const Bytes las = test::read_file_bytes(real("simple.las"));
  const Bytes kpz = test::read_file_bytes(real("simple.kpz"));
  const Options options{"-keep_class 2 -drop_z_above 870", "-translate_z 0.005"};
  Source las_source(las, Feed::array), kpz_source(kpz, Feed::small_blocks);
  Pass from_las(plain_reader(), options, false), from_kpz(plain_reader(), options, false);
  ASSERT_TRUE(from_las.open(las_source));
  ASSERT_TRUE(from_kpz.open(kpz_source));
  const Seen a = run_step(from_las, las_source, {Step::read});
  const Seen b = run_step(from_kpz, kpz_source, {Step::read});
  EXPECT_GT(a.points.size(), 0u);
  EXPECT_EQ(a.points, b.points);
  EXPECT_EQ(from_las.drop_counts(), from_kpz.drop_counts());
}

}  // namespace
}  // namespace tinrise
