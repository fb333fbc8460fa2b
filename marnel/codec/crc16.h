// The Modbus CRC-16 (initial value 0xFFFF, reflected polynomial 0xA001) that protects
// every journal record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kalmet::marnel {

inline constexpr uint16_t kCrcInitial = 0xFFFF;

// Adds one byte to a running CRC.
uint16_t CrcUpdate(uint16_t crc, uint8_t byte);

// CRC of a whole byte sequence.
uint16_t Crc16(std::string_view bytes);

}  // namespace kalmet::marnel
