#include "dictionaries/ksu_voc_event.h"

#include <algorithm>
#include <exception>

#include "dictionaries/dictionary_file.h"
#include "dictionaries/format_mask.h"
#include "journal/event_data.h"
#include "session/file_log.h"

namespace kalmet {

// ---- Controller format list ----

void TKsuVocFormat::Load(pugi::xml_node formats) {
  static const std::string kPrefix = "[TKsuVocFormat.Create] ";
  formats_.Clear();
  try {
    LoadFormatElements(formats, "Format", false, "Category", 3, 4, kPrefix, formats_);
  } catch (const std::exception& e) {
    WriteLog(kPrefix + "Строка XML=" + NodeXml(formats) + " Exception: " + e.what());
  }
  count_ = formats_.Count();
}

TKsuFormat* TKsuVocFormat::GetFormat(std::string_view name) const {
  if (count_ == 0) return nullptr;
  return formats_.Find(name);
}

std::string TKsuVocFormat::FormatEventValue(const TKsuFormat& format, uint32_t value) const {
  return RenderEventValue(format, value, "[TKsuVocFormat.FormatEventValue] ");
}

std::string TKsuVocFormat::FormatCombo(const TKsuFormat& format, uint32_t n, int64_t code) const {
  return RenderCombo(format, n, code, "[TKsuVocFormat.FormatCombo] ");
}

std::string TKsuVocFormat::FormatBitMask(const TKsuFormat& format, uint32_t value,
                                         TEventData& event, int64_t code) const {
  static const std::string kPrefix = "[TKsuVocFormat.FormatBitMask] ";
  if (!format.HasItems()) {
    LogNoList(format, code, kPrefix);
    return {};
  }
  try {
    if (!event.ExData) event.ExData = std::make_unique<TOwnedList<TExData>>();
    for (size_t i = 0; i < format.List->size(); ++i) {
      const uint8_t state = BitSet(value, i) ? 1 : 0;
      event.ExData->Add(FormatMask("%5.5u", {static_cast<int64_t>(i)}),
                        std::make_unique<TExData>((*format.List)[i], state ? "Да" : "Нет",
                                                  std::array<uint8_t, 4>{state, 0, 0, 0}, ""));
    }
  } catch (const std::exception& e) {
    WriteLog(kPrefix + " Exception: " + e.what());
  }
  return {};
}

// ---- Event groups ----

std::string TKsuGroup::CodeKey(int i) const {
  if (i < 0 || i >= CodeCount()) return {};
  return TKsuVocGroups::GroupKey(Codes[static_cast<size_t>(i)]);
}

bool TKsuGroup::Holds(uint32_t code) const {
  return std::binary_search(Codes.begin(), Codes.end(), code);
}

std::string TKsuVocGroups::GroupKey(int64_t number) {
  return FormatMask("%10.10u", {static_cast<int64_t>(static_cast<uint32_t>(number))});
}

void TKsuVocGroups::Load(pugi::xml_node groups) {
  static const std::string kPrefix = "[TKsuVocGroups.Create] ";
  groups_.Clear();
  for (pugi::xml_node child = groups.first_child(); child; child = child.next_sibling()) {
    if (DomName(child) != "EventGroup") continue;
    try {
      const int32_t id = IntAttr(child, "Id");
      const std::string name = TextAttr(child, "Name");
      const std::string ids = std::to_string(id);
      if (!child.first_child()) {
        WriteLog(kPrefix + "Для группы " + ids + " нет данных.");
        continue;
      }
      if (groups_.Contains(GroupKey(id))) {
        WriteLog(kPrefix + "Группа с номером " + ids + " уже есть в словаре.");
        continue;
      }
      std::vector<uint32_t> codes;
      if (!SetGroupList(child, id, codes)) continue;
      std::sort(codes.begin(), codes.end());
      auto group = std::make_unique<TKsuGroup>();
      group->Number = id;
      group->Name = name;
      group->Codes = std::move(codes);
      groups_.Add(GroupKey(id), std::move(group));
    } catch (const std::exception& e) {
      WriteLog(kPrefix + "Строка XML=" + NodeXml(child) + " Exception: " + e.what());
    }
  }
  count_ = groups_.Count();
}

bool TKsuVocGroups::SetGroupList(pugi::xml_node group, int32_t id,
                                 std::vector<uint32_t>& codes) const {
  const std::string g = "[TKsuVocGroups.SetGroupList] Группа " + std::to_string(id) + ". ";
  try {
    for (pugi::xml_node child = group.first_child(); child; child = child.next_sibling()) {
      const std::string name = DomName(child);
      const std::string text = child.text().get();
      if (SameText(name, "Range")) {
        if (!SetRange(text, id, codes)) return false;
      } else if (SameText(name, "GroupList")) {
        int32_t number = 0;
        try {
          number = CodeToInt(text);
        } catch (const std::exception& e) {
          WriteLog(g + "Exception: " + e.what());
          return false;
        }
        const TKsuGroup* other = number == 0 ? nullptr : Group(number);
        if (!other) {
          WriteLog(g + "Error: " + text);
          return false;
        }
        if (other->Codes.empty()) {
          WriteLog(g + "Error: Group " + text + " count=0");
          return false;
        }
        codes.insert(codes.end(), other->Codes.begin(), other->Codes.end());
      } else {
        WriteLog("[TKsuVocGroups.SetGroupList] Для группы " + std::to_string(id) +
                 " что-то непонятное.");
      }
    }
  } catch (const std::exception& e) {
    WriteLog(g + "Exception: " + e.what());
    return false;
  }
  return true;
}

bool TKsuVocGroups::SetRange(const std::string& text, int32_t id,
                             std::vector<uint32_t>& codes) const {
  const std::string r = "[TKsuVocGroups.SetRange] Группа " + std::to_string(id) + ". ";
  try {
    const size_t dash = text.find('-');
    if (dash == std::string::npos) {
      WriteLog(r + "Error: " + text);
      return false;
    }
    std::string a = ReplaceAll(ReplaceAll(text.substr(0, dash), "0x", "$"), "0X", "$");
    std::string b = ReplaceAll(text.substr(dash + 1), "0x", "$");
    const int64_t from = ToInt(a);
    const int64_t to = ToInt(b);
    // A range wider than the code space would only exhaust memory.
    if (from == 0 || to == 0 || to - from + 1 > kMaxRangeCodes) {
      WriteLog(r + "Error: " + text);
      return false;
    }
    for (int64_t c = from; c <= to; ++c) codes.push_back(static_cast<uint32_t>(c));
  } catch (const std::exception& e) {
    WriteLog(r + "Exception: " + e.what());
    return false;
  }
  return true;
}

TKsuGroup* TKsuVocGroups::Group(int32_t number) const {
  return groups_.Find(GroupKey(number));
}

bool TKsuVocGroups::SeekInGroup(int32_t group, uint32_t code) const {
  const TKsuGroup* g = Group(group);
  return g && !g->Codes.empty() && g->Holds(code);
}

// ---- Controller event vocabulary ----

bool TKsuVocEvent::Create(const std::string& path, const THost& host,
                          std::unique_ptr<TKsuVocFormat>& formats,
                          std::unique_ptr<TKsuVocGroups>& groups) {
  static const std::string kPrefix = "[TKsuVocEvent.Create] ";
  Reset();
  formats.reset();
  groups.reset();
  pugi::xml_document doc;
  pugi::xml_node root;
  switch (OpenDictionaryFile(path, kPrefix, host, true, doc, root)) {
    case TOpenStatus::kOk:
      break;
    case TOpenStatus::kRejected:
      return false;
    case TOpenStatus::kUnreachable:
      return true;
  }
  auto section = [&](const char* name) {
    const pugi::xml_node node = root.child(name);
    if (!node) {
      const std::string m = "Некорректный файл словаря <<" + FileNameOf(path) + ">>.";
      WriteLog(kPrefix + m + " Не найден: " + name);
      ReportStartupFailure(host, m, true);
    }
    return node;
  };

  const pugi::xml_node formatsNode = section("Formats");
  if (!formatsNode) return false;
  formats = std::make_unique<TKsuVocFormat>();
  formats->Load(formatsNode);

  const pugi::xml_node groupsNode = section("EventGroups");
  if (!groupsNode) return false;
  groups = std::make_unique<TKsuVocGroups>();
  groups->Load(groupsNode);

  const pugi::xml_node eventsNode = section("Events");
  if (!eventsNode) return false;
  const TKsuVocGroups& g = *groups;
  LoadEvents(eventsNode, false, true, "[TKsuVocEvent.LoadEvents] ", formats.get(),
             [&g](pugi::xml_node, uint32_t code) -> int32_t {
               if (g.InGroup5(code)) return 1;
               if (g.InGroup3(code)) return 2;
               if (code == 40961) return 3;
               if (code == 40962) return 4;
               return 0;
             });
  return true;
}

}  // namespace kalmet
