// The version-1 codec of the BYTE item, read for files that carry it: every
// byte against its last value, one context per byte. Its encoder mirrors the
// decoder.
#pragma once

#include <cstdint>
#include <vector>

#include "compress/ac_decoder.h"
#include "compress/ac_encoder.h"
#include "compress/integer_coder.h"
#include "compress/las_item_codec.h"

namespace tinrise {

template <class Coder>
struct BYTEv1models {
  BYTEv1models(Coder& coder, std::uint32_t number) : last_item(number), bytes(coder, 8, number) {}
  void init(const std::uint8_t* item);

  std::vector<std::uint8_t> last_item;
  IntegerCoder bytes;
};

class LASitemDecoderBYTEv1 final : public LASitemDecoder {
 public:
  LASitemDecoderBYTEv1(AcDecoder& decoder, std::uint32_t number) : m(decoder, number) {}
  bool init(std::uint8_t* item, std::uint32_t& context) override;
  void read(std::uint8_t* item, std::uint32_t& context) override;

 private:
  BYTEv1models<AcDecoder> m;
};

class LASitemEncoderBYTEv1 final : public LASitemEncoder {
 public:
  LASitemEncoderBYTEv1(AcEncoder& encoder, std::uint32_t number) : m(encoder, number) {}
  bool init(const std::uint8_t* item, std::uint32_t& context) override;
  bool write(const std::uint8_t* item, std::uint32_t& context) override;

 private:
  BYTEv1models<AcEncoder> m;
};

}  // namespace tinrise
