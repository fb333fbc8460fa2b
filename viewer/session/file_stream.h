// A buffered byte stream reading a file.
#pragma once

#include <memory>
#include <string>

#include "session/byte_stream.h"

namespace kalmet {

class TFileStream : public TByteStream {
 public:
  // Opens the file for reading; raises TSessionError "Cannot open file ..." when it
  // cannot be opened.
  explicit TFileStream(const std::string& fileName);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  // Raises TStreamReadError on an input error.
  size_t Read(void* dst, size_t n) override;
  uint64_t Position() const override { return pos_; }
  uint64_t Size() const override { return size_; }
  void Seek(uint64_t pos) override;

 private:
  static constexpr size_t kBufferSize = 1 << 16;

  // Reads from the file at file_pos_ into dst; 0 at the end.
  size_t ReadRaw(uint8_t* dst, size_t n);

  int fd_ = -1;
  uint64_t size_ = 0;
  uint64_t pos_ = 0;       // logical position
  uint64_t file_pos_ = 0;  // position of the file after the buffered bytes
  std::unique_ptr<uint8_t[]> buffer_;
  size_t buf_begin_ = 0, buf_end_ = 0;
};

}  // namespace kalmet
