// Compressed LAS end to end on the built tool: the real .kpz samples in, their
// LAS original out record for record; the original in, the sample's point
// bytes out; damaged input reported; LAS 1.4 types refused as compressed output.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/las_bytes.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace tinrise {
namespace {

using test::Bytes;
using test::get;
using test::run_binary;

std::string real(const std::string& name) { return std::string(TINRISE_TEST_DATA) + "/real/" + name; }

Bytes point_bytes(const Bytes& file) {
  return file.size() < 227 ? Bytes() : Bytes(file.begin() + get<std::uint32_t>(file, 96), file.end());
}

TEST(KpzEndToEnd, SamplesComeOutAsTheirLasOriginal) {
  const Bytes original = test::read_file_bytes(real("simple.las"));
  for (const char* name : {"simple.kpz", "simple_v1.kpz"}) {
    SCOPED_TRACE(name);
    test::TempDir dir;
    const auto run = run_binary({"-i", real(name), "-do_not_store_in_user_data", "-o", dir.file("out.las"), "-quiet"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(point_bytes(test::read_file_bytes(dir.file("out.las"))) == point_bytes(original));
  }
}

TEST(KpzEndToEnd, TheLasOriginalComesOutAsTheSamplesPointBytes) {
  const Bytes sample = test::read_file_bytes(real("simple.kpz"));
  struct Case {
    const char* what;
    std::vector<std::string> output_options;
    const char* output;
  };
  const Case cases[] = {
      {"named .kpz", {"-o", "x.kpz"}, "x.kpz"},
      {"-okpz beside an output folder", {"-odir", ".", "-okpz"}, "simple.kpz"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempDir dir;
    std::vector<std::string> args = {"-i", real("simple.las"), "-do_not_store_in_user_data", "-quiet"};
    args.insert(args.end(), c.output_options.begin(), c.output_options.end());
    const auto run = run_binary(args, dir.dir());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    const Bytes written = test::read_file_bytes(dir.file(c.output));
    ASSERT_GT(written.size(), 227u);
    EXPECT_EQ(written[104], 0x83);
    EXPECT_TRUE(point_bytes(written) == point_bytes(sample));
  }
}

TEST(KpzEndToEnd, DamagedInputIsReportedWithoutACrash) {
  test::TempDir dir;
  const Bytes sample = test::read_file_bytes(real("simple.kpz"));
  test::write_file_bytes(dir.file("cut.kpz"), Bytes(sample.begin(), sample.begin() + 10000));
  const auto run = run_binary({"-i", dir.file("cut.kpz"), "-o", dir.file("out.las"), "-quiet"});
  // The first pass meets the damage: the run ends there with status 1.
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "ERROR: 'end-of-file during chunk with index 0' after 554 of 1065 points\n");
}

TEST(KpzEndToEnd, LasOnePointFourTypesAreRefusedAsCompressedOutput) {
  test::TempDir dir;
  const auto run = run_binary({"-i", real("test1_4.las"), "-o", "t.kpz", "-quiet"}, dir.dir());
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "ERROR: point type 6 of size 30 not supported (with Pakmor)\n"
            "ERROR: cannot open laswriterlas with file name 't.kpz'\n"
            "ERROR: could not open laswriter for 't.kpz'\n");
}

}  // namespace
}  // namespace tinrise
