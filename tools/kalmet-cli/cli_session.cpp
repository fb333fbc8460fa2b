#include "cli_session.h"

#include <filesystem>
#include <iostream>

#include "cli_command.h"
#include "engine.h"
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

OpenResult ReadSession(SessionContext& ctx, const std::string& fileName,
                       const std::function<bool(int* slices)>& read) {
  OpenResult result;
  WriteLog("Открытие файла " + fileName);
  SetLogObserver([&](std::string_view line) { result.log.emplace_back(line); });
  if (KindOfFile(fileName) == TSessionKind::kUnknown) {
    result.log.push_back("unknown session file extension: " + fileName);
  } else {
    // A damaged container, a file that cannot be opened or a missing library: the
    // message the window would show in its error box.
    try {
      result.ok = read ? read(&result.measurementSlices)
                       : ReadSessionFile(ctx, fileName, &result.measurementSlices);
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

bool StartEngine(TEngine& engine, const CommandArgs& args) {
  engine.ctx.Host.ReportToUser = [](const std::string& text, const std::string&) {
    std::cerr << UserText(text) << "\n";
  };
  return engine.Start(args.programDir);
}

OpenResult OpenSession(TEngine& engine, const std::string& fileName) {
  return ReadSession(engine.ctx, fileName,
                     [&](int* slices) { return engine.Open(fileName, slices); });
}

int WithSession(const CommandArgs& args,
                const std::function<int(TEngine& engine, const OpenResult& result)>& body) {
  if (args.positional.size() != 1) return kExitUsage;
  TEngine engine;
  if (!StartEngine(engine, args)) return kExitReadFailed;
  const OpenResult r = OpenSession(engine, args.positional[0]);
  if (!r.ok) return PrintFailure(r);
  return body(engine, r);
}

}  // namespace kalmet::cli
