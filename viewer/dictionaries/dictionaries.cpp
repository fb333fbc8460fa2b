#include "dictionaries/dictionaries.h"

#include "session/session_context.h"

namespace kalmet {

bool LoadDictionaries(SessionContext& ctx, TDictionaries& dicts) {
  const std::string& dir = ctx.sDictPath;
  bool ok = true;

  dicts.Dictionary = std::make_unique<TDictionary>();
  ok &= dicts.Dictionary->Create(dir + kVariablesFile, ctx.Host);

  dicts.KsuVocEvent = std::make_unique<TKsuVocEvent>();
  ok &= dicts.KsuVocEvent->Create(dir + kKsuEventsFile, ctx.Host, dicts.KsuVocFormat,
                                  dicts.KsuVocGroups);

  dicts.VocFormat = std::make_unique<TVocFormat>();
  ok &= dicts.VocFormat->Create(dir + kVocFormatFile, ctx.Host);
  dicts.VocFormat->SetDictionary(dicts.Dictionary.get());

  dicts.VocEvent = std::make_unique<TVocEvent>();
  ok &= dicts.VocEvent->Create(dir + kVocEventFile, ctx.Host, dicts.KsuVocFormat.get());

  dicts.CustomGraphs = std::make_unique<TVocCustomGraphs>();
  dicts.CustomGraphs->Create(dir + kCustomGraphFile, ctx.Host);

  dicts.Setups = std::make_unique<TSetupCollection>(dir, dicts.Dictionary.get(),
                                                    dicts.VocFormat.get(), &ctx.Host);
  return ok;
}

void AttachDictionaries(SessionContext& ctx, TDictionaries& dicts) {
  TDictionaries* d = &dicts;
  ctx.Hooks.SelectSetupVersion = [d](SessionContext& c) {
    if (d->Setups) d->Setups->SetVersion(c.iVersionMajor, c.iVersionMinor);
  };
  ctx.Journal.ResetDescriptionCounters = [d] {
    if (d->VocEvent) d->VocEvent->ResetCounters();
    if (d->KsuVocEvent) d->KsuVocEvent->ResetCounters();
  };
}

}  // namespace kalmet
