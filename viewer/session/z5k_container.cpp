#include "session/z5k_container.h"

#include "session/session_error.h"

namespace kalmet {

void UnpackZ5K(TByteStream& file, TMemoryStream& out) {
  out.Clear();
  if (file.Remaining() < kZ5KHeaderSize) throw TSessionError("Неверный формат заголовка");
  file.Seek(file.Position() + kZ5KHeaderSize);
  while (file.Position() < file.Size()) {
    if (file.Remaining() < kZ5KSectionHeaderSize) throw TSessionError("Неверный заголовок секции");
    uint8_t head[kZ5KSectionHeaderSize];
    file.ReadBuffer(head, sizeof head);
    const uint8_t type = head[0];
    const uint64_t size = static_cast<uint64_t>(head[1]) | static_cast<uint64_t>(head[2]) << 8 |
                          static_cast<uint64_t>(head[3]) << 16 |
                          static_cast<uint64_t>(head[4]) << 24;
    if (size == 0) continue;
    if (size > file.Remaining()) throw TSessionError("Неверный размер секции");
    if (type == kZ5KStreamSection) {
      out.CopyFrom(file, size);
      out.Seek(0);
      return;
    }
    // The body of another section is passed over, so that the next header is read
    // where it starts.
    file.Seek(file.Position() + size);
  }
}

}  // namespace kalmet
