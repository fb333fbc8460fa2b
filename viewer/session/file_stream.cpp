#include "session/file_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "session/session_error.h"

namespace kalmet {

TFileStream::TFileStream(const std::string& fileName) : buffer_(new uint8_t[kBufferSize]) {
  fd_ = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode))) {
    const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
    ::close(fd_);
    fd_ = -1;
    errno = err;
  }
  if (fd_ < 0) {
    throw TSessionError("Cannot open file \"" + fileName + "\". " + std::strerror(errno));
  }
  size_ = static_cast<uint64_t>(st.st_size);
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

size_t TFileStream::ReadRaw(uint8_t* dst, size_t n) {
  for (;;) {
    const ssize_t got = ::pread(fd_, dst, n, static_cast<off_t>(file_pos_));
    if (got >= 0) {
      file_pos_ += static_cast<uint64_t>(got);
      return static_cast<size_t>(got);
    }
    if (errno != EINTR) throw TStreamReadError();
  }
}

size_t TFileStream::Read(void* dst, size_t n) {
  auto* out = static_cast<uint8_t*>(dst);
  size_t done = 0;
  while (done < n) {
    if (buf_begin_ == buf_end_) {
      if (n - done >= kBufferSize) {
        // Large reads bypass the buffer.
        const size_t got = ReadRaw(out + done, n - done);
        if (got == 0) break;
        done += got;
        pos_ += got;
        continue;
      }
      buf_begin_ = 0;
      buf_end_ = ReadRaw(buffer_.get(), kBufferSize);
      if (buf_end_ == 0) break;
    }
    size_t take = buf_end_ - buf_begin_;
    if (take > n - done) take = n - done;
    std::memcpy(out + done, buffer_.get() + buf_begin_, take);
    buf_begin_ += take;
    done += take;
    pos_ += take;
  }
  return done;
}

void TFileStream::Seek(uint64_t pos) {
  if (pos > size_) pos = size_;
  pos_ = pos;
  file_pos_ = pos;
  buf_begin_ = buf_end_ = 0;
}

}  // namespace kalmet
