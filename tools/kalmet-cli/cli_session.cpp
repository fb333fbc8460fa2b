#include "cli_session.h"

#include <filesystem>
#include <iostream>

#include "exit_codes.h"
#include "session/binary_session.h"
#include "session/delphi_text.h"
#include "session/file_log.h"
#include "session/xml_session.h"

namespace kalmet::cli {

SessionKind KindOfFile(const std::string& fileName) {
  const std::string ext = std::filesystem::path(fileName).extension().string();
  if (SameText(ext, ".xml")) return SessionKind::kXml;
  if (SameText(ext, ".Z4K")) return SessionKind::kZ4K;
  if (SameText(ext, ".Z5K")) return SessionKind::kZ5K;
  return SessionKind::kUnknown;
}

const char* KindName(SessionKind kind) {
  switch (kind) {
    case SessionKind::kXml:
      return "xml";
    case SessionKind::kZ4K:
      return "z4k";
    case SessionKind::kZ5K:
      return "z5k";
    case SessionKind::kUnknown:
      break;
  }
  return "unknown";
}

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
  switch (KindOfFile(fileName)) {
    case SessionKind::kXml:
      result.ok = LoadXmlSession(ctx, fileName);
      ctx.bZ5K = false;
      if (!result.ok && result.log.empty()) {
        result.log.push_back("not a session file: the document element is not SessionReadedData");
      }
      break;
    case SessionKind::kZ4K:
    case SessionKind::kZ5K:
      // A damaged container, a file that cannot be opened or a missing library: the
      // message the window would show in its error box.
      try {
        result.ok = KindOfFile(fileName) == SessionKind::kZ4K
                        ? LoadZ4KSession(ctx, fileName)
                        : LoadZ5KSession(ctx, fileName, &result.measurementSlices);
      } catch (const std::exception& e) {
        result.ok = false;
        result.log.assign({UserText(e.what())});
      }
      break;
    case SessionKind::kUnknown:
      result.log.push_back("unknown session file extension: " + fileName);
      break;
  }
  SetLogObserver(nullptr);
  return result;
}

int PrintFailure(const OpenResult& result) {
  for (const auto& line : result.log) std::cerr << line << "\n";
  return kExitReadFailed;
}

}  // namespace kalmet::cli
