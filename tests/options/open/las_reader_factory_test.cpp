#include "options/open/las_reader_factory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/arguments.h"
#include "support/temp_dir.h"

namespace tinrise {
namespace {

using test::Arguments;

const std::string sample = std::string(TINRISE_TEST_DATA) + "/real/simple.las";

class ReaderFactoryFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"area_a.las", "area_b.las", "area_c.kpz", "other.txt"}) dir.touch(name);
    dir.touch("list.txt", "area_a.las\narea_b.las   \n\n" + dir.file("area_c.kpz") + "\t\r\n");
  }
  test::TempDir dir;
  test::WorkingDirectory here{dir.dir()};
};

TEST_F(ReaderFactoryFiles, NamesFromWildcardsListsAndDuplicates) {
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {{"-i", "area_*.las"}, {"area_a.las", "area_b.las"}},
      {{"-i", "area_a.las", "-i", "area_a.las"}, {"area_a.las", "area_a.las"}},
      {{"-unique", "-i", "area_a.las", "area_*.las"}, {"area_a.las", "area_b.las"}},
      {{"-i", "nothing_*.las"}, {}},
      {{"-lof", "list.txt"}, {"area_a.las", "area_b.las", dir.file("area_c.kpz")}},
      {{"-i", "area_?.*", "other.txt"}, {"area_a.las", "area_b.las", "area_c.kpz", "other.txt"}},
  };
  for (const Case& c : cases) {
    Arguments arguments(c.args);
    LASreaderFactory factory;
    ASSERT_TRUE(factory.parse(arguments.argc(), arguments.argv()));
    std::vector<std::string> names;
    for (unsigned i = 0; i < factory.input_count(); i++) names.push_back(factory.input_name(i));
    EXPECT_EQ(names, c.names) << c.args[1];
    EXPECT_TRUE(arguments.left().empty());
  }
}

TEST(LASreaderFactory, FormatsByExtensionSubstring) {
  test::TempDir dir;
  test::WorkingDirectory here(dir.dir());
  const std::pair<const char*, int> cases[] = {
      {"a.las", 1}, {"a.LAS", 1}, {"a.kpz", 2}, {"a.bin", 3}, {"a.shp", 7}, {"a.qi", 4}, {"a.asc", 8},
      {"a.bil", 9}, {"a.dtm", 11}, {"a.xyz", 6}, {"lidar.las.txt", 1}};
  LASreaderFactory factory;
  for (const auto& c : cases) factory.add_input(dir.touch(c.first).c_str());
  for (unsigned i = 0; i < factory.input_count(); i++) EXPECT_EQ(factory.input_format(i), cases[i].second) << i;
}

TEST(LASreaderFactory, OptionsParseEchoAndLeaveTheRest) {
  struct Case {
    std::vector<std::string> args;
    bool ok;
    std::string err;
    std::string echo;
    std::vector<std::string> left;
  };
  const Case cases[] = {
      {{"-rescale_z", "0.001"}, true, "", "-rescale_z 0.001 ", {}},
      {{"-rescale", "0.01", "0.01", "0"}, true, "", "-rescale_xy 0.01 0.01 ", {}},
      {{"-rescale", "0.01", "0.01", "0.001"}, true, "", "-rescale 0.01 0.01 0.001 ", {}},
      {{"-reoffset", "600000", "4000000", "0", "-auto_reoffset"}, true, "", "-reoffset 600000 4e+06 0 ", {}},
      {{"-auto_reoffset"}, true, "", "-auto_reoffset ", {}},
      {{"-faf", "0"}, true, "", "-faf ", {"0"}},
      {{"-faf", "7"}, true, "", "-faf 7 ", {}},
      {{"-inside_tile", "100", "200", "50"}, true, "", "-inside_tile 100 200 50 ", {}},
      {{"-inside_circle", "1", "2", "3"}, true, "", "-inside_circle 1.000000 2.000000 3.000000 ", {}},
      {{"-inside", "1", "2", "3", "4"}, true, "", "-inside_rectangle 1.000000 2.000000 3.000000 4.000000 ", {}},
      {{"-stored", "-populate", "-io_ibuffer", "1000", "-temp_files", "tmp"}, true, "",
       "-stored -populate -io_ibuffer 1000 -temp_files \"tmp\" ", {}},
      {{"-apply_file_source_ID", "-unknown", "x"}, true, "", "-apply_file_source_ID ", {"-unknown", "x"}},
      {{"-iadd_extra", "5", "height", "meters", "0.01", "0.0", "-i"}, false,
       "ERROR: '-i' needs at least 1 argument: file_name or wild_card\n", "", {}},
      {{"-inside_tile", "1", "2"}, false, "ERROR: '-inside_tile' needs 3 arguments: ll_x, ll_y, size\n", "", {}},
      {{"-inside_box", "1"}, false, "ERROR: unknown '-inside' option '-inside_box'\n", "", {}},
      {{"-lof", "no_such_list.txt"}, false,
       "ERROR: cannot open 'no_such_list.txt'\nERROR: cannot load list of files 'no_such_list.txt'\n", "", {}},
      {{"-rescale_xy", "1"}, false, "ERROR: '-rescale_xy' needs 2 argument: rescale_x rescale_y\n", "", {}},
      {{"-neighbors", sample}, false,
       "ERROR: neighbors only make sense when used with '-buffered 50' or similar\n", "", {}},
      {{"-buffered"}, false, "ERROR: '-buffered' needs 1 argument: size\n", "", {}},
      {{"-faf", "70000"}, true, "WARNING: files_are_flightlines start value 70000 is too large\n", "-faf 70000 ", {}},
  };
  for (const Case& c : cases) {
    Arguments arguments(c.args);
    LASreaderFactory factory;
    testing::internal::CaptureStderr();
    EXPECT_EQ(factory.parse(arguments.argc(), arguments.argv()), c.ok) << c.args[0];
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.err) << c.args[0];
    if (c.ok) {
      EXPECT_EQ(factory.echo_options(), c.echo) << c.args[0];
      EXPECT_EQ(arguments.left(), c.left) << c.args[0];
    }
  }
}

