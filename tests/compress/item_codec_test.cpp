// The item codecs against streams coded by hand from the coder's parts in the
// format's order and choices, and every point type through the engines with
// hostile values (extreme coordinates, all return patterns, time jumps).
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "compress/ac_decoder.h"
#include "compress/ac_encoder.h"
#include "compress/integer_coder.h"
#include "compress/las_item_codec.h"
#include "compress/las_item_codec_factory.h"
#include "compress/las_point_reader.h"
#include "compress/las_point_writer.h"
#include "las/core/bytestream_array.h"
#include "las/core/las_point.h"
#include "las/core/pakmor.h"

namespace tinrise {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The stream an item codec writes for items[1 ..] after taking items[0] raw.
Bytes codec_stream(const LASitem& item, const std::vector<Bytes>& items) {
  ByteStreamOutArray out;
  AcEncoder encoder;
  auto codec = create_item_encoder(item, encoder);
  EXPECT_NE(codec, nullptr);
  std::uint32_t context = 0;
  codec->init(items[0].data(), context);
  encoder.init(&out);
  for (std::size_t i = 1; i < items.size(); i++) codec->write(items[i].data(), context);
  encoder.done();
  return Bytes(out.get_data(), out.get_data() + out.get_size());
}

// What the decoder makes of such a stream.
std::vector<Bytes> codec_items(const LASitem& item, const Bytes& first, const Bytes& stream, std::size_t count) {
  ByteStreamInArray in(stream.data(), static_cast<std::int64_t>(stream.size()));
  AcDecoder decoder;
  auto codec = create_item_decoder(item, decoder);
  EXPECT_NE(codec, nullptr);
  std::vector<Bytes> items = {first};
  std::uint32_t context = 0;
  codec->init(items[0].data(), context);
  decoder.init(&in);
  for (std::size_t i = 1; i < count; i++) {
    items.push_back(Bytes(item.size));
    codec->read(items.back().data(), context);
  }
  EXPECT_EQ(in.tell(), static_cast<std::int64_t>(stream.size())) << "the decoder reads exactly the encoder's bytes";
  return items;
}

// The expected stream: the coder parts, coded by hand.
Bytes by_hand(const std::function<void(AcEncoder&)>& code) {
  ByteStreamOutArray out;
  AcEncoder encoder;
  encoder.init(&out);
  code(encoder);
  encoder.done();
  return Bytes(out.get_data(), out.get_data() + out.get_size());
}

template <typename T>
void put(Bytes& bytes, std::size_t offset, T value) {
  std::memcpy(bytes.data() + offset, &value, sizeof(T));
}

AcSymbolModel fresh(std::uint32_t symbols) {
  AcSymbolModel model = AcEncoder::create_symbol_model(symbols);
  model.init();
  return model;
}

void check_codec(const LASitem& item, const std::vector<Bytes>& items, const Bytes& expected) {
  const Bytes stream = codec_stream(item, items);
  EXPECT_TRUE(stream == expected);
  EXPECT_TRUE(codec_items(item, items[0], stream, items.size()) == items);
}

TEST(ItemCodecs, ExtraBytesCodeTheirChangePerByte) {
  const std::vector<Bytes> items = {{5, 250, 0}, {7, 3, 0}, {7, 3, 255}};
  check_codec({LASitem::BYTE, 3, 2}, items, by_hand([](AcEncoder& e) {
                AcSymbolModel m0 = fresh(256), m1 = fresh(256), m2 = fresh(256);
                e.encode_symbol(m0, 2);
                e.encode_symbol(m1, 9);  // 3 - 250 folded into a byte
                e.encode_symbol(m2, 0);
                e.encode_symbol(m0, 0);
                e.encode_symbol(m1, 0);
                e.encode_symbol(m2, 255);
              }));
  check_codec({LASitem::BYTE, 3, 1}, items, by_hand([](AcEncoder& e) {
                IntegerCoder bytes(e, 8, 3);
                bytes.init_encoder();
                for (int i = 0; i < 3; i++) bytes.encode(Bytes{5, 250, 0}[i], Bytes{7, 3, 0}[i], i);
                for (int i = 0; i < 3; i++) bytes.encode(Bytes{7, 3, 0}[i], Bytes{7, 3, 255}[i], i);
              }));
}

Bytes wave_packet(std::uint8_t index, std::uint64_t offset, std::uint32_t size, float location, float x, float y,
                  float z) {
  Bytes b(29);
  b[0] = index;
  put(b, 1, offset);
  put(b, 9, size);
  put(b, 13, location);
  put(b, 17, x);
  put(b, 21, y);
  put(b, 25, z);
  return b;
}

std::int32_t bits(float value) { return std::bit_cast<std::int32_t>(value); }

TEST(ItemCodecs, WavePacketOffsetsByKind) {
  const std::vector<Bytes> items = {
      wave_packet(1, 1000, 200, 5.0f, 0.5f, -0.25f, 1.0f),
      wave_packet(1, 1200, 200, 5.0f, 0.5f, -0.25f, 1.0f),       // next packet: kind 1, no integer
      wave_packet(2, 1200, 300, 6.5f, 0.5f, -0.25f, 2.0f),       // same offset: kind 0
      wave_packet(2, 1200 + 7777, 300, 6.5f, 0.5f, 0.25f, 2.0f),  // a step: kind 2
      wave_packet(2, 1ull << 40, 300, 6.5f, 0.5f, 0.25f, 2.0f),  // beyond 32 bits: kind 3
  };
  check_codec({LASitem::WAVEPACKET13, 29, 1}, items, by_hand([&](AcEncoder& e) {
                AcSymbolModel index = fresh(256);
                AcSymbolModel kind[4] = {fresh(4), fresh(4), fresh(4), fresh(4)};
                IntegerCoder offset(e, 32), size(e, 32), location(e, 32), xyz(e, 32, 3);
                offset.init_encoder();
                size.init_encoder();
                location.init_encoder();
                xyz.init_encoder();
                auto rest = [&](float loc0, float loc1, float z0, float z1, float y0, float y1, std::int32_t size0,
                                std::int32_t size1) {
                  size.encode(size0, size1);
                  location.encode(bits(loc0), bits(loc1));
                  xyz.encode(bits(0.5f), bits(0.5f), 0);
                  xyz.encode(bits(y0), bits(y1), 1);
                  xyz.encode(bits(z0), bits(z1), 2);
                };
                e.encode_symbol(index, 1);
                e.encode_symbol(kind[0], 1);
                rest(5.0f, 5.0f, 1.0f, 1.0f, -0.25f, -0.25f, 200, 200);
                e.encode_symbol(index, 2);
                e.encode_symbol(kind[1], 0);
                rest(5.0f, 6.5f, 1.0f, 2.0f, -0.25f, -0.25f, 200, 300);
                e.encode_symbol(index, 2);
                e.encode_symbol(kind[0], 2);
                offset.encode(0, 7777);
                rest(6.5f, 6.5f, 2.0f, 2.0f, -0.25f, 0.25f, 300, 300);
                e.encode_symbol(index, 2);
                e.encode_symbol(kind[2], 3);
                e.write_int64(1ull << 40);
                rest(6.5f, 6.5f, 2.0f, 2.0f, 0.25f, 0.25f, 300, 300);
              }));
}

Bytes gps(std::int64_t pattern) {
  Bytes b(8);
  put(b, 0, pattern);
  return b;
}

TEST(ItemCodecs, GpsTimeMultiplesJumpsAndSequences) {
  const std::int64_t t = std::bit_cast<std::int64_t>(400000.25);
  const std::int64_t far = t + (std::int64_t{1} << 40);
  const std::vector<Bytes> items = {
      gps(t),           // raw
      gps(t),           // unchanged while no difference is known: 0
      gps(t + 10),      // the first difference: 1
      gps(t + 20),      // one difference on: multiplier 1
      gps(t + 45),      // 2.5 differences round to 3
      gps(t + 20),      // -2.5 rounds to -3
      gps(t + 20),      // unchanged: 511
      gps(far),         // beyond 32 bits and near no other sequence: full time, sequence 1
      gps(far),         // unchanged in the new sequence, whose difference is 0
      gps(t + 30),      // back to sequence 0, three sequences on: 512 + 3
  };
  check_codec({LASitem::GPSTIME11, 8, 2}, items, by_hand([&](AcEncoder& e) {
                AcSymbolModel multi = fresh(516), zero = fresh(6);
                IntegerCoder time(e, 32, 9);
                time.init_encoder();
                auto high = [](std::int64_t v) { return static_cast<std::int32_t>(v >> 32); };
                e.encode_symbol(zero, 0);
                e.encode_symbol(zero, 1);
                time.encode(0, 10, 0);
                e.encode_symbol(multi, 1);
                time.encode(10, 10, 1);
                e.encode_symbol(multi, 3);
                time.encode(30, 25, 2);
                e.encode_symbol(multi, 503);
                time.encode(-30, -25, 5);
                e.encode_symbol(multi, 511);
                e.encode_symbol(multi, 512);
                time.encode(high(t + 20), high(far), 8);
                e.write_int(static_cast<std::uint32_t>(far));
                e.encode_symbol(zero, 0);
                e.encode_symbol(zero, 2 + 3);
                e.encode_symbol(multi, 1);
                time.encode(10, 10, 1);
              }));
}

TEST(ItemCodecs, GpsTimeSwitchingTwiceInARowIsDamage) {
  const Bytes stream = by_hand([](AcEncoder& e) {
    AcSymbolModel zero = fresh(6);
    e.encode_symbol(zero, 3);
    e.encode_symbol(zero, 3);
  });
  ByteStreamInArray in(stream.data(), static_cast<std::int64_t>(stream.size()));
  AcDecoder decoder;
  auto codec = create_item_decoder({LASitem::GPSTIME11, 8, 2}, decoder);
  Bytes time = gps(1);
  std::uint32_t context = 0;
  codec->init(time.data(), context);
  decoder.init(&in);
  try {
    codec->read(time.data(), context);
    ADD_FAILURE() << "decoded";
  } catch (int signal) {
    EXPECT_EQ(signal, corrupt_data);
  }
}

Bytes rgb(std::uint16_t r, std::uint16_t g, std::uint16_t b) {
  Bytes bytes(6);
  put(bytes, 0, r);
  put(bytes, 2, g);
  put(bytes, 4, b);
  return bytes;
}

TEST(ItemCodecs, ColoursGreyAndChanging) {
  const std::vector<Bytes> items = {
      rgb(0x1234, 0x1234, 0x1234),
      rgb(0x1240, 0x1240, 0x1240),  // grey: red only
      rgb(0x1240, 0x1250, 0x1240),  // green's low byte moves alone
      rgb(0x2050, 0x1460, 0x1380),  // everything moves: green and blue follow red's change
  };
  check_codec({LASitem::RGB12, 6, 2}, items, by_hand([](AcEncoder& e) {
                AcSymbolModel used = fresh(128);
                AcSymbolModel diff[6] = {fresh(256), fresh(256), fresh(256), fresh(256), fresh(256), fresh(256)};
                e.encode_symbol(used, 1 | 4 | 16);  // changed bytes; bit 6 clear: no green or blue symbols
                e.encode_symbol(diff[0], 0x40 - 0x34);
                e.encode_symbol(used, 4 | 64);
                e.encode_symbol(diff[2], 0x50 - 0x40);
                e.encode_symbol(used, 1 | 2 | 4 | 8 | 16 | 32 | 64);
                e.encode_symbol(diff[0], 0x50 - 0x40);
                e.encode_symbol(diff[1], 0x20 - 0x12);
                // low bytes: red moved by 0x10; green predicted 0x50 + 0x10, blue by the mean of both moves
                e.encode_symbol(diff[2], (0x60 - 0x60) & 0xFF);
                e.encode_symbol(diff[4], (0x80 - (0x40 + (0x10 + 0x60 - 0x50) / 2)) & 0xFF);
                // high bytes: red moved by 0x0E
                e.encode_symbol(diff[3], (0x14 - (0x12 + 0x0E)) & 0xFF);
                e.encode_symbol(diff[5], (0x13 - (0x12 + (0x0E + 0x14 - 0x12) / 2)) & 0xFF);
              }));
  check_codec({LASitem::RGB12, 6, 1}, items, by_hand([&](AcEncoder& e) {
                AcSymbolModel used = fresh(64);
                IntegerCoder bytes(e, 8, 6);
                bytes.init_encoder();
                for (std::size_t p = 1; p < items.size(); p++) {
                  std::uint32_t changed = 0;
                  for (int i = 0; i < 6; i++) changed |= (items[p][i] != items[p - 1][i]) << i;
                  e.encode_symbol(used, changed);
                  for (int i = 0; i < 6; i++) {
                    if (changed & (1 << i)) bytes.encode(items[p - 1][i], items[p][i], i);
                  }
                }
              }));
}

Bytes point10(std::int32_t x, std::int32_t y, std::int32_t z, std::uint16_t intensity, int r, int n,
              std::uint8_t classification, std::int8_t angle, std::uint16_t source) {
  Bytes b(20);
  put(b, 0, x);
  put(b, 4, y);
  put(b, 8, z);
  put(b, 12, intensity);
  b[14] = static_cast<std::uint8_t>(r | n << 3);
  b[15] = classification;
  b[16] = static_cast<std::uint8_t>(angle);
  put(b, 18, source);
  return b;
}

TEST(ItemCodecs, FirstCodedPointOfAChunkCodesItsIntensity) {
  // Single returns: slot 0 of the medians and intensities, height level 0,
  // context 1 of the x coder.
  const std::vector<Bytes> items = {
      point10(1000, 2000, 300, 50, 1, 1, 2, 5, 7),
      point10(1003, 1998, 301, 50, 1, 1, 2, 5, 7),  // the last intensities start at 0: bit 16
      point10(1007, 1998, 301, 50, 1, 1, 2, 5, 7),  // only coordinates: changed values 0
  };
  check_codec({LASitem::POINT10, 20, 2}, items, by_hand([](AcEncoder& e) {
                AcSymbolModel changed = fresh(64);
                IntegerCoder dx(e, 32, 2), dy(e, 32, 22), z(e, 32, 20), intensity(e, 16, 4);
                dx.init_encoder();
                dy.init_encoder();
                z.init_encoder();
                intensity.init_encoder();
                e.encode_symbol(changed, 16);
                intensity.encode(0, 50, 0);
                dx.encode(0, 3, 1);
                dy.encode(0, -2, 1 + 2);  // the x corrector 3 was of class k = 2
                z.encode(0, 301, 1 + 2);  // and the y corrector -2 too: (2 + 2) / 2
                e.encode_symbol(changed, 0);
                dx.encode(0, 4, 1);       // the median of 0, 0, 0, 0, 3
                dy.encode(0, 0, 1 + 2);
                z.encode(301, 301, 1 + 0);  // (2 + 0) / 2 = 1, bit 0 cleared
              }));
}

// Hostile records of every point type through the engines, compressed in
// chunks of 37 points and back, with both codec versions.
TEST(ItemCodecs, EveryPointTypeRoundTripsThroughTheEngines) {
  const int base_sizes[] = {20, 28, 26, 34, 57, 63};
  std::uint32_t state = 99;
  auto random = [&] {
    state = state * 214013u + 2531011u;
    return (state >> 16) & 0x7FFF;
  };
  for (int type = 0; type <= 5; type++) {
    for (int extra : {0, 3}) {
      for (std::uint16_t version : {1, 2}) {
        for (std::uint16_t compressor : {Pakmor::COMPRESSOR_POINTWISE, Pakmor::COMPRESSOR_POINTWISE_CHUNKED}) {
          SCOPED_TRACE(::testing::Message() << "type " << type << " extra " << extra << " version " << version
                                            << " compressor " << compressor);
          const int size = base_sizes[type] + extra;
          std::vector<LASitem> raw_items;
          ASSERT_TRUE(las_items_for_point_type(type, size, raw_items));
          Pakmor config;
          ASSERT_TRUE(config.setup(std::uint16_t(raw_items.size()), raw_items.data(), compressor));
          if (compressor == Pakmor::COMPRESSOR_POINTWISE_CHUNKED) {
            ASSERT_TRUE(config.set_chunk_size(37));
          }
          ASSERT_TRUE(config.request_version(version));
          LASpoint point;
          ASSERT_TRUE(point.init(nullptr, config.items));

          const std::size_t count = 1500;
          std::vector<Bytes> records;
          std::int64_t time = std::bit_cast<std::int64_t>(123456.789);
          std::uint64_t offset = 5000;
          for (std::size_t i = 0; i < count; i++) {
            // Steps wrap around at the extremes, as differences of stored integers do.
            auto walk = [](std::int32_t from, std::uint32_t by, std::uint32_t back) {
              return static_cast<std::int32_t>(static_cast<std::uint32_t>(from) + by - back);
            };
            point.X = i % 50 == 7 ? INT32_MIN : (i % 50 == 8 ? INT32_MAX : walk(point.X, random() % 201, 100));
            point.Y = i % 90 == 3 ? INT32_MAX : walk(point.Y, random() % 31, 15);
            point.Z = i % 70 == 5 ? INT32_MIN : static_cast<std::int32_t>(random() % 3000);
            point.intensity = static_cast<std::uint16_t>(i % 4 ? random() : 65535);
            point.return_number = i % 8;
            point.number_of_returns = (i / 8) % 8;
            point.scan_direction_flag = (i / 3) & 1;
            point.edge_of_flight_line = random() % 9 == 0;
            point.classification = random() % 4 ? 2 : random() % 32;
            point.scan_angle_rank = static_cast<std::int8_t>(i % 13 ? point.scan_angle_rank : random());
            point.user_data = static_cast<std::uint8_t>(i % 5 ? point.user_data : random());
            point.point_source_ID = static_cast<std::uint16_t>(i % 300 ? point.point_source_ID : random());
            // Steady steps, repeats, jumps far away and back, negative steps.
            const std::uint32_t kind = random() % 20;
            if (kind == 0) time += std::int64_t{1} << 42;
            else if (kind == 1) time -= std::int64_t{1} << 42;
            else if (kind == 2) time -= random();
            else if (kind > 4) time += 1000 * (1 + kind % 3);
            std::memcpy(&point.gps_time, &time, 8);
            if (random() % 3) {
              point.rgb[0] = point.rgb[1] = point.rgb[2] = static_cast<std::uint16_t>(random() * 2);
            } else {
              for (int c = 0; c < 3; c++) point.rgb[c] = static_cast<std::uint16_t>(point.rgb[c] + random() % 512 - 256);
            }
            const std::uint32_t step = random() % 4;
            const std::uint32_t packet_size = 100 + random() % 3;
            offset = step == 0 ? offset : step == 1 ? offset + packet_size : step == 2 ? offset + random() : random() * (1ull << 33);
            point.wave_packet[0] = static_cast<std::uint8_t>(random() % 3);
            std::memcpy(point.wave_packet + 1, &offset, 8);
            std::memcpy(point.wave_packet + 9, &packet_size, 4);
            for (int f = 13; f < 29; f++) point.wave_packet[f] = static_cast<std::uint8_t>(random());
            for (int b = 0; b < extra; b++) point.extra_bytes[b] = static_cast<std::uint8_t>(b == 0 ? i : random());
            Bytes record;
            for (std::size_t k = 0; k < config.items.size(); k++) {
              record.insert(record.end(), point.item_pointers[k], point.item_pointers[k] + config.items[k].size);
            }
            records.push_back(record);
          }

          ByteStreamOutArray out;
          LASpointWriter writer;
          ASSERT_TRUE(writer.setup(config.num_items(), config.items.data(), &config)) << writer.last_error();
          ASSERT_TRUE(writer.init(&out));
          LASpoint source;
          ASSERT_TRUE(source.init(nullptr, config.items));
          for (const Bytes& record : records) {
            const std::uint8_t* bytes = record.data();
            for (std::size_t k = 0; k < config.items.size(); k++) {
              std::memcpy(source.item_pointers[k], bytes, config.items[k].size);
              bytes += config.items[k].size;
            }
            ASSERT_TRUE(writer.write(source.item_pointers.data()));
          }
          ASSERT_TRUE(writer.done());

          LASpointReader reader;
          ASSERT_TRUE(reader.setup(config.num_items(), config.items.data(), &config));
          ByteStreamInArray in(out.get_data(), out.get_size());
          ASSERT_TRUE(reader.init(&in));
          LASpoint target;
          ASSERT_TRUE(target.init(nullptr, config.items));
          for (std::size_t i = 0; i < count; i++) {
            ASSERT_TRUE(reader.read(target.item_pointers.data())) << i << ": " << reader.last_error();
            const std::uint8_t* bytes = records[i].data();
            for (std::size_t k = 0; k < config.items.size(); k++) {
              ASSERT_EQ(std::memcmp(target.item_pointers[k], bytes, config.items[k].size), 0) << i << " item " << k;
              bytes += config.items[k].size;
            }
          }
          EXPECT_TRUE(reader.check_end()) << reader.last_error();
        }
      }
    }
  }
}

}  // namespace
}  // namespace tinrise
