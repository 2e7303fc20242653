// The tool's start-up, run as the built binary: exit status and exact stderr.
#include <gtest/gtest.h>

#include "support/run_binary.h"

namespace tinrise {
namespace {

using test::run_binary;

const std::string version_line = "Pelotrax (by support@pelotrax.example) version 180303 (linux)\n";

std::string usage_text() {
  return "usage:\n"
         "tinrise -i *.las -v\n"
         "tinrise -i *.kpz -okpz -quiet\n"
         "tinrise -i *.las -classification 2 8 -replace_z\n"
         "tinrise -i *.las"
         " -ground_points ground.las -replace_z\n"
         "tinrise -i *.las"
         " -ground_points geoid.xyz -replace_z\n"
         "tinrise -i in.las -o out.las -drop_below 1.5\n"
         "tinrise -i in.las -o out.txt -drop_above 6.5 -oparse xyzu\n"
         "tinrise -i in.las -o out.las -drop_between 0.5 2.5\n"
         "tinrise -i in.kpz -o out.kpz -classify_below -1 7\n"
         "tinrise -i in.kpz -o out.kpz -classify_above 100 10\n"
         "tinrise -i in.kpz -o out.kpz -classify_between 0.5 2 3 -classify_between 2 5 4 -ignore_class 6\n"
         "tinrise -i in.kpz -o out.kpz -replace_z\n"
         "tinrise -i in.las -o out.txt -replace_z -oparse z\n"
         "tinrise -i tiles_ground\\*.kpz -store_as_extra_bytes -odir tiles_height -okpz -cores 4\n"
         "tinrise -i tiles_ground\\*.kpz -store_precise_as_extra_bytes -odir tiles_height -okpz -cores 4\n"
         "tinrise -h\n";
}

TEST(Driver, VersionPrintsOneLineAndReadsNothing) {
  const auto r = run_binary({"-version", "-i", "does_not_exist.las"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, version_line);
  EXPECT_EQ(r.out, "");
}

TEST(Driver, HelpEndsWithVersionAndUsage) {
  for (const char* option : {"-h", "-help"}) {
    const auto r = run_binary({option});
    EXPECT_EQ(r.status, 0);
    const std::string tail = version_line + usage_text();
    ASSERT_GE(r.err.size(), tail.size());
    EXPECT_EQ(r.err.substr(r.err.size() - tail.size()), tail);
  }
}

const std::string sample = std::string(TINRISE_TEST_DATA) + "/real/simple.las";

TEST(Driver, StartUpErrorsAndTheirStatus) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;
  };
  const Case cases[] = {
      {{"-v"}, 1, "ERROR: no input specified\n"},
      {{"-i", sample, "-o", sample}, 1, "ERROR: input and output file name are identical\n" + usage_text()},
      {{"-i", "no_such_file_*.las"}, 1, "ERROR: no input specified\n"},
      {{"-classify_below", "1", "32"}, 1,
       "ERROR: '-classify_below' had classification 32 but it to be between 0 and 31\n"},
      {{"-i", "a.las", "-nonsense"}, 1, "ERROR: cannot understand argument '-nonsense'\n"},
      {{}, 1, usage_text()},
      {{"-gui"}, 1, usage_text()},
  };
  for (const Case& c : cases) {
    const auto r = run_binary(c.args);
    EXPECT_EQ(r.status, c.status) << c.err;
    EXPECT_EQ(r.err, c.err);
  }
}

TEST(Driver, LayOptionsWarnBeforeRunning) {
  const auto r = run_binary({"-olay", "-v"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("WARNING: do not expect LAY files to work across different versions\n", 0), 0u);
  EXPECT_NE(r.err.find("         not completed. this is just an awesome prototype as proof\n"
                       "         of concept. we continue to gather community input ... (-;\n"
                       "ERROR: no input specified\n"),
            std::string::npos);
}

TEST(Driver, CoresWithOneInputWarnsAndGoesOn) {
  const auto r = run_binary({"-i", sample, "-cores", "4", "-quiet"});
  EXPECT_EQ(r.err.rfind("WARNING: only 1 input files. ignoring '-cores 4' ...\n", 0), 0u);
  EXPECT_EQ(r.status, 0);
}

TEST(Driver, WaitPromptsBeforeEnding) {
  const auto r = run_binary({"-wait", "-version"}, "", "\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, version_line + "<press ENTER>\n");
  const auto w = run_binary({"-wait", "-v"}, "", "\n");
  EXPECT_EQ(w.err, "ERROR: no input specified\n<press ENTER>\n");
}

}  // namespace
}  // namespace tinrise
