#include "engine.h"

#include "journal/journal_rows.h"
#include "journal/parser_ver0.h"
#include "journal/parser_ver1.h"
#include "journal/parser_ver2.h"
#include "journal/trelbo_binding.h"
#include "session/session_file.h"

namespace kalmet {

TEngine::TEngine() : trelbo_(std::make_unique<TTrelbo>()) {}

TEngine::~TEngine() = default;

bool TEngine::Start(const std::string& programFolder) {
  ctx.SetProgramFolder(programFolder);
  std::string error;
  if (!trelbo_->Load(ctx.sAppPath + "libtrelbo.so", error)) {
    ctx.Host.Report(error, "Ошибка!");
    return false;
  }
  const bool ok = LoadDictionaries(ctx, dicts);
  AttachDictionaries(ctx, dicts);
  parser0_ = std::make_unique<TParserVer0>(dicts);
  parser1_ = std::make_unique<TParserVer1>(dicts);
  parser2_ = std::make_unique<TParserVer2>(dicts, *trelbo_);
  ctx.Hooks.ParserVer0 = [this](SessionContext& c) { parser0_->Parsing(c); };
  ctx.Hooks.ParserVer1 = [this](SessionContext& c) { parser1_->Parsing(c); };
  ctx.Hooks.ParserVer2 = [this](SessionContext& c) { parser2_->Parsing(c); };
  return ok;
}

bool TEngine::Open(const std::string& fileName, int* slices) {
  const bool ok = ReadSessionFile(ctx, fileName, slices);
  if (ok) BuildJournal(ctx);
  return ok;
}

}  // namespace kalmet
