#include "marnel/codec/journal_image.h"

#include <algorithm>
#include <cstring>

#include "marnel/codec/crc16.h"

namespace kalmet::marnel {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr std::string_view kHeaderTemplate =
    "<J Type=\"  \" Name=\"                                                                \"/>";
static_assert(kHeaderTemplate.size() == kHeaderDataLength);
static_assert(kHeaderDataLength + kFrameLength == kHeaderLength);

// Reads and writes bytes one ring position at a time, keeping the CRC as it goes.
class Cursor {
 public:
  Cursor(const JournalImage& image, int32_t p) : image_(image), p_(p) {}

  int32_t position() const { return p_; }
  bool wrapped() const { return wrapped_; }
  uint16_t crc() const { return crc_; }
  uint8_t peek() const { return image_.at(p_); }

  void Advance() {
    const int32_t next = image_.Next(p_);
    if (next < p_) wrapped_ = true;
    p_ = next;
  }

  // Reads one byte of the CRC-protected part; false for a control character.
  bool Take(uint8_t* c) {
    *c = image_.at(p_);
    if (*c < 0x20) return false;
    crc_ = CrcUpdate(crc_, *c);
    Advance();
    return true;
  }

  // Reads an 8-digit field (or 4 digits for the check, which is not CRC-protected).
  bool TakeHex(int digits, bool protect, uint32_t* value) {
    uint32_t v = 0;
    for (int i = 0; i < digits; ++i) {
      const uint8_t c = image_.at(p_);
      if (c < 0x20) return false;
      if (protect) crc_ = CrcUpdate(crc_, c);
      v = (v << 4) | HexDigit(c);
      Advance();
    }
    *value = v;
    return true;
  }

  void Put(uint8_t c, bool protect) {
    image_.data()[p_] = c;
    if (protect) crc_ = CrcUpdate(crc_, c);
    Advance();
  }

  void PutHex(uint32_t value, int digits, bool protect) {
    for (int i = digits - 1; i >= 0; --i) {
      Put(static_cast<uint8_t>(kHexDigits[(value >> (4 * i)) & 0xF]), protect);
    }
  }

 private:
  const JournalImage& image_;
  int32_t p_;
  bool wrapped_ = false;
  uint16_t crc_ = kCrcInitial;
};

}  // namespace

uint8_t HexDigit(uint8_t c) {
  if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<uint8_t>(c - 'A' + 10);
  return 0;
}

uint32_t NextRecordNumber(uint32_t n) {
  return n >= kLastRecordNumber ? 1 : n + 1;
}

std::string HeaderData(uint8_t type, std::string_view name) {
  std::string data(kHeaderTemplate);
  data[kHeaderTypeOffset] = kHexDigits[(type >> 4) & 0xF];
  data[kHeaderTypeOffset + 1] = kHexDigits[type & 0xF];
  name = name.substr(0, kHeaderNameLength);
  std::copy(name.begin(), name.end(), data.begin() + kHeaderNameOffset);
  return data;
}

int HeaderType(std::string_view data) {
  if (data.size() < static_cast<size_t>(kHeaderTypeOffset + 2)) return -1;
  return HexDigit(static_cast<uint8_t>(data[kHeaderTypeOffset])) * 16 +
         HexDigit(static_cast<uint8_t>(data[kHeaderTypeOffset + 1]));
}

ReadFailure JournalImage::Read(int32_t p, uint32_t max_data, Record* record,
                               std::string* data) const {
  if (image_[p] != kStartMark) return kNoStartMark;
  Cursor cursor(*this, p);
  cursor.Advance();
  uint32_t number = 0;
  uint32_t length = 0;
  if (!cursor.TakeHex(8, true, &number) || !cursor.TakeHex(8, true, &length)) return kControlChar;
  if (length > max_data) return kTooLong;
  if (data) {
    data->clear();
    data->reserve(length);
  }
  for (uint32_t i = 0; i < length; ++i) {
    uint8_t c;
    if (!cursor.Take(&c)) return kControlChar;
    if (data) *data += static_cast<char>(c);
  }
  const uint16_t computed = cursor.crc();
  uint32_t check = 0;
  if (!cursor.TakeHex(4, false, &check)) return kControlChar;
  if (check != computed) return kCrcMismatch;
  if (cursor.peek() != kEndMark) return kNoEndMark;
  cursor.Advance();
  if (record) *record = Record{p, cursor.position(), number, length, cursor.wrapped()};
  return kReadOk;
}

int32_t JournalImage::Write(int32_t p, uint32_t number, std::string_view data) {
  Cursor cursor(*this, p);
  cursor.Put(kStartMark, false);
  cursor.PutHex(number, 8, true);
  cursor.PutHex(static_cast<uint32_t>(data.size()), 8, true);
  for (char c : data) cursor.Put(static_cast<uint8_t>(c), true);
  cursor.PutHex(cursor.crc(), 4, false);
  cursor.Put(kEndMark, false);
  return cursor.position();
}

void JournalImage::MakeFresh(uint8_t type, std::string_view name) {
  std::memset(image_, kBlank, static_cast<size_t>(size_));
  const std::string header = HeaderData(type, name);
  Write(0, kFirstHeaderNumber, header);
  Write(second_header(), kSecondHeaderNumber, header);
}

}  // namespace kalmet::marnel