TEST(LASreaderFactory, OpensReopensAndRunsOutOfInputs) {
  LASreaderFactory factory;
  ASSERT_TRUE(factory.add_input(sample.c_str()));
  ASSERT_TRUE(factory.add_input(sample.c_str()));
  EXPECT_STREQ(factory.current_input_name(), sample.c_str());
  for (int file = 0; file < 2; file++) {
    ASSERT_TRUE(factory.has_more_input());
    std::unique_ptr<LASreader> reader = factory.open();
    ASSERT_NE(reader, nullptr);
    int first_pass = 0;
    while (reader->next_point()) first_pass++;
    ASSERT_TRUE(factory.reopen(reader.get()));
    int second_pass = 0;
    while (reader->next_point()) second_pass++;
    EXPECT_EQ(first_pass, 1065);
    EXPECT_EQ(second_pass, 1065);
  }
  EXPECT_FALSE(factory.has_more_input());
  EXPECT_EQ(factory.open(), nullptr);
  factory.rewind_inputs();
  EXPECT_TRUE(factory.has_more_input());
}

TEST(LASreaderFactory, AreaOptionsReachTheReaderAndSurviveReopen) {
  Arguments arguments({"-i", sample, "-inside", "0", "0", "1", "1"});
  LASreaderFactory factory;
  ASSERT_TRUE(factory.parse(arguments.argc(), arguments.argv()));
  std::unique_ptr<LASreader> reader = factory.open();
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ(reader->get_inside(), 3u);
  EXPECT_FALSE(reader->next_point());
  ASSERT_TRUE(factory.reopen(reader.get()));
  EXPECT_EQ(reader->get_inside(), 3u);
  EXPECT_EQ(reader->header.max_x, 1.0);
}

TEST(LASreaderFactory, RescalingAndFlightLineOptionsShapeTheReader) {
  Arguments arguments({"-i", sample, "-rescale", "0.001", "0.001", "0.001", "-faf", "3"});
  LASreaderFactory factory;
  ASSERT_TRUE(factory.parse(arguments.argc(), arguments.argv()));
  std::unique_ptr<LASreader> reader = factory.open();
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ(reader->header.x_scale_factor, 0.001);
  EXPECT_EQ(reader->header.file_source_ID, 3);
}

TEST(LASreaderFactory, UnsupportedInputsFailWithOneClearLine) {
  test::TempDir dir;
  const std::string text = dir.touch("points.xyz", "1 2 3\n");
  LASreaderFactory factory;
  ASSERT_TRUE(factory.add_input(text.c_str()));
  testing::internal::CaptureStderr();
  EXPECT_EQ(factory.open(), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "ERROR: cannot open '" + text + "': text input is not supported by this build\n");
}

}  // namespace
}  // namespace tinrise
