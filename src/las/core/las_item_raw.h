// Raw (uncompressed) item readers and writers: they move one item's bytes
// between a byte stream and the point member that the item pointer designates.
// Used by the point engines for uncompressed records and for the first point
// of every compressed chunk.
#pragma once

#include <memory>

#include "las/core/bytestream_in.h"
#include "las/core/bytestream_out.h"
#include "las/core/las_item.h"
#include "las/core/las_item_io.h"

namespace tinrise {

class LASitemRawReader : public LASitemReader {
 public:
  // The stream is not owned; the engine hands it over when it is initialised.
  void init(ByteStreamIn* stream) { instream = stream; }

 protected:
  ByteStreamIn* instream = nullptr;
};

class LASitemRawWriter : public LASitemWriter {
 public:
  void init(ByteStreamOut* stream) { outstream = stream; }

 protected:
  ByteStreamOut* outstream = nullptr;
};

// Items that the point keeps in file layout, copied unchanged. The size is a
// compile-time constant so the copy is a few moves, not a library call.
template <std::size_t size>
class LASitemRawReaderCopy final : public LASitemRawReader {
 public:
  void read(std::uint8_t* item, std::uint32_t&) override { instream->get_bytes(item, size); }
};

template <std::size_t size>
class LASitemRawWriterCopy final : public LASitemRawWriter {
 public:
  bool write(const std::uint8_t* item, std::uint32_t&) override { return outstream->put_bytes(item, size); }
};

// Extra bytes, of the size the item list gives.
class LASitemRawReaderBYTE final : public LASitemRawReader {
 public:
  explicit LASitemRawReaderBYTE(std::uint32_t size) : size(size) {}
  void read(std::uint8_t* item, std::uint32_t&) override { instream->get_bytes(item, size); }

 private:
  std::uint32_t size;
};

class LASitemRawWriterBYTE final : public LASitemRawWriter {
 public:
  explicit LASitemRawWriterBYTE(std::uint32_t size) : size(size) {}
  bool write(const std::uint8_t* item, std::uint32_t&) override { return outstream->put_bytes(item, size); }

 private:
  std::uint32_t size;
};

// The 30-byte LAS 1.4 core record, converted to and from the point, which keeps
// the legacy fields beside the extended ones. `item` must be the X of a LASpoint.
void point14_record_to_item(const std::uint8_t* record, std::uint8_t* item);
void point14_item_to_record(const std::uint8_t* item, std::uint8_t* record);
// Only the 20 legacy bytes the record gives a point (the POINT10 fields at
// the start of LASpoint), for deciding records before any point is filled.
void point14_record_to_legacy(const std::uint8_t* record, std::uint8_t* legacy);

class LASitemRawReaderPOINT14 final : public LASitemRawReader {
 public:
  void read(std::uint8_t* item, std::uint32_t& context) override;

 private:
  std::uint8_t buffer[30];
};

class LASitemRawWriterPOINT14 final : public LASitemRawWriter {
 public:
  bool write(const std::uint8_t* item, std::uint32_t& context) override;

 private:
  std::uint8_t buffer[30];
};

// The raw reader or writer of an item, or null for an unknown item type.
std::unique_ptr<LASitemRawReader> create_raw_item_reader(const LASitem& item);
std::unique_ptr<LASitemRawWriter> create_raw_item_writer(const LASitem& item);

}  // namespace tinrise
