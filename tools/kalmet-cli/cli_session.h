// Opening a session file for the command line: the same readers as the window,
// with the log observed so that a failure's cause reaches standard error.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "session/session_context.h"
#include "session/session_file.h"

namespace kalmet {
class TEngine;
}

namespace kalmet::cli {

struct CommandArgs;

struct OpenResult {
  bool ok = false;
  // Log lines written while reading (printed to stderr on failure).
  std::vector<std::string> log;
  // Slices of the measurement journal read from a ".Z5K" file.
  int measurementSlices = 0;
};

// Reads the file into ctx with whatever hooks ctx carries. read (optional) replaces the
// plain reader choice, e.g. by the engine's, which also merges the journal.
OpenResult ReadSession(SessionContext& ctx, const std::string& fileName,
                       const std::function<bool(int* slices)>& read = nullptr);

// Starts the engine for the command's program folder; start-up messages go to standard
// error. False when the program could not go on.
bool StartEngine(TEngine& engine, const CommandArgs& args);

// Opens the session through the engine: readers, parsers and the merged journal.
OpenResult OpenSession(TEngine& engine, const std::string& fileName);

// Starts the engine, opens the command's one file through it and runs body on the
// loaded session; the exit code (usage, start-up or read failure, or body's).
int WithSession(const CommandArgs& args,
                const std::function<int(TEngine& engine, const OpenResult& result)>& body);

// Prints the failure's log lines to standard error; returns the read-failure exit code.
int PrintFailure(const OpenResult& result);

}  // namespace kalmet::cli
