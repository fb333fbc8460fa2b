// The parser of protocol-version-1 sessions (and of the variables that remain after the
// version-2 journal parser): walks the variable table in descending order and hands each
// variable to its journal decoder, graph loader or the setup collection.
#pragma once

#include "journal/journal1.h"

namespace kalmet {

class SessionContext;
struct TDictionaries;
struct TInputData;

class TParserVer1 {
 public:
  explicit TParserVer1(TDictionaries& dicts) : dicts_(dicts), journal_(dicts) {}

  // Walks ctx.slInputData, then counts the start graphs. True unless the last loader
  // whose result is taken failed.
  bool Parsing(SessionContext& ctx);

  TJournal1& Journal() { return journal_; }

 private:
  bool Route(SessionContext& ctx, const TInputData& value);

  TDictionaries& dicts_;
  TJournal1 journal_;
};

}  // namespace kalmet
