// Raw item readers and writers: the LAS 1.4 core record conversion and the
// choice of reader or writer per item.
#include "las/core/las_item_raw.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstddef>

#include "las/core/las_point.h"

namespace tinrise {

static_assert(offsetof(LASpoint, X) == 0, "an item pointer to X must also point at the point");
static_assert(offsetof(LASpoint, intensity) == 12, "X, Y, Z and intensity are the first 14 bytes of both cores");

void point14_record_to_legacy(const std::uint8_t* buffer, std::uint8_t* legacy) {
  std::memcpy(legacy, buffer, 14);

  unsigned r = buffer[14] & 15;
  unsigned n = buffer[14] >> 4;
  // The legacy fields hold at most 7 returns; the last return of a longer
  // pulse stays the last one, the others before it become the 6th.
  if (n > 7) {
    r = r <= 6 ? r : (r >= n ? 7 : 6);
    n = 7;
  }
  const unsigned flags = buffer[15];
  // Bit fields as packed in the point: return number, number of returns,
  // scan direction, edge; then class, synthetic, keypoint, withheld.
  legacy[14] = static_cast<std::uint8_t>((r & 7) | n << 3 | ((flags >> 6) & 1) << 6 | ((flags >> 7) & 1) << 7);
  const unsigned classification = buffer[16] < 32 ? buffer[16] : 0;
  legacy[15] = static_cast<std::uint8_t>(classification | (flags & 1) << 5 | ((flags >> 1) & 1) << 6 |
                                         ((flags >> 2) & 1) << 7);

  std::int16_t scan_angle;
  std::memcpy(&scan_angle, buffer + 18, 2);
  const float degrees = static_cast<float>(scan_angle) * 0.006f;
  // Half away from zero; the sign of the half keeps this free of a branch.
  const int rank = static_cast<int>(degrees + std::copysign(0.5f, degrees));
  legacy[16] = static_cast<std::uint8_t>(static_cast<std::int8_t>(std::clamp(rank, -128, 127)));

  legacy[17] = buffer[17];
  std::memcpy(legacy + 18, buffer + 20, 2);
}

void point14_record_to_item(const std::uint8_t* buffer, std::uint8_t* item) {
  LASpoint& point = *reinterpret_cast<LASpoint*>(item);
  point14_record_to_legacy(buffer, item);

  const unsigned flags = buffer[15];
  std::int16_t scan_angle;
  std::memcpy(&scan_angle, buffer + 18, 2);
  point.extended_scanner_channel = (flags >> 4) & 3;
  point.extended_classification_flags = flags & 15;
  point.extended_classification = buffer[16];
  point.extended_return_number = buffer[14] & 15;
  point.extended_number_of_returns = buffer[14] >> 4;
  point.extended_scan_angle = scan_angle;
  std::memcpy(&point.gps_time, buffer + 22, 8);
}

void point14_item_to_record(const std::uint8_t* item, std::uint8_t* buffer) {
  const LASpoint& point = *reinterpret_cast<const LASpoint*>(item);
  std::memcpy(buffer, &point.X, 14);

  unsigned flags = (point.scan_direction_flag << 6) | (point.edge_of_flight_line << 7) | point.synthetic_flag |
                   (point.keypoint_flag << 1) | (point.withheld_flag << 2);
  unsigned classification = point.classification;
  std::int16_t scan_angle;
  if (point.extended_form) {
    flags |= ((point.extended_classification_flags >> 3) & 1) << 3;  // overlap
    flags |= (point.extended_scanner_channel & 3u) << 4;
    if (point.extended_classification > 31) classification = point.extended_classification;
    buffer[14] = static_cast<std::uint8_t>(point.extended_return_number | (point.extended_number_of_returns << 4));
    scan_angle = point.extended_scan_angle;
  } else {
    buffer[14] = static_cast<std::uint8_t>(point.return_number | (point.number_of_returns << 4));
    const float units = static_cast<float>(point.scan_angle_rank) * 166.66667f;
    scan_angle = static_cast<std::int16_t>(units >= 0.0f ? units + 0.5f : units - 0.5f);
  }
  buffer[15] = static_cast<std::uint8_t>(flags);
  buffer[16] = static_cast<std::uint8_t>(classification);
  buffer[17] = point.user_data;
  std::memcpy(buffer + 18, &scan_angle, 2);
  std::memcpy(buffer + 20, &point.point_source_ID, 2);
  std::memcpy(buffer + 22, &point.gps_time, 8);
}

void LASitemRawReaderPOINT14::read(std::uint8_t* item, std::uint32_t&) {
  instream->get_bytes(buffer, 30);
  point14_record_to_item(buffer, item);
}

bool LASitemRawWriterPOINT14::write(const std::uint8_t* item, std::uint32_t&) {
  point14_item_to_record(item, buffer);
  return outstream->put_bytes(buffer, 30);
}

namespace {

// The size a raw copy of the item must have, 0 for any size (extra bytes),
// -1 for an item without a raw layout.
int raw_item_size(LASitem::Type type) {
  switch (type) {
    case LASitem::BYTE:
    case LASitem::BYTE14: return 0;
    case LASitem::POINT10: return 20;
    case LASitem::GPSTIME11: return 8;
    case LASitem::RGB12:
    case LASitem::RGB14: return 6;
    case LASitem::RGBNIR14: return 8;
    case LASitem::WAVEPACKET13:
    case LASitem::WAVEPACKET14: return 29;
    case LASitem::POINT14: return 30;
  }
  return -1;
}

// A list whose fixed item has another size would move a different number of
// bytes than the record holds; such items get no raw reader or writer.
bool has_raw_layout(const LASitem& item) {
  const int size = raw_item_size(item.type);
  return size > 0 ? item.size == size : size == 0 && item.size >= 1;
}

}  // namespace

std::unique_ptr<LASitemRawReader> create_raw_item_reader(const LASitem& item) {
  if (!has_raw_layout(item)) return nullptr;
  switch (item.type) {
    case LASitem::POINT10: return std::make_unique<LASitemRawReaderCopy<20>>();
    case LASitem::POINT14: return std::make_unique<LASitemRawReaderPOINT14>();
    case LASitem::GPSTIME11:
    case LASitem::RGBNIR14: return std::make_unique<LASitemRawReaderCopy<8>>();
    case LASitem::RGB12:
    case LASitem::RGB14: return std::make_unique<LASitemRawReaderCopy<6>>();
    case LASitem::WAVEPACKET13:
    case LASitem::WAVEPACKET14: return std::make_unique<LASitemRawReaderCopy<29>>();
    default: return std::make_unique<LASitemRawReaderBYTE>(item.size);
  }
}

std::unique_ptr<LASitemRawWriter> create_raw_item_writer(const LASitem& item) {
  if (!has_raw_layout(item)) return nullptr;
  switch (item.type) {
    case LASitem::POINT10: return std::make_unique<LASitemRawWriterCopy<20>>();
    case LASitem::POINT14: return std::make_unique<LASitemRawWriterPOINT14>();
    case LASitem::GPSTIME11:
    case LASitem::RGBNIR14: return std::make_unique<LASitemRawWriterCopy<8>>();
    case LASitem::RGB12:
    case LASitem::RGB14: return std::make_unique<LASitemRawWriterCopy<6>>();
    case LASitem::WAVEPACKET13:
    case LASitem::WAVEPACKET14: return std::make_unique<LASitemRawWriterCopy<29>>();
    default: return std::make_unique<LASitemRawWriterBYTE>(item.size);
  }
}

}  // namespace tinrise
