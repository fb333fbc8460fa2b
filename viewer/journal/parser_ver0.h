// The parser of protocol-version-0 sessions: walks the variable table in ascending order
// and hands each variable to its journal decoder, graph loader or the setup collection.
#pragma once

#include "journal/journal0.h"

namespace kalmet {

class SessionContext;
struct TDictionaries;
struct TInputData;

class TParserVer0 {
 public:
  explicit TParserVer0(TDictionaries& dicts) : dicts_(dicts), journal_(dicts) {}

  // Walks ctx.slInputData, then appends the stop reasons to the red events and counts the
  // start graphs. True unless the last loader whose result is taken failed.
  bool Parsing(SessionContext& ctx);

  TJournal0& Journal() { return journal_; }

 private:
  bool Route(SessionContext& ctx, const TInputData& value);

  TDictionaries& dicts_;
  TJournal0 journal_;
};

}  // namespace kalmet
