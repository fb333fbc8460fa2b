// Step 7 of opening a session: the reader is chosen by the file's extension.
#pragma once

#include <string>

#include "session/session_context.h"

namespace kalmet {

enum class TSessionKind { kXml, kZ4K, kZ5K, kUnknown };

// ".xml", ".Z4K", ".Z5K", compared without regard to case.
TSessionKind KindOfFile(const std::string& fileName);
const char* KindName(TSessionKind kind);

// Reads the file with the reader of its kind and sets bZ5K; true when the session was
// loaded. An unknown extension reads nothing. Raises TSessionError (a message for the
// user's error box) and TFatalError (a missing library; the program ends) from the
// binary readers. slices (optional) receives the number of measurement slices read.
bool ReadSessionFile(SessionContext& ctx, const std::string& fileName, int* slices = nullptr);

}  // namespace kalmet
