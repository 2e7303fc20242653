// Compressed LAS files through the LAS reader, writer and openers: samples read
// to their LAS original and the original written to the samples' point bytes,
// damage in the reader's messages, LAS 1.4 types refused until layered codecs.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "las/io/las_reader_las.h"
#include "las/io/las_writer_las.h"
#include "options/open/las_reader_factory.h"
#include "options/open/las_writer_factory.h"
#include "support/las_bytes.h"
#include "support/temp_dir.h"

namespace tinrise {
namespace {

using test::Bytes;
using test::get;

const std::string data_folder = std::string(TINRISE_TEST_DATA) + "/real/";

// The point records of a LAS file, from offset_to_point_data to the end.
Bytes point_bytes(const Bytes& file) { return Bytes(file.begin() + get<std::uint32_t>(file, 96), file.end()); }

// Reads every point of `input` and writes it with `compressor` to `output`.
void copy_file(const std::string& input, const std::string& output, std::uint16_t compressor) {
  LASreaderLAS reader;
  ASSERT_TRUE(reader.open(input.c_str(), 1 << 16, false, 0xFFFFFFFF));
  LASwriterLAS writer;
  ASSERT_TRUE(writer.open(output.c_str(), &reader.header, compressor, 2, 50000, 1 << 16));
  while (reader.next_point()) ASSERT_TRUE(writer.put_point(reader.point));
  EXPECT_EQ(reader.points_done, reader.point_count);
  EXPECT_GT(writer.close(), 0);
  reader.close();
}

TEST(KpzFiles, SamplesReadToTheRecordsOfTheirLasOriginal) {
  test::TempDir dir;
  const Bytes original = test::read_file_bytes(data_folder + "simple.las");
  for (const char* name : {"simple.kpz", "simple_v1.kpz"}) {
    SCOPED_TRACE(name);
    testing::internal::CaptureStderr();
    copy_file(data_folder + name, dir.file("out.las"), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    const Bytes copy = test::read_file_bytes(dir.file("out.las"));
    EXPECT_EQ(copy[104], 3) << "compression bit cleared";
    EXPECT_TRUE(point_bytes(copy) == point_bytes(original));
  }
}

TEST(KpzFiles, TheLasOriginalWritesToTheSamplesPointBytes) {
  test::TempDir dir;
  const Bytes sample = test::read_file_bytes(data_folder + "simple.kpz");
  // The write opener asks for layered chunks; point type 3 gets pointwise chunks.
  copy_file(data_folder + "simple.las", dir.file("x.kpz"), 3);
  const Bytes written = test::read_file_bytes(dir.file("x.kpz"));
  EXPECT_EQ(written[104], 0x83);
  EXPECT_EQ(get<std::uint32_t>(written, 96), get<std::uint32_t>(sample, 96));
  EXPECT_TRUE(point_bytes(written) == point_bytes(sample));
  // The configuration record: compressor 2, chunks of 50000, version-2 items.
  const std::size_t record = 227 + 54;
  EXPECT_EQ(get<std::uint16_t>(written, record), 2);
  EXPECT_EQ(get<std::uint32_t>(written, record + 12), 50000u);
  EXPECT_TRUE(Bytes(written.begin() + record + 34, written.begin() + record + 52) ==
              Bytes(sample.begin() + record + 34, sample.begin() + record + 52));
}

TEST(KpzFiles, OpenersReadAndWriteKpzByName) {
  test::TempDir dir;
  const std::string output = dir.file("from_opener.kpz");
  {
    LASreaderFactory read_opener;
    std::vector<std::string> args = {"tinrise", "-i", data_folder + "simple.las"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    ASSERT_TRUE(read_opener.parse(static_cast<int>(argv.size()), argv.data()));
    std::unique_ptr<LASreader> reader = read_opener.open();
    ASSERT_NE(reader, nullptr);
    LASwriterFactory write_opener;
    std::vector<std::string> out_args = {"tinrise", "-o", output};
    std::vector<char*> out_argv;
    for (auto& a : out_args) out_argv.push_back(a.data());
    ASSERT_TRUE(write_opener.parse(static_cast<int>(out_argv.size()), out_argv.data()));
    std::unique_ptr<LASwriter> writer = write_opener.open(reader->header);
    ASSERT_NE(writer, nullptr);
    while (reader->next_point()) writer->put_point(reader->point);
    writer->close();
    reader->close();
  }
  EXPECT_TRUE(point_bytes(test::read_file_bytes(output)) ==
              point_bytes(test::read_file_bytes(data_folder + "simple.kpz")));

  LASreaderFactory read_opener;
  std::vector<std::string> args = {"tinrise", "-i", output};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  ASSERT_TRUE(read_opener.parse(static_cast<int>(argv.size()), argv.data()));
  std::unique_ptr<LASreader> reader = read_opener.open();
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ(reader->format_code(), 2);
  std::int64_t count = 0;
  while (reader->next_point()) count++;
  EXPECT_EQ(count, 1065);
  // Seeking goes through the chunk table.
  ASSERT_TRUE(reader->seek(1000));
  ASSERT_TRUE(reader->next_point());
  const Bytes original = test::read_file_bytes(data_folder + "simple.las");
  EXPECT_EQ(reader->point.X, get<std::int32_t>(original, 227 + 1000 * 34));
  reader->close();
}

TEST(KpzFiles, DamageIsReportedWithTheReadersMessages) {
  test::TempDir dir;
  const Bytes sample = test::read_file_bytes(data_folder + "simple.kpz");
  const std::size_t points = get<std::uint32_t>(sample, 96);
  const std::size_t table = static_cast<std::size_t>(get<std::int64_t>(sample, points));
  struct Case {
    const char* what;
    std::size_t keep;               // bytes kept (all: the sample's size)
    std::size_t garbage_at;         // bytes spoiled from here, 0: none
    std::size_t read;               // points read
    const char* message;            // all of stderr
  };
  const Case cases[] = {
      {"cut in the chunk", points + 9000, 0, 0, nullptr},
      {"garbage in the chunk", sample.size(), points + 5000, 0, nullptr},
      {"table cut", table + 6, 0, 1065, "WARNING: 'corrupt chunk table'\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes damaged(sample.begin(), sample.begin() + c.keep);
    if (c.garbage_at) {
      for (std::size_t i = c.garbage_at; i < c.garbage_at + 200; i++) damaged[i] = static_cast<std::uint8_t>(i * 131);
    }
    test::write_file_bytes(dir.file("damaged.kpz"), damaged);
    testing::internal::CaptureStderr();
    LASreaderLAS reader;
    ASSERT_TRUE(reader.open(dir.file("damaged.kpz").c_str(), 1 << 16, false, 0xFFFFFFFF));
    std::int64_t read = 0;
    while (reader.next_point()) read++;
    reader.close();
    const std::string err = testing::internal::GetCapturedStderr();
    if (c.message) {
      EXPECT_EQ(read, static_cast<std::int64_t>(c.read));
      EXPECT_EQ(err, c.message);
    } else {
      // One chunk: no next chunk to go on with, and the chunk is the whole file.
      EXPECT_LT(read, 1065);
      const std::string expected = c.keep < sample.size() ? "ERROR: 'end-of-file during chunk with index 0' after "
                                                          : "ERROR: 'chunk with index 0 of 2 is corrupt' after ";
      EXPECT_EQ(err.rfind(expected, 0), 0u) << err;
      EXPECT_NE(err.find(" of 1065 points\n"), std::string::npos) << err;
    }
  }
}

TEST(KpzFiles, LasOnePointFourTypesWaitForTheLayeredCodecs) {
  test::TempDir dir;
  LASreaderLAS reader;
  ASSERT_TRUE(reader.open((data_folder + "test1_4.las").c_str(), 1 << 16, false, 0xFFFFFFFF));
  testing::internal::CaptureStderr();
  LASwriterLAS writer;
  EXPECT_FALSE(writer.open(dir.file("x.kpz").c_str(), &reader.header, 3, 2, 50000, 1 << 16));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR: point type 6 of size 30 not supported (with Pakmor)\n");
  writer.close();
  reader.close();
}

}  // namespace
}  // namespace tinrise
