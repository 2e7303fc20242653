// The codec of each (item type, version) pair of point types 0 to 5.
#include "compress/las_item_codec_factory.h"

#include "compress/las_item_codec_byte_v1.h"
#include "compress/las_item_codec_byte_v2.h"
#include "compress/las_item_codec_gpstime11_v1.h"
#include "compress/las_item_codec_gpstime11_v2.h"
#include "compress/las_item_codec_point10_v1.h"
#include "compress/las_item_codec_point10_v2.h"
#include "compress/las_item_codec_rgb12_v1.h"
#include "compress/las_item_codec_rgb12_v2.h"
#include "compress/las_item_codec_wavepacket13_v1.h"

namespace tinrise {

namespace {

// The codecs read and write fixed layouts; a list with another size is not theirs.
bool has_codec_size(const LASitem& item) {
  switch (item.type) {
    case LASitem::BYTE: return item.size >= 1;
    case LASitem::POINT10: return item.size == 20;
    case LASitem::GPSTIME11: return item.size == 8;
    case LASitem::RGB12: return item.size == 6;
    case LASitem::WAVEPACKET13: return item.size == 29;
    default: return false;
  }
}

}  // namespace

std::unique_ptr<LASitemDecoder> create_item_decoder(const LASitem& item, AcDecoder& decoder) {
  if (!has_codec_size(item)) return nullptr;
  const int v = item.version;
  switch (item.type) {
    case LASitem::BYTE:
      if (v == 1) return std::make_unique<LASitemDecoderBYTEv1>(decoder, item.size);
      if (v == 2) return std::make_unique<LASitemDecoderBYTEv2>(decoder, item.size);
      break;
    case LASitem::POINT10:
      if (v == 1) return std::make_unique<LASitemDecoderPOINT10v1>(decoder);
      if (v == 2) return std::make_unique<LASitemDecoderPOINT10v2>(decoder);
      break;
    case LASitem::GPSTIME11:
      if (v == 1) return std::make_unique<LASitemDecoderGPSTIME11v1>(decoder);
      if (v == 2) return std::make_unique<LASitemDecoderGPSTIME11v2>(decoder);
      break;
    case LASitem::RGB12:
      if (v == 1) return std::make_unique<LASitemDecoderRGB12v1>(decoder);
      if (v == 2) return std::make_unique<LASitemDecoderRGB12v2>(decoder);
      break;
    case LASitem::WAVEPACKET13:
      if (v == 1) return std::make_unique<LASitemDecoderWAVEPACKET13v1>(decoder);
      break;
    default: break;
  }
  return nullptr;
}

std::unique_ptr<LASitemEncoder> create_item_encoder(const LASitem& item, AcEncoder& encoder) {
  if (!has_codec_size(item)) return nullptr;
  const int v = item.version;
  switch (item.type) {
    case LASitem::BYTE:
      if (v == 1) return std::make_unique<LASitemEncoderBYTEv1>(encoder, item.size);
      if (v == 2) return std::make_unique<LASitemEncoderBYTEv2>(encoder, item.size);
      break;
    case LASitem::POINT10:
      if (v == 1) return std::make_unique<LASitemEncoderPOINT10v1>(encoder);
      if (v == 2) return std::make_unique<LASitemEncoderPOINT10v2>(encoder);
      break;
    case LASitem::GPSTIME11:
      if (v == 1) return std::make_unique<LASitemEncoderGPSTIME11v1>(encoder);
      if (v == 2) return std::make_unique<LASitemEncoderGPSTIME11v2>(encoder);
      break;
    case LASitem::RGB12:
      if (v == 1) return std::make_unique<LASitemEncoderRGB12v1>(encoder);
      if (v == 2) return std::make_unique<LASitemEncoderRGB12v2>(encoder);
      break;
    case LASitem::WAVEPACKET13:
      if (v == 1) return std::make_unique<LASitemEncoderWAVEPACKET13v1>(encoder);
      break;
    default: break;
  }
  return nullptr;
}

}  // namespace tinrise
