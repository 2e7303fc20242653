#include "options/open/las_writer_factory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "las/core/bytestream_array.h"
#include "las/io/las_reader_las.h"
#include "support/arguments.h"
#include "support/temp_dir.h"

namespace tinrise {
namespace {

using test::Arguments;

struct NameCase {
  std::vector<std::string> args;
  std::string input;  // empty: no input name
  int number;
  std::string name;
  std::string err;
  int format;
};

TEST(LASwriterFactory, OutputNamesDerivedFromTheInput) {
  test::TempDir dir;
  const std::string out = dir.dir();
  const NameCase cases[] = {
      {{}, "data/tile.las", -1, "data/tile_1.las", "", 0},
      {{"-odix", "_g"}, "data/tile.las", -1, "data/tile_g.las", "", 0},
      {{"-odir", out}, "data/tile.las", -1, out + "/tile.las", "", 0},
      {{"-odir", out + "/"}, "data/tile.las", -1, out + "/tile.las", "", 0},
      {{"-ocut", "2", "-okpz"}, "data/tile.las", -1, "data/ti.kpz", "", 2},
      {{"-odix", "_h", "-okpz"}, "C:\\data\\tile.las", -1, "C:\\data\\tile_h.kpz", "", 2},
      {{}, "tile", -1, "tile_1.las", "", 0},
      {{"-otxt"}, "a.b/tile.las", -1, "a.b/tile_1.txt", "", 6},
      {{}, "", -1, "output.las", "", 0},
      {{}, "", 5, "output_0000005.las", "", 0},
      {{}, "", 12345678, "output_2345678.las",
       "WARNING: file name number 12345678 too big to store in 'output_2345678'. use more digits.\n", 0},
      {{}, "scan_001.las", 42, "scan_042.las", "", 0},
      {{"-odir", out}, out + "/tile.las", -1, "temp.las",
       "WARNING: generated output name '" + out + "/tile.las'\n"
       "         identical to input name. changed to 'temp.las'.\n"
       "         you can override this safety measure with '-oforce'.\n", 0},
      {{"-odir", out, "-oforce"}, out + "/tile.las", -1, out + "/tile.las", "", 0},
  };
  for (const NameCase& c : cases) {
    Arguments arguments(c.args);
    LASwriterFactory factory;
    ASSERT_TRUE(factory.parse(arguments.argc(), arguments.argv()));
    testing::internal::CaptureStderr();
    factory.derive_output_name(c.input.empty() ? nullptr : c.input.c_str(), c.number);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.err) << c.name;
    EXPECT_STREQ(factory.output_name(), c.name.c_str());
    EXPECT_EQ(factory.output_format(), c.format == 0 ? 1 : c.format) << c.name;
  }
}

TEST(LASwriterFactory, ExplicitNamesAndFormats) {
  struct Case {
    std::vector<std::string> args;
    std::string name;
    int format;
  };
  const Case cases[] = {
      {{"-o", "out.kpz"}, "out.kpz", 2},
      {{"-olas", "-o", "out.kpz"}, "out.kpz", 1},
      {{"-o", "out"}, "out.las", 1},
      {{"-okpz", "-o", "out"}, "out.kpz", 2},
      {{"-o", "out.las  "}, "out.las", 1},
      {{"-o", "dir/out.las", "-odix", "_x"}, "dir/out_x.las", 1},
      {{"-o", "out.txt"}, "out.txt", 6},
  };
  for (const Case& c : cases) {
    Arguments arguments(c.args);
    LASwriterFactory factory;
    ASSERT_TRUE(factory.parse(arguments.argc(), arguments.argv()));
    EXPECT_STREQ(factory.output_name(), c.name.c_str());
    EXPECT_EQ(factory.output_format(), c.format) << c.name;
    EXPECT_TRUE(factory.has_output());
  }
}

TEST(LASwriterFactory, OptionErrors) {
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const Case cases[] = {
      {{"-o"}, "ERROR: '-o' needs 1 argument: file_name\n"},
      {{"-odir"}, "ERROR: '-odir' needs 1 argument: directory\n"},
      {{"-odir", "/no/such/directory"}, "ERROR: '/no/such/directory' is not a valid directory\n"},
      {{"-odix"}, "ERROR: '-odix' needs 1 argument: appendix\n"},
      {{"-ocut"}, "ERROR: '-ocut' needs 1 argument: number of characters to cut\n"},
      {{"-chunk_size"}, "ERROR: '-chunk_size' needs 1 argument: number_points\n"},
      {{"-oparse"}, "ERROR: '-oparse' needs 1 argument: string\n"},
      {{"-io_obuffer"}, "ERROR: '-io_obuffer' needs 1 argument: size\n"},
      {{"-odir", "a;b"},
       "WARNING: specified '-odir' seems to contain a substring '\\\"' such\n"
       "         as -odir \"D:\\\" or -odir \"..\\tiles\\\". this command will\n"
       "         probably fail. please use -odir \"D:\" or -odir \"..\\tiles\"\n"
       "         instead.\n"
       "ERROR: 'a;b' is not a valid directory\n"},
  };
  for (const Case& c : cases) {
    Arguments arguments(c.args);
    LASwriterFactory factory;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(factory.parse(arguments.argc(), arguments.argv()));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.err);
  }
  Arguments drive({"-odir", "D:\\"});
  LASwriterFactory factory;
  EXPECT_TRUE(factory.parse(drive.argc(), drive.argv()));
  EXPECT_STREQ(factory.output_directory(), "D:");
}

