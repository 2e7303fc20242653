// The arithmetic coder and the integer coder: bytes of small streams worked out
// by hand, corrupt raw values, decoder tables, and long mixed streams (ring
// wrap-arounds, carries) that decode exactly and end with the encoder's bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "compress/ac_decoder.h"
#include "compress/ac_encoder.h"
#include "compress/integer_coder.h"
#include "las/core/bytestream_array.h"

namespace tinrise {
namespace {

using bytes = std::vector<std::uint8_t>;

bytes encoded(const std::function<void(AcEncoder&)>& code) {
  ByteStreamOutArray out;
  AcEncoder encoder;
  EXPECT_TRUE(encoder.init(&out));
  code(encoder);
  encoder.done();
  return bytes(out.get_data(), out.get_data() + out.get_size());
}

TEST(AcEncoder, SmallStreamsHaveTheBytesWorkedOutByHand) {
  struct Case {
    const char* what;
    std::function<void(AcEncoder&)> code;
    bytes expected;
  };
  const Case cases[] = {
      // The initial length is above 2^25: one interval byte and three zeros.
      {"nothing", [](AcEncoder&) {}, {0x01, 0x00, 0x00, 0x00}},
      // 0x1234 * 0xFFFF = 0x1233EDCC, two bytes out; done adds 2^24.
      {"short 0x1234", [](AcEncoder& e) { e.write_short(0x1234); }, {0x12, 0x33, 0xEE, 0x00, 0x00, 0x00}},
      // Length 0x01FFFFFF is at most 2^25: two interval bytes, two zeros.
      {"7 bits of 0", [](AcEncoder& e) { e.write_bits(7, 0); }, {0x00, 0x80, 0x00, 0x00}},
      {"7 bits of 1", [](AcEncoder& e) { e.write_bits(7, 1); }, {0x02, 0x7F, 0x00, 0x00}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(encoded(c.code), c.expected);
  }
}

TEST(AcEncoder, WideRawValuesGoLowShortFirst) {
  const std::uint32_t value = 0xABCDE;
  EXPECT_EQ(encoded([&](AcEncoder& e) { e.write_bits(20, value); }),
            encoded([&](AcEncoder& e) {
              e.write_short(value & 0xFFFF);
              e.write_bits(4, value >> 16);
            }));
  EXPECT_EQ(encoded([](AcEncoder& e) { e.write_int(0x89ABCDEF); }), encoded([](AcEncoder& e) {
              e.write_short(0xCDEF);
              e.write_short(0x89AB);
            }));
  EXPECT_EQ(encoded([](AcEncoder& e) { e.write_int64(0x0123456789ABCDEFull); }), encoded([](AcEncoder& e) {
              e.write_int(0x89ABCDEF);
              e.write_int(0x01234567);
            }));
}

TEST(AcDecoder, RawValuesOutsideTheirWidthAreCorrupt) {
  const bytes ones = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  struct Case {
    const char* what;
    std::function<void(AcDecoder&)> read;
  };
  const Case cases[] = {
      {"4 bits", [](AcDecoder& d) { d.read_bits(4); }},
      {"short", [](AcDecoder& d) { d.read_short(); }},
      {"20 bits, through the low short", [](AcDecoder& d) { d.read_bits(20); }},
      {"int", [](AcDecoder& d) { d.read_int(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ByteStreamInArray in(ones.data(), static_cast<std::int64_t>(ones.size()));
    AcDecoder decoder;
    ASSERT_TRUE(decoder.init(&in));
    try {
      c.read(decoder);
      ADD_FAILURE() << "no error";
    } catch (int signal) {
      EXPECT_EQ(signal, corrupt_data);
    }
  }
  AcDecoder decoder;
  EXPECT_FALSE(decoder.init(nullptr));
  AcEncoder encoder;
  EXPECT_FALSE(encoder.init(nullptr));
}

TEST(AcSymbolModel, DecoderTablesGrowWithTheAlphabet) {
  struct Case {
    std::uint32_t symbols, table_size, table_shift;
  };
  const Case cases[] = {{2, 0, 0},     {16, 0, 0},    {17, 8, 12},   {32, 8, 12},  {33, 16, 11},
                        {64, 16, 11},  {65, 32, 10},  {128, 32, 10}, {256, 64, 9}, {257, 128, 8},
                        {512, 128, 8}, {1024, 256, 7}, {1025, 512, 6}, {2048, 512, 6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.symbols);
    AcSymbolModel model = AcDecoder::create_symbol_model(c.symbols);
    ASSERT_TRUE(model.init());
    EXPECT_EQ(model.table_size, c.table_size);
    EXPECT_EQ(model.table_shift, c.table_shift);
    EXPECT_EQ(model.decoder_table != nullptr, c.table_size != 0);
    EXPECT_EQ(AcEncoder::create_symbol_model(c.symbols).decoder_table, nullptr) << "encoders never get a table";
  }
  for (std::uint32_t symbols : {0u, 1u, 2049u}) {
    AcSymbolModel model = AcDecoder::create_symbol_model(symbols);
    EXPECT_FALSE(model.init()) << symbols;
  }
}

TEST(AcBitModel, ProbabilityOfZeroStaysBelowOne) {
  AcBitModel model;
  for (int i = 0; i < 100000; i++) {
    model.bit_0_count++;
    if (--model.bits_until_update == 0) model.update();
  }
  EXPECT_LT(model.bit_0_prob, 8192u);
  EXPECT_GT(model.bit_0_prob, 8100u);
  EXPECT_EQ(model.update_cycle, 64u);
}

// One generator for both sides, so that the decoder knows what to expect.
struct Sequence {
  std::uint32_t state;
  explicit Sequence(std::uint32_t seed) : state(seed) {}
  std::uint32_t next() {
    state = state * 214013u + 2531011u;
    return (state >> 16) & 0x7FFF;
  }
  // Small values far more often than large ones, like real differences.
  std::uint32_t skewed(std::uint32_t symbols) { return (next() % 8 == 0 ? next() : next() % 4) % symbols; }
  // A raw value of 1 to 32 bits.
  std::uint32_t raw(std::uint32_t bits) {
    const std::uint32_t value = next() << 17 ^ next() << 2 ^ next();
    return bits == 32 ? value : value & ((1u << bits) - 1);
  }
};

TEST(AcCoder, LongMixedStreamsDecodeAndEndWithTheEncodersBytes) {
  const std::uint32_t alphabets[] = {2, 16, 17, 256, 516, 2048};
  const int count = 200000;
  for (std::uint32_t symbols : alphabets) {
    SCOPED_TRACE(symbols);
    ByteStreamOutArray out;
    {
      AcEncoder encoder;
      ASSERT_TRUE(encoder.init(&out));
      AcSymbolModel model = AcEncoder::create_symbol_model(symbols);
      AcBitModel bit;
      model.init();
      Sequence sequence(symbols);
      for (int i = 0; i < count; i++) {
        encoder.encode_symbol(model, sequence.skewed(symbols));
        encoder.encode_bit(bit, sequence.next() % 7 == 0);
        if (i % 97 == 0) encoder.write_bits(1 + i % 32, sequence.raw(1 + i % 32));
      }
      encoder.done();
    }
    ASSERT_GT(out.get_size(), 4096) << "long enough to wrap the encoder's ring";
    ByteStreamInArray in(out.get_data(), out.get_size());
    AcDecoder decoder;
    ASSERT_TRUE(decoder.init(&in));
    AcSymbolModel model = AcDecoder::create_symbol_model(symbols);
    AcBitModel bit;
    model.init();
    Sequence sequence(symbols);
    for (int i = 0; i < count; i++) {
      ASSERT_EQ(decoder.decode_symbol(model), sequence.skewed(symbols)) << i;
      ASSERT_EQ(decoder.decode_bit(bit), sequence.next() % 7 == 0 ? 1u : 0u) << i;
      if (i % 97 == 0) {
        ASSERT_EQ(decoder.read_bits(1 + i % 32), sequence.raw(1 + i % 32)) << i;
      }
    }
    decoder.done();
    EXPECT_EQ(in.tell(), out.get_size()) << "the decoder reads exactly the encoder's bytes";
  }
}

TEST(IntegerCoder, DifferencesRoundTripAcrossTheirRange) {
  struct Case {
    const char* what;
    std::uint32_t bits, range;
    std::vector<std::pair<std::int32_t, std::int32_t>> pred_real;
    std::vector<std::uint32_t> k;  // the class of each corrector
  };
  const Case cases[] = {
      {"32 bits",
       32,
       0,
       {{0, 0}, {0, 1}, {0, 2}, {0, -1}, {0, INT32_MIN}, {INT32_MAX, INT32_MIN}, {INT32_MIN, INT32_MAX}, {5, 5 + 256},
        {-7, 1 << 30}},
       {0, 0, 1, 1, 32, 0, 1, 8, 31}},
      {"16 bits wrap around", 16, 0, {{65535, 0}, {0, 65535}, {0, 32767}, {0, 32768}, {100, 100}},
       {0, 1, 15, 16, 0}},
      {"8 bits", 8, 0, {{250, 3}, {3, 250}, {0, 128}, {128, 0}}, {4, 4, 8, 8}},
      {"range 300", 0, 300, {{0, 299}, {299, 0}, {150, 0}, {0, 149}}, {1, 0, 8, 8}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ByteStreamOutArray out;
    AcEncoder encoder;
    ASSERT_TRUE(encoder.init(&out));
    IntegerCoder coder(encoder, c.bits, 2, 8, c.range);
    coder.init_encoder();
    for (std::size_t i = 0; i < c.pred_real.size(); i++) {
      coder.encode(c.pred_real[i].first, c.pred_real[i].second, i & 1);
      EXPECT_EQ(coder.k, c.k[i]) << i;
    }
    encoder.done();
    ByteStreamInArray in(out.get_data(), out.get_size());
    AcDecoder decoder;
    ASSERT_TRUE(decoder.init(&in));
    IntegerCoder reader(decoder, c.bits, 2, 8, c.range);
    reader.init_decoder();
    for (std::size_t i = 0; i < c.pred_real.size(); i++) {
      EXPECT_EQ(reader.decode(c.pred_real[i].first, i & 1), c.pred_real[i].second) << i;
      EXPECT_EQ(reader.k, c.k[i]) << i;
    }
  }
}

}  // namespace
}  // namespace tinrise
