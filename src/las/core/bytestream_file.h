// Byte streams over stdio files (disk files, standard input and output) and
// the routines that open files for them. Used by every file reader and writer.
#pragma once

#include <cstdio>
#include <memory>

#include "las/core/bytestream_inout.h"

namespace tinrise {

// Bytes moved per read or write call on the file. Large blocks keep the cost
// of a record near that of a memcpy; glibc hands blocks at least as large as
// its own buffer straight to the system call.
inline constexpr std::size_t default_file_block_size = std::size_t{1} << 20;

enum class FileAccess { read, write, update };

// Opens a named file in binary mode ("rb", "wb", or "rb+" and failing that
// "wb+") and asks stdio for full buffering with buffer_size bytes, printing
// "WARNING: setvbuf() failed with buffer size %d\n" when refused. Null when the
// file cannot be opened; the caller prints that.
std::FILE* open_binary_file(const char* file_name, FileAccess access, int buffer_size);
// Switch the standard handles to untranslated mode; on failure they print
// "ERROR: cannot set stdin to binary (untranslated) mode\n" (or stdout).
bool set_stdin_binary();
bool set_stdout_binary();

// Reads the file in blocks of block_size bytes. The FILE is not owned; when the
// stream goes away it puts the file position back after the last byte
// consumed, so read-ahead is invisible to whoever uses the FILE next. Destroy
// the stream before closing the FILE.
class ByteStreamInFile final : public ByteStreamIn {
 public:
  explicit ByteStreamInFile(std::FILE* file, std::size_t block_size = default_file_block_size);
  ~ByteStreamInFile() override;

  std::uint32_t read_byte() override;
  void read_bytes(void* bytes, std::size_t byte_count) override;
  // False for standard input. Seeks inside the bytes already read never touch
  // the file, so seeking to the current position works on a pipe too.
  bool can_seek() const override { return file != stdin; }
  std::int64_t tell() const override { return block_position + (window_next - block.get()); }
  bool seek(std::int64_t position) override;
  bool seek_from_end(std::int64_t distance = 0) override;
  // On standard input the skipped bytes are read and dropped.
  bool skip_forward(std::int64_t byte_count) override;

 private:
  bool refill();

  std::FILE* file;
  std::size_t block_size;
  std::unique_ptr<std::uint8_t[]> block;
  std::int64_t block_position = 0;  // file position of block[0]
};

// Collects writes in blocks of block_size bytes. The FILE is not owned; the
// destructor hands the last block to it (destroy the stream before closing the
// FILE), but only flush() reports whether the bytes reached it.
class ByteStreamOutFile final : public ByteStreamOut {
 public:
  explicit ByteStreamOutFile(std::FILE* file, std::size_t block_size = default_file_block_size);
  ~ByteStreamOutFile() override;

  bool write_byte(std::uint8_t byte) override;
  bool write_bytes(const void* bytes, std::size_t byte_count) override;
  bool can_seek() const override { return file != stdout; }
  std::int64_t tell() const override { return block_position + (window_next - block.get()); }
  bool seek(std::int64_t position) override;
  bool seek_from_end() override;
  // Hands the collected bytes to the FILE and flushes it.
  bool flush();

 private:
  bool write_block();

  std::FILE* file;
  std::size_t block_size;
  std::unique_ptr<std::uint8_t[]> block;
  std::int64_t block_position = 0;  // file position of block[0]
};

// Reads and writes one FILE opened for update at one shared position. Not on
// any per-point path, so it goes straight to stdio.
class ByteStreamInOutFile final : public ByteStreamInOut {
 public:
  explicit ByteStreamInOutFile(std::FILE* file) : file(file) {}

  std::uint32_t read_byte() override;
  void read_bytes(void* bytes, std::size_t byte_count) override;
  bool write_byte(std::uint8_t byte) override;
  bool write_bytes(const void* bytes, std::size_t byte_count) override;
  bool can_seek() const override { return file != stdin && file != stdout; }
  std::int64_t tell() const override;
  bool seek(std::int64_t position) override;
  bool seek_from_end(std::int64_t distance = 0) override;
  bool seek_from_end() override { return seek_from_end(std::int64_t{0}); }

 private:
  enum class Direction { none, reading, writing };
  // stdio needs a positioning call between a read and a following write.
  void turn(Direction direction);

  std::FILE* file;
  Direction last = Direction::none;
};

}  // namespace tinrise
