// Cell layout of the packed journal image: a 4-byte header followed by a ring
// of 16-byte cells. Numbers are little-endian.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kalmet::trelbo {

inline constexpr size_t kHeaderSize = 4;
inline constexpr size_t kCellSize = 16;
inline constexpr uint8_t kHeader[kHeaderSize] = {0x01, 0x00, 0x00, 0x01};
// An image needs the header and at least one whole cell to hold records.
inline constexpr size_t kMinUsableImage = kHeaderSize + kCellSize;
inline constexpr uint32_t kMaxRecordLength = 65535;

// Byte positions inside a cell.
inline constexpr unsigned kCheckByte = 15;
inline constexpr unsigned kFirstLastUsedMin = 10;  // last used index of a first cell with no data
inline constexpr unsigned kLastUsedMax = 14;
inline constexpr unsigned kFirstCellData = 4;    // data bytes in a first cell
inline constexpr unsigned kFollowCellData = 14;  // data bytes in a middle or last cell

enum class CellType : uint8_t {
  kEmpty = 0,   // never written
  kWhole = 2,   // a whole record in one cell
  kFirst = 3,   // first cell of a record that continues
  kMiddle = 4,  // middle cell
  kLast = 5,    // last cell of a record
};

// Label: low word orders records (16 ms counter), high word is seconds since 1970.
struct Label {
  uint32_t low = 0;
  uint32_t high = 0;
  friend bool operator==(const Label&, const Label&) = default;
};

inline uint32_t loadLe32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint16_t loadLe16(const uint8_t* p) {
  return uint16_t(p[0] | p[1] << 8);
}
inline void storeLe32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}
inline void storeLe16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

inline CellType cellType(const uint8_t* cell) {
  return CellType(cell[0] >> 5);
}
inline unsigned cellLastUsed(const uint8_t* cell) {
  return (cell[0] >> 1) & 0x0F;
}
inline bool cellAdvance(const uint8_t* cell) {
  return cell[0] & 1;
}
inline uint8_t cellHeader(CellType type, unsigned lastUsed, bool advance) {
  return uint8_t(unsigned(type) << 5 | (lastUsed & 0x0F) << 1 | (advance ? 1 : 0));
}

// Sum of bytes 0..14 modulo 256, as stored in byte 15. Adds the bytes in 16-bit
// lanes of two 64-bit words (byte 15 masked out), then the lanes by one multiply.
inline uint8_t cellCheck(const uint8_t* cell) {
  uint64_t lo, hi;
  std::memcpy(&lo, cell, 8);
  std::memcpy(&hi, cell + 8, 8);
  hi &= std::endian::native == std::endian::little ? 0x00FFFFFFFFFFFFFFull : 0xFFFFFFFFFFFFFF00ull;
  constexpr uint64_t kEven = 0x00FF00FF00FF00FFull;
  const uint64_t lanes = (lo & kEven) + ((lo >> 8) & kEven) + (hi & kEven) + ((hi >> 8) & kEven);
  return uint8_t((lanes * 0x0001000100010001ull) >> 48);
}
inline bool cellCheckOk(const uint8_t* cell) {
  return cellCheck(cell) == cell[kCheckByte];
}

// Label of a first cell (type 2 or 3).
inline Label cellLabel(const uint8_t* cell) {
  return {loadLe32(cell + 1), loadLe32(cell + 5)};
}
inline uint16_t cellCode(const uint8_t* cell) {
  return loadLe16(cell + 9);
}

// Data bytes a cell contributes: bytes 11..last used of a first cell, 1..last used of others.
inline unsigned cellDataOffset(bool first) {
  return first ? kFirstLastUsedMin + 1 : 1;
}
inline unsigned cellDataCount(const uint8_t* cell, bool first) {
  unsigned last = cellLastUsed(cell);
  if (!first) return last;
  return last > kFirstLastUsedMin ? last - kFirstLastUsedMin : 0;
}

// Label order on the circle: a is newer than b.
inline bool labelNewer(uint32_t a, uint32_t b) {
  if (a == b) return false;
  return a > b ? a - b < 0x80000000u : b - a >= 0x80000000u;
}

// Absolute distance between two counters on the 2^32 circle.
inline uint32_t circularDistance(uint32_t a, uint32_t b) {
  uint32_t d = a - b;
  return d < 0x80000000u ? d : uint32_t(0u - d);
}

// Number of cells a record of `length` data bytes occupies.
inline size_t recordCellCount(uint32_t length) {
  if (length <= kFirstCellData) return 1;
  return 1 + (length - kFirstCellData + kFollowCellData - 1) / kFollowCellData;
}

// Builds cell `index` (0-based) of a record into out[16].
void encodeRecordCell(const Label& label, uint16_t code, const uint8_t* data, uint32_t length,
                      bool advance, size_t index, uint8_t* out);

}  // namespace kalmet::trelbo
