// Opening a session file for the command line: the same readers as the window,
// with the log observed so that a failure's cause reaches standard error.
#pragma once

#include <string>
#include <vector>

#include "session/session_context.h"
#include "session/session_file.h"

namespace kalmet::cli {

struct OpenResult {
  bool ok = false;
  // Log lines written while reading (printed to stderr on failure).
  std::vector<std::string> log;
  // Slices of the measurement journal read from a ".Z5K" file.
  int measurementSlices = 0;
};

// Reads the file into ctx with whatever hooks ctx carries.
OpenResult ReadSession(SessionContext& ctx, const std::string& fileName);

// Prints the failure's log lines to standard error; returns the read-failure exit code.
int PrintFailure(const OpenResult& result);

}  // namespace kalmet::cli
