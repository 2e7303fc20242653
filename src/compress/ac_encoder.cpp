// The encoder's byte output: renormalisation, carries into bytes not yet
// written, the ring of two 1024-byte halves, and the final bytes of a stream.
#include "compress/ac_encoder.h"

namespace tinrise {

AcEncoder::AcEncoder() : outbuffer(new std::uint8_t[2 * half_buffer_size]()) {
  endbuffer = outbuffer.get() + 2 * half_buffer_size;
  outbyte = outbuffer.get();
  endbyte = endbuffer;
}

bool AcEncoder::init(ByteStreamOut* stream) {
  if (!stream) return false;
  outstream = stream;
  base = 0;
  length = 0xFFFFFFFF;
  outbyte = outbuffer.get();
  endbyte = endbuffer;
  return true;
}

void AcEncoder::done() {
  if (!outstream) return;
  const std::uint32_t init_base = base;
  bool another_byte = true;
  if (length > 2 * min_length) {
    base += min_length;
    length = min_length >> 1;
  } else {
    base += min_length >> 1;
    length = min_length >> 9;
    another_byte = false;
  }
  if (init_base > base) propagate_carry();
  renorm_enc_interval();
  if (endbyte != endbuffer) outstream->put_bytes(outbuffer.get() + half_buffer_size, half_buffer_size);
  if (outbyte > outbuffer.get()) outstream->put_bytes(outbuffer.get(), static_cast<std::size_t>(outbyte - outbuffer.get()));
  // The decoder always holds four bytes in its value register; these keep its
  // reads inside this stream.
  outstream->put_byte(0);
  outstream->put_byte(0);
  if (another_byte) outstream->put_byte(0);
  outstream = nullptr;
}

void AcEncoder::write_bits(std::uint32_t bits, std::uint32_t value) {
  if (bits > 19) {
    write_short(static_cast<std::uint16_t>(value & 0xFFFF));
    value >>= 16;
    bits -= 16;
  }
  const std::uint32_t init_base = base;
  length >>= bits;
  base += value * length;
  if (init_base > base) propagate_carry();
  if (length < min_length) renorm_enc_interval();
}

void AcEncoder::write_short(std::uint16_t value) {
  const std::uint32_t init_base = base;
  length >>= 16;
  base += value * length;
  if (init_base > base) propagate_carry();
  if (length < min_length) renorm_enc_interval();
}

void AcEncoder::write_int(std::uint32_t value) {
  write_short(static_cast<std::uint16_t>(value & 0xFFFF));
  write_short(static_cast<std::uint16_t>(value >> 16));
}

void AcEncoder::write_int64(std::uint64_t value) {
  write_int(static_cast<std::uint32_t>(value & 0xFFFFFFFF));
  write_int(static_cast<std::uint32_t>(value >> 32));
}

void AcEncoder::propagate_carry() {
  std::uint8_t* b = outbyte == outbuffer.get() ? endbuffer - 1 : outbyte - 1;
  while (*b == 0xFF) {
    *b = 0;
    b = b == outbuffer.get() ? endbuffer - 1 : b - 1;
  }
  ++*b;
}

void AcEncoder::renorm_enc_interval() {
  do {
    *outbyte++ = static_cast<std::uint8_t>(base >> 24);
    if (outbyte == endbyte) manage_outbuffer();
    base <<= 8;
    length <<= 8;
  } while (length < min_length);
}

void AcEncoder::manage_outbuffer() {
  if (outbyte == endbuffer) outbyte = outbuffer.get();
  outstream->put_bytes(outbyte, half_buffer_size);
  endbyte = outbyte + half_buffer_size;
}

}  // namespace tinrise
