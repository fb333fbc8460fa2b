// A byte stream over a block of memory it owns.
#pragma once

#include <string>

#include "session/byte_stream.h"

namespace kalmet {

class TMemoryStream : public TByteStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string bytes) : bytes_(std::move(bytes)) {}

  size_t Read(void* dst, size_t n) override;
  uint64_t Position() const override { return pos_; }
  uint64_t Size() const override { return bytes_.size(); }
  void Seek(uint64_t pos) override { pos_ = pos < bytes_.size() ? pos : bytes_.size(); }

  const std::string& Bytes() const { return bytes_; }
  // Takes the bytes over; the position goes to 0.
  void Assign(std::string bytes);
  // Empties the stream.
  void Clear() { Assign({}); }
  // Appends exactly n bytes from source at the end (n must fit in source's rest).
  void CopyFrom(TByteStream& source, uint64_t n);

 private:
  std::string bytes_;
  uint64_t pos_ = 0;
};

}  // namespace kalmet
