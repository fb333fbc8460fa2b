// kalmet-cli info FILE: what the session is.
#include <iostream>

#include "cli_command.h"
#include "cli_session.h"
#include "engine.h"
#include "exit_codes.h"

namespace kalmet::cli {
namespace {

int Run(SessionContext&, const CommandArgs& args) {
  return WithSession(args, [&](TEngine& engine, const OpenResult& r) {
    const SessionContext& ctx = engine.ctx;
    const std::string& file = args.positional[0];
    std::cout << "kind: " << KindName(KindOfFile(file)) << "\n"
              << "protocol: " << ctx.iProtocol << "\n"
              << "version: " << ctx.iVersionMajor << "." << ctx.iVersionMinor << "\n"
              << "software: " << ctx.sSoftwareVersion << "\n"
              << "session-time: " << ctx.sSessionTime << "\n"
              << "field: " << ctx.sFieldName << "\n"
              << "cluster: " << ctx.sClusterName << "\n"
              << "well: " << ctx.sWellName << "\n"
              << "variables: " << ctx.slInputData.Count() << "\n"
              << "measurement-slices: " << r.measurementSlices << "\n"
              << "journal-events: " << ctx.Journal.Count() << "\n"
              << "graph-samples: " << ctx.slGraph.Count() << "\n"
              << "trace-lines: " << ctx.slTrasser.Count() << "\n"
              << "work-time: " << ctx.Journal.WorkTime << "\n"
              << "idle-time: " << ctx.Journal.IdleTime << "\n"
              << "start-count: " << ctx.Journal.StartCount << "\n";
    return kExitOk;
  });
}

const bool registered =
    RegisterCommand({"info",
                     "info FILE            kind, protocol, version, names and counts of a session",
                     {},
                     Run});

}  // namespace
}  // namespace kalmet::cli
