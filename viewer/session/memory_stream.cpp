#include "session/memory_stream.h"

#include <cstring>

namespace kalmet {

size_t TMemoryStream::Read(void* dst, size_t n) {
  const uint64_t left = Remaining();
  if (n > left) n = static_cast<size_t>(left);
  if (n > 0) std::memcpy(dst, bytes_.data() + pos_, n);
  pos_ += n;
  return n;
}

void TMemoryStream::Assign(std::string bytes) {
  bytes_ = std::move(bytes);
  pos_ = 0;
}

void TMemoryStream::CopyFrom(TByteStream& source, uint64_t n) {
  if (n > source.Remaining()) throw TStreamReadError();
  const size_t old = bytes_.size();
  bytes_.resize(old + static_cast<size_t>(n));
  source.ReadBuffer(bytes_.data() + old, static_cast<size_t>(n));
}

}  // namespace kalmet
