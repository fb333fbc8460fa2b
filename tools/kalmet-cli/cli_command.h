// Subcommands of kalmet-cli register themselves here, one file each (cmd_*.cpp).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "session/session_context.h"

namespace kalmet::cli {

// What a subcommand gets: its own arguments (positional ones in order, options by name)
// and a fresh session context set up for the program folder.
struct CommandArgs {
  std::vector<std::string> positional;
  // "--name value" and "--name=value" both land here; a bare "--flag" maps to "".
  std::map<std::string, std::string> options;
  std::string programDir;

  bool Has(const std::string& name) const { return options.count(name) != 0; }
  std::string Option(const std::string& name, const std::string& fallback = {}) const {
    auto it = options.find(name);
    return it == options.end() ? fallback : it->second;
  }
};

struct CliCommand {
  const char* name;
  // One usage line, shown by the general usage text.
  const char* usage;
  // Options that take a value (all others are flags).
  std::vector<std::string> valueOptions;
  int (*run)(SessionContext& ctx, const CommandArgs& args);
};

// Registers a command at static initialisation; returns true.
bool RegisterCommand(CliCommand command);
const std::vector<CliCommand>& Commands();

}  // namespace kalmet::cli
