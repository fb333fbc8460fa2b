#include "session/conversions.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "session/cp1251.h"
#include "session/delphi_text.h"
#include "session/file_log.h"

namespace kalmet {
namespace {

template <typename T>
T At(std::span<const T> values, size_t i) {
  return i < values.size() ? values[i] : T{0};
}

template <typename T>
TDateTime DecDateTimeFields(std::span<const T> f, const std::string& dump) {
  const unsigned h = At(f, 0), m = At(f, 1), s = At(f, 2), d = At(f, 3), mo = At(f, 4),
                 y = At(f, 5);
  if (d == 0 || mo == 0 || mo > 12 || d > 31 || s > 60 || m > 60 || h > 24) return 0;
  int year = 2000 + static_cast<int>(y);
  if (year < 2004) year += 4;
  TDateTime date = 0, time = 0;
  if (!TryEncodeDate(year, static_cast<int>(mo), static_cast<int>(d), date) ||
      !TryEncodeTime(static_cast<int>(h), static_cast<int>(m), static_cast<int>(s), 0, time)) {
    WriteLog("[DecDateTime] Ошибка конвертации." + dump);
    return 0;
  }
  return date + time;
}

[[noreturn]] void ThrowConvert(std::string_view key) {
  throw std::invalid_argument("'" + std::string(key) + "' is not a valid date and time");
}

int KeyField(std::string_view key, size_t pos, size_t len) {
  if (pos + len > key.size()) ThrowConvert(key);
  const auto v = ParseInt(key.substr(pos, len));
  if (!v) ThrowConvert(key);
  return *v;
}

}  // namespace

std::string DumpBytes(std::span<const uint8_t> bytes, int high) {
  std::string out;
  for (int i = 0; i <= high && static_cast<size_t>(i) < bytes.size(); ++i) {
    out += Format("%X ", bytes[static_cast<size_t>(i)]);
  }
  return std::string(Trim(out));
}

std::string DumpWords(std::span<const uint16_t> words, int high) {
  std::string out;
  for (int i = 0; i <= high && static_cast<size_t>(i) < words.size(); ++i) {
    out += Format("%u ", words[static_cast<size_t>(i)]);
  }
  return std::string(Trim(out));
}

TDateTime DecDateTime(std::span<const uint8_t> bytes, int high) {
  return DecDateTimeFields(bytes, DumpBytes(bytes, high));
}

TDateTime DecDateTime(std::span<const uint16_t> words, int high) {
  return DecDateTimeFields(words, DumpWords(words, high));
}

TDateTime HexDateTime(std::span<const uint8_t> bytes, int /*high*/) {
  const unsigned y = At(bytes, 0), mo = At(bytes, 1), d = At(bytes, 2), h = At(bytes, 3),
                 m = At(bytes, 4), s = At(bytes, 5);
  if (!(mo <= 12 && d <= 31 && h < 24 && m < 60 && s < 60)) return 0;
  TDateTime date = 0, time = 0;
  if (!TryEncodeDate(2000 + static_cast<int>(y), static_cast<int>(mo), static_cast<int>(d), date) ||
      !TryEncodeTime(static_cast<int>(h), static_cast<int>(m), static_cast<int>(s), 0, time)) {
    WriteLog("[HexDateTime] Ошибка конвертации в TDateTime");
    return 0;
  }
  return date + time;
}

bool ConvertClockHexToDec(std::span<uint8_t> bytes) {
  const size_t n = bytes.size() < 6 ? bytes.size() : 6;
  for (size_t i = 0; i < n; ++i) {
    const uint8_t b = bytes[i];
    if ((b >> 4) > 9 || (b & 0x0F) > 9) {
      WriteLog("[ConvertClockHexToDec] Ошибка конвертации." +
               DumpBytes(bytes, static_cast<int>(n) - 1));
      return false;
    }
    bytes[i] = static_cast<uint8_t>((b >> 4) * 10 + (b & 0x0F));
  }
  return n == 6;
}

std::string ConvertToStr(const TData& data) {
  size_t end = 0;
  while (end < data.size() && data[end] != 0) ++end;
  return Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(data.data()), end));
}

int GetSize(std::string_view typeName) {
  if (ContainsText(typeName, "32")) return 4;
  if (ContainsText(typeName, "16")) return 2;
  if (ContainsText(typeName, "8")) return 1;
  if (ContainsText(typeName, "64")) return 8;
  return 0;
}

bool CastFloat2Int(std::string_view typeName, int64_t& value, float x) {
  const double t = std::trunc(static_cast<double>(x));
  if (!std::isfinite(t) || std::fabs(t) >= 9.2e18) {
    WriteLog("CastFloat2IntException: Invalid floating point operation");
    return false;
  }
  const int64_t n = static_cast<int64_t>(t);
  const std::string name = UpperAscii(typeName);
  if (name == "INT8S") {
    value = static_cast<int8_t>(static_cast<uint8_t>(n));
  } else if (name == "INT16S") {
    value = static_cast<int16_t>(static_cast<uint16_t>(n));
  } else if (name == "INT32S") {
    value = static_cast<int32_t>(static_cast<uint32_t>(n));
  } else if (name == "INT8U") {
    value = static_cast<uint8_t>(n);
  } else if (name == "INT16U") {
    value = static_cast<uint16_t>(n);
  } else if (name == "INT32U") {
    value = static_cast<uint32_t>(n);
  } else {
    WriteLog("CastFloat2IntНе понятный формат: " + std::string(typeName));
  }
  return true;
}

double ConvertKeyToDouble(std::string_view key, int protocol) {
  try {
    if (protocol == 2) {
      const auto v = ParseInt(key);
      if (!v)
        throw std::invalid_argument("'" + std::string(key) + "' is not a valid integer value");
      return *v;
    }
    const int year = KeyField(key, 0, 4), month = KeyField(key, 5, 2), day = KeyField(key, 8, 2),
              hour = KeyField(key, 11, 2), minute = KeyField(key, 14, 2),
              second = KeyField(key, 17, 2), msec = KeyField(key, 20, 3);
    return EncodeDate(year, month, day) + EncodeTime(hour, minute, second, msec);
  } catch (const std::exception& e) {
    WriteLog("[ConvertKeyToDouble] [" + std::string(key) + "] Exception: " + e.what());
    return std::bit_cast<double>(0xFFF8000000000000ull);
  }
}

bool KeyInRange(std::string_view key, std::string_view low, std::string_view high) {
  return (low.empty() || CompareText(key, low) >= 0) &&
         (high.empty() || CompareText(key, high) <= 0);
}

bool SameMoment(TDateTime a, TDateTime b) {
  // Both moments are whole milliseconds; comparing them rounded avoids a 10 ms
  // difference reading as 9.999 ms through the day fraction.
  const long long ma = std::llround(a * 86400000.0), mb = std::llround(b * 86400000.0);
  return (ma > mb ? ma - mb : mb - ma) < 10;
}

std::string RecordKey(uint64_t number) {
  return Format("$%15.15llX", static_cast<unsigned long long>(number));
}

}  // namespace kalmet
