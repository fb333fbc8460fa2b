// kalmet-cli dictionary: loads the dictionaries as the program does at start-up and
// prints what the loaders logged, then the entry counts. For people editing dictionaries.
#include <iostream>
#include <string>
#include <vector>

#include "cli_command.h"
#include "dictionaries/dictionaries.h"
#include "exit_codes.h"
#include "session/file_log.h"

namespace kalmet::cli {
namespace {

int Count(const auto& p) {
  return p ? p->Count() : 0;
}

int Run(SessionContext& ctx, const CommandArgs& args) {
  if (!args.positional.empty()) return kExitUsage;
  std::vector<std::string> boxes;
  ctx.Host.ReportToUser = [&boxes](const std::string& text, const std::string&) {
    boxes.push_back(text);
  };
  SetLogObserver([](std::string_view line) { std::cout << line << "\n"; });
  TDictionaries dicts;
  const bool ok = LoadDictionaries(ctx, dicts);
  SetLogObserver(nullptr);

  std::cout << "variables=" << Count(dicts.Dictionary) << " formats=" << Count(dicts.VocFormat)
            << " events=" << Count(dicts.VocEvent) << " ksu-formats=" << Count(dicts.KsuVocFormat)
            << " ksu-groups=" << Count(dicts.KsuVocGroups)
            << " ksu-events=" << Count(dicts.KsuVocEvent)
            << " custom-graphs=" << (dicts.CustomGraphs ? dicts.CustomGraphs->GraphCount() : 0)
            << "\n";
  if (ok) return kExitOk;
  for (std::string text : boxes) {
    // The message box's line break is a carriage return.
    for (char& c : text) {
      if (c == '\r') c = '\n';
    }
    std::cerr << text << "\n";
  }
  return kExitReadFailed;
}

const bool registered = RegisterCommand(
    {"dictionary",
     "dictionary           load the dictionaries, print the loaders' log lines and the counts",
     {},
     Run});

}  // namespace
}  // namespace kalmet::cli
