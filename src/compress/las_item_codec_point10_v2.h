// The version-2 codec of the POINT10 item (core of point types 0 to 5):
// coordinates from per-return-slot medians of the last differences, heights
// from per-return-level last heights, attributes as change flags and symbols.
#pragma once

#include <cstdint>

#include "compress/ac_decoder.h"
#include "compress/ac_encoder.h"
#include "compress/integer_coder.h"
#include "compress/las_item_codec.h"

namespace tinrise {

// The running median of the last five values, kept with one insertion per value.
struct Median5 {
  std::int32_t s[5] = {0, 0, 0, 0, 0};
  bool high = true;

  void init() { *this = Median5(); }
  std::int32_t get() const { return s[2]; }
  void add(std::int32_t x);
};

inline void Median5::add(std::int32_t x) {
  if (high) {
    if (x < s[2]) {
      s[4] = s[3];
      s[3] = s[2];
      if (x < s[0]) {
        s[2] = s[1];
        s[1] = s[0];
        s[0] = x;
      } else if (x < s[1]) {
        s[2] = s[1];
        s[1] = x;
      } else {
        s[2] = x;
      }
    } else {
      if (x < s[3]) {
        s[4] = s[3];
        s[3] = x;
      } else {
        s[4] = x;
      }
      high = false;
    }
  } else {
    if (s[2] < x) {
      s[0] = s[1];
      s[1] = s[2];
      if (s[4] < x) {
        s[2] = s[3];
        s[3] = s[4];
        s[4] = x;
      } else if (s[3] < x) {
        s[2] = s[3];
        s[3] = x;
      } else {
        s[2] = x;
      }
    } else {
      if (s[1] < x) {
        s[0] = s[1];
        s[1] = x;
      } else {
        s[0] = x;
      }
      high = true;
    }
  }
}

// Return slot m and return level l of a (number of returns, return number) pair.
extern const std::uint8_t point10_return_map[8][8];
extern const std::uint8_t point10_return_level[8][8];

// Models and last values that the encoder and the decoder keep alike.
template <class Coder>
struct POINT10v2models {
  explicit POINT10v2models(Coder& coder);
  void init(const std::uint8_t* item);

  std::uint8_t last_item[20];
  std::uint16_t last_intensity[16];
  std::int32_t last_height[8];
  Median5 last_x_diff_median5[16];
  Median5 last_y_diff_median5[16];
  AcSymbolModel changed_values;
  AcSymbolModel scan_angle_rank[2];
  AcSymbolModelByByte bit_byte;
  AcSymbolModelByByte classification;
  AcSymbolModelByByte user_data;
  IntegerCoder dx;
  IntegerCoder dy;
  IntegerCoder z;
  IntegerCoder intensity;
  IntegerCoder point_source_ID;
};

class LASitemDecoderPOINT10v2 final : public LASitemDecoder {
 public:
  explicit LASitemDecoderPOINT10v2(AcDecoder& decoder) : dec(decoder), m(decoder) {}
  bool init(std::uint8_t* item, std::uint32_t& context) override;
  void read(std::uint8_t* item, std::uint32_t& context) override;

 private:
  AcDecoder& dec;
  POINT10v2models<AcDecoder> m;
};

class LASitemEncoderPOINT10v2 final : public LASitemEncoder {
 public:
  explicit LASitemEncoderPOINT10v2(AcEncoder& encoder) : enc(encoder), m(encoder) {}
  bool init(const std::uint8_t* item, std::uint32_t& context) override;
  bool write(const std::uint8_t* item, std::uint32_t& context) override;

 private:
  AcEncoder& enc;
  POINT10v2models<AcEncoder> m;
};

}  // namespace tinrise
