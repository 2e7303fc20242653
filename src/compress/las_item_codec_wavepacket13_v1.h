// The version-1 codec of the WAVEPACKET13 item (point types 4 and 5), the one
// written with version-2 item lists: descriptor index, the kind of offset
// step, packet size, return point and x(t), y(t), z(t) against their last values.
#pragma once

#include <cstdint>

#include "compress/ac_decoder.h"
#include "compress/ac_encoder.h"
#include "compress/integer_coder.h"
#include "compress/las_item_codec.h"

namespace tinrise {

template <class Coder>
struct WAVEPACKET13v1models {
  explicit WAVEPACKET13v1models(Coder& coder)
      : packet_index(Coder::create_symbol_model(256)),
        offset_kind{Coder::create_symbol_model(4), Coder::create_symbol_model(4), Coder::create_symbol_model(4),
                    Coder::create_symbol_model(4)},
        offset_diff(coder, 32),
        packet_size(coder, 32),
        return_point(coder, 32),
        xyz(coder, 32, 3) {}
  void init(const std::uint8_t* item);

  std::uint8_t last_item[28];  // the item after its descriptor index
  std::int32_t last_offset_diff = 0;
  std::uint32_t last_kind = 0;
  AcSymbolModel packet_index;
  AcSymbolModel offset_kind[4];
  IntegerCoder offset_diff;
  IntegerCoder packet_size;
  IntegerCoder return_point;
  IntegerCoder xyz;
};

class LASitemDecoderWAVEPACKET13v1 final : public LASitemDecoder {
 public:
  explicit LASitemDecoderWAVEPACKET13v1(AcDecoder& decoder) : dec(decoder), m(decoder) {}
  bool init(std::uint8_t* item, std::uint32_t& context) override;
  void read(std::uint8_t* item, std::uint32_t& context) override;

 private:
  AcDecoder& dec;
  WAVEPACKET13v1models<AcDecoder> m;
};

class LASitemEncoderWAVEPACKET13v1 final : public LASitemEncoder {
 public:
  explicit LASitemEncoderWAVEPACKET13v1(AcEncoder& encoder) : enc(encoder), m(encoder) {}
  bool init(const std::uint8_t* item, std::uint32_t& context) override;
  bool write(const std::uint8_t* item, std::uint32_t& context) override;

 private:
  AcEncoder& enc;
  WAVEPACKET13v1models<AcEncoder> m;
};

}  // namespace tinrise
