#include "cli_session.h"

#include <filesystem>
#include <iostream>

#include "exit_codes.h"
#include "session/file_log.h"
#include "session/session_file.h"

namespace kalmet::cli {

namespace {

// Message box texts break lines with CR; a terminal wants LF.
std::string UserText(std::string text) {
  for (char& c : text) {
    if (c == '\r') c = '\n';
  }
  return text;
}

}  // namespace

OpenResult ReadSession(SessionContext& ctx, const std::string& fileName) {
  OpenResult result;
  WriteLog("Открытие файла " + fileName);
  SetLogObserver([&](std::string_view line) { result.log.emplace_back(line); });
  if (KindOfFile(fileName) == TSessionKind::kUnknown) {
    result.log.push_back("unknown session file extension: " + fileName);
  } else {
    // A damaged container, a file that cannot be opened or a missing library: the
    // message the window would show in its error box.
    try {
      result.ok = ReadSessionFile(ctx, fileName, &result.measurementSlices);
      if (!result.ok && result.log.empty()) {
        result.log.push_back("not a session file: the document element is not SessionReadedData");
      }
    } catch (const std::exception& e) {
      result.ok = false;
      result.log.assign({UserText(e.what())});
    }
  }
  SetLogObserver(nullptr);
  return result;
}

int PrintFailure(const OpenResult& result) {
  for (const auto& line : result.log) std::cerr << line << "\n";
  return kExitReadFailed;
}

}  // namespace kalmet::cli
