// The alarm journal image: a header record at each end and, between them, a ring of
// framed records. This is the one place that knows the byte layout; the library reads
// through it and the session generator writes through it.
//
//   offset 0        header record 1 (number 0), 108 bytes
//   offset 108      ring of records up to size - 109
//   offset size-108 header record 2 (number 0xFFFFFFFF), 108 bytes
//
// A record is 0x02, number (8 hex digits), data length n (8 hex digits), n data bytes
// (0x20 and up), the CRC of number, length and data (4 hex digits), 0x03.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kalmet::marnel {

inline constexpr int32_t kHeaderLength = 108;     // a whole header record
inline constexpr int32_t kHeaderDataLength = 86;  // its data
inline constexpr int32_t kFrameLength = 22;       // a record's bytes besides its data
inline constexpr int32_t kMinImageSize = 256;     // two headers and a 40-byte ring
inline constexpr uint32_t kHeaderMaxData = 128;   // longest header data accepted on reading
inline constexpr uint32_t kFirstHeaderNumber = 0;
inline constexpr uint32_t kSecondHeaderNumber = 0xFFFFFFFF;
inline constexpr uint32_t kLastRecordNumber = 0xFFFFFFFE;  // followed by 1
inline constexpr uint8_t kStartMark = 0x02;
inline constexpr uint8_t kEndMark = 0x03;
inline constexpr uint8_t kBlank = 0x20;

// Header data: <J Type="tt" Name="<64 characters>"/>
inline constexpr int32_t kHeaderTypeOffset = 9;
inline constexpr int32_t kHeaderNameOffset = 19;
inline constexpr int32_t kHeaderNameLength = 64;
inline constexpr uint8_t kAlarmJournalType = 1;
// "Журнал аварий" in Windows-1251.
inline constexpr std::string_view kAlarmJournalName =
    "\xC6\xF3\xF0\xED\xE0\xEB\x20\xE0\xE2\xE0\xF0\xE8\xE9";

// Why a record did not read; zero when it did. Only the first failure is reported.
enum ReadFailure : uint32_t {
  kReadOk = 0,
  kTooLong = 0x01,      // data length above the allowed maximum
  kNoStartMark = 0x02,  // the first byte is not 0x02
  kNoEndMark = 0x04,    // the byte after the check is not 0x03
  kCrcMismatch = 0x08,  // check digits differ from the computed CRC
  kControlChar = 0x10,  // a byte below 0x20 in a field or in the data
};

// A record that read successfully.
struct Record {
  int32_t position = 0;  // of the start mark
  int32_t end = 0;       // position after the end mark
  uint32_t number = 0;
  uint32_t length = 0;   // of the data
  bool wrapped = false;  // the record ran past the ring's end (or ends exactly there)
};

// Value of one hexadecimal digit; anything but "0123456789ABCDEF" counts as 0.
uint8_t HexDigit(uint8_t c);

// The record number that follows n in the ring (0 and 0xFFFFFFFF belong to the headers).
uint32_t NextRecordNumber(uint32_t n);

// The 86-byte header data for a journal type and name (name cut to 64 bytes).
std::string HeaderData(uint8_t type, std::string_view name);

// The journal type written in header data, or -1 when the data is too short to hold it.
int HeaderType(std::string_view data);

// A view over a caller's image of size >= kMinImageSize bytes. All positions it produces
// lie inside [0, size), so reading never leaves the image whatever its content.
class JournalImage {
 public:
  JournalImage(uint8_t* image, int32_t size) : image_(image), size_(size) {}

  uint8_t* data() const { return image_; }
  int32_t size() const { return size_; }
  int32_t ring_start() const { return kHeaderLength; }
  int32_t ring_end() const { return size_ - kHeaderLength; }  // first byte after the ring
  int32_t ring_length() const { return size_ - 2 * kHeaderLength; }
  int32_t second_header() const { return size_ - kHeaderLength; }
  // Longest data of a ring record: the whole record must fit in the ring.
  uint32_t max_record_data() const { return static_cast<uint32_t>(ring_length() - kFrameLength); }

  uint8_t at(int32_t position) const { return image_[position]; }

  // The position after p: the ring's end jumps to the ring's start, the image's end to 0.
  int32_t Next(int32_t p) const {
    ++p;
    if (p == ring_end()) return ring_start();
    return p >= size_ ? 0 : p;
  }

  // Reads the record at p with data of at most max_data bytes. The data is stored in
  // *data when data is not null (otherwise the record is only checked).
  ReadFailure Read(int32_t p, uint32_t max_data, Record* record, std::string* data) const;

  // Frames data as record number at p, following ring positions; returns the position
  // after the record. The caller keeps the data within what the slot or ring holds.
  int32_t Write(int32_t p, uint32_t number, std::string_view data);

  // Makes an empty journal: all blanks and both headers of the given type and name.
  void MakeFresh(uint8_t type = kAlarmJournalType, std::string_view name = kAlarmJournalName);

 private:
  uint8_t* image_;
  int32_t size_;
};

}  // namespace kalmet::marnel
