#include "tool/command_line.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "options/open/las_reader_factory.h"
#include "support/arguments.h"
#include "support/temp_dir.h"

namespace tinrise {
namespace {

using test::Arguments;

struct OptionCase {
  std::vector<std::string> args;
  int status;       // continue_run, or the exit status
  std::string err;  // exact standard error
  std::function<void(const HeightOptions&, const LASreaderFactory&)> check;
};

// Bare names are input files only where a file of that name exists.
struct InputFiles {
  InputFiles() {
    for (const char* name : {"0", "in.las", "a.las", "b.las"}) dir.touch(name);
  }
  test::TempDir dir;
  test::WorkingDirectory here{dir.dir()};
};

void run_case(const OptionCase& c) {
  InputFiles files;
  Arguments arguments(c.args);
  HeightOptions options;
  LASreaderFactory read_opener;
  testing::internal::CaptureStderr();
  prepare_arguments(arguments.argc(), arguments.argv(), options);
  const int status = parse_height_options(arguments.argc(), arguments.argv(), options, read_opener);
  const std::string err = testing::internal::GetCapturedStderr();
  std::string joined;
  for (const std::string& a : c.args) joined += a + " ";
  EXPECT_EQ(status, c.status) << joined;
  EXPECT_EQ(err, c.err) << joined;
  if (c.check) c.check(options, read_opener);
}

TEST(HeightOptions, SettingsOfTheOptionTable) {
  const OptionCase cases[] = {
      {{"-v"}, continue_run, "", [](auto& o, auto&) { EXPECT_TRUE(o.verbose); EXPECT_FALSE(o.very_verbose); }},
      {{"-vv"}, continue_run, "", [](auto& o, auto&) { EXPECT_TRUE(o.verbose && o.very_verbose); }},
      {{"-class", "2", "8"}, continue_run, "",
       [](auto& o, auto&) { EXPECT_EQ(o.ground_classification_mask, (1u << 2) | (1u << 8)); }},
      {{"-class", "35"}, continue_run, "", [](auto& o, auto&) { EXPECT_EQ(o.ground_classification_mask, 1u << 3); }},
      {{"-class", "2", "0"}, continue_run, "",
       [](auto& o, auto& r) {
         EXPECT_EQ(o.ground_classification_mask, 1u << 2);
         ASSERT_EQ(r.input_count(), 1u);
         EXPECT_STREQ(r.current_input_name(), "0");
       }},
      {{"in.las", "-class", "2", "0"}, 1, "ERROR: cannot understand argument '0'\n", nullptr},
      {{"in.las", "-ignore_class", "0", "7", "x"}, 1, "ERROR: cannot understand argument 'x'\n", nullptr},
      {{"-ignore_class", "0", "7"}, continue_run, "",
       [](auto& o, auto&) { EXPECT_EQ(o.ignore_classification_mask, 1u | (1u << 7)); }},
      {{"-drop_between", "3", "2"}, continue_run, "",
       [](auto& o, auto&) {
         EXPECT_TRUE(o.drop);
         EXPECT_EQ(o.drop_between_min, 3.0f);
         EXPECT_EQ(o.drop_between_max, 2.0f);
       }},
      {{"-drop_below", "abc"}, continue_run, "", [](auto& o, auto&) { EXPECT_EQ(o.drop_below, 0.0f); }},
      {{"-classify_between", "0.5", "2", "3", "-classify_between", "2", "5", "4"}, continue_run, "",
       [](auto& o, auto&) {
         ASSERT_EQ(o.classify_between.size(), 2u);
         EXPECT_EQ(o.classify_between[1].max, 5.0f);
         EXPECT_EQ(o.classify_between[1].classification, 4);
         EXPECT_TRUE(o.classify);
       }},
      {{"-classify_below", "-1", "7"}, continue_run, "",
       [](auto& o, auto&) { EXPECT_EQ(o.classify_below_value, -1.0f); EXPECT_EQ(o.classify_below_class, 7); }},
      {{"-replace_z", "-store_in_user_data"}, continue_run, "",
       [](auto& o, auto&) { EXPECT_TRUE(o.replace_z && o.store_in_user_data); }},
      {{"-store_precise_as_extra_bytes"}, continue_run, "",
       [](auto& o, auto&) { EXPECT_TRUE(o.store_as_extra_bytes && o.store_precise && !o.store_in_user_data); }},
      {{"-do_not_store_in_user_data"}, continue_run, "", [](auto& o, auto&) { EXPECT_FALSE(o.store_in_user_data); }},
      {{"\x96quiet"}, continue_run, "", [](auto& o, auto&) { EXPECT_TRUE(o.quiet); }},
      {{"-olayx"}, continue_run, "",
       [](auto& o, auto&) { EXPECT_TRUE(o.olay); EXPECT_EQ(o.command_line, "tinrise -olayx"); }},
      {{"-ilay", "7"}, continue_run, "", [](auto& o, auto& r) { EXPECT_TRUE(o.ilay); EXPECT_EQ(r.input_count(), 0u); }},
      {{"-ilay", "-7"}, continue_run, "", [](auto& o, auto&) { EXPECT_TRUE(o.ilay); }},
      {{"-ilay", "in.las"}, continue_run, "", [](auto&, auto& r) { EXPECT_EQ(r.input_count(), 1u); }},
      {{"-ilaydir", "layers"}, continue_run, "",
       [](auto& o, auto&) { EXPECT_TRUE(o.ilay); EXPECT_EQ(o.ilay_directory, "layers"); }},
      {{"-olaydir", "out"}, continue_run, "",
       [](auto& o, auto&) { EXPECT_TRUE(o.olay); EXPECT_EQ(o.olay_directory, "out"); }},
      {{"-cores", "4"}, continue_run, "", [](auto& o, auto&) { EXPECT_EQ(o.cores, 4); }},
      {{"-scale_u", "2.5", "-ground_points", "g.las", "-parse", "xyz", "-all_ground_points"}, continue_run, "",
       [](auto& o, auto&) {
         EXPECT_EQ(o.scale_u, 2.5f);
         EXPECT_EQ(o.ground_points_file, "g.las");
         EXPECT_EQ(o.ground_parse_string, "xyz");
         EXPECT_TRUE(o.all_ground_points);
       }},
  };
  for (const OptionCase& c : cases) run_case(c);
}

TEST(HeightOptions, ErrorsOfTheOptionTable) {
  const OptionCase cases[] = {
      {{"-cores"}, 1, "ERROR: '-cores' needs 1 argument: number\n", nullptr},
      {{"-ground_points"}, 1, "ERROR: '-ground_points' needs 1 argument: file_name\n", nullptr},
      {{"-parse"}, 1, "ERROR: '-parse' needs 1 argument: <parse string>\n", nullptr},
      {{"-class"}, 1, "ERROR: '-class' needs at least 1 argument: classification\n", nullptr},
      {{"-classification"}, 1, "ERROR: '-classification' needs at least 1 argument: classification\n", nullptr},
      {{"-ignore_class"}, 1, "ERROR: '-ignore_class' needs 1 at least argument: classification\n", nullptr},
      {{"-drop_below"}, 1, "ERROR: '-drop_below' needs 1 argument: value\n", nullptr},
      {{"-drop_above"}, 1, "ERROR: '-drop_above' needs 1 argument: value\n", nullptr},
      {{"-drop_between", "1"}, 1, "ERROR: '-drop_between' needs 2 arguments: min max\n", nullptr},
      {{"-classify_below", "1"}, 1, "ERROR: '-classify_below' needs 2 arguments: value classification\n", nullptr},
      {{"-classify_above", "1"}, 1, "ERROR: '-classify_above' needs 2 arguments: value classification\n", nullptr},
      {{"-classify_between", "1", "2"}, 1, "ERROR: '-classify_between' needs 3 arguments: min max classification\n",
       nullptr},
      {{"-classify_below", "1", "32"}, 1,
       "ERROR: '-classify_below' had classification 32 but it to be between 0 and 31\n", nullptr},
      {{"-classify_above", "1", "-1"}, 1,
       "ERROR: '-classify_above' had classification -1 but it to be between 0 and 31\n", nullptr},
      {{"-classify_between", "3", "2", "5"}, 1, "ERROR: '-classify_between' had min 3 larger than max 2\n", nullptr},
      {{"-classify_between", "1", "2", "40"}, 1,
       "ERROR: '-classify_between' had classification 40 but it to be between 0 and 31\n", nullptr},
      {{"-scale_u"}, 1, "ERROR: '-scale_u' needs 1 argument: value\n", nullptr},
      {{"-ilaydir"}, 1, "ERROR: '-ilaydir' needs 1 argument: directory name\n", nullptr},
      {{"-olaydir"}, 1, "ERROR: '-olaydir' needs 1 argument: directory name\n", nullptr},
      {{"-unknown"}, 1, "ERROR: cannot understand argument '-unknown'\n", nullptr},
      {{"a.las", "b.las"}, 1, "ERROR: cannot understand argument 'b.las'\n", nullptr},
  };
  for (const OptionCase& c : cases) run_case(c);
}

TEST(HeightOptions, CoresAndItsNumberAreBlankedForChildProcesses) {
  Arguments arguments({"-cores", "3", "-v"});
  HeightOptions options;
  LASreaderFactory read_opener;
  ASSERT_EQ(parse_height_options(arguments.argc(), arguments.argv(), options, read_opener), continue_run);
  EXPECT_STREQ(arguments.argv()[1], "");
  EXPECT_STREQ(arguments.argv()[2], "");
  EXPECT_STREQ(arguments.argv()[3], "-v");
}

TEST(HeightOptions, LongCommandLinesAreCutAt4095Characters) {
  Arguments arguments({"-olay", std::string(5000, 'x')});
  HeightOptions options;
  prepare_arguments(arguments.argc(), arguments.argv(), options);
  EXPECT_EQ(options.command_line.size(), 4095u);
  EXPECT_EQ(options.command_line.substr(0, 14), "tinrise -olay ");
}

}  // namespace
}  // namespace tinrise
