#include "dictionaries/dictionary.h"

#include <exception>

#include "dictionaries/dictionary_file.h"
#include "session/file_log.h"

namespace kalmet {

bool TDictionary::Create(const std::string& path, const THost& host) {
  static const std::string kPrefix = "[TDictionary.Create] ";
  index_.Clear();
  count_ = 0;
  pugi::xml_document doc;
  pugi::xml_node root;
  if (OpenDictionaryFile(path, kPrefix, host, true, doc, root) != TOpenStatus::kOk) return false;

  const pugi::xml_node variables = root.first_child();
  if (!variables) {
    WriteLog(kPrefix + "Exception: List index out of bounds (0)");
    return false;
  }
  if (!SameText(DomName(variables), "Variables")) {
    const std::string m = "Некорректный файл словаря <<" + FileNameOf(path) + ">>.";
    WriteLog(kPrefix + m + " Неверное имя элемента документа: " + DomName(variables));
    ReportStartupFailure(host, m, true);
    return false;
  }

  for (pugi::xml_node child = variables.first_child(); child; child = child.next_sibling()) {
    if (DomName(child) != "Variable") continue;
    try {
      auto entry = std::make_unique<TDictIndex>();
      entry->VariableId = IntAttr(child, "VariableId");
      entry->VariableFormat = TextAttr(child, "VariableFormat");
      entry->VariableType = TextAttr(child, "VariableType");
      entry->VariableName = TextAttr(child, "VariableName");
      entry->VariableEd = TextAttr(child, "VariableEd");
      entry->IgnoreEvent3 = SameText(Trim(TextAttr(child, "IgnoreEvent3")), "yes");
      std::string key = std::to_string(entry->VariableId);
      if (index_.Contains(key)) {
        WriteLog(kPrefix + "Индекс " + key + " уже есть в словаре.");
        continue;
      }
      index_.Add(std::move(key), std::move(entry));
    } catch (const std::exception& e) {
      WriteLog(kPrefix + "Строка XML=" + NodeXml(child) + " Exception: " + e.what());
    }
  }
  count_ = index_.Count();
  return true;
}

TDictIndex* TDictionary::GetDict(int32_t id) const {
  return GetDict(std::to_string(id));
}

TDictIndex* TDictionary::GetDict(std::string_view key) const {
  if (count_ == 0) return nullptr;
  return index_.Find(key);
}

}  // namespace kalmet
