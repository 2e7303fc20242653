// The point engines over raw items: real sample records read and written back
// byte for byte, every point type through memory and files, seeking, the end
// of the data, and the set-ups they refuse.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "compress/las_point_reader.h"
#include "compress/las_point_writer.h"
#include "las/core/bytestream_array.h"
#include "las/core/bytestream_file.h"
#include "las/core/las_point.h"
#include "las/core/pakmor.h"

namespace tinrise {
namespace {

using bytes = std::vector<std::uint8_t>;

bytes file_bytes(const std::string& name) {
  bytes content;
  std::FILE* file = std::fopen(name.c_str(), "rb");
  if (!file) return content;
  for (int c; (c = std::getc(file)) != EOF;) content.push_back(static_cast<std::uint8_t>(c));
  std::fclose(file);
  return content;
}

template <typename T>
T value_at(const bytes& data, std::size_t offset) {
  T value;
  std::memcpy(&value, data.data() + offset, sizeof(T));
  return value;
}

struct Engines {
  LASpoint point;
  LASpointReader reader;
  LASpointWriter writer;

  bool setup(int type, int size) {
    return point.init(nullptr, type, size) && reader.setup(point.num_items, point.items.data()) &&
           writer.setup(point.num_items, point.items.data());
  }
};

// Reads `count` records with the reader engine and writes each with the writer.
void copy_records(Engines& engines, ByteStreamIn& in, ByteStreamOut& out, std::size_t count) {
  ASSERT_TRUE(engines.reader.init(&in));
  ASSERT_TRUE(engines.writer.init(&out));
  for (std::size_t i = 0; i < count; i++) {
    ASSERT_TRUE(engines.reader.read(engines.point.item_pointers.data())) << i << ": " << engines.reader.last_error();
    ASSERT_TRUE(engines.writer.write(engines.point.item_pointers.data())) << i;
  }
  EXPECT_TRUE(engines.reader.check_end());
  EXPECT_TRUE(engines.writer.done());
}

TEST(LASpointEngines, RealSampleRecordsComeBackByteForByte) {
  struct Case {
    const char* file;
    int type, record_length;
    std::uint32_t offset, count;
  };
  const Case cases[] = {
      {"simple.las", 3, 34, 227, 1065},
      {"test1_4.las", 6, 30, 2305, 1000},
      {"extrabytes.las", 3, 61, 1389, 1065},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string name = std::string(TINRISE_TEST_DATA) + "/real/" + c.file;
    const bytes content = file_bytes(name);
    ASSERT_EQ(content.size(), c.offset + std::size_t{c.count} * c.record_length);
    ASSERT_EQ(content[104], c.type);

    Engines engines;
    ASSERT_TRUE(engines.setup(c.type, c.record_length));
    std::FILE* file = open_binary_file(name.c_str(), FileAccess::read, 1 << 16);
    ASSERT_NE(file, nullptr);
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(file, &std::fclose);  // after the stream goes
    ByteStreamInFile in(file);
    ASSERT_TRUE(in.seek(c.offset));
    ByteStreamOutArray out;
    copy_records(engines, in, out, c.count);
    EXPECT_EQ(bytes(out.get_data(), out.get_data() + out.get_size()), bytes(content.begin() + c.offset, content.end()));

    // The fields of the last record sit where the file puts them.
    const std::size_t last = c.offset + std::size_t{c.count - 1} * c.record_length;
    const LASpoint& point = engines.point;
    EXPECT_EQ(point.X, value_at<std::int32_t>(content, last));
    EXPECT_EQ(point.Z, value_at<std::int32_t>(content, last + 8));
    if (c.type == 3) {
      EXPECT_EQ(point.classification, content[last + 15] & 31);
      EXPECT_EQ(point.gps_time, value_at<double>(content, last + 20));
      EXPECT_EQ(point.rgb[2], value_at<std::uint16_t>(content, last + 32));
    } else {
      EXPECT_EQ(point.extended_classification, content[last + 16]);
      EXPECT_EQ(point.extended_scan_angle, value_at<std::int16_t>(content, last + 18));
      EXPECT_EQ(point.gps_time, value_at<double>(content, last + 22));
    }
    if (c.record_length == 61) {
      EXPECT_EQ(point.extra_bytes[26], content[last + 60]);
    }

    // One more read finds the end of the data: no error text, so that the
    // reader warns about a short file instead of reporting corrupt data.
    EXPECT_FALSE(engines.reader.read(engines.point.item_pointers.data()));
    EXPECT_EQ(engines.reader.last_error(), nullptr);
  }
}

// Arbitrary record bytes of every point type pass through unchanged, also the
// LAS 1.4 cores that are converted on the way, through memory and through files.
TEST(LASpointEngines, EveryPointTypeRoundTripsThroughMemoryAndFiles) {
  const int base_sizes[] = {20, 28, 26, 34, 57, 63, 30, 36, 38, 59, 67};
  const std::string name =
      (std::filesystem::temp_directory_path() / ("tinrise_engine_" + std::to_string(getpid()) + ".bin")).string();
  for (int type = 0; type <= 10; type++) {
    for (int extra : {0, 5}) {
      SCOPED_TRACE("type " + std::to_string(type) + " extra " + std::to_string(extra));
      const int size = base_sizes[type] + extra;
      const std::size_t count = 3000;
      bytes records(count * size);
      std::uint32_t state = 12345u + type * 7u + extra;
      for (auto& b : records) {
        state = state * 214013u + 2531011u;
        b = static_cast<std::uint8_t>(state >> 16);
      }
      Engines engines;
      ASSERT_TRUE(engines.setup(type, size));
      ByteStreamInArray in(records.data(), static_cast<std::int64_t>(records.size()));
      ByteStreamOutArray out;
      copy_records(engines, in, out, count);
      ASSERT_EQ(bytes(out.get_data(), out.get_data() + out.get_size()), records);

      // Files: written through the writer engine, read back through the reader engine.
      std::FILE* file = open_binary_file(name.c_str(), FileAccess::write, 1 << 16);
      ASSERT_NE(file, nullptr);
      {
        ByteStreamOutFile file_out(file, 4096);
        ByteStreamInArray again(records.data(), static_cast<std::int64_t>(records.size()));
        copy_records(engines, again, file_out, count);
        ASSERT_TRUE(file_out.flush());
      }
      std::fclose(file);
      ASSERT_EQ(file_bytes(name), records);
      file = open_binary_file(name.c_str(), FileAccess::read, 1 << 16);
      {
        ByteStreamInFile file_in(file, 4096);
        ByteStreamOutArray copy;
        copy_records(engines, file_in, copy, count);
        EXPECT_EQ(bytes(copy.get_data(), copy.get_data() + copy.get_size()), records);
      }
      std::fclose(file);
    }
  }
  std::filesystem::remove(name);
}

TEST(LASpointEngines, SeekingPositionsTheNextRead) {
  const std::string name = std::string(TINRISE_TEST_DATA) + "/real/simple.las";
  const bytes content = file_bytes(name);
  const std::size_t offset = 227, size = 34;
  // The records follow a header, so the engine must count from where it started.
  ByteStreamInArray in(content.data(), static_cast<std::int64_t>(content.size()));
  ASSERT_TRUE(in.seek(offset));
  Engines engines;
  ASSERT_TRUE(engines.setup(3, 34));
  ASSERT_TRUE(engines.reader.init(&in));
  struct Case {
    std::uint64_t current, target;
  };
  const Case cases[] = {{0, 500}, {501, 10}, {11, 1064}, {1065, 0}, {1, 1}};
  std::uint64_t next = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    ASSERT_EQ(c.current, next);
    ASSERT_TRUE(engines.reader.seek(c.current, c.target));
    ASSERT_TRUE(engines.reader.read(engines.point.item_pointers.data()));
    next = c.target + 1;
    EXPECT_EQ(engines.point.X, value_at<std::int32_t>(content, offset + c.target * size));
    EXPECT_EQ(engines.point.gps_time, value_at<double>(content, offset + c.target * size + 20));
  }
  EXPECT_FALSE(engines.reader.seek(next, std::uint64_t{1} << 62)) << "beyond any stream position";

