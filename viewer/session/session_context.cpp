#include "session/session_context.h"

#include "session/conversions.h"
#include "session/file_log.h"

namespace kalmet {

void SessionContext::SetProgramFolder(const std::string& folder) {
  sAppPath = folder;
  if (sAppPath.empty() || sAppPath.back() != '/') sAppPath += '/';
  sDictPath = sAppPath + "Dictionary/";
}

void SessionContext::ListEventsClear() {
  slGraph.Clear();
  slJournal.Clear();
  slTrasser.Clear();
}

void SessionContext::ClearJrn() {
  try {
    Journal.Clear();
    sStartGraphTime.clear();
    if (Hooks.ResetStartGraphs) Hooks.ResetStartGraphs(*this);
  } catch (const std::exception& e) {
    WriteLog(std::string("[ClearJrn] Exception: ") + e.what());
  }
}

bool SessionContext::KeyInFragment(const std::string& key) const {
  return KeyInRange(key, sFragmentFrom, sFragmentTo);
}

std::string SessionContext::SessionTitle() const {
  return "Kalmet " + sSessionTime + " Месторождение: " + sFieldName + ",  Куст: " + sClusterName +
         ",  Скважина: " + sWellName;
}

}  // namespace kalmet
