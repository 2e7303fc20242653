// The version-1 codec of the GPSTIME11 item, read for files that carry it: one
// time sequence coded as multiples of its last difference. Its encoder
// mirrors the decoder.
#pragma once

#include <cstdint>

#include "compress/ac_decoder.h"
#include "compress/ac_encoder.h"
#include "compress/integer_coder.h"
#include "compress/las_item_codec.h"

namespace tinrise {

template <class Coder>
struct GPSTIME11v1models {
  static constexpr std::uint32_t multi_max = 512;
  static constexpr std::uint32_t multi_full = 510;
  static constexpr std::uint32_t multi_unchanged = 511;

  explicit GPSTIME11v1models(Coder& coder)
      : multi(Coder::create_symbol_model(multi_max)), zero_diff(Coder::create_symbol_model(3)), time(coder, 32, 6) {}
  void init(const std::uint8_t* item);

  std::int64_t last_time = 0;
  std::int32_t last_diff = 0;
  std::int32_t extreme_counter = 0;
  AcSymbolModel multi;
  AcSymbolModel zero_diff;
  IntegerCoder time;
};

class LASitemDecoderGPSTIME11v1 final : public LASitemDecoder {
 public:
  explicit LASitemDecoderGPSTIME11v1(AcDecoder& decoder) : dec(decoder), m(decoder) {}
  bool init(std::uint8_t* item, std::uint32_t& context) override;
  void read(std::uint8_t* item, std::uint32_t& context) override;

 private:
  AcDecoder& dec;
  GPSTIME11v1models<AcDecoder> m;
};

class LASitemEncoderGPSTIME11v1 final : public LASitemEncoder {
 public:
  explicit LASitemEncoderGPSTIME11v1(AcEncoder& encoder) : enc(encoder), m(encoder) {}
  bool init(const std::uint8_t* item, std::uint32_t& context) override;
  bool write(const std::uint8_t* item, std::uint32_t& context) override;

 private:
  AcEncoder& enc;
  GPSTIME11v1models<AcEncoder> m;
};

}  // namespace tinrise
