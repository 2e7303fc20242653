// Coding points allocates nothing once the engines are set up: every model,
// table and buffer is taken at set-up, also across chunk borders.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "compress/las_point_reader.h"
#include "compress/las_point_writer.h"
#include "las/core/bytestream_array.h"
#include "las/core/las_point.h"
#include "las/core/pakmor.h"

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  if (counting) allocations++;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace tinrise {
namespace {

TEST(NoAllocation, CodingPointsAcrossChunksAllocatesNothing) {
  // Point type 5 with extra bytes: every codec of point types 0 to 5.
  std::vector<LASitem> items;
  ASSERT_TRUE(las_items_for_point_type(5, 66, items));
  Pakmor config;
  ASSERT_TRUE(config.setup(std::uint16_t(items.size()), items.data(), Pakmor::COMPRESSOR_POINTWISE_CHUNKED));
  ASSERT_TRUE(config.set_chunk_size(1000));
  ASSERT_TRUE(config.request_version(2));
  LASpoint point;
  ASSERT_TRUE(point.init(nullptr, config.items));
  const int count = 20000, warm_up = 1500;

  ByteStreamOutArray out(std::int64_t{1} << 24);
  LASpointWriter writer;
  ASSERT_TRUE(writer.setup(config.num_items(), config.items.data(), &config));
  ASSERT_TRUE(writer.init(&out));
  for (int i = 0; i < count; i++) {
    point.X = i * 7 % 1000;
    point.Z = i % 301;
    point.intensity = static_cast<std::uint16_t>(i * 13);
    point.return_number = i % 4;
    point.classification = i % 7;
    point.gps_time = 1000.0 + i * 0.25 + (i % 500 == 0 ? 1e9 : 0.0);
    point.rgb[0] = static_cast<std::uint16_t>(i * 31);
    point.wave_packet[1] = static_cast<std::uint8_t>(i);
    point.extra_bytes[i % 3] = static_cast<std::uint8_t>(i);
    if (i == warm_up) counting = true;
    ASSERT_TRUE(writer.write(point.item_pointers.data()));
  }
  counting = false;
  EXPECT_EQ(allocations.exchange(0), 0) << "writing";
  ASSERT_TRUE(writer.done());

  LASpointReader reader;
  ASSERT_TRUE(reader.setup(config.num_items(), config.items.data(), &config));
  ByteStreamInArray in(out.get_data(), out.get_size());
  ASSERT_TRUE(reader.init(&in));
  for (int i = 0; i < count; i++) {
    if (i == warm_up) counting = true;
    ASSERT_TRUE(reader.read(point.item_pointers.data())) << i;
  }
  counting = false;
  EXPECT_EQ(allocations.exchange(0), 0) << "reading";
}

}  // namespace
}  // namespace tinrise
