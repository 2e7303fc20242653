// The version-2 codec of the GPSTIME11 item: up to four interleaved time
// sequences, each coded as a multiple of its last difference plus a correction.
#pragma once

#include <cstdint>

#include "compress/ac_decoder.h"
#include "compress/ac_encoder.h"
#include "compress/integer_coder.h"
#include "compress/las_item_codec.h"

namespace tinrise {

template <class Coder>
struct GPSTIME11v2models {
  static constexpr std::int32_t multi_max = 500;
  static constexpr std::int32_t multi_min = -10;
  static constexpr std::uint32_t multi_unchanged = 511;
  static constexpr std::uint32_t multi_full = 512;
  static constexpr std::uint32_t multi_total = 516;

  explicit GPSTIME11v2models(Coder& coder)
      : multi(Coder::create_symbol_model(multi_total)), zero_diff(Coder::create_symbol_model(6)), time(coder, 32, 9) {}
  void init(const std::uint8_t* item);

  std::uint32_t last = 0;  // the current sequence
  std::uint32_t next = 0;  // the sequence a full time opens next
  std::int64_t last_time[4];
  std::int32_t last_diff[4];
  std::int32_t extreme_counter[4];
  AcSymbolModel multi;
  AcSymbolModel zero_diff;
  IntegerCoder time;
};

class LASitemDecoderGPSTIME11v2 final : public LASitemDecoder {
 public:
  explicit LASitemDecoderGPSTIME11v2(AcDecoder& decoder) : dec(decoder), m(decoder) {}
  bool init(std::uint8_t* item, std::uint32_t& context) override;
  void read(std::uint8_t* item, std::uint32_t& context) override;

 private:
  void read_full_time();

  AcDecoder& dec;
  GPSTIME11v2models<AcDecoder> m;
};

class LASitemEncoderGPSTIME11v2 final : public LASitemEncoder {
 public:
  explicit LASitemEncoderGPSTIME11v2(AcEncoder& encoder) : enc(encoder), m(encoder) {}
  bool init(const std::uint8_t* item, std::uint32_t& context) override;
  bool write(const std::uint8_t* item, std::uint32_t& context) override;

 private:
  void write_time(std::int64_t time);
  void write_full_time(std::int64_t time);

  AcEncoder& enc;
  GPSTIME11v2models<AcEncoder> m;
};

}  // namespace tinrise
