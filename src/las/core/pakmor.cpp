// Checks, set-up and version requests of the compression configuration, and
// reading and writing its "pakmor encoded" record.
#include "las/core/pakmor.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "las/core/bytestream_in.h"
#include "las/core/bytestream_out.h"

namespace tinrise {
namespace {

// The library version named in every error text and written into records.
constexpr int library_major = 3;
constexpr int library_minor = 2;
constexpr int library_revision = 0;
constexpr int tool_version = 180303;

bool is_extra_bytes(const LASitem& item) {
  return (item.type == LASitem::BYTE || item.type == LASitem::BYTE14) && item.size >= 1;
}

bool is_item(const LASitem& item, LASitem::Type type, std::uint16_t size) {
  return item.type == type && item.size == size;
}

int match_point10_list(std::uint16_t n, const LASitem* items) {
  auto byte = [&](int i) { return items[i].type == LASitem::BYTE && items[i].size >= 1; };
  auto gps = [&](int i) { return is_item(items[i], LASitem::GPSTIME11, 8); };
  auto rgb = [&](int i) { return is_item(items[i], LASitem::RGB12, 6); };
  auto wave = [&](int i) { return is_item(items[i], LASitem::WAVEPACKET13, 29); };
  if (n == 1) return 0;
  if (n == 2 && byte(1)) return 0;
  if (gps(1)) {
    if (n == 2) return 1;
    if (n == 3 && byte(2)) return 1;
    if (rgb(2)) {
      if (n == 3) return 3;
      if (n == 4 && byte(3)) return 3;
      if (wave(3)) {
        if (n == 4) return 5;
        if (n == 5 && byte(4)) return 5;
      }
    } else if (wave(2)) {
      if (n == 3) return 4;
      if (n == 4 && byte(3)) return 4;
    }
  } else if (rgb(1)) {
    if (n == 2) return 2;
    if (n == 3 && byte(2)) return 2;
  }
  return -1;
}

int match_point14_list(std::uint16_t n, const LASitem* items) {
  auto extra = [&](int i) { return is_extra_bytes(items[i]); };
  auto rgb = [&](int i) { return is_item(items[i], LASitem::RGB14, 6); };
  auto nir = [&](int i) { return is_item(items[i], LASitem::RGBNIR14, 8); };
  auto wave = [&](int i) {
    return is_item(items[i], LASitem::WAVEPACKET13, 29) || is_item(items[i], LASitem::WAVEPACKET14, 29);
  };
  if (n == 1) return 6;
  if (n == 2 && extra(1)) return 6;
  if (rgb(1)) {
    if (n == 2) return 7;
    if (n == 3 && extra(2)) return 7;
  } else if (nir(1)) {
    if (n == 2) return 8;
    if (n == 3 && extra(2)) return 8;
    if (wave(2)) {
      if (n == 3) return 10;
      if (n == 4 && extra(3)) return 10;
    }
  } else if (wave(1)) {
    if (n == 2) return 9;
    if (n == 3 && extra(2)) return 9;
  }
  return -1;
}

}  // namespace

bool Pakmor::fail(const char* format, ...) {
  char message[256];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(message, sizeof(message), format, arguments);
  va_end(arguments);
  char text[320];
  std::snprintf(text, sizeof(text), "%s (Pakmor v%d.%dr%d)", message, library_major, library_minor,
                library_revision);
  error_text = text;
  return false;
}

bool Pakmor::check_compressor(std::uint16_t value) {
  if (value < 4) return true;
  return fail("compressor %d not supported", value);
}

bool Pakmor::check_coder(std::uint16_t value) {
  if (value == 0) return true;
  return fail("coder %d not supported", value);
}

bool Pakmor::check_item(const LASitem& item) {
  const unsigned v = item.version;
  const bool v0234 = v == 0 || v == 2 || v == 3 || v == 4;
  switch (item.type) {
    case LASitem::BYTE:
      if (item.size < 1) return fail("BYTE has size < 1");
      if (v > 2) return fail("BYTE has version > 2");
      return true;
    case LASitem::POINT10:
      if (item.size != 20) return fail("POINT10 has size != 20");
      if (v > 2) return fail("POINT10 has version > 2");
      return true;
    case LASitem::GPSTIME11:
      if (item.size != 8) return fail("GPSTIME11 has size != 8");
      if (v > 2) return fail("GPSTIME11 has version > 2");
      return true;
    case LASitem::RGB12:
      if (item.size != 6) return fail("RGB12 has size != 6");
      if (v > 2) return fail("RGB12 has version > 2");
      return true;
    case LASitem::WAVEPACKET13:
      if (item.size != 29) return fail("WAVEPACKET13 has size != 29");
      if (v > 1) return fail("WAVEPACKET13 has version > 1");
      return true;
    case LASitem::POINT14:
      if (item.size != 30) return fail("POINT14 has size != 30");
      if (!v0234) return fail("POINT14 has version != 0 and != 2 and != 3 and != 4");
      return true;
    case LASitem::RGB14:
      if (item.size != 6) return fail("RGB14 has size != 6");
      if (!v0234) return fail("RGB14 has version != 0 and != 2 and != 3 and != 4");
      return true;
    case LASitem::RGBNIR14:
      if (item.size != 8) return fail("RGBNIR14 has size != 8");
      if (!v0234) return fail("RGBNIR14 has version != 0 and != 2 and != 3 and != 4");
      return true;
    case LASitem::WAVEPACKET14:
      if (item.size != 29) return fail("WAVEPACKET14 has size != 29");
      if (v != 0 && v != 3 && v != 4) return fail("WAVEPACKET14 has version != 0 and != 3 and != 4");
      return true;
    case LASitem::BYTE14:
      if (item.size < 1) return fail("BYTE14 has size < 1");
      if (!v0234) return fail("BYTE14 has version != 0 and != 2 and != 3 and != 4");
      return true;
  }
  return fail("item unknown (%d,%d,%d)", static_cast<int>(item.type), item.size, item.version);
}

bool Pakmor::check_items(std::uint16_t count, const LASitem* list, std::uint32_t point_size) {
  if (count == 0) return fail("number of items cannot be zero");
  if (!list) return fail("items pointer cannot be NULL");
  std::uint32_t sum = 0;
  for (std::uint16_t i = 0; i < count; i++) {
    if (!check_item(list[i])) return false;
    sum += list[i].size;
  }
  if (point_size != 0 && sum != point_size) {
    return fail("point has size of %u but items only add up to %u bytes", point_size, sum);
  }
  return true;
}

bool Pakmor::check(std::uint32_t point_size) {
  return check_compressor(compressor) && check_coder(coder) && check_items(num_items(), items.data(), point_size);
}

bool Pakmor::setup(std::uint16_t count, const LASitem* list, std::uint16_t requested_compressor) {
  if (!check_compressor(requested_compressor) || !check_items(count, list, 0)) return false;
  if (requested_compressor == COMPRESSOR_NONE) {
    compressor = COMPRESSOR_NONE;
  } else if (list[0].type == LASitem::POINT14) {
    if (requested_compressor != COMPRESSOR_LAYERED_CHUNKED) return false;
    compressor = COMPRESSOR_LAYERED_CHUNKED;
    if (chunk_size == 0) chunk_size = default_chunk_size;
  } else {
    // Layered chunks exist only for POINT14-based lists.
    compressor = requested_compressor;
    if (compressor == COMPRESSOR_LAYERED_CHUNKED) compressor = COMPRESSOR_POINTWISE_CHUNKED;
    if (compressor == COMPRESSOR_POINTWISE_CHUNKED && chunk_size == 0) chunk_size = default_chunk_size;
  }
  items.assign(list, list + count);
  return true;
}

bool Pakmor::setup(std::vector<LASitem>& point_items, int point_type, int point_size) {
  char message[64];
  if (!las_items_for_point_type(point_type, point_size, point_items, message, sizeof(message))) {
    return fail("%s", message);
  }
  return true;
}

bool Pakmor::set_chunk_size(std::uint32_t size) {
  if (items.empty()) return fail("call setup() before setting chunk size");
  if (compressor == COMPRESSOR_POINTWISE) return false;
  chunk_size = size;
  return true;
}

bool Pakmor::request_version(std::uint16_t version) {
  if (items.empty()) return fail("call setup() before requesting version");
  if (compressor == COMPRESSOR_NONE) {
    if (version != 0) return fail("without compression version is always 0");
  } else {
    if (version == 0) return fail("with compression version is at least 1");
    if (version > 2) return fail("version larger than 2 not supported");
  }
  for (LASitem& item : items) {
    switch (item.type) {
      case LASitem::BYTE:
      case LASitem::POINT10:
      case LASitem::GPSTIME11:
      case LASitem::RGB12: item.version = version; break;
      case LASitem::WAVEPACKET13: item.version = 1; break;
      case LASitem::POINT14:
      case LASitem::RGB14:
      case LASitem::RGBNIR14:
      case LASitem::WAVEPACKET14:
      case LASitem::BYTE14: item.version = 3; break;
      default: return fail("item type not supported");
    }
    // Version 0 means raw items: an uncompressed list must not claim a codec.
    if (compressor == COMPRESSOR_NONE) item.version = 0;
  }
  return true;
}

bool Pakmor::match_point_type(std::uint16_t count, const LASitem* list, int& point_type, int& record_length) {
  if (!list) return fail("LASitem array is zero");
  point_type = 127;
  std::int64_t sum = 0;  // 65535 items of 65535 bytes would overflow an int
  for (std::uint16_t i = 0; i < count; i++) sum += list[i].size;
  record_length = static_cast<int>(std::min<std::int64_t>(sum, INT32_MAX));
  if (count < 1) return fail("less than one LASitem entries");
  if (count > 5) return fail("more than five LASitem entries");
  int matched = -1;
  if (is_item(list[0], LASitem::POINT10, 20)) {
    matched = match_point10_list(count, list);
  } else if (is_item(list[0], LASitem::POINT14, 30)) {
    matched = match_point14_list(count, list);
  } else {
    return fail("first LASitem is neither POINT10 nor POINT14");
  }
  if (matched < 0) return fail("LASitem array does not match LAS specification 1.4");  // the ASPRS LAS standard
  point_type = matched;
  return true;
}

bool Pakmor::read_record_payload(ByteStreamIn& stream) {
  // Each field in its own handler so that the message names the one that ran out.
  auto field = [&](const char* name, auto& value, auto read) {
    try {
      read(&value);
      return true;
    } catch (int) {
      std::fprintf(stderr, "ERROR: reading %s %d\n", name, static_cast<int>(value));
      return false;
    }
  };
  auto le16 = [&](void* v) { stream.read_le16(v); };
  auto le32 = [&](void* v) { stream.read_le32(v); };
  auto le64 = [&](void* v) { stream.read_le64(v); };
  auto byte = [&](void* v) { stream.read_bytes(v, 1); };
  std::uint16_t count = 0;
  if (!field("compressor", compressor, le16) || !field("coder", coder, le16) ||
      !field("version_major", version_major, byte) || !field("version_minor", version_minor, byte) ||
      !field("version_revision", version_revision, le16) || !field("options", options, le32) ||
      !field("chunk_size", chunk_size, le32) || !field("number_of_special_evlrs", number_of_special_evlrs, le64) ||
      !field("offset_to_special_evlrs", offset_to_special_evlrs, le64) || !field("num_items", count, le16)) {
    return false;
  }
  items.assign(count, LASitem{});
  auto item_field = [&](const char* name, std::uint16_t& value, int index) {
    try {
      stream.read_le16(&value);
      return true;
    } catch (int) {
      std::fprintf(stderr, "ERROR: reading %s %d of item %d\n", name, value, index);
      return false;
    }
  };
  for (int i = 0; i < count; i++) {
    std::uint16_t type = 0;
    if (!item_field("type", type, i)) return false;
    items[i].type = static_cast<LASitem::Type>(type);
    if (!item_field("size", items[i].size, i) || !item_field("version", items[i].version, i)) return false;
  }
  return true;
}

bool Pakmor::write_record(ByteStreamOut& stream) const {
  const std::uint16_t reserved = 0xAABB;
  char user_id_field[16] = {};
  std::strncpy(user_id_field, user_id, sizeof(user_id_field));
  const std::uint16_t id = record_id;
  const std::uint16_t length = record_length_after_header();
  char description[32] = {};
  std::snprintf(description, sizeof(description), "by pakmor of Pelotrax (%d)", tool_version);
  const std::uint16_t count = num_items();

  auto error = [](const char* name, long long value) {
    std::fprintf(stderr, "ERROR: writing %s %lld\n", name, value);
    return false;
  };
  if (!stream.write_le16(&reserved)) return error("reserved", reserved);
  if (!stream.write_bytes(user_id_field, 16)) {
    std::fprintf(stderr, "ERROR: writing user_id %s\n", user_id);
    return false;
  }
  if (!stream.write_le16(&id)) return error("record_id", id);
  if (!stream.write_le16(&length)) return error("record_length_after_header", length);
  if (!stream.write_bytes(description, 32)) {
    std::fprintf(stderr, "ERROR: writing description %s\n", description);
    return false;
  }
  if (!stream.write_le16(&compressor)) return error("compressor", compressor);
  if (!stream.write_le16(&coder)) return error("coder", coder);
  if (!stream.write_bytes(&version_major, 1)) return error("version_major", version_major);
  if (!stream.write_bytes(&version_minor, 1)) return error("version_minor", version_minor);
  if (!stream.write_le16(&version_revision)) return error("version_revision", version_revision);
  if (!stream.write_le32(&options)) return error("options", options);
  if (!stream.write_le32(&chunk_size)) return error("chunk_size", chunk_size);
  if (!stream.write_le64(&number_of_special_evlrs)) return error("number_of_special_evlrs", number_of_special_evlrs);
  if (!stream.write_le64(&offset_to_special_evlrs)) return error("offset_to_special_evlrs", offset_to_special_evlrs);
  if (!stream.write_le16(&count)) return error("num_items", count);
  for (std::uint16_t i = 0; i < count; i++) {
    const std::uint16_t type = static_cast<std::uint16_t>(items[i].type);
    if (!stream.write_le16(&type)) {
      std::fprintf(stderr, "ERROR: writing type %d of item %d\n", type, i);
      return false;
    }
    if (!stream.write_le16(&items[i].size)) {
      std::fprintf(stderr, "ERROR: writing size %d of item %d\n", items[i].size, i);
      return false;
    }
    if (!stream.write_le16(&items[i].version)) {
      std::fprintf(stderr, "ERROR: writing version %d of item %d\n", items[i].version, i);
      return false;
    }
  }
  return true;
}

}  // namespace tinrise
