// File byte streams: block-buffered reading and writing over stdio with
// 64-bit positions, the read-write stream, and the opening routines.
#include "las/core/bytestream_file.h"

#include <algorithm>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace tinrise {
namespace {

std::size_t usable_block_size(std::size_t requested) {
  // A tiny block would turn every item into a stdio call; a huge one is a
  // typo in an io buffer option, not a wish for gigabytes of memory.
  return std::clamp<std::size_t>(requested, 4096, std::size_t{1} << 28);
}

int seek_file(std::FILE* file, std::int64_t offset, int whence) { return fseeko(file, static_cast<off_t>(offset), whence); }

}  // namespace

std::FILE* open_binary_file(const char* file_name, FileAccess access, int buffer_size) {
  std::FILE* file = nullptr;
  switch (access) {
    case FileAccess::read: file = std::fopen(file_name, "rb"); break;
    case FileAccess::write: file = std::fopen(file_name, "wb"); break;
    case FileAccess::update:
      file = std::fopen(file_name, "rb+");
      if (!file) file = std::fopen(file_name, "wb+");
      break;
  }
  if (!file) return nullptr;
  if (buffer_size < 0 || std::setvbuf(file, nullptr, _IOFBF, static_cast<std::size_t>(buffer_size)) != 0) {
    std::fprintf(stderr, "WARNING: setvbuf() failed with buffer size %d\n", buffer_size);
  }
  return file;
}

bool set_stdin_binary() {
#ifdef _WIN32
  if (_setmode(_fileno(stdin), _O_BINARY) == -1) {
    std::fprintf(stderr, "ERROR: cannot set stdin to binary (untranslated) mode\n");
    return false;
  }
#endif
  return true;
}

bool set_stdout_binary() {
#ifdef _WIN32
  if (_setmode(_fileno(stdout), _O_BINARY) == -1) {
    std::fprintf(stderr, "ERROR: cannot set stdout to binary (untranslated) mode\n");
    return false;
  }
#endif
  return true;
}

// --- reading ---------------------------------------------------------------

ByteStreamInFile::ByteStreamInFile(std::FILE* file, std::size_t requested_block_size)
    : file(file), block_size(usable_block_size(requested_block_size)),
      block(std::make_unique_for_overwrite<std::uint8_t[]>(block_size)) {
  // A pipe has no position: count from zero.
  block_position = std::max<std::int64_t>(ftello(file), 0);
  window_next = window_end = block.get();
}

ByteStreamInFile::~ByteStreamInFile() {
  if (window_next != window_end && can_seek()) seek_file(file, tell(), SEEK_SET);
}

bool ByteStreamInFile::refill() {
  block_position += window_end - block.get();
  const std::size_t got = std::fread(block.get(), 1, block_size, file);
  window_next = block.get();
  window_end = block.get() + got;
  return got > 0;
}

std::uint32_t ByteStreamInFile::read_byte() {
  if (window_next == window_end && !refill()) throw stream_end_of_data;
  return *window_next++;
}

void ByteStreamInFile::read_bytes(void* bytes, std::size_t byte_count) {
  auto* out = static_cast<std::uint8_t*>(bytes);
  while (byte_count > 0) {
    const std::size_t available = static_cast<std::size_t>(window_end - window_next);
    if (available == 0 && byte_count >= block_size) {
      // A large request goes straight into the caller's memory.
      block_position += window_end - block.get();
      window_next = window_end = block.get();
      const std::size_t got = std::fread(out, 1, byte_count, file);
      block_position += static_cast<std::int64_t>(got);
      if (got < byte_count) throw stream_end_of_data;
      return;
    }
    if (available == 0) {
      if (!refill()) throw stream_end_of_data;
      continue;
    }
    const std::size_t step = std::min(available, byte_count);
    std::memcpy(out, window_next, step);
    window_next += step;
    out += step;
    byte_count -= step;
  }
}

bool ByteStreamInFile::seek(std::int64_t position) {
  const std::int64_t buffered = window_end - block.get();
  if (position >= block_position && position <= block_position + buffered) {
    window_next = block.get() + (position - block_position);
    return true;
  }
  if (position < 0 || seek_file(file, position, SEEK_SET) != 0) return false;
  block_position = position;
  window_next = window_end = block.get();
  return true;
}

bool ByteStreamInFile::seek_from_end(std::int64_t distance) {
  if (distance < 0 || seek_file(file, -distance, SEEK_END) != 0) return false;
  const std::int64_t position = ftello(file);
  if (position < 0) return false;
  block_position = position;
  window_next = window_end = block.get();
  return true;
}

