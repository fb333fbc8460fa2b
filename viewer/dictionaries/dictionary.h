// The variable dictionary: for each variable index its name, unit, simple type and format.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dictionaries/keyed_index.h"
#include "session/host.h"

namespace kalmet {

struct TDictIndex {
  int32_t VariableId = 0;
  std::string VariableFormat;
  std::string VariableType;
  std::string VariableName;
  std::string VariableEd;
  bool IgnoreEvent3 = false;
};

class TDictionary {
 public:
  TDictionary() = default;
  TDictionary(const TDictionary&) = delete;
  TDictionary& operator=(const TDictionary&) = delete;

  // Loads "Variables.xml"; false when the program cannot go on (the dictionary is then
  // empty). Failures are logged and, where the user must know, reported through host.
  bool Create(const std::string& path, const THost& host);

  TDictIndex* GetDict(int32_t id) const;
  TDictIndex* GetDict(std::string_view key) const;

  int Count() const { return count_; }
  // Entry by position in key order.
  TDictIndex* At(int i) const { return index_.At(i); }

 private:
  TKeyedIndex<TDictIndex> index_;
  int count_ = 0;
};

}  // namespace kalmet
