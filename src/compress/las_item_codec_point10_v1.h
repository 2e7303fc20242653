// The version-1 codec of the POINT10 item, read for files that carry it:
// coordinates from the median of the last three differences, then the
// attributes as change flags. Its encoder mirrors the decoder.
#pragma once

#include <cstdint>

#include "compress/ac_decoder.h"
#include "compress/ac_encoder.h"
#include "compress/integer_coder.h"
#include "compress/las_item_codec.h"

namespace tinrise {

template <class Coder>
struct POINT10v1models {
  explicit POINT10v1models(Coder& coder)
      : changed_values(Coder::create_symbol_model(64)),
        bit_byte(256, Coder::compresses),
        classification(256, Coder::compresses),
        user_data(256, Coder::compresses),
        dx(coder, 32),
        dy(coder, 32, 20),
        z(coder, 32, 20),
        intensity(coder, 16),
        scan_angle_rank(coder, 8, 2),
        point_source_ID(coder, 16) {}
  void init(const std::uint8_t* item);
  std::int32_t median_x() const { return median3(last_x_diff); }
  std::int32_t median_y() const { return median3(last_y_diff); }
  static std::int32_t median3(const std::int32_t* v);

  std::uint8_t last_item[20];
  std::int32_t last_x_diff[3];
  std::int32_t last_y_diff[3];
  std::uint32_t last_incr = 0;  // where the next differences go
  AcSymbolModel changed_values;
  AcSymbolModelByByte bit_byte;
  AcSymbolModelByByte classification;
  AcSymbolModelByByte user_data;
  IntegerCoder dx;
  IntegerCoder dy;
  IntegerCoder z;
  IntegerCoder intensity;
  IntegerCoder scan_angle_rank;
  IntegerCoder point_source_ID;
};

class LASitemDecoderPOINT10v1 final : public LASitemDecoder {
 public:
  explicit LASitemDecoderPOINT10v1(AcDecoder& decoder) : dec(decoder), m(decoder) {}
  bool init(std::uint8_t* item, std::uint32_t& context) override;
  void read(std::uint8_t* item, std::uint32_t& context) override;

 private:
  AcDecoder& dec;
  POINT10v1models<AcDecoder> m;
};

class LASitemEncoderPOINT10v1 final : public LASitemEncoder {
 public:
  explicit LASitemEncoderPOINT10v1(AcEncoder& encoder) : enc(encoder), m(encoder) {}
  bool init(const std::uint8_t* item, std::uint32_t& context) override;
  bool write(const std::uint8_t* item, std::uint32_t& context) override;

 private:
  AcEncoder& enc;
  POINT10v1models<AcEncoder> m;
};

}  // namespace tinrise
