#include "dictionaries/voc_event.h"

#include <exception>

#include "dictionaries/format_mask.h"
#include "dictionaries/ksu_voc_event.h"
#include "session/file_log.h"

namespace kalmet {

std::string TExEvent::Key() const {
  return FormatMask("%5.5u", {Num});
}

void SetExEvent(pugi::xml_node node, TEvent& event, const TKsuVocFormat* ksuFormats) {
  const std::string p = "[TEvent.SetExEvent] EventID=0x" +
                        FormatMask("%4x", {static_cast<int64_t>(event.Code)}) + " ";
  event.ExEvents.clear();
  try {
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
      if (!SameText(DomName(child), "ExData")) continue;
      TExEvent ex;
      try {
        ex.Num = IntAttr(child, "Num");
      } catch (const std::exception& e) {
        WriteLog(p + "Num" + " Exception: " + e.what());
        ex.Num = 0;
      }
      if (ex.Num == 0) continue;
      ex.Name = std::string(Trim(TextAttr(child, "Name")));
      try {
        ex.Size = IntAttr(child, "Size");
      } catch (const std::exception& e) {
        WriteLog(p + "Size" + " Exception: " + e.what());
        ex.Size = 0;
      }
      ex.Type = TextAttr(child, "Type");
      ex.Cast = TextAttr(child, "Cast");
      ex.Ed = TextAttr(child, "Ed");
      ex.VFormat = TextAttr(child, "VFormat");
      const std::string_view vformat = Trim(ex.VFormat);
      if (event.Code > 40960 && !vformat.empty() &&
          !(ksuFormats && ksuFormats->GetFormat(vformat))) {
        WriteLog(p + ex.VFormat + " не описан в словаре.");
      }
      event.ExEvents.push_back(std::move(ex));
    }
  } catch (const std::exception& e) {
    WriteLog(p + "Exception: " + e.what());
  }
}

TEvent* TEventVocabulary::SeekEvent(std::string_view key) const {
  if (count_ == 0) return nullptr;
  return events_.Find(key);
}

TEvent* TEventVocabulary::SeekEvent(uint32_t code) const {
  return SeekEvent(std::to_string(code));
}

void TEventVocabulary::ResetCounters() {
  events_.ForEach([](TEvent& e) { e.Counter = 0; });
}

void TEventVocabulary::Reset() {
  events_.Clear();
  count_ = 0;
}

void TEventVocabulary::LoadEvents(pugi::xml_node parent, bool anyCase, bool trimTexts,
                                  std::string_view prefix, const TKsuVocFormat* ksuFormats,
                                  const std::function<int32_t(pugi::xml_node, uint32_t)>& stop) {
  const std::string pre(prefix);
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
    const std::string name = DomName(child);
    if (anyCase ? !SameText(name, "Event") : name != "Event") continue;
    try {
      auto event = std::make_unique<TEvent>();
      try {
        event->Code = static_cast<uint32_t>(CodeAttr(child, "EventId"));
      } catch (const std::exception&) {
        event->Code = 0;
      }
      event->Name = TextAttr(child, "EventName");
      if (trimTexts) event->Name = std::string(Trim(event->Name));
      if (const auto color = ColorFromName(Trim(TextAttr(child, "Color")))) event->Color = *color;
      std::string except = TextAttr(child, "Except");
      if (trimTexts) except = std::string(Trim(except));
      event->Except = SameText(except, "yes");
      if (event->Code == 0 || event->Name.empty()) continue;
      std::string key = std::to_string(event->Code);
      if (events_.Contains(key)) {
        WriteLog(pre + "Код " + key + " уже есть в словаре.");
        continue;
      }
      event->Stop = stop(child, event->Code);
      if (child.first_child()) SetExEvent(child, *event, ksuFormats);
      events_.Add(std::move(key), std::move(event));
    } catch (const std::exception& e) {
      WriteLog(pre + "Строка XML=" + NodeXml(child) + " Exception: " + e.what());
    }
  }
  count_ = events_.Count();
}

bool TVocEvent::Create(const std::string& path, const THost& host,
                       const TKsuVocFormat* ksuFormats) {
  static const std::string kPrefix = "[TVocEvent.Create] ";
  Reset();
  pugi::xml_document doc;
  pugi::xml_node root;
  if (OpenDictionaryFile(path, kPrefix, host, true, doc, root) != TOpenStatus::kOk) return false;
  LoadEvents(root, true, false, kPrefix, ksuFormats, [](pugi::xml_node node, uint32_t) {
    try {
      return IntAttr(node, "Stop");
    } catch (const std::exception&) {
      return 0;
    }
  });
  return true;
}

}  // namespace kalmet
