// The version-1 codec of the RGB12 item, read for files that carry it: which
// colour bytes changed, then each changed byte against its last value. Its
// encoder mirrors the decoder.
#pragma once

#include <cstdint>

#include "compress/ac_decoder.h"
#include "compress/ac_encoder.h"
#include "compress/integer_coder.h"
#include "compress/las_item_codec.h"

namespace tinrise {

template <class Coder>
struct RGB12v1models {
  explicit RGB12v1models(Coder& coder) : byte_used(Coder::create_symbol_model(64)), rgb(coder, 8, 6) {}
  void init(const std::uint8_t* item);

  std::uint8_t last_item[6];
  AcSymbolModel byte_used;
  IntegerCoder rgb;
};

class LASitemDecoderRGB12v1 final : public LASitemDecoder {
 public:
  explicit LASitemDecoderRGB12v1(AcDecoder& decoder) : dec(decoder), m(decoder) {}
  bool init(std::uint8_t* item, std::uint32_t& context) override;
  void read(std::uint8_t* item, std::uint32_t& context) override;

 private:
  AcDecoder& dec;
  RGB12v1models<AcDecoder> m;
};

class LASitemEncoderRGB12v1 final : public LASitemEncoder {
 public:
  explicit LASitemEncoderRGB12v1(AcEncoder& encoder) : enc(encoder), m(encoder) {}
  bool init(const std::uint8_t* item, std::uint32_t& context) override;
  bool write(const std::uint8_t* item, std::uint32_t& context) override;

 private:
  AcEncoder& enc;
  RGB12v1models<AcEncoder> m;
};

}  // namespace tinrise