LASheader three_point_header() {
  LASheader header;
  header.point_data_format = 1;
  header.point_data_record_length = 28;
  header.number_of_point_records = 3;
  return header;
}

void write_three(LASwriter& writer, const LASheader& header) {
  LASpoint point;
  ASSERT_TRUE(point.init(&header, 1, 28, &header));
  for (int i = 0; i < 3; i++) {
    point.X = i;
    point.gps_time = i + 0.5;
    ASSERT_TRUE(writer.put_point(point));
  }
  writer.close();
}

TEST(LASwriterFactory, WritesToStandardOutputReadBackAsLas) {
  Arguments arguments({"-stdout"});
  LASwriterFactory factory;
  ASSERT_TRUE(factory.parse(arguments.argc(), arguments.argv()));
  const LASheader header = three_point_header();
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  {
    std::unique_ptr<LASwriter> writer = factory.open(header);
    ASSERT_NE(writer, nullptr);
    write_three(*writer, header);
  }
  std::fflush(stdout);
  const std::string bytes = testing::internal::GetCapturedStdout();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  ASSERT_EQ(bytes.size(), 227u + 3 * 28);
  LASreaderLAS reader;
  ASSERT_TRUE(reader.open(new ByteStreamInArray(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                                static_cast<std::int64_t>(bytes.size()))));
  int n = 0;
  while (reader.next_point()) {
    EXPECT_EQ(reader.point.X, n);
    EXPECT_EQ(reader.point.gps_time, n + 0.5);
    n++;
  }
  EXPECT_EQ(n, 3);
}

TEST(LASwriterFactory, NilAndFileOutputs) {
  test::TempDir dir;
  const std::string file = dir.file("out.las");
  {
    Arguments arguments({"-nil", "-o", file});
    LASwriterFactory factory;
    ASSERT_TRUE(factory.parse(arguments.argc(), arguments.argv()));
    const LASheader header = three_point_header();
    std::unique_ptr<LASwriter> writer = factory.open(header);
    ASSERT_NE(writer, nullptr);
    write_three(*writer, header);
    EXPECT_FALSE(std::filesystem::exists(file));
  }
  {
    Arguments arguments({"-o", file, "-stdout"});
    LASwriterFactory factory;
    ASSERT_TRUE(factory.parse(arguments.argc(), arguments.argv()));
    const LASheader header = three_point_header();
    std::unique_ptr<LASwriter> writer = factory.open(header);
    ASSERT_NE(writer, nullptr);
    write_three(*writer, header);
    EXPECT_EQ(std::filesystem::file_size(file), 227u + 3 * 28);
  }
  {
    LASwriterFactory factory;
    testing::internal::CaptureStderr();
    EXPECT_EQ(factory.open(three_point_header()), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR: no laswriter output specified\n");
  }
}

}  // namespace
}  // namespace tinrise
