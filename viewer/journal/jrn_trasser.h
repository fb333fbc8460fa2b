// The trace journal of protocol versions 0 and 1 (variables 1024 and 10371): short
// records of an event code, a variable index, a priority and a time, decoded into the
// trace list slTrasser.
#pragma once

#include <cstdint>
#include <span>

namespace kalmet {

class SessionContext;
struct TDictionaries;

// Decodes the whole variable for a code width of 1 or 2 bytes and appends its records to
// ctx.slTrasser. False when the variable dictionary is missing or after an exception
// (the records appended so far stay).
bool JrnTrasser(SessionContext& ctx, const TDictionaries& dicts, int codeWidth,
                std::span<const uint8_t> bytes);

}  // namespace kalmet
