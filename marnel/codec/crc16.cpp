#include "marnel/codec/crc16.h"

#include <array>

namespace kalmet::marnel {
namespace {

constexpr std::array<uint16_t, 256> MakeTable() {
  std::array<uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    uint16_t crc = static_cast<uint16_t>(i);
    for (int bit = 0; bit < 8; ++bit) {
      crc =
          (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
    table[i] = crc;
  }
  return table;
}

constexpr std::array<uint16_t, 256> kTable = MakeTable();

}  // namespace

uint16_t CrcUpdate(uint16_t crc, uint8_t byte) {
  return static_cast<uint16_t>((crc >> 8) ^ kTable[(crc ^ byte) & 0xFF]);
}

uint16_t Crc16(std::string_view bytes) {
  uint16_t crc = kCrcInitial;
  for (char c : bytes) crc = CrcUpdate(crc, static_cast<uint8_t>(c));
  return crc;
}

}  // namespace kalmet::marnel