bool ByteStreamInFile::skip_forward(std::int64_t byte_count) {
  if (byte_count <= window_end - window_next || can_seek()) return seek(tell() + byte_count);
  while (byte_count > 0) {
    const std::int64_t step = std::min<std::int64_t>(window_end - window_next, byte_count);
    window_next += step;
    byte_count -= step;
    if (byte_count > 0 && !refill()) return false;
  }
  return true;
}

// --- writing ---------------------------------------------------------------

ByteStreamOutFile::ByteStreamOutFile(std::FILE* file, std::size_t requested_block_size)
    : file(file), block_size(usable_block_size(requested_block_size)),
      block(std::make_unique_for_overwrite<std::uint8_t[]>(block_size)) {
  block_position = std::max<std::int64_t>(ftello(file), 0);
  window_next = block.get();
  window_end = block.get() + block_size;
}

ByteStreamOutFile::~ByteStreamOutFile() { write_block(); }

bool ByteStreamOutFile::write_block() {
  const std::size_t pending = static_cast<std::size_t>(window_next - block.get());
  if (pending == 0) return true;
  const std::size_t written = std::fwrite(block.get(), 1, pending, file);
  block_position += static_cast<std::int64_t>(pending);
  window_next = block.get();
  return written == pending;
}

bool ByteStreamOutFile::flush() {
  const bool written = write_block();
  return std::fflush(file) == 0 && written;
}

bool ByteStreamOutFile::write_byte(std::uint8_t byte) {
  if (window_next == window_end && !write_block()) return false;
  *window_next++ = byte;
  return true;
}

bool ByteStreamOutFile::write_bytes(const void* bytes, std::size_t byte_count) {
  if (byte_count == 0) return true;
  if (byte_count <= static_cast<std::size_t>(window_end - window_next)) {
    std::memcpy(window_next, bytes, byte_count);
    window_next += byte_count;
    return true;
  }
  if (!write_block()) return false;
  if (byte_count >= block_size) {
    const std::size_t written = std::fwrite(bytes, 1, byte_count, file);
    block_position += static_cast<std::int64_t>(byte_count);
    return written == byte_count;
  }
  std::memcpy(window_next, bytes, byte_count);
  window_next += byte_count;
  return true;
}

bool ByteStreamOutFile::seek(std::int64_t position) {
  if (!write_block() || position < 0 || seek_file(file, position, SEEK_SET) != 0) return false;
  block_position = position;
  return true;
}

bool ByteStreamOutFile::seek_from_end() {
  if (!write_block() || seek_file(file, 0, SEEK_END) != 0) return false;
  const std::int64_t position = ftello(file);
  if (position < 0) return false;
  block_position = position;
  return true;
}

// --- reading and writing ---------------------------------------------------

void ByteStreamInOutFile::turn(Direction direction) {
  if (last != Direction::none && last != direction) seek_file(file, 0, SEEK_CUR);
  last = direction;
}

std::uint32_t ByteStreamInOutFile::read_byte() {
  turn(Direction::reading);
  const int byte = std::getc(file);
  if (byte == EOF) throw stream_end_of_data;
  return static_cast<std::uint32_t>(byte);
}

void ByteStreamInOutFile::read_bytes(void* bytes, std::size_t byte_count) {
  if (byte_count == 0) return;
  turn(Direction::reading);
  if (std::fread(bytes, 1, byte_count, file) != byte_count) throw stream_end_of_data;
}

bool ByteStreamInOutFile::write_byte(std::uint8_t byte) {
  turn(Direction::writing);
  return std::fputc(byte, file) == byte;
}

bool ByteStreamInOutFile::write_bytes(const void* bytes, std::size_t byte_count) {
  if (byte_count == 0) return true;
  turn(Direction::writing);
  return std::fwrite(bytes, 1, byte_count, file) == byte_count;
}

std::int64_t ByteStreamInOutFile::tell() const { return ftello(file); }

bool ByteStreamInOutFile::seek(std::int64_t position) {
  if (last != Direction::writing && tell() == position) return true;
  last = Direction::none;
  return position >= 0 && seek_file(file, position, SEEK_SET) == 0;
}

bool ByteStreamInOutFile::seek_from_end(std::int64_t distance) {
  last = Direction::none;
  return distance >= 0 && seek_file(file, -distance, SEEK_END) == 0;
}

}  // namespace tinrise
