// The decoded journal of the open session, sorted by key, with its work counters.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "journal/event_data.h"

namespace kalmet {

class TJournalCollection {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  TEventData* GetEvent(int i) const;
  const std::string& GetKey(int i) const;
  // Inserts at the sorted position, after existing equal keys; takes ownership.
  void Add(std::string key, std::unique_ptr<TEventData> event);
  TEventData* Find(const std::string& key) const;
  void ResetWork();
  // Frees every record (last to first), resets the vocabularies' counters through the
  // registered reset, then the work counters.
  void Clear();

  // Called by Clear to zero the event descriptions' counters (set by the vocabularies).
  std::function<void()> ResetDescriptionCounters;

  uint32_t WorkTime = 0;
  uint32_t IdleTime = 0;
  uint32_t StartCount = 0;

 private:
  std::vector<std::pair<std::string, std::unique_ptr<TEventData>>> items_;
};

}  // namespace kalmet
