#include "dictionaries/voc_custom_graphs.h"

#include <exception>

#include "dictionaries/dictionary_file.h"
#include "dictionaries/format_mask.h"
#include "session/file_log.h"

namespace kalmet {
namespace {

std::string HexKey(int32_t n) {
  return FormatMask("%5.5x", {n});
}

}  // namespace

TCustomEvent TCustomEvent::Create(pugi::xml_node node) {
  static const std::string kPrefix = "[TCustomEvent.Create] ";
  TCustomEvent rule;
  const bool hasValue = HasAttr(node, "ExData") || HasAttr(node, "Value");
  const bool hasBegin = HasAttr(node, "BeginExData") || HasAttr(node, "BeginValue");
  if (!node.first_attribute() || !hasValue || !hasBegin) {
    WriteLog(kPrefix + "ERROR: Неправильная строка XML=" + NodeXml(node));
    return rule;
  }
  try {
    if (HasAttr(node, "Select") && HasAttr(node, "SelectValue")) {
      rule.SelectNum = CodeAttr(node, "Select");
      rule.SelectValue = CodeAttr(node, "SelectValue");
      rule.HasTest = true;
    }
    if (HasAttr(node, "ExData")) {
      rule.ValueNum = CodeAttr(node, "ExData");
      rule.ValueFromExtra = true;
    } else {
      rule.ValueConst = CodeAttr(node, "Value");
    }
    if (HasAttr(node, "BeginExData")) {
      rule.BeginNum = CodeAttr(node, "BeginExData");
      rule.BeginFromExtra = true;
    } else {
      rule.BeginConst = CodeAttr(node, "BeginValue");
    }
    rule.Code = CodeAttr(node, "Num");
  } catch (const std::exception& e) {
    WriteLog(kPrefix + "Строка XML=" + NodeXml(node) + " Exception: " + e.what());
    rule.Code = 0;
  }
  return rule;
}

TCustomVariant::TCustomVariant(pugi::xml_node node) {
  static const std::string kPrefix = "[TCustomVariant.Create] ";
  try {
    Num = CodeAttr(node, "Num");
    VarID = HasAttr(node, "VarID") ? CodeAttr(node, "VarID") : 0;
    SubID = HasAttr(node, "SubID") ? CodeAttr(node, "SubID") : 0;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
      if (DomName(child) != "Event") continue;
      try {
        const TCustomEvent rule = TCustomEvent::Create(child);
        if (rule.Code != 0) {
          Events.Add(HexKey(rule.Code), std::make_unique<TCustomEvent>(rule));
        } else {
          WriteLog(kPrefix + FormatMask("ERROR: Неправильный Event в Variant %d", {Num}));
        }
      } catch (const std::exception& e) {
        WriteLog(kPrefix + "Строка XML=" + NodeXml(child) + " Exception: " + e.what());
      }
    }
    Events.Sort();
    if (Events.Count() == 0) {
      WriteLog(kPrefix + FormatMask("ERROR: В Variant %d нет Event", {Num}));
      Num = 0;
    }
  } catch (const std::exception& e) {
    WriteLog(kPrefix + "Строка XML=" + NodeXml(node) + " Exception: " + e.what());
    Num = 0;
  }
}

TCustomGraph::TCustomGraph(pugi::xml_node node) {
  static const std::string kPrefix = "[TCustomGraph.Create] ";
  try {
    Name = TextAttr(node, "Name");
    ShortName = TextAttr(node, "ShortName");
    if (Trim(ShortName).empty()) ShortName = " ";
  } catch (const std::exception& e) {
    WriteLog(kPrefix + "Строка XML=" + NodeXml(node) + " Exception: " + e.what());
    return;
  }
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
    if (DomName(child) != "Variant") continue;
    try {
      auto variant = std::make_unique<TCustomVariant>(child);
      if (variant->Num != 0) {
        const int32_t num = variant->Num;
        Variants.Add(HexKey(num), std::move(variant));
      } else {
        WriteLog(kPrefix + FormatMask("ERROR: Неправильный Variant в %s", {Name}));
      }
    } catch (const std::exception& e) {
      WriteLog(kPrefix + "Строка XML=" + NodeXml(child) + " Exception: " + e.what());
    }
  }
  Variants.Sort();
  Valid = Variants.Count() > 0;
  if (!Valid) WriteLog(kPrefix + FormatMask("ERROR: В Graph %s нет Variant", {Name}));
}

void TVocCustomGraphs::Create(const std::string& path, const THost& host) {
  static const std::string kPrefix = "[TVocCustomGraphs.Create] ";
  items_.clear();
  graphs_.clear();
  items_.push_back(Item{kChooseItem, nullptr});
  pugi::xml_document doc;
  pugi::xml_node root;
  if (OpenDictionaryFile(path, kPrefix, host, false, doc, root) != TOpenStatus::kOk) return;
  for (pugi::xml_node child = root.first_child(); child; child = child.next_sibling()) {
    if (!SameText(DomName(child), "Graph")) continue;
    try {
      auto graph = std::make_unique<TCustomGraph>(child);
      if (graph->Valid) {
        items_.push_back(Item{graph->Name, graph.get()});
        graphs_.push_back(std::move(graph));
      } else {
        WriteLog(kPrefix + FormatMask("Ошибка в %s.", {NodeXml(child)}));
      }
    } catch (const std::exception& e) {
      WriteLog(kPrefix + "Строка XML=" + NodeXml(child) + " Exception: " + e.what());
    }
  }
}

}  // namespace kalmet
