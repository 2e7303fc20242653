// Behaviour of the byte streams: exact bytes in both byte orders, end of data
// at the exact byte, positions past 4 GiB, memory growth and hand-over, bits.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "las/core/bytestream_array.h"
#include "las/core/bytestream_file.h"
#include "las/core/bytestream_nil.h"

namespace tinrise {
namespace {

using bytes = std::vector<std::uint8_t>;

class TempDir {
 public:
  TempDir() : path(std::filesystem::temp_directory_path() / ("tinrise_bytestream_" + std::to_string(getpid()))) {
    std::filesystem::create_directories(path);
  }
  ~TempDir() { std::filesystem::remove_all(path); }
  std::string file(const char* name) const { return (path / name).string(); }

 private:
  std::filesystem::path path;
};

bytes file_bytes(const std::string& name) {
  bytes content;
  std::FILE* file = std::fopen(name.c_str(), "rb");
  if (!file) return content;
  for (int c; (c = std::getc(file)) != EOF;) content.push_back(static_cast<std::uint8_t>(c));
  std::fclose(file);
  return content;
}

void put_file_bytes(const std::string& name, const bytes& content) {
  std::FILE* file = std::fopen(name.c_str(), "wb");
  std::fwrite(content.data(), 1, content.size(), file);
  std::fclose(file);
}

// One value of every width in both byte orders, as the stream must store it.
const std::uint16_t v16 = 0x1234;
const std::uint32_t v32 = 0x12345678;
const std::uint64_t v64 = 0x0102030405060708;
const bytes expected_values = {
    0xAB,                                            // write_byte
    'l', 'a', 's',                                   // write_bytes
    0x34, 0x12, 0x78, 0x56, 0x34, 0x12,              // le16, le32
    0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,  // le64
    0x12, 0x34, 0x12, 0x34, 0x56, 0x78,              // be16, be32
    0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,  // be64
};

void write_values(ByteStreamOut& out) {
  ASSERT_TRUE(out.write_byte(0xAB));
  ASSERT_TRUE(out.write_bytes("las", 3));
  ASSERT_TRUE(out.write_le16(&v16));
  ASSERT_TRUE(out.write_le32(&v32));
  ASSERT_TRUE(out.write_le64(&v64));
  ASSERT_TRUE(out.write_be16(&v16));
  ASSERT_TRUE(out.write_be32(&v32));
  ASSERT_TRUE(out.write_be64(&v64));
}

void read_values(ByteStreamIn& in) {
  EXPECT_EQ(in.read_byte(), 0xABu);
  char text[3];
  in.read_bytes(text, 3);
  EXPECT_EQ(std::string(text, 3), "las");
  std::uint16_t a16 = 0, b16 = 0;
  std::uint32_t a32 = 0, b32 = 0;
  std::uint64_t a64 = 0, b64 = 0;
  in.read_le16(&a16);
  in.read_le32(&a32);
  in.read_le64(&a64);
  in.read_be16(&b16);
  in.read_be32(&b32);
  in.read_be64(&b64);
  EXPECT_EQ(a16, v16);
  EXPECT_EQ(a32, v32);
  EXPECT_EQ(a64, v64);
  EXPECT_EQ(b16, v16);
  EXPECT_EQ(b32, v32);
  EXPECT_EQ(b64, v64);
  EXPECT_EQ(in.tell(), static_cast<std::int64_t>(expected_values.size()));
}

TEST(ByteStream, ValuesInBothByteOrdersRoundTripThroughMemoryWithExactBytes) {
  ByteStreamOutArray out;
  write_values(out);
  ASSERT_EQ(bytes(out.get_data(), out.get_data() + out.get_size()), expected_values);
  ByteStreamInArray in(out.get_data(), out.get_size());
  read_values(in);
  EXPECT_THROW(in.read_byte(), int);
}

TEST(ByteStream, ValuesInBothByteOrdersRoundTripThroughFilesWithExactBytes) {
  TempDir dir;
  const std::string name = dir.file("values.bin");
  {
    std::FILE* file = open_binary_file(name.c_str(), FileAccess::write, 1 << 16);
    ASSERT_NE(file, nullptr);
    ByteStreamOutFile out(file);
    write_values(out);
    EXPECT_TRUE(out.flush());
    std::fclose(file);
  }
  ASSERT_EQ(file_bytes(name), expected_values);
  std::FILE* file = open_binary_file(name.c_str(), FileAccess::read, 1 << 16);
  ASSERT_NE(file, nullptr);
  {
    ByteStreamInFile in(file);
    read_values(in);
  }
  std::fclose(file);
}

// End of data must come exactly after the last byte, also when a request
// straddles the file stream's block border or is larger than a block.
TEST(ByteStream, EndOfDataIsRaisedAtTheExactByte) {
  TempDir dir;
  const std::string name = dir.file("ramp.bin");
  bytes ramp(10007);
  for (std::size_t i = 0; i < ramp.size(); i++) ramp[i] = static_cast<std::uint8_t>(i * 7);
  put_file_bytes(name, ramp);

  struct Case {
    const char* what;
    std::size_t item_size;  // 0: single bytes through read_byte
  };
  const Case cases[] = {{"bytes", 0}, {"7-byte items", 7}, {"29-byte items", 29}, {"blocks larger than a buffer", 6000}};
  const std::function<std::unique_ptr<ByteStreamIn>(std::FILE*)> streams[] = {
      [&](std::FILE*) { return std::make_unique<ByteStreamInArray>(ramp.data(), static_cast<std::int64_t>(ramp.size())); },
      [](std::FILE* file) { return std::make_unique<ByteStreamInFile>(file, 4096); },
  };
  for (const auto& make_stream : streams) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      std::FILE* file = std::fopen(name.c_str(), "rb");
      auto in = make_stream(file);
      bytes got;
      const std::size_t step = c.item_size ? c.item_size : 1;
      const std::size_t whole = ramp.size() / step * step;
      bytes item(step);
      while (got.size() < whole) {
        if (c.item_size) {
          in->get_bytes(item.data(), step);
        } else {
          item[0] = static_cast<std::uint8_t>(in->get_byte());
        }
        got.insert(got.end(), item.begin(), item.end());
      }
      EXPECT_EQ(got, bytes(ramp.begin(), ramp.begin() + static_cast<std::ptrdiff_t>(whole)));
      if (whole == ramp.size()) {
        EXPECT_THROW(in->read_byte(), int);
      } else {
        EXPECT_THROW(in->get_bytes(item.data(), step), int);
      }
      if (whole < ramp.size()) {
        // What is left can still be read byte by byte up to the end.
        ASSERT_TRUE(in->seek(static_cast<std::int64_t>(whole)));
        for (std::size_t i = whole; i < ramp.size(); i++) EXPECT_EQ(in->read_byte(), ramp[i]);
        try {
          in->read_byte();
          ADD_FAILURE() << "no end of data";
        } catch (int signal) {
          EXPECT_EQ(signal, -1);
        }
      }
      in.reset();
      std::fclose(file);
    }
  }
}

