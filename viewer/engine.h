// The engine as the window and the command line use it: the session state, the
// dictionaries, the journal library binding and the protocol parsers, wired together.
#pragma once

#include <memory>
#include <string>

#include "dictionaries/dictionaries.h"
#include "session/session_context.h"

namespace kalmet {

class TTrelbo;
class TParserVer0;
class TParserVer1;
class TParserVer2;

class TEngine {
 public:
  TEngine();
  ~TEngine();
  TEngine(const TEngine&) = delete;
  TEngine& operator=(const TEngine&) = delete;

  // Start-up in the program's order: the journal library from the program folder, then
  // the dictionaries from its "Dictionary" folder. False when the program cannot go on;
  // the user has been told through ctx.Host.Report.
  bool Start(const std::string& programFolder);

  // Steps 7 to 10 of opening a session: the reader by extension (which runs the parsers)
  // and, when it succeeded, the merged journal. Raises TSessionError and TFatalError as
  // the binary readers do. slices (optional): measurement slices read from a ".Z5K".
  bool Open(const std::string& fileName, int* slices = nullptr);

  SessionContext ctx;
  TDictionaries dicts;

  TTrelbo& Trelbo() { return *trelbo_; }
  // The version-2 parser keeps the data of the two diagnostic pages.
  TParserVer2& ParserVer2() { return *parser2_; }

 private:
  std::unique_ptr<TTrelbo> trelbo_;
  std::unique_ptr<TParserVer0> parser0_;
  std::unique_ptr<TParserVer1> parser1_;
  std::unique_ptr<TParserVer2> parser2_;
};

}  // namespace kalmet
