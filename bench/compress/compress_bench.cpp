// Size and speed of compression by the point engines on a generated survey of
// point types 1 and 3, beside zstd -19, xz -6 and the raw engines on the same
// LAS file, in processor time on one core. Usage: compress_bench [points] [folder]
#include <sys/resource.h>

#include <cmath>
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
#include "las/core/bytestream_file.h"
#include "las/core/las_point.h"
#include "las/core/pakmor.h"

using namespace tinrise;

namespace {

constexpr int repeats = 2;
constexpr int header_size = 227;

void fail(const char* message) {
  std::fprintf(stderr, "ERROR: %s\n", message);
  std::exit(1);
}

// Processor seconds of this process and of the children it waited for.
double processor_seconds() {
  double total = 0;
  for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    rusage usage;
    getrusage(who, &usage);
    total += usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + 1e-6 * (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
  }
  return total;
}

double seconds(const std::function<void()>& run) {
  const double start = processor_seconds();
  run();
  return processor_seconds() - start;
}

double best_seconds(const std::function<void()>& run) {
  double best = 1e30;
  for (int i = 0; i < repeats; i++) best = std::min(best, seconds(run));
  return best;
}

std::int64_t file_size(const std::string& name) { return static_cast<std::int64_t>(std::filesystem::file_size(name)); }

void shell(const std::string& command) {
  if (std::system(command.c_str()) != 0) fail(("command failed: " + command).c_str());
}

// One random generator with the C library's sequence, so every run measures the same survey.
struct Random {
  std::uint32_t state = 1;
  std::uint32_t next() {
    state = state * 214013u + 2531011u;
    return (state >> 16) & 32767;
  }
  double uniform() { return next() / 32768.0; }
};

// A survey of parallel flight lines over rolling terrain with trees: a
// scanner sweeping across the track at 400 kHz, up to four returns per pulse,
// points in cm, GPS times per pulse, colour from a smooth "orthophoto".
void generate(int point_type, int record_size, std::size_t count, std::uint8_t* records) {
  LASpoint point;
  if (!point.init(nullptr, point_type, record_size)) fail("point type");
  Random random;
  const double pulse_rate = 400000.0, scan_rate = 100.0, speed = 60.0, swath = 600.0;
  const std::size_t line_points = 1000000;
  double time = 400000.0;
  std::size_t done = 0;
  for (std::uint64_t pulse = 0; done < count; pulse++) {
    const std::size_t line = done / line_points;
    const double t = pulse / pulse_rate;
    const double phase = std::fmod(t * scan_rate, 1.0);
    const double across = (phase < 0.5 ? phase * 2 : 2 - phase * 2) - 0.5;  // -0.5 .. 0.5
    const double x = 500000.0 + line * swath * 0.8 + across * swath;
    const double y = 4000000.0 + (line % 2 ? -1 : 1) * std::fmod(t * speed, 20000.0);
    const double ground = 120.0 + 12.0 * std::sin(x / 230.0) + 7.0 * std::cos(y / 170.0) + 0.05 * random.uniform();
    const bool tree = std::sin(x / 9.0) * std::cos(y / 11.0) > 0.3;
    const int returns = tree ? 1 + static_cast<int>(random.next() % 4) : (random.next() % 10 == 0 ? 2 : 1);
    time = 400000.0 + t;
    for (int r = 1; r <= returns && done < count; r++, done++) {
      const bool last = r == returns;
      const double height = last ? 0.0 : (tree ? 18.0 * (1.0 - (r - 1) / 3.0) * (0.7 + 0.3 * random.uniform()) : 0.3);
      point.X = static_cast<std::int32_t>(std::lround((x + 0.01 * random.uniform()) * 100.0) - 50000000);
      point.Y = static_cast<std::int32_t>(std::lround(y * 100.0) - 400000000);
      point.Z = static_cast<std::int32_t>(std::lround((ground + height) * 100.0));
      point.intensity = static_cast<std::uint16_t>((last ? 900 : 300) + random.next() % 200);
      point.return_number = r;
      point.number_of_returns = returns;
      point.scan_direction_flag = phase < 0.5;
      point.edge_of_flight_line = phase < 0.0005 || std::fabs(phase - 0.5) < 0.0005;
      point.classification = last ? (tree && random.next() % 3 ? 5 : 2) : 5;
      point.scan_angle_rank = static_cast<std::int8_t>(std::lround(across * 40.0));
      point.user_data = 0;
      point.point_source_ID = static_cast<std::uint16_t>(line + 1);
      point.gps_time = time;
      const double shade = 0.5 + 0.25 * std::sin(x / 40.0) * std::cos(y / 35.0) + (tree ? -0.2 : 0.1);
      point.rgb[0] = static_cast<std::uint16_t>(256 * static_cast<int>(255 * shade * 0.9 + random.next() % 8));
      point.rgb[1] = static_cast<std::uint16_t>(256 * static_cast<int>(255 * shade + random.next() % 8));
      point.rgb[2] = static_cast<std::uint16_t>(256 * static_cast<int>(255 * shade * 0.7 + random.next() % 8));
      std::uint8_t* record = records + done * record_size;
      for (std::size_t i = 0; i < point.items.size(); i++) {
        std::memcpy(record, point.item_pointers[i], point.items[i].size);
        record += point.items[i].size;
      }
    }
  }
}

struct Figures {
  double seconds = 0;
  std::int64_t bytes = 0;
};

void run(int point_type, int record_size, std::size_t count, const std::filesystem::path& folder) {
  const std::string las_name = (folder / "tinrise_compress_bench.las").string();
  const std::string kpz_name = (folder / "tinrise_compress_bench.kpz").string();
  const std::size_t total = count * record_size;
  auto records = std::make_unique_for_overwrite<std::uint8_t[]>(total);
  generate(point_type, record_size, count, records.get());

  LASpoint point;
  point.init(nullptr, point_type, record_size);
  Pakmor config;
  if (!config.setup(point.num_items, point.items.data(), Pakmor::COMPRESSOR_POINTWISE_CHUNKED) ||
      !config.request_version(2)) {
    fail("configuration");
  }
  LASpoint coded;
  coded.init(nullptr, config.items);

  // Writes every record through a writer engine into a file after a header's room.
  auto write_file = [&](const std::string& name, LASpoint& p, const Pakmor* with, std::int64_t& size) {
    std::FILE* file = open_binary_file(name.c_str(), FileAccess::write, 1 << 20);
    if (!file) fail("cannot open the scratch file");
    {
      ByteStreamOutFile out(file);
      std::vector<std::uint8_t> header(header_size, 0);
      std::memcpy(header.data(), "LASF", 4);
      out.write_bytes(header.data(), header.size());
      LASpointWriter writer;
      const std::vector<LASitem>& items = with ? with->items : p.items;
      if (!writer.setup(static_cast<std::uint16_t>(items.size()), items.data(), with) || !writer.init(&out)) {
        fail("writer");
      }
      for (std::size_t i = 0; i < count; i++) {
        const std::uint8_t* record = records.get() + i * record_size;
        for (std::size_t k = 0; k < items.size(); k++) {
          std::memcpy(p.item_pointers[k], record, items[k].size);
          record += items[k].size;
        }
        writer.write(p.item_pointers.data());
      }
      writer.done();
      if (!out.flush()) fail("file write");
      size = out.tell();
    }
    std::fclose(file);
  };
  auto read_file = [&](const std::string& name, LASpoint& p, const Pakmor* with) {
    std::FILE* file = open_binary_file(name.c_str(), FileAccess::read, 1 << 20);
    if (!file) fail("cannot open the scratch file");
    std::int64_t checksum = 0;
    {
      ByteStreamInFile in(file);
      in.seek(header_size);
      LASpointReader reader;
      const std::vector<LASitem>& items = with ? with->items : p.items;
      if (!reader.setup(static_cast<std::uint16_t>(items.size()), items.data(), with) || !reader.init(&in)) {
        fail("reader");
      }
      for (std::size_t i = 0; i < count; i++) {
        if (!reader.read(p.item_pointers.data())) fail(reader.last_error());
        checksum += p.X ^ p.Z;
      }
      if (!reader.check_end()) fail(reader.last_error());
    }
    std::fclose(file);
    return checksum;
  };

  std::int64_t las_size = 0, kpz_size = 0, expected = 0;
  for (std::size_t i = 0; i < count; i++) {
    std::int32_t x, z;
    std::memcpy(&x, records.get() + i * record_size, 4);
    std::memcpy(&z, records.get() + i * record_size + 8, 4);
    expected += x ^ z;
  }
  const double raw_write = best_seconds([&] { write_file(las_name, point, nullptr, las_size); });
  const double raw_read = best_seconds([&] {
    if (read_file(las_name, point, nullptr) != expected) fail("raw read");
  });
  const double encode = best_seconds([&] { write_file(kpz_name, coded, &config, kpz_size); });
  const double decode = best_seconds([&] {
    if (read_file(kpz_name, coded, &config) != expected) fail("decoded points differ");
  });
  // The header of a compressed file carries the configuration record as well.
  kpz_size += 54 + config.record_length_after_header();

  const std::string zst = las_name + ".zst", xz = las_name + ".xz";
  const double zstd_encode = seconds([&] { shell("zstd -19 -T1 -q -f '" + las_name + "' -o '" + zst + "'"); });
  const double zstd_decode = best_seconds([&] { shell("zstd -d -T1 -q -c '" + zst + "' > /dev/null"); });
  const double xz_encode = seconds([&] { shell("xz -6 -T1 -k -c '" + las_name + "' > '" + xz + "'"); });
  const double xz_decode = best_seconds([&] { shell("xz -d -T1 -c '" + xz + "' > /dev/null"); });
  const std::int64_t zstd_size = file_size(zst), xz_size = file_size(xz);

  const double mega = 1e6;
  std::printf("\npoint type %d: %zu points of %d bytes, LAS file %lld bytes\n", point_type, count, record_size,
              static_cast<long long>(las_size));
  std::printf("%-22s %12s %7s %16s %16s\n", "", "bytes", "share", "encode Mpts/s", "decode Mpts/s");
  auto row = [&](const char* what, std::int64_t size, double enc, double dec) {
    std::printf("%-22s %12lld %6.1f%% %16.2f %16.2f\n", what, static_cast<long long>(size), 100.0 * size / las_size,
                count / enc / mega, count / dec / mega);
  };
  row("kpz (engines)", kpz_size, encode, decode);
  row("zstd -19 of the LAS", zstd_size, zstd_encode, zstd_decode);
  row("xz -6 of the LAS", xz_size, xz_encode, xz_decode);
  row("raw LAS (engines)", las_size, raw_write, raw_read);
  std::printf("kpz decode %.2f x zstd -d, encode %.2f x the raw LAS write\n", zstd_decode / decode, raw_write / encode);
  for (const std::string& name : {las_name, kpz_name, zst, xz}) std::filesystem::remove(name);
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 10000000;
  const std::filesystem::path folder = argc > 2 ? argv[2] : std::filesystem::temp_directory_path();
  std::printf("processor time on one core; engines and decoders best of %d runs, zstd and xz with one thread (-T1)\n",
              repeats);
  run(1, 28, count, folder);
  run(3, 34, count, folder);
  return 0;
}
