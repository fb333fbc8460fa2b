// kalmet-cli: the viewer's engine on the command line. Each subcommand lives in its own
// cmd_*.cpp and registers itself.
#include <filesystem>
#include <iostream>
#include <string>

#include "cli_command.h"
#include "exit_codes.h"
#include "session/file_log.h"

namespace fs = std::filesystem;
using namespace kalmet;
using namespace kalmet::cli;

namespace {

void PrintUsage() {
  std::cerr << "usage: kalmet-cli COMMAND ARGS... [--program-dir DIR]\ncommands:\n";
  for (const CliCommand& c : Commands()) std::cerr << "  " << c.usage << "\n";
}

fs::path ExecutablePath(const char* argv0) {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec) self = fs::absolute(argv0, ec);
  return self;
}

const CliCommand* FindCommand(const std::string& name) {
  for (const CliCommand& c : Commands()) {
    if (name == c.name) return &c;
  }
  return nullptr;
}

bool TakesValue(const CliCommand& c, const std::string& name) {
  if (name == "program-dir") return true;
  for (const auto& v : c.valueOptions) {
    if (v == name) return true;
  }
  return false;
}

bool ParseArgs(const CliCommand& c, int argc, char** argv, CommandArgs& args) {
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    if (a.size() > 2 && a.rfind("--", 0) == 0) {
      std::string name = a.substr(2), value;
      const size_t eq = name.find('=');
      if (eq != std::string::npos) {
        value = name.substr(eq + 1);
        name = name.substr(0, eq);
      } else if (TakesValue(c, name)) {
        if (i + 1 >= argc) return false;
        value = argv[++i];
      }
      args.options[name] = value;
    } else {
      args.positional.push_back(a);
    }
  }
  args.programDir = args.Option("program-dir");
  return true;
}

}  // namespace

namespace kalmet::cli {

std::vector<CliCommand>& MutableCommands() {
  static std::vector<CliCommand> commands;
  return commands;
}

bool RegisterCommand(CliCommand command) {
  MutableCommands().push_back(std::move(command));
  return true;
}

const std::vector<CliCommand>& Commands() {
  return MutableCommands();
}

}  // namespace kalmet::cli

int main(int argc, char** argv) {
  const CliCommand* command = argc >= 2 ? FindCommand(argv[1]) : nullptr;
  CommandArgs args;
  if (!command || !ParseArgs(*command, argc, argv, args)) {
    PrintUsage();
    return kExitUsage;
  }
  const fs::path exe = ExecutablePath(argv[0]);
  if (args.programDir.empty()) args.programDir = exe.parent_path().string();
  InitLog(fs::path(args.programDir) / exe.filename());

  SessionContext ctx;
  ctx.SetProgramFolder(args.programDir);
  const int rc = command->run(ctx, args);
  ShutdownLog();
  if (rc == kExitUsage) PrintUsage();
  return rc;
}
