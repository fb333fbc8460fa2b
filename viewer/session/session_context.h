// The state of the open session: the globals every part reads, the variable table,
// the session lists and the decoded journal. One object owned by the application,
// so that a test can make a fresh one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "journal/event_data.h"
#include "journal/journal_collection.h"
#include "session/host.h"
#include "session/input_table.h"
#include "session/keyed_list.h"

namespace kalmet {

class SessionContext;

// The steps of loading that other components provide. Each is optional; a missing one
// is skipped.
struct TSessionHooks {
  // Selects the setup dictionary for iVersionMajor/iVersionMinor.
  std::function<void(SessionContext&)> SelectSetupVersion;
  // The protocol parsers.
  std::function<void(SessionContext&)> ParserVer0;
  std::function<void(SessionContext&)> ParserVer1;
  std::function<void(SessionContext&)> ParserVer2;
  // Resets the start graph state (part of clearing the journal).
  std::function<void(SessionContext&)> ResetStartGraphs;
};

class SessionContext {
 public:
  SessionContext() = default;
  SessionContext(const SessionContext&) = delete;
  SessionContext& operator=(const SessionContext&) = delete;

  int32_t iProtocol = -1;
  int32_t iVersionMajor = -1;
  int32_t iVersionMinor = -1;
  std::string sSoftwareVersion;
  std::string sSessionTime;
  std::string sFieldName;
  std::string sClusterName;
  std::string sWellName;
  bool bZ5K = false;
  std::string sFragmentFrom;
  std::string sFragmentTo;
  std::string sStartGraphTime;
  std::string sAppPath;   // program folder with trailing separator
  std::string sDictPath;  // sAppPath + "Dictionary/"
  int32_t iDebug = 0;
  // The XML session document is "active" once a session file parsed.
  bool bXmlActive = false;
  // The window title the last reader set.
  std::string sTitle;

  TInputTable slInputData;
  TOwnedList<TEventData> slGraph;
  TOwnedList<TEventData> slTrasser;
  TRefList<TEventData> slJournal;
  TJournalCollection Journal;

  THost Host;
  TSessionHooks Hooks;

  // Sets sAppPath and sDictPath from the program folder.
  void SetProgramFolder(const std::string& folder);

  // Frees slGraph and slTrasser, empties slJournal.
  void ListEventsClear();
  // Clears the journal collection and the start graph state.
  void ClearJrn();
  // Key against the journal fragment bounds.
  bool KeyInFragment(const std::string& key) const;

  // The window title "Kalmet <time> Месторождение: ..., Куст: ..., Скважина: ...".
  std::string SessionTitle() const;
};

// Sets iProtocol and runs the parsers for the loaded table (variable 16370 decides).
void ChooseAndRunParser(SessionContext& ctx);

}  // namespace kalmet
