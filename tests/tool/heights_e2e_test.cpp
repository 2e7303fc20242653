// Heights end to end on the built tool: real samples in every storage mode,
// classification and dropping, the copy paths, refused inputs, and the
// edge cases of the height rules on small constructed files.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "las/core/bytestream_array.h"
#include "support/las_bytes.h"
#include "support/las_files.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace tinrise {
namespace {

using test::Bytes;
using test::get;
using test::run_binary;

std::string real(const std::string& name) { return std::string(TINRISE_TEST_DATA) + "/real/" + name; }

// The stored heights (millimetres) of every point of a real sample.
std::vector<int> expected_heights(const std::string& name) {
  std::ifstream in(std::string(TINRISE_TEST_DATA) + "/heights/" + name + ".mm");
  std::vector<int> heights;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] != '#') heights.push_back(std::stoi(line));
  }
  return heights;
}

// Raw records of a LAS file (header fields read at their offsets).
struct Records {
  Bytes bytes;
  std::uint32_t offset = 0, count = 0;
  std::uint16_t length = 0;
  const std::uint8_t* at(std::size_t i) const { return bytes.data() + offset + i * length; }
};

Records records_of(const std::string& path) {
  Records r;
  r.bytes = test::read_file_bytes(path);
  if (r.bytes.size() < 227) return r;
  r.offset = get<std::uint32_t>(r.bytes, 96);
  r.length = get<std::uint16_t>(r.bytes, 105);
  r.count = get<std::uint32_t>(r.bytes, 107);
  if (r.count == 0 && r.bytes[25] >= 4) r.count = static_cast<std::uint32_t>(get<std::uint64_t>(r.bytes, 247));
  return r;
}

bool near_any(int mm, std::initializer_list<int> limits) {
  for (int limit : limits) {
    if (std::abs(mm - limit) <= 3) return true;
  }
  return false;
}

enum class Storage { user_data, extra_bytes, precise, replace_z };

struct StorageCase {
  const char* file;
  Storage storage;
};

class StorageModes : public ::testing::TestWithParam<StorageCase> {};

