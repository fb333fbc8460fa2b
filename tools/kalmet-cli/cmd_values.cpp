// kalmet-cli values FILE: the variable value table right after the reader filled it.
#include <cstdio>

#include "cli_command.h"
#include "cli_session.h"
#include "exit_codes.h"
#include "session/delphi_text.h"

namespace kalmet::cli {
namespace {

std::string HexBytes(const TData& data) {
  std::string out;
  out.reserve(data.size() * 3);
  for (size_t i = 0; i < data.size(); ++i) {
    if (i) out += ' ';
    out += Format("%02X", data[i]);
  }
  return out;
}

int Run(SessionContext& ctx, const CommandArgs& args) {
  if (args.positional.size() != 1) return kExitUsage;
  // No parser runs: the table as the reader left it.
  ctx.Hooks = {};
  const OpenResult r = ReadSession(ctx, args.positional[0]);
  if (!r.ok) return PrintFailure(r);
  std::string out;
  for (int i = 0; i < ctx.slInputData.Count(); ++i) {
    const TInputData* d = ctx.slInputData.Object(i);
    out += Format("%d\t%d\t%d\t", d->Id, d->ArrayIndex, d->Quality);
    out += d->Time == 0 ? std::string("0") : DateTimeKey(d->Time);
    out += '\t';
    out += HexBytes(d->Data);
    out += '\n';
    if (out.size() > (1u << 20)) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      out.clear();
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return kExitOk;
}

const bool registered = RegisterCommand(
    {"values", "values FILE          the variable value table as read from the file", {}, Run});

}  // namespace
}  // namespace kalmet::cli