TEST(ByteStream, FilePositionsBeyondFourGibibytes) {
  TempDir dir;
  const std::string name = dir.file("sparse.bin");
  const std::int64_t far = (std::int64_t{5} << 30) + 3;  // 5 GiB + 3, written sparse
  const std::uint64_t marker = 0x1122334455667788;
  std::FILE* file = open_binary_file(name.c_str(), FileAccess::write, 1 << 16);
  ASSERT_NE(file, nullptr);
  {
    ByteStreamOutFile out(file);
    ASSERT_TRUE(out.write_byte(1));
    ASSERT_TRUE(out.seek(far));
    EXPECT_EQ(out.tell(), far);
    ASSERT_TRUE(out.write_le64(&marker));
    EXPECT_EQ(out.tell(), far + 8);
    ASSERT_TRUE(out.flush());
  }
  std::fclose(file);
  EXPECT_EQ(static_cast<std::int64_t>(std::filesystem::file_size(name)), far + 8);

  file = open_binary_file(name.c_str(), FileAccess::read, 1 << 16);
  {
    ByteStreamInFile in(file);
    ASSERT_TRUE(in.seek_from_end(8));
    EXPECT_EQ(in.tell(), far);
    std::uint64_t value = 0;
    in.read_le64(&value);
    EXPECT_EQ(value, marker);
    ASSERT_TRUE(in.seek(far + 4));
    EXPECT_EQ(in.tell(), far + 4);
    EXPECT_EQ(in.read_byte(), 0x44u);
    ASSERT_TRUE(in.seek(0));
    EXPECT_EQ(in.read_byte(), 1u);
  }
  std::fclose(file);
}

