// The custom graph vocabulary ("CustomGraph.xml"): graphs the user can choose, each with
// variants of event rules that tell how to rebuild a quantity from journal events.
#pragma once

#include <cstdint>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "session/host.h"
#include "session/keyed_list.h"

namespace kalmet {

// One event rule.
struct TCustomEvent {
  int32_t Code = 0;  // 0: invalid
  int32_t SelectNum = 0;
  int32_t SelectValue = 0;
  bool HasTest = false;
  int32_t ValueNum = 0;
  int32_t ValueConst = 0;
  bool ValueFromExtra = false;
  int32_t BeginConst = 0;
  int32_t BeginNum = 0;
  bool BeginFromExtra = false;

  // Builds the rule from an Event element; an invalid one keeps the code 0 (logged).
  static TCustomEvent Create(pugi::xml_node node);
};

class TCustomVariant {
 public:
  // Builds the variant from a Variant element; an invalid one has the number 0 (logged).
  explicit TCustomVariant(pugi::xml_node node);

  int32_t Num = 0;
  int32_t VarID = 0;
  int32_t SubID = 0;
  // The rules keyed by "%5.5x" of their code, sorted by key.
  TOwnedList<TCustomEvent> Events;
  int Count() const { return Events.Count(); }
};

class TCustomGraph {
 public:
  // Builds the graph from a Graph element; Valid tells whether a variant was stored.
  explicit TCustomGraph(pugi::xml_node node);

  bool Valid = false;
  std::string Name;
  std::string ShortName;  // one blank when the file gives none
  // The variants keyed by "%5.5x" of their number, sorted by key.
  TOwnedList<TCustomVariant> Variants;
  int Count() const { return Variants.Count(); }
};

class TVocCustomGraphs {
 public:
  static constexpr const char* kChooseItem = "Выбрать...";

  struct Item {
    std::string Text;
    TCustomGraph* Graph = nullptr;  // none for "Выбрать..."
  };

  // Loads the file. A missing or faulty file is reported but never stops the program:
  // the list then holds "Выбрать..." alone.
  void Create(const std::string& path, const THost& host);

  // The combo box items: "Выбрать..." first, then every valid graph in file order.
  const std::vector<Item>& Items() const { return items_; }
  // The number of items, "Выбрать..." included.
  int Count() const { return static_cast<int>(items_.size()); }
  // The number of graphs.
  int GraphCount() const { return static_cast<int>(graphs_.size()); }

 private:
  std::vector<std::unique_ptr<TCustomGraph>> graphs_;
  std::vector<Item> items_;
};

}  // namespace kalmet
