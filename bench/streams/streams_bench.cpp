// Throughput of whole point records through the point engines and byte
// streams, from and to memory and files in the page cache, each printed beside
// a plain memcpy or fread/fwrite copy of the same bytes in the same run.
// Usage: streams_bench [records] [scratch folder]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "compress/las_point_reader.h"
#include "compress/las_point_writer.h"
#include "las/core/bytestream_array.h"
#include "las/core/bytestream_file.h"
#include "las/core/las_point.h"

using namespace tinrise;

namespace {

constexpr int record_size = 28;  // point type 1
constexpr int repeats = 3;

double best_seconds(const std::function<void()>& run) {
  double best = 1e30;
  for (int i = 0; i < repeats; i++) {
    const auto start = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

void report(const char* what, double engine, const char* yardstick_name, double yardstick, std::size_t records) {
  std::printf("%-13s engines %6.3f s %7.1f M records/s | %-12s %6.3f s %7.1f M records/s | ratio %.2f\n", what, engine,
              records / engine / 1e6, yardstick_name, yardstick, records / yardstick / 1e6, engine / yardstick);
}

void fail(const char* message) {
  std::fprintf(stderr, "ERROR: %s\n", message);
  std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t records = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 10000000;
  const std::filesystem::path folder = argc > 2 ? argv[2] : std::filesystem::temp_directory_path();
  const std::size_t total = records * record_size;
  const std::string source_name = (folder / "tinrise_streams_bench_source.las").string();
  const std::string copy_name = (folder / "tinrise_streams_bench_copy.las").string();

  // Plausible records: coordinates on a walk, returns, classes and rising GPS time.
  auto source = std::make_unique_for_overwrite<std::uint8_t[]>(total);
  {
    LASpoint point;
    point.init(nullptr, 1, record_size);
    std::uint32_t state = 1;
    for (std::size_t i = 0; i < records; i++) {
      state = state * 214013u + 2531011u;
      point.X += static_cast<int>((state >> 16) & 255) - 120;
      point.Y += static_cast<int>((state >> 8) & 15) - 7;
      point.Z = static_cast<std::int32_t>((state >> 12) & 0xFFFF);
      point.intensity = static_cast<std::uint16_t>(state >> 20);
      point.classification = (state >> 24) & 3 ? 1 : 2;
      point.gps_time = 400000.0 + i * 1e-5;
      std::memcpy(source.get() + i * record_size, &point.X, 20);
      std::memcpy(source.get() + i * record_size + 20, &point.gps_time, 8);
    }
  }
  auto target = std::make_unique_for_overwrite<std::uint8_t[]>(total);
  std::memset(target.get(), 0, total);  // first touch outside the timings

  LASpoint point;
  point.init(nullptr, 1, record_size);
  LASpointReader reader;
  LASpointWriter writer;
  if (!reader.setup(point.num_items, point.items.data()) || !writer.setup(point.num_items, point.items.data()))
    fail("engine setup");
  std::int64_t checksum = 0;

  auto read_all = [&](ByteStreamIn& in) {
    if (!reader.init(&in)) fail("reader init");
    for (std::size_t i = 0; i < records; i++) {
      if (!reader.read(point.item_pointers.data())) fail(reader.last_error());
      checksum += point.X;
    }
    reader.done();
  };
  auto write_all = [&](ByteStreamOut& out) {
    if (!writer.init(&out)) fail("writer init");
    for (std::size_t i = 0; i < records; i++) {
      point.X = static_cast<std::int32_t>(i);
      if (!writer.write(point.item_pointers.data())) fail("write");
    }
    writer.done();
  };

  std::printf("%zu records of %d bytes (point type 1), best of %d\n", records, record_size, repeats);

  // Memory.
  const double memory_read = best_seconds([&] {
    ByteStreamInArray in(source.get(), static_cast<std::int64_t>(total));
    read_all(in);
  });
  const double memory_copy = best_seconds([&] { std::memcpy(target.get(), source.get(), total); });
  ByteStreamOutArray out_array(static_cast<std::int64_t>(total));
  write_all(out_array);  // first touch of the array outside the timings
  const double memory_write = best_seconds([&] {
    out_array.seek(0);
    write_all(out_array);
  });
  if (out_array.get_size() != static_cast<std::int64_t>(total)) fail("memory write size");
  report("memory read", memory_read, "memcpy", memory_copy, records);
  report("memory write", memory_write, "memcpy", memory_copy, records);

  // Files in the page cache: written through the writer engine, read through
  // the reader engine, and copied with plain block reads and writes.
  const double file_write = best_seconds([&] {
    std::FILE* file = open_binary_file(source_name.c_str(), FileAccess::write, 1 << 20);
    if (!file) fail("cannot open the scratch file");
    {
      ByteStreamOutFile out(file);
      write_all(out);
      if (!out.flush()) fail("file write");
    }
    std::fclose(file);
  });
  const double file_read = best_seconds([&] {
    std::FILE* file = open_binary_file(source_name.c_str(), FileAccess::read, 1 << 20);
    if (!file) fail("cannot open the scratch file");
    {
      ByteStreamInFile in(file);
      read_all(in);
    }
    std::fclose(file);
  });
  std::vector<char> block(1 << 20);
  const double file_copy = best_seconds([&] {
    std::FILE* in = std::fopen(source_name.c_str(), "rb");
    std::FILE* out = std::fopen(copy_name.c_str(), "wb");
    if (!in || !out) fail("cannot open the scratch files");
    for (std::size_t got; (got = std::fread(block.data(), 1, block.size(), in)) > 0;) {
      if (std::fwrite(block.data(), 1, got, out) != got) fail("copy write");
    }
    std::fclose(in);
    std::fclose(out);
  });
  report("file read", file_read, "fread+fwrite", file_copy, records);
  report("file write", file_write, "fread+fwrite", file_copy, records);
  std::printf("file read + write through the engines: %.3f s = %.2f x the plain copy\n", file_read + file_write,
              (file_read + file_write) / file_copy);
  std::printf("(checksum %lld)\n", static_cast<long long>(checksum));
  std::filesystem::remove(source_name);
  std::filesystem::remove(copy_name);
  return 0;
}
