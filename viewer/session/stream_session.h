// The binary session stream (".Z4K" files and the data section of ".Z5K" containers):
// records of variable number, array index, quality, time stamp, length and data.
#pragma once

#include "session/byte_stream.h"
#include "session/chronel_binding.h"
#include "session/input_table.h"
#include "session/session_context.h"

namespace kalmet {

// Appends the records from the stream's position to its end to the table, converting
// time stamps with timeT2Array. True when the stream ended cleanly; on a damaged record
// logs "[xmlLoad] Exception: " + cause and returns false, keeping the records before it.
// pump (may be empty) runs every few thousand records.
bool ReadValueRecords(TByteStream& stream, TInputTable& table, TimeT2ArrayFn timeT2Array,
                      const std::function<void()>& pump = nullptr);

// Empties the table, binds Chronel for the call and fills the table from the stream.
// A missing Chronel raises TFatalError (after the user was told).
bool ReadValueStream(SessionContext& ctx, TByteStream& stream);

// The whole session load from a stream positioned at its first record: clears the
// session, reads the values, sets the globals from variables 62, 63, 9401, 10315-10317,
// selects the setups, runs the parsers and sets the title. Always true; raises only
// TFatalError.
bool LoadStreamSession(SessionContext& ctx, TByteStream& stream);

// The window title of a binary session.
std::string StreamSessionTitle(const SessionContext& ctx);

}  // namespace kalmet
