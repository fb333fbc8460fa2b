// kalmet-cli setups FILE: every setup page as the window's grids show it.
#include <iostream>

#include "cli_command.h"
#include "cli_session.h"
#include "engine.h"
#include "exit_codes.h"

namespace kalmet::cli {
namespace {

int Run(SessionContext&, const CommandArgs& args) {
  return WithSession(args, [](TEngine& engine, const OpenResult&) {
    TSetupCollection& setups = *engine.dicts.Setups;
    setups.FillGrids(engine.ctx.sSoftwareVersion);
    for (int p = 0; p < setups.PageCount(); ++p) {
      const TSetup* page = setups.Page(p);
      std::cout << "== " << page->Title() << '\n';
      for (const TSetupGridRow& row : page->Grid()) {
        if (row.Marker == 1) {
          std::cout << "# " << row.Name << '\n';
        } else {
          std::cout << row.Name << '\t' << row.Value << '\n';
        }
      }
    }
    return kExitOk;
  });
}

const bool registered =
    RegisterCommand({"setups",
                     "setups FILE          every setup page: == title, name<TAB>value, # heading",
                     {},
                     Run});

}  // namespace
}  // namespace kalmet::cli
