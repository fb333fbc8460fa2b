// Conversions shared by the readers, decoders, graph loaders and dictionaries:
// controller clock fields to TDateTime, bytes to text, type sizes, float casts, keys.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "session/date_time.h"

namespace kalmet {

using TData = std::vector<uint8_t>;

// Six clock bytes h-m-s-D-M-Y (years below 2004 are moved on by 4); 0 and a log line for
// an impossible date. `high` is the last index shown in the logged dump.
TDateTime DecDateTime(std::span<const uint8_t> bytes, int high);
TDateTime DecDateTime(std::span<const uint16_t> words, int high);

// Six clock bytes Y-M-D-h-m-s of a binary session record.
TDateTime HexDateTime(std::span<const uint8_t> bytes, int high);

// Converts six BCD bytes to binary in place; false at the first byte with a nibble above 9.
bool ConvertClockHexToDec(std::span<uint8_t> bytes);

// The bytes up to the first 0, as Windows-1251 text (returned as UTF-8).
std::string ConvertToStr(const TData& data);

// Dumps for log lines: bytes as upper-case hexadecimal, words as decimal numbers,
// separated by blanks; indexes 0..high.
std::string DumpBytes(std::span<const uint8_t> bytes, int high);
std::string DumpWords(std::span<const uint16_t> words, int high);

// Byte size of a controller type name: "32" 4, "16" 2, "8" 1, "64" 8, otherwise 0.
int GetSize(std::string_view typeName);

// Truncates x toward zero into the named integer type (INT8S, INT16S, INT32S, INT8U,
// INT16U, INT32U), keeping the low bits. An unknown name leaves value unchanged.
bool CastFloat2Int(std::string_view typeName, int64_t& value, float x);

// A list key back to a number: for protocol 2 the record number ("$" hexadecimal),
// otherwise the TDateTime of "yyyy.mm.dd hh:nn:ss.zzz". NaN and a log line on error.
double ConvertKeyToDouble(std::string_view key, int protocol);

// Key comparisons against optional bounds (an empty bound is open).
bool KeyInRange(std::string_view key, std::string_view low, std::string_view high);

// Two moments less than 10 ms apart.
bool SameMoment(TDateTime a, TDateTime b);

// The record-number key of version 2 and of measurement slices: "$%15.15X".
std::string RecordKey(uint64_t number);

}  // namespace kalmet
