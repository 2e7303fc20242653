// The version-2 codec of the BYTE item (extra bytes of point types 0 to 5):
// each byte's change from the last point through its own model.
#pragma once

#include <cstdint>
#include <vector>

#include "compress/ac_decoder.h"
#include "compress/ac_encoder.h"
#include "compress/las_item_codec.h"

namespace tinrise {

template <class Coder>
struct BYTEv2models {
  explicit BYTEv2models(std::uint32_t number) : last_item(number) {
    byte_diff.reserve(number);
    for (std::uint32_t i = 0; i < number; i++) byte_diff.push_back(Coder::create_symbol_model(256));
  }
  void init(const std::uint8_t* item);

  std::vector<std::uint8_t> last_item;
  std::vector<AcSymbolModel> byte_diff;
};

class LASitemDecoderBYTEv2 final : public LASitemDecoder {
 public:
  LASitemDecoderBYTEv2(AcDecoder& decoder, std::uint32_t number) : dec(decoder), m(number) {}
  bool init(std::uint8_t* item, std::uint32_t& context) override;
  void read(std::uint8_t* item, std::uint32_t& context) override;

 private:
  AcDecoder& dec;
  BYTEv2models<AcDecoder> m;
};

class LASitemEncoderBYTEv2 final : public LASitemEncoder {
 public:
  LASitemEncoderBYTEv2(AcEncoder& encoder, std::uint32_t number) : enc(encoder), m(number) {}
  bool init(const std::uint8_t* item, std::uint32_t& context) override;
  bool write(const std::uint8_t* item, std::uint32_t& context) override;

 private:
  AcEncoder& enc;
  BYTEv2models<AcEncoder> m;
};

}  // namespace tinrise