TEST_P(StorageModes, EveryPointCarriesItsHeightAndKeepsItsOtherFields) {
  const StorageCase& c = GetParam();
  test::TempDir dir;
  const std::string output = dir.file("out.las");
  std::vector<std::string> args = {"-i", real(std::string(c.file) + ".las"), "-o", output, "-quiet"};
  const char* mode[] = {nullptr, "-store_as_extra_bytes", "-store_precise_as_extra_bytes", "-replace_z"};
  if (mode[static_cast<int>(c.storage)]) args.push_back(mode[static_cast<int>(c.storage)]);
  const auto run = run_binary(args);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");

  const Records in = records_of(real(std::string(c.file) + ".las"));
  const Records out = records_of(output);
  const std::vector<int> heights = expected_heights(c.file);
  ASSERT_EQ(out.count, in.count);
  ASSERT_EQ(heights.size(), in.count);
  const int added = c.storage == Storage::extra_bytes ? 2 : c.storage == Storage::precise ? 4 : 0;
  ASSERT_EQ(out.length, in.length + added);
  const double z_scale = get<double>(out.bytes, 147);
  if (c.storage == Storage::replace_z) {
    EXPECT_EQ(get<double>(out.bytes, 171), 0.0);  // z_offset
  }

  for (std::uint32_t i = 0; i < in.count; i++) {
    const std::uint8_t* a = in.at(i);
    const std::uint8_t* b = out.at(i);
    for (int k = 0; k < in.length; k++) {
      if (k == 17 && c.storage == Storage::user_data) continue;
      if (k >= 8 && k < 12 && c.storage == Storage::replace_z) continue;
      ASSERT_EQ(a[k], b[k]) << "point " << i << " byte " << k;
    }
    const int mm = heights[i];
    switch (c.storage) {
      case Storage::user_data: {
        const long expected = std::lround(std::clamp(mm / 100.0, 0.0, 255.0));
        EXPECT_LE(std::abs(b[17] - expected), mm % 100 == 50 || mm % 100 == -50 ? 1 : 0) << i;
        break;
      }
      case Storage::extra_bytes: {
        std::int16_t stored;
        std::memcpy(&stored, b + in.length, 2);
        EXPECT_LE(std::abs(stored - std::lround((mm - 250000) / 10.0)), 1) << i;
        break;
      }
      case Storage::precise: {
        std::int32_t stored;
        std::memcpy(&stored, b + in.length, 4);
        EXPECT_EQ(stored, mm) << i;
        break;
      }
      case Storage::replace_z: {
        std::int32_t Z;
        std::memcpy(&Z, b + 8, 4);
        EXPECT_NEAR(Z * z_scale, mm / 1000.0, z_scale) << i;
        break;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(RealSamples, StorageModes,
                         ::testing::Values(StorageCase{"simple", Storage::user_data},
                                           StorageCase{"simple", Storage::extra_bytes},
                                           StorageCase{"simple", Storage::precise},
                                           StorageCase{"simple", Storage::replace_z},
                                           StorageCase{"warsaw_small", Storage::user_data},
                                           StorageCase{"warsaw_small", Storage::extra_bytes},
                                           StorageCase{"warsaw_small", Storage::precise},
                                           StorageCase{"warsaw_small", Storage::replace_z}));

TEST(Heights, ClassifyBandsOnRealSamples) {
  for (const char* file : {"simple", "warsaw_small"}) {
    test::TempDir dir;
    const std::string output = dir.file("out.las");
    const auto run = run_binary({"-i", real(std::string(file) + ".las"), "-o", output, "-quiet", "-classify_below",
                                 "0.5", "7", "-classify_above", "10", "6", "-classify_between", "2", "5", "4",
                                 "-ignore_class", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto in = test::read_las(real(std::string(file) + ".las"));
    const auto out = test::read_las(output);
    const std::vector<int> heights = expected_heights(file);
    ASSERT_EQ(out.classification.size(), in.classification.size());
    for (std::size_t i = 0; i < heights.size(); i++) {
      const int mm = heights[i];
      if (near_any(mm, {500, 2000, 5000, 10000})) continue;
      int expected = in.classification[i];
      if (expected != 2) {
        if (mm < 500) expected = 7;
        else if (mm > 10000) expected = 6;
        else if (mm > 2000 && mm < 5000) expected = 4;
      }
      EXPECT_EQ(out.classification[i], expected) << file << " point " << i << " height " << mm;
    }
  }
}

TEST(Heights, DropOptionsOnRealSamples) {
  struct Case {
    std::vector<std::string> args;
    bool (*dropped)(int mm);
  };
  const Case cases[] = {
      {{"-drop_below", "1"}, [](int mm) { return mm < 1000; }},
      {{"-drop_above", "5"}, [](int mm) { return mm > 5000; }},
      {{"-drop_between", "1", "5"}, [](int mm) { return mm > 1000 && mm < 5000; }},
      {{"-drop_between", "5", "1"}, [](int) { return false; }},
  };
  for (const char* file : {"simple", "warsaw_small"}) {
    const auto in = test::read_las(real(std::string(file) + ".las"));
    const std::vector<int> heights = expected_heights(file);
    for (const Case& c : cases) {
      test::TempDir dir;
      const std::string output = dir.file("out.las");
      std::vector<std::string> args = {"-i", real(std::string(file) + ".las"), "-o", output, "-quiet"};
      args.insert(args.end(), c.args.begin(), c.args.end());
      const auto run = run_binary(args);
      ASSERT_EQ(run.status, 0) << run.err;
      const auto out = test::read_las(output);
      // The survivors in order; points within 3 mm of a limit may go either way.
      std::size_t o = 0;
      for (std::size_t i = 0; i < heights.size(); i++) {
        const bool ambiguous = near_any(heights[i], {1000, 5000});
        const bool matches = o < out.x.size() && out.x[o] == in.x[i] && out.y[o] == in.y[i] && out.z[o] == in.z[i] &&
                             out.gps_time[o] == in.gps_time[i];
        if (ambiguous) {
          if (matches) o++;
          continue;
        }
        if (c.dropped(heights[i])) {
          EXPECT_FALSE(matches && !c.dropped(heights[i])) << i;
        } else {
          ASSERT_TRUE(matches) << file << " " << c.args[0] << " point " << i;
          o++;
        }
      }
      EXPECT_EQ(o, out.x.size()) << file << " " << c.args[0];
      EXPECT_EQ(out.header.number_of_point_records, out.x.size());
      if (!out.x.empty()) {
        EXPECT_EQ(out.header.max_x, *std::max_element(out.x.begin(), out.x.end()));
        EXPECT_EQ(out.header.min_z, *std::min_element(out.z.begin(), out.z.end()));
      }
    }
  }
}

TEST(Heights, FilesThatCannotCarryATinAreCopiedOrSkipped) {
  struct Case {
    std::string input;
    std::vector<std::string> args;
    std::string message;
    bool written;
  };
  const Case cases[] = {
      {real("test1_4.las"), {}, "all points match classification_mask 4. copying '" + real("test1_4.las") + "' ...\n", true},
      {real("simple.las"), {"-class", "7"}, "zero points match classification mask 128. copying '" + real("simple.las") + "' ...\n", true},
      {real("simple.las"), {"-class", "7", "-skip_files"}, "zero points match classification mask 128. skipping '" + real("simple.las") + "' ...\n", false},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    const std::string output = dir.file("out.las");
    std::vector<std::string> args = {"-i", c.input, "-o", output};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto run = run_binary(args);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, c.message);
    if (!c.written) {
      EXPECT_FALSE(std::filesystem::exists(output));
      continue;
    }
    const Records in = records_of(c.input);
    const Records out = records_of(output);
    ASSERT_EQ(out.count, in.count);
    ASSERT_EQ(out.length, in.length);
    for (std::uint32_t i = 0; i < in.count; i++) {
      for (int k = 0; k < in.length; k++) {
        ASSERT_EQ(out.at(i)[k], k == 17 ? 0 : in.at(i)[k]) << i << " " << k;
      }
    }
  }
}

TEST(Heights, InputsOfLaterFeaturesAreRefusedWithAClearLine) {
  test::TempDir dir;
  const std::string ground = dir.touch("geoid.xyz", "0 0 0\n");
  const std::string sample = real("simple.las");
  struct Case {
    std::vector<std::string> args;
    std::string tail;
  };
  const Case cases[] = {
      {{"-i", sample, "-olay"}, "ERROR: writing LAY layers ('-olay') is not supported by this build yet\n"},
      {{"-i", sample, "-ilay"}, "ERROR: reading LAY layers ('-ilay') is not supported by this build yet\n"},
      {{"-i", sample, "-ground_points", ground},
       "ERROR: cannot open '" + ground + "': text input is not supported by this build\n"
       "ERROR: could not open ground points file\n"},
      {{"-i", sample, sample, "-merged"},
       "ERROR: cannot open 2 files merged: merged input is not supported by this build\n"
       "ERROR: could not open lasreader\n"},
      {{"-i", sample, sample, "-buffered", "10"},
       "ERROR: cannot open 2 files buffered: buffered input is not supported by this build\n"
       "ERROR: could not open lasreader\n"},
      {{"-stdin"}, "ERROR: reading from standard input ('-stdin') is not supported by this build yet\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    args.push_back("-o");
    args.push_back(dir.file("out.las"));
    const auto run = run_binary(args);
    EXPECT_EQ(run.status, 1) << c.tail;
    ASSERT_GE(run.err.size(), c.tail.size()) << run.err;
    EXPECT_EQ(run.err.substr(run.err.size() - c.tail.size()), c.tail);
  }
}

TEST(Heights, SeveralInputsByWildcardAndListWithDerivedNames) {
  test::TempDir dir;
  std::filesystem::copy_file(real("simple.las"), dir.file("a.las"));
  std::filesystem::copy_file(real("100-points.las"), dir.file("b.las"));
  std::filesystem::create_directory(dir.file("out"));
  dir.touch("list.txt", dir.file("b.las") + "\n");
  const auto run = run_binary({"-i", dir.file("*.las"), "-odir", dir.file("out"), "-odix", "_h"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("done with '" + dir.file("out/a_h.las") + "'. total time "), std::string::npos);
  EXPECT_NE(run.err.find("done with all files. total time for 2 files "), std::string::npos);
  EXPECT_EQ(test::read_las(dir.file("out/a_h.las")).x.size(), 1065u);
  EXPECT_EQ(test::read_las(dir.file("out/b_h.las")).x.size(), 100u);

  const auto listed = run_binary({"-lof", dir.file("list.txt"), "-odix", "_l", "-quiet"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(test::read_las(dir.file("b_l.las")).x.size(), 100u);

  const auto defaulted = run_binary({"-i", dir.file("a.las"), "-quiet"});
  ASSERT_EQ(defaulted.status, 0);
  EXPECT_TRUE(std::filesystem::exists(dir.file("a_1.las")));
}

TEST(Heights, StandardOutputCarriesAReadableLasFile) {
  const auto run = run_binary({"-i", real("simple.las"), "-stdout", "-quiet"});
  ASSERT_EQ(run.status, 0) << run.err;
  LASreaderLAS reader;
  ASSERT_TRUE(reader.open(new ByteStreamInArray(reinterpret_cast<const std::uint8_t*>(run.out.data()),
                                                static_cast<std::int64_t>(run.out.size()))));
  const std::vector<int> heights = expected_heights("simple");
  std::size_t i = 0;
  while (reader.next_point()) {
    const int mm = heights[i++];
    if (mm % 100 == 50) continue;
    EXPECT_EQ(reader.point.user_data, std::lround(std::clamp(mm / 100.0, 0.0, 255.0)));
  }
  EXPECT_EQ(i, 1065u);
}

TEST(Heights, CoresWithOneInputWarnsThenProcesses) {
  test::TempDir dir;
  const auto run = run_binary({"-i", real("simple.las"), "-o", dir.file("out.las"), "-cores", "4"});
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(run.err.rfind("WARNING: only 1 input files. ignoring '-cores 4' ...\n", 0), 0u);
  EXPECT_EQ(test::read_las(dir.file("out.las")).x.size(), 1065u);
}

// A flat or tilted ground grid of 5 x 5 points 10 m apart, then the points to measure.
std::vector<test::TestPoint> ground_grid(double slope = 0.0, double shift = 0.0) {
  std::vector<test::TestPoint> points;
  for (int i = 0; i < 5; i++)
    for (int j = 0; j < 5; j++) points.push_back({shift + 10.0 * i, 10.0 * j, slope * 10.0 * i, 2});
  return points;
}

struct Measured {
  int status;
  std::string err;
  test::ReadBack out;
};

Measured measure(const std::vector<test::TestPoint>& points, std::vector<std::string> options,
                 const std::function<void(LASheader&)>& configure = nullptr,
                 const std::function<void(LASpoint&, std::size_t)>& fill = nullptr, int length = 28) {
  test::TempDir dir;
  const std::string input = dir.file("in.las");
  EXPECT_TRUE(test::write_las(input, points, 1, length, configure, fill));
  std::vector<std::string> args = {"-i", input, "-o", dir.file("out.las")};
  args.insert(args.end(), options.begin(), options.end());
  const auto run = run_binary(args);
  return {run.status, run.err, test::read_las(dir.file("out.las"))};
}

std::int32_t precise_height(const test::ReadBack& out, std::size_t i) {
  std::int32_t value;
  std::memcpy(&value, out.extra_bytes[i].data() + out.extra_bytes[i].size() - 4, 4);
  return value;
}

TEST(HeightRules, UserDataClampingAndItsWarnings) {
  auto points = ground_grid();
  for (double z : {25.5, 25.6, -0.04, -0.06, 3.0}) points.push_back({15.0, 15.0, z, 1});
  const Measured m = measure(points, {"-vv"});
  ASSERT_EQ(m.status, 0);
  const std::vector<std::uint8_t> expected = {255, 255, 0, 0, 30};
  for (std::size_t k = 0; k < expected.size(); k++) EXPECT_EQ(m.out.user_data[25 + k], expected[k]) << k;
  const std::string warnings =
      "WARNING: 1 non-ground points had a height below 0 (average: -0.06)\n"
      "WARNING: 1 non-ground points had a height above 255 (average: 25.60)\n";
  EXPECT_NE(m.err.find(warnings), std::string::npos) << m.err;
}

TEST(HeightRules, NormalAttributeKeepsTheLow16BitsOfLargeHeights) {
  auto points = ground_grid();
  points.push_back({15.0, 15.0, 600.0, 1});
  points.push_back({15.0, 25.0, -1.5, 1});
  const Measured m = measure(points, {"-store_as_extra_bytes", "-quiet"});
  ASSERT_EQ(m.status, 0);
  std::int16_t wrapped, negative;
  std::memcpy(&wrapped, m.out.extra_bytes[25].data(), 2);
  std::memcpy(&negative, m.out.extra_bytes[26].data(), 2);
  EXPECT_EQ(wrapped, static_cast<std::int16_t>(35000));  // (600 - 250) * 100 wraps
  EXPECT_EQ(negative, -25150);
  const int index = m.out.header.find_attribute("height above ground");
  ASSERT_EQ(index, 0);
  EXPECT_EQ(m.out.header.attributes[0].data_type, 4);
  EXPECT_EQ(m.out.header.attributes[0].options, 24);
  EXPECT_EQ(m.out.header.attributes[0].offset[0], 250.0);
  EXPECT_EQ(m.out.header.point_data_record_length, 30);
}

TEST(HeightRules, SurfaceQueriesOnVerticesEdgesAndOutsideTheHull) {
  struct Case {
    const char* what;
    double x, y, z;
    std::int32_t height_mm;
  };
  const Case cases[] = {
      {"inside a triangle", 15.0, 12.0, 5.0, 3500},
      {"on a grid line", 15.0, 10.0, 5.0, 3500},
      // Moved by one x unit and -1.1 y units before the query: the slope shows it.
      {"on a vertex", 10.0, 10.0, 5.0, 3999},
      {"at a vertex x, inside", 20.0, 15.0, 5.0, 3000},
      {"outside the hull", 15.0, -10.0, 5.0, 3500},
  };
  auto points = ground_grid(0.1);
  for (const Case& c : cases) points.push_back({c.x, c.y, c.z, 1});
  const Measured m = measure(points, {"-store_precise_as_extra_bytes", "-quiet"});
  ASSERT_EQ(m.status, 0) << m.err;
  for (std::size_t k = 0; k < std::size(cases); k++) {
    EXPECT_EQ(precise_height(m.out, 25 + k), cases[k].height_mm) << cases[k].what;
  }
  for (std::size_t k = 0; k < 25; k++) EXPECT_EQ(precise_height(m.out, k), 0) << "ground " << k;
}

TEST(HeightRules, ClassificationBandsAndIgnoredClasses) {
  auto points = ground_grid();
  for (double z : {3.0, 5.5, 1.0, 0.2}) points.push_back({15.0, 15.0, z, 1});
  points.push_back({25.0, 25.0, 4.0, 5});
  const Measured m = measure(points, {"-classify_between", "1", "5", "3", "-classify_between", "2", "6", "4",
                                      "-classify_below", "0.5", "8", "-ignore_class", "5", "-quiet"});
  ASSERT_EQ(m.status, 0);
  const std::vector<int> expected = {3, 4, 1, 8, 5};
  for (std::size_t k = 0; k < expected.size(); k++) EXPECT_EQ(m.out.classification[25 + k], expected[k]) << k;
  EXPECT_EQ(m.out.classification[0], 8);  // ground points have height 0 and are not ignored
  EXPECT_EQ(m.out.user_data[29], 40);     // the ignored class still gets its height
}

TEST(HeightRules, DropBetweenWithMinAboveMaxDropsNothing) {
  auto points = ground_grid();
  points.push_back({15.0, 15.0, 2.5, 1});
  const Measured m = measure(points, {"-drop_between", "3", "2", "-quiet"});
  ASSERT_EQ(m.status, 0);
  EXPECT_EQ(m.out.x.size(), 26u);
  const Measured below = measure(points, {"-drop_below", "0.5", "-quiet"});
  EXPECT_EQ(below.out.x.size(), 1u);  // the ground points have height 0
  EXPECT_EQ(below.out.header.number_of_point_records, 1u);
}

TEST(HeightRules, TooFewGroundPointsAreCopiedOrSkipped) {
  std::vector<test::TestPoint> points = {{0, 0, 0, 2}, {10, 0, 0, 2}, {0, 10, 0, 2}, {5, 5, 3, 1}};
  for (bool skip : {false, true}) {
    test::TempDir dir;
    const std::string input = dir.file("in.las");
    ASSERT_TRUE(test::write_las(input, points));
    std::vector<std::string> args = {"-i", input, "-o", dir.file("out.las")};
    if (skip) args.push_back("-skip_files");
    const auto run = run_binary(args);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "only 3 points match classification_mask 4." +
                           std::string(skip ? " skipping '" : " copying '") + input + "' ...\n");
    EXPECT_EQ(std::filesystem::exists(dir.file("out.las")), !skip);
  }
}

TEST(HeightRules, CollinearGroundIsADegenerateTinAndTheFileIsCopied) {
  std::vector<test::TestPoint> points;
  for (int i = 0; i < 6; i++) points.push_back({1.0 * i, 2.0 * i, 0.0, 2});
  points.push_back({3, 1, 5, 1});
  test::TempDir dir;
  const std::string input = dir.file("in.las");
  ASSERT_TRUE(test::write_las(input, points));
  const auto run = run_binary({"-i", input, "-o", dir.file("out.las"), "-replace_z"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "the 6 ground points form degenerate TIN. copying '" + input + "' ...\n");
  const auto out = test::read_las(dir.file("out.las"));
  ASSERT_EQ(out.z.size(), 7u);
  for (double z : out.z) EXPECT_EQ(z, 0.0);
}

TEST(HeightRules, GroundFileFarAwayWarnsAndStillMeasures) {
  test::TempDir dir;
  const std::string surface = dir.file("surface.las");
  auto grid = ground_grid(0.0, 1000.0);
  for (auto& p : grid) p.z = 10.0;
  ASSERT_TRUE(test::write_las(surface, grid));
  const std::string input = dir.file("in.las");
  ASSERT_TRUE(test::write_las(input, {{0, 0, 12.5, 1}, {5, 5, 11.0, 1}}));
  const auto run = run_binary({"-ground_points", surface, "-all_ground_points", "-i", input, "-o", dir.file("out.las"),
                               "-store_precise_as_extra_bytes"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err.rfind("WARNING: using only 25 ground points from '" + surface + "'.\n"
                          "WARNING: bounding boxes of '" + surface + "' and '" + input + "' have no overlap\n"
                          "         '" + surface + "' has bounding box:\n"
                          "         [1000,0] to [1040,40]\n"
                          "         '" + input + "' has bounding box:\n"
                          "         [0,0] to [5,5]\n", 0), 0u)
      << run.err;
  const auto out = test::read_las(dir.file("out.las"));
  EXPECT_EQ(precise_height(out, 0), 2500);
  EXPECT_EQ(precise_height(out, 1), 1000);
}

TEST(HeightRules, AnExistingHeightAttributeIsReplacedAndOthersKeepTheirBytes) {
  auto points = ground_grid();
  points.push_back({15.0, 15.0, 4.0, 1});
  // Attributes: an old precise height, then a 16-bit "tag" holding the point index.
  auto configure = [](LASheader& h) {
    LASextraAttribute old(6, "height above ground", "old");
    old.set_scale(0.001);
    h.add_attribute(old);
    h.add_attribute(LASextraAttribute(3, "tag", "index"));
    h.version_minor = 4;
    h.header_size = 375;
    h.offset_to_point_data = 375;
    h.refresh_extra_bytes_vlr();
  };
  auto fill = [](LASpoint& p, std::size_t i) {
    const std::int32_t old = 777777;
    const std::uint16_t tag = static_cast<std::uint16_t>(1000 + i);
    std::memcpy(p.extra_bytes, &old, 4);
    std::memcpy(p.extra_bytes + 4, &tag, 2);
  };
  const Measured m = measure(points, {"-store_precise_as_extra_bytes", "-quiet"}, configure, fill, 28 + 6);
  ASSERT_EQ(m.status, 0) << m.err;
  EXPECT_EQ(m.out.header.point_data_record_length, 34);
  ASSERT_EQ(m.out.header.attribute_count(), 2);
  EXPECT_STREQ(m.out.header.attributes[0].name, "tag");
  EXPECT_STREQ(m.out.header.attributes[1].name, "height above ground");
  for (std::size_t i = 0; i < m.out.x.size(); i++) {
    std::uint16_t tag;
    std::memcpy(&tag, m.out.extra_bytes[i].data(), 2);
    EXPECT_EQ(tag, 1000 + i);
    EXPECT_EQ(precise_height(m.out, i), i == 25 ? 4000 : 0);
  }
}

TEST(HeightRules, UndocumentedExtraBytesSurviveTheNewAttribute) {
  auto points = ground_grid();
  points.push_back({15.0, 15.0, 4.0, 1});
  auto fill = [](LASpoint& p, std::size_t i) { p.extra_bytes[0] = static_cast<std::uint8_t>(i); p.extra_bytes[1] = 0xAB; };
  const Measured m = measure(points, {"-store_precise_as_extra_bytes", "-quiet"}, nullptr, fill, 30);
  ASSERT_EQ(m.status, 0) << m.err;
  EXPECT_EQ(m.out.header.point_data_record_length, 34);
  for (std::size_t i = 0; i < m.out.x.size(); i++) {
    EXPECT_EQ(m.out.extra_bytes[i][0], i);
    EXPECT_EQ(m.out.extra_bytes[i][1], 0xAB);
  }
  EXPECT_EQ(precise_height(m.out, 25), 4000);
}

}  // namespace
}  // namespace tinrise

namespace tinrise {
namespace {

// The filter decides which points are read at all, and so which points count
// as ground; the transform moves points before they are measured.
TEST(FilterAndTransform, ShapeTheInputOfTheHeightPasses) {
  const auto in = test::read_las(real("simple.las"));
  const std::vector<int> heights = expected_heights("simple");
  {
    test::TempDir dir;
    const auto run = run_binary({"-i", real("simple.las"), "-o", dir.file("out.las"), "-quiet", "-translate_z", "10",
                                 "-drop_z_above", "500", "-store_precise_as_extra_bytes"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto out = test::read_las(dir.file("out.las"));
    // The filter sees the points before the transform moves them. Every ground
    // point lies below 500 m, so the surface is the same, only shifted.
    std::size_t o = 0;
    for (std::size_t i = 0; i < in.z.size(); i++) {
      if (in.z[i] > 500) continue;
      ASSERT_LT(o, out.z.size());
      EXPECT_DOUBLE_EQ(out.z[o], in.z[i] + 10);
      EXPECT_EQ(precise_height(out, o), heights[i]) << i;
      o++;
    }
    EXPECT_EQ(o, out.z.size());
    EXPECT_EQ(out.header.number_of_point_records, o);
    EXPECT_DOUBLE_EQ(out.header.max_z, *std::max_element(out.z.begin(), out.z.end()));
    EXPECT_DOUBLE_EQ(out.header.min_z, *std::min_element(out.z.begin(), out.z.end()));
  }
  {
    test::TempDir dir;
    const auto run = run_binary({"-i", real("simple.las"), "-o", dir.file("out.las"), "-keep_class", "1"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "zero points match classification mask 4. copying '" + real("simple.las") + "' ...\n");
    const auto out = test::read_las(dir.file("out.las"));
    EXPECT_EQ(out.z.size(), 789u);
    EXPECT_EQ(out.header.number_of_point_records, 789u);
  }
}

}  // namespace
}  // namespace tinrise
