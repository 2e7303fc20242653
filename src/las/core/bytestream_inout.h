// A stream that is read and written at one shared position, for files that
// are appended to after their existing content was read (layer files).
#pragma once

#include "las/core/bytestream_in.h"
#include "las/core/bytestream_out.h"

namespace tinrise {

class ByteStreamInOut : public ByteStreamIn, public ByteStreamOut {
 public:
  // One position serves both sides, so these answer for both.
  bool can_seek() const override = 0;
  std::int64_t tell() const override = 0;
  bool seek(std::int64_t position) override = 0;
  bool seek_from_end(std::int64_t distance = 0) override = 0;
};

}  // namespace tinrise
