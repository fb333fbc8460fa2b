// A readable stream of bytes with a known size: a file or a block of memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>

namespace kalmet {

// Raised when fewer bytes than asked for remain.
class TStreamReadError : public std::runtime_error {
 public:
  TStreamReadError() : std::runtime_error("Stream read error") {}
};

class TByteStream {
 public:
  virtual ~TByteStream() = default;

  // Reads up to n bytes into dst; fewer only at the end of the stream.
  virtual size_t Read(void* dst, size_t n) = 0;
  virtual uint64_t Position() const = 0;
  virtual uint64_t Size() const = 0;
  // Moves to pos (at most Size()).
  virtual void Seek(uint64_t pos) = 0;

  uint64_t Remaining() const {
    const uint64_t pos = Position(), size = Size();
    return pos < size ? size - pos : 0;
  }
  // Reads exactly n bytes or raises TStreamReadError.
  void ReadBuffer(void* dst, size_t n) {
    if (Read(dst, n) != n) throw TStreamReadError();
  }
};

}  // namespace kalmet
