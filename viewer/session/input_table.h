// The variable value table: every value of the open session, keyed by the decimal text
// of the variable number, sorted by key, the most recently added duplicate first.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "session/conversions.h"
#include "session/date_time.h"

namespace kalmet {

struct TInputData {
  int32_t Id = 0;
  int32_t ArrayIndex = 0;
  int32_t Quality = 0;
  TDateTime Time = 0;
  TData Data;
};

class TInputTable {
 public:
  TInputTable() = default;
  TInputTable(const TInputTable&) = delete;
  TInputTable& operator=(const TInputTable&) = delete;

  // Adds a record under the decimal text of its Id; it goes before existing entries
  // with the same key. Appending is O(1); the order is settled on the next read.
  void Add(std::unique_ptr<TInputData> record);

  int Count() const { return static_cast<int>(entries_.size()); }
  // Position access in table order; out-of-range positions give empty/null.
  const std::string& Key(int index) const;
  TInputData* Object(int index) const;
  void Delete(int index);

  // Position of the first (most recently added) entry for id, or -1.
  int IndexOf(int32_t id) const;
  TInputData* Find(int32_t id) const;

  // Frees every record.
  void ClearValues();

  // Value access by id (the most recently added entry).
  uint16_t GetValueWord(int32_t id) const;
  TData GetValueData(int32_t id) const;
  TDateTime GetValueTime(int32_t id) const;

 private:
  struct Entry {
    std::string key;
    uint64_t seq;
    std::unique_ptr<TInputData> record;
  };
  void Settle() const;

  mutable std::vector<Entry> entries_;
  mutable bool sorted_ = true;
  uint64_t next_seq_ = 0;
};

}  // namespace kalmet
