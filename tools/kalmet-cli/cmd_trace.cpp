// kalmet-cli trace FILE: the trace journal as the trace view shows it, newest first;
// the values of a line follow it on lines of their own with an empty time.
#include <iostream>

#include "cli_command.h"
#include "cli_session.h"
#include "engine.h"
#include "exit_codes.h"
#include "journal/journal_rows.h"

namespace kalmet::cli {
namespace {

int Run(SessionContext&, const CommandArgs& args) {
  return WithSession(args, [](TEngine& engine, const OpenResult&) {
    const auto& trace = engine.ctx.slTrasser;
    for (int i = trace.Count() - 1; i >= 0; --i) {
      const TEventData* e = trace.Object(i);
      if (!e) continue;
      std::cout << JournalTimeText(e->DateTime) << '\t' << e->Name << '\n';
      if (!e->ExData) continue;
      for (int k = 0; k < e->ExData->Count(); ++k) {
        if (const TExData* ex = e->ExData->Object(k))
          std::cout << '\t' << ex->Name << ' ' << ex->Text << '\n';
      }
    }
    return kExitOk;
  });
}

const bool registered = RegisterCommand(
    {"trace", "trace FILE           the trace journal, newest first: time<TAB>text", {}, Run});

}  // namespace
}  // namespace kalmet::cli
