// kalmet-cli info FILE: what the session is.
#include <iostream>

#include "cli_command.h"
#include "cli_session.h"
#include "exit_codes.h"

namespace kalmet::cli {
namespace {

int Run(SessionContext& ctx, const CommandArgs& args) {
  if (args.positional.size() != 1) return kExitUsage;
  const std::string& file = args.positional[0];
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
            << "variables: " << ctx.slInputData.Count() << "\n"
            << "measurement-slices: " << r.measurementSlices << "\n";
  return kExitOk;
}

const bool registered =
    RegisterCommand({"info",
                     "info FILE            kind, protocol, version, names and counts of a session",
                     {},
                     Run});

}  // namespace
}  // namespace kalmet::cli
