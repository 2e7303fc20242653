// The compressing point engines: real samples decoded to their LAS records and
// encoded to their exact bytes, chunks and chunk tables, seeking, streams that
// cannot seek, and damaged data that must fail cleanly.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "compress/ac_encoder.h"
#include "compress/integer_coder.h"
#include "compress/las_point_reader.h"
#include "compress/las_point_writer.h"
#include "las/core/bytestream_array.h"
#include "las/core/bytestream_file.h"
#include "las/core/las_point.h"
#include "las/core/pakmor.h"
#include "support/las_bytes.h"

namespace tinrise {
namespace {

using test::Bytes;
using test::get;
using test::put;

Bytes sample(const char* name) { return test::read_file_bytes(std::string(TINRISE_TEST_DATA) + "/real/" + name); }

constexpr std::size_t simple_records = 227;  // offset of simple.las's records
constexpr std::size_t simple_size = 34;
constexpr std::uint32_t simple_count = 1065;

// The configuration record of a sample file (its first VLR).
Pakmor config_of(const Bytes& file) {
  Pakmor config;
  ByteStreamInArray in(file.data(), static_cast<std::int64_t>(file.size()));
  in.seek(227 + 54);
  EXPECT_TRUE(config.read_record_payload(in));
  return config;
}

Pakmor make_config(int point_type, int record_size, std::uint16_t compressor, std::uint16_t version,
                   std::int64_t chunk_size = 50000) {
  std::vector<LASitem> items;
  EXPECT_TRUE(las_items_for_point_type(point_type, record_size, items));
  Pakmor config;
  EXPECT_TRUE(config.setup(static_cast<std::uint16_t>(items.size()), items.data(), compressor));
  if (chunk_size >= 0 && compressor != Pakmor::COMPRESSOR_POINTWISE) {
    EXPECT_TRUE(config.set_chunk_size(static_cast<std::uint32_t>(chunk_size)));
  }
  EXPECT_TRUE(config.request_version(version));
  return config;
}

void record_to_point(const std::uint8_t* record, LASpoint& point) {
  for (std::size_t i = 0; i < point.items.size(); i++) {
    std::memcpy(point.item_pointers[i], record, point.items[i].size);
    record += point.items[i].size;
  }
}

Bytes point_to_record(const LASpoint& point) {
  Bytes record;
  for (std::size_t i = 0; i < point.items.size(); i++) {
    record.insert(record.end(), point.item_pointers[i], point.item_pointers[i] + point.items[i].size);
  }
  return record;
}

// Compresses `count` records after `start` zero bytes (the chunk table
// position is absolute); `border` says after which record a variably chunked
// writer ends a chunk.
Bytes compress(const Pakmor& config, const std::uint8_t* records, std::size_t size, std::size_t count,
               ByteStreamOut* out = nullptr, const std::function<bool(std::size_t)>& border = nullptr,
               std::size_t start = 0) {
  LASpoint point;
  EXPECT_TRUE(point.init(nullptr, config.items));
  LASpointWriter writer;
  EXPECT_TRUE(writer.setup(config.num_items(), config.items.data(), &config)) << writer.last_error();
  ByteStreamOutArray array;
  if (!out) out = &array;
  for (std::size_t i = 0; i < start; i++) out->write_byte(0);
  EXPECT_TRUE(writer.init(out));
  for (std::size_t i = 0; i < count; i++) {
    record_to_point(records + i * size, point);
    EXPECT_TRUE(writer.write(point.item_pointers.data()));
    if (border && border(i)) {
      EXPECT_TRUE(writer.chunk());
    }
  }
  EXPECT_TRUE(writer.done());
  return Bytes(array.get_data(), array.get_data() + array.get_size());
}

struct Decoded {
  Bytes records;  // the records read before the first failure
  std::string error, warning;
  bool end_ok = false;
};

Decoded decompress(const Pakmor& config, const Bytes& data, std::size_t start, std::size_t count) {
  Decoded result;
  LASpoint point;
  EXPECT_TRUE(point.init(nullptr, config.items));
  LASpointReader reader;
  EXPECT_TRUE(reader.setup(config.num_items(), config.items.data(), &config)) << reader.last_error();
  ByteStreamInArray in(data.data(), static_cast<std::int64_t>(data.size()));
  in.seek(static_cast<std::int64_t>(start));
  EXPECT_TRUE(reader.init(&in));
  for (std::size_t i = 0; i < count; i++) {
    if (!reader.read(point.item_pointers.data())) {
      result.error = reader.last_error() ? reader.last_error() : "";
      break;
    }
    const Bytes record = point_to_record(point);
    result.records.insert(result.records.end(), record.begin(), record.end());
  }
  if (result.error.empty()) result.end_ok = reader.check_end();
  if (!result.end_ok && result.error.empty() && reader.last_error()) result.error = reader.last_error();
  if (reader.last_warning()) result.warning = reader.last_warning();
  reader.done();
  return result;
}

TEST(CompressedEngines, RealSamplesDecodeToTheRecordsOfTheLasFile) {
  const Bytes las = sample("simple.las");
  const Bytes records(las.begin() + simple_records, las.end());
  ASSERT_EQ(records.size(), simple_count * simple_size);
  for (const char* name : {"simple.kpz", "simple_v1.kpz"}) {
    SCOPED_TRACE(name);
    const Bytes kpz = sample(name);
    const Pakmor config = config_of(kpz);
    const Decoded decoded = decompress(config, kpz, get<std::uint32_t>(kpz, 96), simple_count);
    EXPECT_EQ(decoded.error, "");
    EXPECT_TRUE(decoded.end_ok);
    EXPECT_EQ(decoded.warning, "");
    EXPECT_TRUE(decoded.records == records);
  }
}

// What another program reads must come out of our encoder bit for bit, not
// only decode with our own decoder.
TEST(CompressedEngines, EncodingTheLasRecordsGivesTheSamplesPointBytes) {
  const Bytes las = sample("simple.las");
  struct Case {
    const char* name;
    std::uint16_t compressor, version;
  };
  const Case cases[] = {
      {"simple.kpz", Pakmor::COMPRESSOR_POINTWISE_CHUNKED, 2},
      {"simple_v1.kpz", Pakmor::COMPRESSOR_POINTWISE, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes kpz = sample(c.name);
    const Pakmor config = make_config(3, 34, c.compressor, c.version);
    ASSERT_TRUE(config.items == config_of(kpz).items);
    const std::uint32_t offset = get<std::uint32_t>(kpz, 96);
    const Bytes file = compress(config, las.data() + simple_records, simple_size, simple_count, nullptr, nullptr, offset);
    EXPECT_TRUE(Bytes(file.begin() + offset, file.end()) == Bytes(kpz.begin() + offset, kpz.end()));
  }
}

// The chunk table as stored: position, version, count.
struct Table {
  std::int64_t position;
  std::uint32_t version, number_chunks;
};
Table table_of(const Bytes& data) {
  std::int64_t position = get<std::int64_t>(data, 0);
  if (position == -1) position = get<std::int64_t>(data, data.size() - 8);
  return {position, get<std::uint32_t>(data, static_cast<std::size_t>(position)),
          get<std::uint32_t>(data, static_cast<std::size_t>(position) + 4)};
}

TEST(CompressedEngines, ChunksAndTheirTableForEveryChunking) {
  const Bytes las = sample("simple.las");
  const std::uint8_t* records = las.data() + simple_records;
  struct Case {
    const char* what;
    std::int64_t chunk_size;  // 0: variable, with borders after the records `border` picks
    std::function<bool(std::size_t)> border;
    std::uint32_t number_chunks;
  };
  const Case cases[] = {
      {"fewer points than a chunk", 50000, nullptr, 1},
      {"exactly one chunk", simple_count, nullptr, 1},
      {"one point more than a chunk", simple_count - 1, nullptr, 2},
      {"chunks of 100", 100, nullptr, 11},
      {"chunks of one point", 1, nullptr, simple_count},
      {"variable, a border after every 7th", 0, [](std::size_t i) { return i % 7 == 6; }, 153},
      {"variable, uneven borders", 0, [](std::size_t i) { return i == 0 || i == 1 || i == 500 || i == 1063; }, 5},
      {"variable, a border after the last point", 0, [](std::size_t i) { return i == simple_count - 1; }, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Pakmor config = make_config(3, 34, Pakmor::COMPRESSOR_POINTWISE_CHUNKED, 2, c.chunk_size);
    const Bytes data = compress(config, records, simple_size, simple_count, nullptr, c.border);
    const Table table = table_of(data);
    EXPECT_EQ(table.version, 0u);
    EXPECT_EQ(table.number_chunks, c.number_chunks);
    const Decoded decoded = decompress(config, data, 0, simple_count);
    EXPECT_EQ(decoded.error, "");
    EXPECT_TRUE(decoded.end_ok);
    EXPECT_TRUE(decoded.records == Bytes(records, records + simple_count * simple_size));
  }
}

// Every chunk is coded on its own, so a chunk's bytes are those of a file
// holding only its points; the table codes the sizes (and, for variable
// chunks, the counts) as differences from the previous entry.
TEST(CompressedEngines, ChunkTableEntriesAreCodedAsDifferences) {
  const Bytes las = sample("simple.las");
  const std::uint8_t* records = las.data() + simple_records;
  const std::vector<std::uint32_t> counts = {100, 1, 464, 500};  // the chunks of the variable case
  for (const bool variable : {false, true}) {
    SCOPED_TRACE(variable ? "variable" : "fixed");
    const Pakmor config = make_config(3, 34, Pakmor::COMPRESSOR_POINTWISE_CHUNKED, 2, variable ? 0 : 100);
    std::vector<std::uint32_t> chunk_counts, chunk_sizes;
    for (std::uint32_t first = 0, i = 0; first < simple_count; first += chunk_counts.back(), i++) {
      chunk_counts.push_back(variable ? counts[i] : std::min<std::uint32_t>(100, simple_count - first));
      const Bytes alone = compress(config, records + first * simple_size, simple_size, chunk_counts.back());
      chunk_sizes.push_back(static_cast<std::uint32_t>(get<std::int64_t>(alone, 0) - 8));
    }
    std::size_t border = 0;
    std::vector<std::size_t> ends;
    for (std::uint32_t count : chunk_counts) ends.push_back(border += count);
    const Bytes data = compress(config, records, simple_size, simple_count, nullptr, [&](std::size_t i) {
      return variable && std::find(ends.begin(), ends.end(), i + 1) != ends.end();
    });
    const std::size_t table = static_cast<std::size_t>(get<std::int64_t>(data, 0));
    Bytes expected(8, 0);
    put<std::uint32_t>(expected, 4, static_cast<std::uint32_t>(chunk_sizes.size()));
    ByteStreamOutArray entries;
    {
      AcEncoder encoder;
      encoder.init(&entries);
      IntegerCoder coder(encoder, 32, 2, 8, 0);
      coder.init_encoder();
      for (std::size_t i = 0; i < chunk_sizes.size(); i++) {
        if (variable) coder.encode(i ? chunk_counts[i - 1] : 0, chunk_counts[i], 0);
        coder.encode(i ? chunk_sizes[i - 1] : 0, chunk_sizes[i], 1);
      }
      encoder.done();
    }
    expected.insert(expected.end(), entries.get_data(), entries.get_data() + entries.get_size());
    EXPECT_TRUE(Bytes(data.begin() + table, data.end()) == expected);
  }
}

TEST(CompressedEngines, NoPointsGiveAnEmptyTable) {
  const Pakmor chunked = make_config(1, 28, Pakmor::COMPRESSOR_POINTWISE_CHUNKED, 2);
  // The place-holder at 0 is overwritten with the table's position 8.
  EXPECT_TRUE(compress(chunked, nullptr, 28, 0) == Bytes({8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  const Pakmor pointwise = make_config(1, 28, Pakmor::COMPRESSOR_POINTWISE, 2);
  EXPECT_TRUE(compress(pointwise, nullptr, 28, 0).empty());
}

// An output that cannot seek, like standard output.
class ByteStreamOutPipe final : public ByteStreamOut {
 public:
  bool write_byte(std::uint8_t byte) override { return array.write_byte(byte); }
  bool write_bytes(const void* bytes, std::size_t count) override { return array.write_bytes(bytes, count); }
  bool can_seek() const override { return false; }
  std::int64_t tell() const override { return array.tell(); }
  bool seek(std::int64_t) override { return false; }
  bool seek_from_end() override { return false; }
  Bytes bytes() const { return Bytes(array.get_data(), array.get_data() + array.get_size()); }

 private:
  ByteStreamOutArray array;
};

TEST(CompressedEngines, OutputThatCannotSeekCarriesTheTablePositionAtTheEnd) {
  const Bytes las = sample("simple.las");
  const std::uint8_t* records = las.data() + simple_records;
  const Pakmor config = make_config(3, 34, Pakmor::COMPRESSOR_POINTWISE_CHUNKED, 2, 100);
  ByteStreamOutPipe pipe;
  compress(config, records, simple_size, simple_count, &pipe);
  const Bytes piped = pipe.bytes();
  const Bytes seekable = compress(config, records, simple_size, simple_count);
  EXPECT_EQ(get<std::int64_t>(piped, 0), -1);
  EXPECT_EQ(piped.size(), seekable.size() + 8);
  EXPECT_EQ(get<std::int64_t>(piped, piped.size() - 8), get<std::int64_t>(seekable, 0));
  EXPECT_TRUE(Bytes(piped.begin() + 8, piped.end() - 8) == Bytes(seekable.begin() + 8, seekable.end()));

  const Decoded decoded = decompress(config, piped, 0, simple_count);
  EXPECT_EQ(decoded.error, "");
  EXPECT_EQ(decoded.warning, "");
  EXPECT_TRUE(decoded.records == Bytes(records, records + simple_count * simple_size));
}

// An input that cannot seek, like standard input.
class ByteStreamInPipe final : public ByteStreamIn {
 public:
  explicit ByteStreamInPipe(const Bytes& data) : array(data.data(), static_cast<std::int64_t>(data.size())) {}
  std::uint32_t read_byte() override { return array.read_byte(); }
  void read_bytes(void* bytes, std::size_t count) override { array.read_bytes(bytes, count); }
  bool can_seek() const override { return false; }
  std::int64_t tell() const override { return array.tell(); }
  bool seek(std::int64_t) override { return false; }
  bool seek_from_end(std::int64_t) override { return false; }

 private:
  ByteStreamInArray array;
};

TEST(CompressedEngines, InputThatCannotSeekIsReadInOrder) {
  const Bytes las = sample("simple.las");
  const std::uint8_t* records = las.data() + simple_records;
  struct Case {
    const char* what;
    Pakmor config;
    const char* error;  // null: every point reads
  };
  const Case cases[] = {
      {"fixed chunks", make_config(3, 34, Pakmor::COMPRESSOR_POINTWISE_CHUNKED, 2, 100), nullptr},
      {"variable chunks", make_config(3, 34, Pakmor::COMPRESSOR_POINTWISE_CHUNKED, 2, 0),
       "variably chunked points need their chunk table"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Bytes data = compress(c.config, records, simple_size, simple_count);
    ByteStreamInPipe in(data);
    LASpoint point;
    ASSERT_TRUE(point.init(nullptr, c.config.items));
    LASpointReader reader;
    ASSERT_TRUE(reader.setup(c.config.num_items(), c.config.items.data(), &c.config));
    ASSERT_TRUE(reader.init(&in));
    EXPECT_FALSE(reader.seek(0, 500));
    if (c.error) {
      EXPECT_FALSE(reader.read(point.item_pointers.data()));
      EXPECT_STREQ(reader.last_error(), c.error);
      continue;
    }
    for (std::uint32_t i = 0; i < simple_count; i++) {
      ASSERT_TRUE(reader.read(point.item_pointers.data())) << i << reader.last_error();
      ASSERT_TRUE(point_to_record(point) == Bytes(records + i * simple_size, records + (i + 1) * simple_size)) << i;
    }
    EXPECT_TRUE(reader.check_end());
  }
}

TEST(CompressedEngines, SeekingThroughTheTable) {
  const Bytes las = sample("simple.las");
  const std::uint8_t* records = las.data() + simple_records;
  const Pakmor fixed = make_config(3, 34, Pakmor::COMPRESSOR_POINTWISE_CHUNKED, 2, 100);
  const Pakmor variable = make_config(3, 34, Pakmor::COMPRESSOR_POINTWISE_CHUNKED, 2, 0);
  const Pakmor pointwise = make_config(3, 34, Pakmor::COMPRESSOR_POINTWISE, 1);
  const Bytes fixed_data = compress(fixed, records, simple_size, simple_count);
  Bytes unfinished = fixed_data;
  put<std::int64_t>(unfinished, 0, 0);  // the place-holder still points at itself
  const auto uneven = [](std::size_t i) { return i == 0 || i == 17 || i == 400 || i == 401 || i == 900; };
  struct Case {
    const char* what;
    const Pakmor& config;
    Bytes data;
  };
  const Case cases[] = {
      {"fixed chunks", fixed, fixed_data},
      {"variable chunks", variable, compress(variable, records, simple_size, simple_count, nullptr, uneven)},
      {"unfinished writer: starts collected while reading", fixed, unfinished},
      {"one pointwise stream", pointwise, compress(pointwise, records, simple_size, simple_count)},
  };
  // Forward within a chunk, to another chunk, backward within the current
  // one, back to the start, beyond the chunks read so far, to the last point.
  const std::uint64_t targets[] = {5, 7, 250, 210, 0, 1, 399, 401, 402, 1064, 950, 899, 900, 3, 1000};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LASpoint point;
    ASSERT_TRUE(point.init(nullptr, c.config.items));
    LASpointReader reader;
    ASSERT_TRUE(reader.setup(c.config.num_items(), c.config.items.data(), &c.config));
    ByteStreamInArray in(c.data.data(), static_cast<std::int64_t>(c.data.size()));
    ASSERT_TRUE(reader.init(&in));
    std::uint64_t next = 0;
    for (std::uint64_t target : targets) {
      SCOPED_TRACE(target);
      ASSERT_TRUE(reader.seek(next, target)) << reader.last_error();
      ASSERT_TRUE(reader.read(point.item_pointers.data())) << reader.last_error();
      EXPECT_TRUE(point_to_record(point) == Bytes(records + target * simple_size, records + (target + 1) * simple_size));
      next = target + 1;
    }
    EXPECT_EQ(reader.last_warning(), nullptr);
  }
}

// Damage to a file of 11 chunks of 100 points (the last of 65).
TEST(CompressedEngines, DamagedDataFailsCleanly) {
  const Bytes las = sample("simple.las");
  const std::uint8_t* records = las.data() + simple_records;
  const Pakmor config = make_config(3, 34, Pakmor::COMPRESSOR_POINTWISE_CHUNKED, 2, 100);
  const Bytes intact = compress(config, records, simple_size, simple_count);
  const std::size_t table = static_cast<std::size_t>(get<std::int64_t>(intact, 0));
  // The chunk starts, found by reading the intact file chunk by chunk is what
  // the table is for; here they come from a file with one chunk more per cut.
  std::vector<std::size_t> starts;
  for (std::uint32_t chunk = 0; chunk <= 11; chunk++) {
    const Bytes prefix = compress(config, records, simple_size, std::min<std::uint32_t>(chunk * 100, simple_count));
    starts.push_back(chunk == 0 ? 8 : static_cast<std::size_t>(get<std::int64_t>(prefix, 0)));
  }
  ASSERT_EQ(starts[11], table);

  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
    const char* error;    // "" when every point reads
    const char* warning;  // "" for none
    std::uint32_t min_read, max_read;  // points read before the error
  };
  const Case cases[] = {
      {"garbage in chunk 5", [&](Bytes& b) { for (std::size_t i = starts[5] + 60; i < starts[5] + 90; i++) b[i] ^= 0x5A; },
       "chunk with index 5 of 12 is corrupt", "", 500, 600},
      {"chunk 3 cut short, table gone", [&](Bytes& b) { b.resize(starts[3] + 200); },
       "end-of-file during chunk with index 3", "corrupt chunk table", 300, 400},
      {"raw first point of chunk 2 cut", [&](Bytes& b) { b.resize(starts[2] + 10); },
       "end-of-file during chunk with index 2", "corrupt chunk table", 200, 200},
      {"table position beyond the file", [&](Bytes& b) { put<std::int64_t>(b, 0, 1 << 30); }, "", "corrupt chunk table",
       simple_count, simple_count},
      {"table position negative", [&](Bytes& b) { put<std::int64_t>(b, 0, -5); }, "", "corrupt chunk table",
       simple_count, simple_count},
      {"table version 1", [&](Bytes& b) { b[table] = 1; }, "", "corrupt chunk table", simple_count, simple_count},
      {"table claims 2^32 - 1 chunks", [&](Bytes& b) { put<std::uint32_t>(b, table + 4, 0xFFFFFFFF); }, "",
       "corrupt chunk table", simple_count, simple_count},
      {"table entries garbage", [&](Bytes& b) { for (std::size_t i = table + 8; i < b.size(); i++) b[i] = 0xC3; }, "",
       "corrupt chunk table", simple_count, simple_count},
      {"table entries cut", [&](Bytes& b) { b.resize(table + 9); }, "", "corrupt chunk table", simple_count,
       simple_count},
      {"table count lowered: the rest found while reading", [&](Bytes& b) { put<std::uint32_t>(b, table + 4, 5); }, "",
       "", simple_count, simple_count},
      {"no point data at all", [&](Bytes& b) { b.resize(4); }, "end-of-file during chunk with index 0", "", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes data = intact;
    c.damage(data);
    const Decoded decoded = decompress(config, data, 0, simple_count);
    EXPECT_EQ(decoded.error, c.error);
    EXPECT_EQ(decoded.warning, c.warning);
    const std::size_t read = decoded.records.size() / simple_size;
    EXPECT_GE(read, c.min_read);
    EXPECT_LE(read, c.max_read);
    // Whatever was read before the damage is the original.
    const std::size_t sound = std::min<std::size_t>(read, c.min_read);
    EXPECT_TRUE(Bytes(decoded.records.begin(), decoded.records.begin() + sound * simple_size) ==
                Bytes(records, records + sound * simple_size));
  }
}

// Variably chunked points have their point counts only in the table.
TEST(CompressedEngines, DamagedTablesOfVariableChunks) {
  const Bytes las = sample("simple.las");
  const std::uint8_t* records = las.data() + simple_records;
  const Pakmor config = make_config(3, 34, Pakmor::COMPRESSOR_POINTWISE_CHUNKED, 2, 0);
  const Bytes intact =
      compress(config, records, simple_size, simple_count, nullptr, [](std::size_t i) { return i % 100 == 99; });
  const std::size_t table = static_cast<std::size_t>(get<std::int64_t>(intact, 0));
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
    const char* error;
    std::uint32_t read;
  };
  const Case cases[] = {
      {"count lowered: the points end with the table", [&](Bytes& b) { put<std::uint32_t>(b, table + 4, 5); },
       "end-of-file during chunk with index 5", 500},
      {"entries garbage", [&](Bytes& b) { for (std::size_t i = table + 8; i < b.size(); i++) b[i] = 0x3C; },
       "corrupt chunk table of variably chunked points", 0},
      {"writer never finished", [&](Bytes& b) { put<std::int64_t>(b, 0, 0); },
       "variably chunked points need their chunk table", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes data = intact;
    c.damage(data);
    const Decoded decoded = decompress(config, data, 0, simple_count);
    EXPECT_EQ(decoded.error, c.error);
    EXPECT_EQ(decoded.records.size(), c.read * simple_size);
    EXPECT_TRUE(Bytes(decoded.records.begin(), decoded.records.end()) ==
                Bytes(records, records + decoded.records.size()));
  }
}

// A corrupt chunk costs only its own points: the next read goes on with the next chunk.
TEST(CompressedEngines, ReadingGoesOnAfterACorruptChunk) {
  const Bytes las = sample("simple.las");
  const std::uint8_t* records = las.data() + simple_records;
  const Pakmor config = make_config(3, 34, Pakmor::COMPRESSOR_POINTWISE_CHUNKED, 2, 100);
  Bytes data = compress(config, records, simple_size, simple_count);
  const Bytes first_chunks = compress(config, records, simple_size, 500);
  const std::size_t chunk_5 = static_cast<std::size_t>(get<std::int64_t>(first_chunks, 0));
  for (std::size_t i = chunk_5 + 40; i < chunk_5 + 80; i++) data[i] = static_cast<std::uint8_t>(i * 37);

  LASpoint point;
  ASSERT_TRUE(point.init(nullptr, config.items));
  LASpointReader reader;
  ASSERT_TRUE(reader.setup(config.num_items(), config.items.data(), &config));
  ByteStreamInArray in(data.data(), static_cast<std::int64_t>(data.size()));
  ASSERT_TRUE(reader.init(&in));
  std::uint32_t read = 0, failures = 0;
  while (read < 500 || failures == 0) {
    ASSERT_LT(read, simple_count);
    if (reader.read(point.item_pointers.data())) {
      read++;
    } else {
      EXPECT_STREQ(reader.last_error(), "chunk with index 5 of 12 is corrupt");
      failures++;
    }
  }
  EXPECT_EQ(failures, 1u);
  for (std::uint32_t i = 600; i < simple_count; i++) {
    ASSERT_TRUE(reader.read(point.item_pointers.data())) << i;
    ASSERT_TRUE(point_to_record(point) == Bytes(records + i * simple_size, records + (i + 1) * simple_size)) << i;
  }
  EXPECT_TRUE(reader.check_end());
}

// Any cut and any changed bytes give points or a clean error, never a crash
// or a read outside the data (run under the sanitizers).
TEST(CompressedEngines, HostileBytesNeverCrash) {
  const Bytes las = sample("simple.las");
  const std::uint8_t* records = las.data() + simple_records;
  const Pakmor configs[] = {
      make_config(3, 34, Pakmor::COMPRESSOR_POINTWISE_CHUNKED, 2, 100),
      make_config(3, 34, Pakmor::COMPRESSOR_POINTWISE_CHUNKED, 2, 0),
      make_config(3, 34, Pakmor::COMPRESSOR_POINTWISE, 1),
  };
  std::uint32_t state = 7;
  auto random = [&] {
    state = state * 214013u + 2531011u;
    return (state >> 16) & 0x7FFF;
  };
  for (const Pakmor& config : configs) {
    std::function<bool(std::size_t)> borders;
    if (config.chunk_size == 0) borders = [](std::size_t i) { return i % 150 == 149; };
    const Bytes intact = compress(config, records, simple_size, simple_count, nullptr, borders);
    for (int round = 0; round < 150; round++) {
      Bytes data = intact;
      if (round % 3 == 0) {
        data.resize(random() * data.size() / 0x8000);
      } else {
        for (int flips = 1 + round % 5; flips > 0; flips--) data[random() * data.size() / 0x8000] = random() & 0xFF;
      }
      LASpoint point;
      ASSERT_TRUE(point.init(nullptr, config.items));
      LASpointReader reader;
      ASSERT_TRUE(reader.setup(config.num_items(), config.items.data(), &config));
      ByteStreamInArray in(data.data(), static_cast<std::int64_t>(data.size()));
      ASSERT_TRUE(reader.init(&in));
      reader.seek(0, random() % simple_count);
      for (std::uint32_t i = 0; i < simple_count + 10; i++) reader.read(point.item_pointers.data());
      reader.check_end();
    }
  }
}

}  // namespace
}  // namespace tinrise
