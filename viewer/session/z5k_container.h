// The ".Z5K" container: an 80-byte header, then sections of a 1-byte type, a 4-byte
// little-endian body size and the body, up to the end of the file.
#pragma once

#include <cstdint>

#include "session/byte_stream.h"
#include "session/memory_stream.h"

namespace kalmet {

inline constexpr uint64_t kZ5KHeaderSize = 80;
inline constexpr uint64_t kZ5KSectionHeaderSize = 5;
// The section holding the binary value stream.
inline constexpr uint8_t kZ5KStreamSection = 1;
// The section holding the measurement journal (a sequence of 96-byte slices).
inline constexpr uint8_t kZ5KMeasurementSection = 2;

// Copies the body of the container's first type-1 section into out and sets its
// position to 0; out stays empty when there is none. Sections of other types are passed
// over. Raises TSessionError "Неверный формат заголовка", "Неверный заголовок секции" or
// "Неверный размер секции" on a damaged container.
void UnpackZ5K(TByteStream& file, TMemoryStream& out);

}  // namespace kalmet