TEST(ByteStream, InputArraySeeksStayInsideTheData) {
  const std::uint8_t data[4] = {1, 2, 3, 4};
  struct Case {
    const char* what;
    std::function<bool(ByteStreamInArray&)> move;
    bool ok;
    std::int64_t position_after;
  };
  const Case cases[] = {
      {"seek to the size", [](auto& s) { return s.seek(4); }, true, 4},
      {"seek past the size", [](auto& s) { return s.seek(5); }, false, 1},
      {"seek before the start", [](auto& s) { return s.seek(-1); }, false, 1},
      {"from the end by 0", [](auto& s) { return s.seek_from_end(0); }, true, 4},
      {"from the end by the size", [](auto& s) { return s.seek_from_end(4); }, true, 0},
      {"from the end by size + 1", [](auto& s) { return s.seek_from_end(5); }, false, 1},
      {"skip forward", [](auto& s) { return s.skip_forward(2); }, true, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ByteStreamInArray in(data, 4);
    in.read_byte();
    EXPECT_EQ(c.move(in), c.ok);
    EXPECT_EQ(in.tell(), c.position_after);
  }
  ByteStreamInArray empty(nullptr, 0);
  EXPECT_THROW(empty.read_byte(), int);
  EXPECT_TRUE(empty.seek(0));
  EXPECT_THROW(empty.read_byte(), int);
  ByteStreamInArray at_end(data, 4);
  ASSERT_TRUE(at_end.seek(4));
  EXPECT_THROW(at_end.read_byte(), int);
  std::uint8_t two[2];
  ASSERT_TRUE(at_end.seek(3));
  EXPECT_THROW(at_end.read_bytes(two, 2), int);
  EXPECT_EQ(at_end.tell(), 3) << "a refused block read consumes nothing";
}

TEST(ByteStream, OutputArrayGrowsOnlyWhenFullAndKeepsItsHighWaterMark) {
  ByteStreamOutArray out(10);
  const std::uint8_t* first_block = out.get_data();
  const std::uint8_t ten[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  ASSERT_TRUE(out.write_bytes(ten, 10));
  EXPECT_EQ(out.get_data(), first_block);
  EXPECT_EQ(out.get_capacity(), 10);
  ASSERT_TRUE(out.write_byte(10));
  EXPECT_GE(out.get_capacity(), 11 + 1023);
  EXPECT_EQ(out.get_size(), 11);

  // Overwriting after a backward seek leaves the size alone.
  ASSERT_TRUE(out.seek(2));
  ASSERT_TRUE(out.write_be16(&v16));
  EXPECT_EQ(out.tell(), 4);
  EXPECT_EQ(out.get_size(), 11);
  EXPECT_FALSE(out.seek(12));
  ASSERT_TRUE(out.seek_from_end());
  EXPECT_EQ(out.tell(), 11);

  // A large stream written item by item keeps every byte.
  bytes expected(bytes(out.get_data(), out.get_data() + 11));
  for (int i = 0; i < 100000; i++) {
    const std::uint8_t item[3] = {std::uint8_t(i), std::uint8_t(i >> 8), std::uint8_t(i >> 16)};
    ASSERT_TRUE(out.put_bytes(item, 3));
    expected.insert(expected.end(), item, item + 3);
  }
  EXPECT_EQ(bytes(out.get_data(), out.get_data() + out.get_size()), expected);

  // The buffer is handed over; an input array then reads the same bytes.
  std::int64_t size = 0;
  stream_bytes taken = out.take_data(&size);
  EXPECT_EQ(size, static_cast<std::int64_t>(expected.size()));
  EXPECT_EQ(out.get_data(), nullptr);
  EXPECT_EQ(out.get_size(), 0);
  EXPECT_EQ(out.get_capacity(), 0);
  EXPECT_EQ(out.tell(), 0);
  ByteStreamInArray in(taken.get(), size);
  bytes again(expected.size());
  in.read_bytes(again.data(), again.size());
  EXPECT_EQ(again, expected);
  // The emptied stream starts over.
  ASSERT_TRUE(out.write_byte(7));
  EXPECT_EQ(out.get_size(), 1);
  EXPECT_EQ(out.get_data()[0], 7);
}

TEST(ByteStream, NilStreamCountsWithoutStoring) {
  ByteStreamOutNil nil;
  write_values(nil);
  EXPECT_EQ(nil.tell(), static_cast<std::int64_t>(expected_values.size()));
  EXPECT_TRUE(nil.seek(0));
  EXPECT_EQ(nil.tell(), static_cast<std::int64_t>(expected_values.size()));
}

TEST(ByteStream, BitFieldsPackIntoLittleEndianWords) {
  ByteStreamOutArray out;
  ASSERT_TRUE(out.write_bit_field(0xABCDE, 20));
  EXPECT_EQ(out.get_size(), 0);
  ASSERT_TRUE(out.write_bit_field(0x12345, 20));
  EXPECT_EQ(out.get_size(), 4);
  EXPECT_EQ(out.bit_count, 8u);
  ASSERT_TRUE(out.write_bit_field(0xFFFFFFFF, 3));  // only the low 3 bits count
  ASSERT_TRUE(out.flush_bit_field());
  // 0xABCDE | 0x12345 << 20, then the remaining 0x12 and 0b111 << 8.
  EXPECT_EQ(bytes(out.get_data(), out.get_data() + out.get_size()),
            (bytes{0xDE, 0xBC, 0x5A, 0x34, 0x12, 0x07, 0x00, 0x00}));
  ByteStreamInArray in(out.get_data(), out.get_size());
  EXPECT_EQ(in.read_bit_field(20), 0xABCDEu);
  EXPECT_EQ(in.read_bit_field(20), 0x12345u);
  EXPECT_EQ(in.read_bit_field(3), 7u);
  EXPECT_EQ(in.read_bit_field(21), 0u);
  EXPECT_THROW(in.read_bit_field(1), int);
}

// A pipe has no file position; the stream must still answer tell and seek to
// the current position, and skip by reading.
TEST(ByteStream, InputFileOnAPipe) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const bytes data = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  ASSERT_EQ(write(fds[1], data.data(), data.size()), static_cast<ssize_t>(data.size()));
  close(fds[1]);
  std::FILE* file = fdopen(fds[0], "rb");
  ASSERT_NE(file, nullptr);
  {
    ByteStreamInFile in(file);
    EXPECT_EQ(in.tell(), 0);
    EXPECT_TRUE(in.seek(0));
    EXPECT_EQ(in.read_byte(), 1u);
    EXPECT_TRUE(in.seek(1));
    EXPECT_TRUE(in.skip_forward(3));
    EXPECT_EQ(in.read_byte(), 5u);
    EXPECT_EQ(in.tell(), 5);
    EXPECT_FALSE(in.skip_forward(10));
  }
  std::fclose(file);
}

TEST(ByteStream, InputFileGivesBackWhatItReadAhead) {
  TempDir dir;
  const std::string name = dir.file("ahead.bin");
  put_file_bytes(name, bytes(100, 9));
  std::FILE* file = std::fopen(name.c_str(), "rb");
  {
    ByteStreamInFile in(file);
    std::uint8_t ten[10];
    in.read_bytes(ten, 10);
  }
  EXPECT_EQ(ftello(file), 10);
  std::fclose(file);
}

TEST(ByteStream, ReadWriteFileSharesOnePosition) {
  TempDir dir;
  const std::string name = dir.file("update.bin");
  put_file_bytes(name, {1, 2, 3, 4});
  std::FILE* file = open_binary_file(name.c_str(), FileAccess::update, 4096);
  ASSERT_NE(file, nullptr);
  {
    ByteStreamInOutFile stream(file);
    ByteStreamInOut& io = stream;
    std::uint16_t first = 0;
    io.read_le16(&first);
    EXPECT_EQ(first, 0x0201);
    ASSERT_TRUE(io.write_byte(30));  // overwrites the 3 right after the read
    EXPECT_EQ(io.read_byte(), 4u);
    ASSERT_TRUE(io.seek_from_end());
    ASSERT_TRUE(io.write_be16(&v16));
    EXPECT_EQ(io.tell(), 6);
    ASSERT_TRUE(io.seek(0));
    EXPECT_EQ(io.read_byte(), 1u);
    ASSERT_TRUE(io.seek(6));
    EXPECT_THROW(io.read_byte(), int);
  }
  std::fclose(file);
  EXPECT_EQ(file_bytes(name), (bytes{1, 2, 30, 4, 0x12, 0x34}));
  // Update access creates a missing file.
  const std::string fresh = dir.file("fresh.bin");
  file = open_binary_file(fresh.c_str(), FileAccess::update, 4096);
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  EXPECT_TRUE(std::filesystem::exists(fresh));
}

TEST(ByteStream, OutputFileWritesItemsAndBlocksInOrder) {
  TempDir dir;
  const std::string name = dir.file("blocks.bin");
  bytes expected;
  std::FILE* file = open_binary_file(name.c_str(), FileAccess::write, 4096);
  {
    ByteStreamOutFile out(file, 4096);
    bytes big(10000);
    for (int round = 0; round < 3; round++) {
      for (int i = 0; i < 1000; i++) {
        const std::uint8_t item[5] = {std::uint8_t(i), std::uint8_t(round), 1, 2, 3};
        ASSERT_TRUE(out.put_bytes(item, 5));
        expected.insert(expected.end(), item, item + 5);
      }
      for (std::size_t i = 0; i < big.size(); i++) big[i] = static_cast<std::uint8_t>(i + round);
      ASSERT_TRUE(out.write_bytes(big.data(), big.size()));
      expected.insert(expected.end(), big.begin(), big.end());
      ASSERT_TRUE(out.put_byte(0xEE));
      expected.push_back(0xEE);
    }
    EXPECT_EQ(out.tell(), static_cast<std::int64_t>(expected.size()));
    // Patching a value written earlier, as writers do with counts and offsets.
    ASSERT_TRUE(out.seek(1));
    ASSERT_TRUE(out.write_le32(&v32));
    ASSERT_TRUE(out.seek_from_end());
    EXPECT_EQ(out.tell(), static_cast<std::int64_t>(expected.size()));
    std::memcpy(&expected[1], &v32, 4);
  }  // the destructor writes what is still buffered
  std::fclose(file);
  EXPECT_EQ(file_bytes(name), expected);
}

}  // namespace
}  // namespace tinrise
