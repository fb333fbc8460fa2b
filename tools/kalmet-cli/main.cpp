// kalmet-cli: the viewer's engine on the command line.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli_session.h"
#include "exit_codes.h"
#include "session/conversions.h"
#include "session/date_time.h"
#include "session/delphi_text.h"
#include "session/file_log.h"
#include "session/session_context.h"

namespace fs = std::filesystem;
using namespace kalmet;
using namespace kalmet::cli;

namespace {

constexpr const char* kUsage =
    "usage: kalmet-cli COMMAND FILE [--program-dir DIR]\n"
    "commands:\n"
    "  values FILE   the variable value table as read from the file\n"
    "  info FILE     what the session is: kind, protocol, version, names, counts\n";

struct Args {
  std::string command;
  std::string file;
  std::string programDir;
};

fs::path ExecutablePath(const char* argv0) {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec) self = fs::absolute(argv0, ec);
  return self;
}

bool ParseArgs(int argc, char** argv, Args& args) {
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--program-dir") {
      if (i + 1 >= argc) return false;
      args.programDir = argv[++i];
    } else if (a.rfind("--program-dir=", 0) == 0) {
      args.programDir = a.substr(14);
    } else if (a.size() > 1 && a[0] == '-') {
      return false;
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 2) return false;
  args.command = positional[0];
  args.file = positional[1];
  return true;
}

std::string HexBytes(const TData& data) {
  std::string out;
  out.reserve(data.size() * 3);
  for (size_t i = 0; i < data.size(); ++i) {
    if (i) out += ' ';
    out += Format("%02X", data[i]);
  }
  return out;
}

int PrintFailure(const OpenResult& r) {
  for (const auto& line : r.log) std::cerr << line << "\n";
  return kExitReadFailed;
}

int CmdValues(SessionContext& ctx, const std::string& file) {
  // The table as the reader left it: no parser runs.
  ctx.Hooks = {};
  const OpenResult r = ReadSession(ctx, file);
  if (!r.ok) return PrintFailure(r);
  std::string out;
  for (int i = 0; i < ctx.slInputData.Count(); ++i) {
    const TInputData* d = ctx.slInputData.Object(i);
    out += Format("%d\t%d\t%d\t", d->Id, d->ArrayIndex, d->Quality);
    out += d->Time == 0 ? std::string("0") : DateTimeKey(d->Time);
    out += '\t';
    out += HexBytes(d->Data);
    out += '\n';
    if (out.size() > (1 << 20)) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      out.clear();
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return kExitOk;
}

int CmdInfo(SessionContext& ctx, const std::string& file) {
  const OpenResult r = ReadSession(ctx, file);
  if (!r.ok) return PrintFailure(r);
  std::cout << "kind: " << KindName(KindOfFile(file)) << "\n"
            << "protocol: " << ctx.iProtocol << "\n"
            << "version: " << ctx.iVersionMajor << "." << ctx.iVersionMinor << "\n"
            << "software: " << ctx.sSoftwareVersion << "\n"
            << "session-time: " << ctx.sSessionTime << "\n"
            << "field: " << ctx.sFieldName << "\n"
            << "cluster: " << ctx.sClusterName << "\n"
            << "well: " << ctx.sWellName << "\n"
            << "variables: " << ctx.slInputData.Count() << "\n";
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  Args args;
  if (!ParseArgs(argc, argv, args) || (args.command != "values" && args.command != "info")) {
    std::cerr << kUsage;
    return kExitUsage;
  }
  const fs::path exe = ExecutablePath(argv[0]);
  const fs::path programDir =
      args.programDir.empty() ? exe.parent_path() : fs::path(args.programDir);
  InitLog(programDir / exe.filename());

  SessionContext ctx;
  ctx.SetProgramFolder(programDir.string());
  const int rc = args.command == "values" ? CmdValues(ctx, args.file) : CmdInfo(ctx, args.file);
  ShutdownLog();
  return rc;
}
