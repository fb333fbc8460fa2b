// The three file kinds of one session content: ".xml" (Windows-1251 XML), ".Z4K" (the
// binary value stream) and ".Z5K" (the container with the stream and the measurement
// journal).
#pragma once

#include <string>

#include "session_content.h"

namespace kalmet::sessiongen {

enum class TFileKind { kXml, kZ4K, kZ5K };

std::string WriteXmlSession(const TSessionContent& content);
std::string WriteStream(const TSessionContent& content);
std::string WriteZ5KSession(const TSessionContent& content);

std::string WriteSession(const TSessionContent& content, TFileKind kind);

// "18 48 0 21 3 36" for 2024-03-15 12:30:00: the clock bytes in BCD, written as decimals.
std::string XmlTimeText(TDateTime time);

}  // namespace kalmet::sessiongen
