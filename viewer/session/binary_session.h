// Opening binary session files the way the open-session method does: a ".Z4K" file is
// read as one value stream; a ".Z5K" container is unpacked, its stream read, and then
// its measurement journal appended to slGraph.
#pragma once

#include <string>

#include "session/session_context.h"

namespace kalmet {

// Loads a ".Z4K" file; bZ5K := false. Raises TSessionError when the file cannot be
// opened and TFatalError when Chronel is missing.
bool LoadZ4KSession(SessionContext& ctx, const std::string& fileName);

// Loads a ".Z5K" file; the measurement journal is read whatever the stream load gave;
// bZ5K := true. slices (optional) receives the number of measurement slices read.
// Raises TSessionError with the container's or Quorvo's message, or when the file
// cannot be opened, and TFatalError when Chronel is missing.
bool LoadZ5KSession(SessionContext& ctx, const std::string& fileName, int* slices = nullptr);

}  // namespace kalmet
