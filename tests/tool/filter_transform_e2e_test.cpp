// Filters and transforms on the built tool over a file of several thousand
// uncompressed records: the records written are exactly the input records the
// options keep, changed as the options say, worked out here from the bytes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "support/las_bytes.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace tinrise {
namespace {

using test::Bytes;
using test::get;
using test::put;
using test::run_binary;

constexpr int record_length = 28;  // point type 1
constexpr std::uint32_t point_count = 4000;

// Points on a 10 km square, z from 0 to 50 m in centimetres, classes 1, 2, 3
// and 5 with every flag, all returns, intensities over the whole 16 bits.
Bytes input_file() {
  Bytes b = test::las_header(2, 1, record_length, point_count);
  std::uint64_t state = 12345;
  const auto next = [&state](std::uint32_t range) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::uint32_t>(state >> 33) % range;
  };
  for (std::uint32_t i = 0; i < point_count; i++) {
    Bytes r(record_length, 0);
    put<std::int32_t>(r, 0, static_cast<std::int32_t>(next(1000000)));
    put<std::int32_t>(r, 4, static_cast<std::int32_t>(next(1000000)));
    put<std::int32_t>(r, 8, static_cast<std::int32_t>(next(5001)));
    put<std::uint16_t>(r, 12, static_cast<std::uint16_t>(next(65536)));
    const std::uint32_t n = 1 + next(4);
    r[14] = static_cast<std::uint8_t>((1 + next(n)) | n << 3 | next(4) << 6);
    static const std::uint8_t classes[] = {1, 2, 3, 5};
    r[15] = static_cast<std::uint8_t>(classes[next(4)] | (next(10) == 0 ? 0x20 : 0) | (next(10) == 0 ? 0x80 : 0));
    r[16] = static_cast<std::uint8_t>(static_cast<std::int8_t>(static_cast<int>(next(61)) - 30));
    r[17] = static_cast<std::uint8_t>(next(6));
    put<std::uint16_t>(r, 18, static_cast<std::uint16_t>(next(9)));
    put<double>(r, 20, 5000.0 + i * 0.25);
    b.insert(b.end(), r.begin(), r.end());
  }
  put<double>(b, 179, 10000.0);
  put<double>(b, 195, 10000.0);
  put<double>(b, 211, 50.0);
  return b;
}

std::int32_t i32_at(const std::uint8_t* r, int offset) {
  std::int32_t v;
  std::memcpy(&v, r + offset, 4);
  return v;
}
std::uint16_t u16_at(const std::uint8_t* r, int offset) {
  std::uint16_t v;
  std::memcpy(&v, r + offset, 2);
  return v;
}

template <class T>
void put_at(std::uint8_t* r, int offset, T value) {
  std::memcpy(r + offset, &value, sizeof(T));
}

// z + t requantized in centimetres with halves rounded away from zero.
std::int32_t translated_z(std::int32_t Z, double t) {
  const double q = (Z * 0.01 + t) / 0.01;
  return static_cast<std::int32_t>(q >= 0 ? static_cast<std::int64_t>(q + 0.5) : static_cast<std::int64_t>(q - 0.5));
}

struct Row {
  std::vector<std::string> options;
  const char* storage;  // nullptr: no ground points survive, the file is copied
  std::function<bool(const std::uint8_t*)> keeps;
  std::function<void(std::uint8_t*)> change;
};

TEST(FilterAndTransform, WriteExactlyTheKeptRecordsChanged) {
  const Row rows[] = {
      {{"-keep_class", "1", "3", "-drop_intensity_above", "40000", "-keep_first", "-translate_raw_z", "7",
        "-set_point_source", "5"},
       nullptr,
       [](const std::uint8_t* r) {
         const int c = r[15] & 31;
         return (c == 1 || c == 3) && u16_at(r, 12) <= 40000 && (r[14] & 7) <= 1;
       },
       [](std::uint8_t* r) {
         put_at(r, 8, i32_at(r, 8) + 7);
         r[17] = 0;  // the height a copy stores without ground
         put_at(r, 18, std::uint16_t{5});
       }},
      {{"-drop_z_below", "10.005", "-drop_user_data", "3", "-translate_z", "0.5", "-set_intensity", "9"},
       "-store_precise_as_extra_bytes",
       [](const std::uint8_t* r) { return i32_at(r, 8) >= 1001 && r[17] != 3; },
       [](std::uint8_t* r) {
         put_at(r, 8, i32_at(r, 8) + 50);
         put_at(r, 12, std::uint16_t{9});
       }},
      // Half a unit in z: requantized point by point; whole units in x and y.
      {{"-keep_x", "1000.005", "8000", "-drop_synthetic", "-drop_withheld", "-translate_xyz", "0.01", "-0.02", "0.005",
        "-scale_intensity", "0.5"},
       "-store_as_extra_bytes",
       [](const std::uint8_t* r) {
         const double x = i32_at(r, 0) * 0.01;
         return x >= 1000.005 && x < 8000 && !(r[15] & 0x20) && !(r[15] & 0x80);
       },
       [](std::uint8_t* r) {
         put_at(r, 0, i32_at(r, 0) + 1);
         put_at(r, 4, i32_at(r, 4) - 2);
         put_at(r, 8, translated_z(i32_at(r, 8), 0.005));
         put_at(r, 12, static_cast<std::uint16_t>(u16_at(r, 12) / 2));
       }},
  };
  const Bytes in = input_file();
  test::TempDir dir;
  const std::string input = dir.file("in.las");
  test::write_file_bytes(input, in);
  const std::uint32_t in_start = get<std::uint32_t>(in, 96);
  for (const Row& row : rows) {
    std::string text;
    for (const std::string& option : row.options) text += option + " ";
    SCOPED_TRACE(text);
    std::vector<std::string> args = {"-i", input, "-o", dir.file("out.las")};
    args.insert(args.end(), row.options.begin(), row.options.end());
    // The height runs report their time unless quiet.
    if (row.storage) args.insert(args.end(), {row.storage, "-quiet"});
    const auto run = run_binary(args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, row.storage ? "" : "zero points match classification mask 4. copying '" + input + "' ...\n");

    std::vector<Bytes> expected;
    for (std::uint32_t i = 0; i < point_count; i++) {
      Bytes r(in.begin() + in_start + std::size_t{i} * record_length,
              in.begin() + in_start + std::size_t{i + 1} * record_length);
      if (!row.keeps(r.data())) continue;
      row.change(r.data());
      expected.push_back(r);
    }
    ASSERT_GT(expected.size(), 100u);
    const Bytes out = test::read_file_bytes(dir.file("out.las"));
    ASSERT_GT(out.size(), 227u);
    const std::uint32_t out_start = get<std::uint32_t>(out, 96);
    const std::uint16_t out_length = get<std::uint16_t>(out, 105);
    ASSERT_EQ(get<std::uint32_t>(out, 107), expected.size());
    ASSERT_EQ(out.size(), out_start + expected.size() * out_length);
    for (std::size_t i = 0; i < expected.size(); i++) {
      const Bytes got(out.begin() + out_start + i * out_length, out.begin() + out_start + i * out_length + record_length);
      ASSERT_EQ(got, expected[i]) << "point " << i << " written";
    }
  }
}

}  // namespace
}  // namespace tinrise
