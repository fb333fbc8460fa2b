// All dictionaries of the program, loaded at start-up from "<program folder>/Dictionary/".
#pragma once

#include <memory>

#include "dictionaries/dictionary.h"
#include "dictionaries/ksu_voc_event.h"
#include "dictionaries/setup_collection.h"
#include "dictionaries/voc_custom_graphs.h"
#include "dictionaries/voc_event.h"
#include "dictionaries/voc_format.h"

namespace kalmet {

class SessionContext;

struct TDictionaries {
  std::unique_ptr<TDictionary> Dictionary;
  std::unique_ptr<TKsuVocEvent> KsuVocEvent;
  // Created by the controller vocabulary's loading; null when it did not get that far.
  std::unique_ptr<TKsuVocFormat> KsuVocFormat;
  std::unique_ptr<TKsuVocGroups> KsuVocGroups;
  std::unique_ptr<TVocFormat> VocFormat;
  std::unique_ptr<TVocEvent> VocEvent;
  std::unique_ptr<TVocCustomGraphs> CustomGraphs;
  std::unique_ptr<TSetupCollection> Setups;
};

// The files, relative to the dictionary folder.
inline constexpr const char* kVariablesFile = "Variables/Variables.xml";
inline constexpr const char* kKsuEventsFile = "Dictionary/KSUEvents.xml";
inline constexpr const char* kVocFormatFile = "Dictionary/VocFormat.xml";
inline constexpr const char* kVocEventFile = "Dictionary/VocEvent.xml";
inline constexpr const char* kCustomGraphFile = "Dictionary/CustomGraph.xml";

// Loads the dictionaries from ctx.sDictPath in the start-up order (variables, controller
// events, formats, events, custom graphs) and creates the setup collection. Failures are
// logged and reported through ctx.Host; false when the program cannot go on (every
// dictionary is still loaded, so that each reports its own failure).
bool LoadDictionaries(SessionContext& ctx, TDictionaries& dicts);

// Connects the session to the dictionaries: the setup version choice of the readers and
// the reset of the event descriptions' counters when the journal is cleared. dicts must
// outlive ctx's use of these hooks.
void AttachDictionaries(SessionContext& ctx, TDictionaries& dicts);

}  // namespace kalmet