  // A pipe cannot seek.
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  close(fds[1]);
  std::FILE* pipe_file = fdopen(fds[0], "rb");
  {
    ByteStreamInFile pipe_in(pipe_file);
    LASpointReader reader;
    ASSERT_TRUE(reader.setup(engines.point.num_items, engines.point.items.data()));
    ASSERT_TRUE(reader.init(&pipe_in));
    EXPECT_FALSE(reader.seek(0, 5));
  }
  std::fclose(pipe_file);
}

TEST(LASpointEngines, RefusedSetupsSayWhy) {
  LASpoint point;
  ASSERT_TRUE(point.init(nullptr, 1, 30));
  const std::vector<LASitem> items = point.items;
  Pakmor uncompressed;
  ASSERT_TRUE(uncompressed.setup(std::uint16_t(items.size()), items.data(), Pakmor::COMPRESSOR_NONE));
  Pakmor compressed;
  ASSERT_TRUE(compressed.setup(std::uint16_t(items.size()), items.data(), Pakmor::COMPRESSOR_POINTWISE_CHUNKED));
  Pakmor other_coder = uncompressed;
  other_coder.coder = 1;
  Pakmor other_items;
  ASSERT_TRUE(other_items.setup(2, items.data(), Pakmor::COMPRESSOR_NONE));
  const std::vector<LASitem> odd = {{LASitem::POINT10, 20, 0}, {LASitem::RGB12, 7, 0}};

  struct Case {
    const char* what;
    const std::vector<LASitem>& items;
    const Pakmor* config;
    const char* error;  // null: accepted
  };
  const Case cases[] = {
      {"no configuration", items, nullptr, nullptr},
      {"uncompressed configuration", items, &uncompressed, nullptr},
      {"compressed configuration", items, &compressed, "compressor 2 not available"},
      {"another coder", items, &other_coder, "coder 1 not supported"},
      {"items differ", items, &other_items, "items differ from those of the compressor configuration"},
      {"colour of 7 bytes", odd, nullptr, "item type 8 of size 7 has no raw "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LASpointReader reader;
    LASpointWriter writer;
    const auto n = std::uint16_t(c.items.size());
    EXPECT_EQ(reader.setup(n, c.items.data(), c.config), c.error == nullptr);
    EXPECT_EQ(writer.setup(n, c.items.data(), c.config), c.error == nullptr);
    if (c.error) {
      EXPECT_EQ(std::string(reader.last_error()).rfind(c.error, 0), 0u) << reader.last_error();
      EXPECT_EQ(std::string(writer.last_error()).rfind(c.error, 0), 0u) << writer.last_error();
    }
  }

  LASpointReader reader;
  ASSERT_TRUE(reader.setup(std::uint16_t(items.size()), items.data()));
  EXPECT_FALSE(reader.read(point.item_pointers.data())) << "no stream yet";
  EXPECT_FALSE(reader.init(nullptr));
  LASpointWriter writer;
  ASSERT_TRUE(writer.setup(std::uint16_t(items.size()), items.data()));
  EXPECT_FALSE(writer.write(point.item_pointers.data())) << "no stream yet";
  EXPECT_FALSE(writer.init(nullptr));
  EXPECT_FALSE(writer.chunk()) << "uncompressed output has no chunks";
}

}  // namespace
}  // namespace tinrise
