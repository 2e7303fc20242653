// The version-2 codec of the RGB12 item: which colour bytes changed, then red
// coded against its last value and green and blue against red's change.
#pragma once

#include <cstdint>

#include "compress/ac_decoder.h"
#include "compress/ac_encoder.h"
#include "compress/las_item_codec.h"

namespace tinrise {

template <class Coder>
struct RGB12v2models {
  RGB12v2models()
      : byte_used(Coder::create_symbol_model(128)),
        rgb_diff{Coder::create_symbol_model(256), Coder::create_symbol_model(256), Coder::create_symbol_model(256),
                 Coder::create_symbol_model(256), Coder::create_symbol_model(256), Coder::create_symbol_model(256)} {}
  void init(const std::uint8_t* item);

  std::uint8_t last_item[6];
  AcSymbolModel byte_used;
  AcSymbolModel rgb_diff[6];  // red low, red high, green low, green high, blue low, blue high
};

class LASitemDecoderRGB12v2 final : public LASitemDecoder {
 public:
  explicit LASitemDecoderRGB12v2(AcDecoder& decoder) : dec(decoder) {}
  bool init(std::uint8_t* item, std::uint32_t& context) override;
  void read(std::uint8_t* item, std::uint32_t& context) override;

 private:
  AcDecoder& dec;
  RGB12v2models<AcDecoder> m;
};

class LASitemEncoderRGB12v2 final : public LASitemEncoder {
 public:
  explicit LASitemEncoderRGB12v2(AcEncoder& encoder) : enc(encoder) {}
  bool init(const std::uint8_t* item, std::uint32_t& context) override;
  bool write(const std::uint8_t* item, std::uint32_t& context) override;

 private:
  AcEncoder& enc;
  RGB12v2models<AcEncoder> m;
};

}  // namespace tinrise
