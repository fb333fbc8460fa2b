#include "dictionaries/setup_collection.h"

#include <exception>
#include <filesystem>

#include "dictionaries/dictionary.h"
#include "dictionaries/dictionary_file.h"
#include "dictionaries/format_mask.h"
#include "dictionaries/voc_format.h"
#include "session/delphi_text.h"
#include "session/file_log.h"
#include "session/xml_document.h"

namespace kalmet {
namespace {

// The first max characters (code points) of text.
std::string CutCharacters(const std::string& text, size_t max) {
  size_t chars = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && chars++ == max)
      return text.substr(0, i);
  }
  return text;
}

void Pump(const THost* host) {
  if (host) host->Pump();
}

}  // namespace

// ---- One page ----

TSetup::TSetup(std::string title, int slot) : title_(std::move(title)), slot_(slot) {
  GridClear();
}

void TSetup::AddIndex(int32_t variableId, int32_t subId, const std::string& caption) {
  try {
    TSetupRow row;
    row.VariableId = variableId;
    row.SubId = subId;
    row.Caption = CutCharacters(caption, kMaxCaption);
    rows_.push_back(std::move(row));
  } catch (const std::exception& e) {
    WriteLog(std::string("[TSetup.AddIndex] Exception: ") + e.what());
  }
}

bool TSetup::Parsing(int32_t variableId, int32_t subId, const TData& value,
                     const TDictionary* dictionary) {
  static const std::string kPrefix = "[TSetup.Parsing] ";
  TSetupRow* row = nullptr;
  for (TSetupRow& r : rows_) {
    if (r.VariableId == variableId && r.SubId == subId) {
      row = &r;
      break;
    }
  }
  if (!row) return false;
  if (!dictionary) {
    WriteLog(kPrefix + "Словарь не определен.");
    return false;
  }
  const TDictIndex* entry = dictionary->GetDict(variableId);
  if (!entry) {
    WriteLog(kPrefix + "Индекс " + std::to_string(variableId) + " не описан в словаре.");
    return false;
  }
  try {
    if (entry->VariableType == "T_STRING") {
      row->Text = ConvertToStr(value);
      row->IsText = true;
    } else {
      row->Value = 0;
      for (size_t i = 0; i < value.size() && i < 4; ++i)
        row->Value |= static_cast<uint32_t>(value[i]) << (8 * i);
    }
    row->HasValue = true;
  } catch (const std::exception& e) {
    WriteLog(kPrefix + "Exception: " + e.what());
    return false;
  }
  return true;
}

void TSetup::GridFill(const TDictionary* dictionary, const TVocFormat* formats,
                      const std::string& softwareVersion, const THost* host) {
  static const std::string kPrefix = "[TSetup.GridFill] ";
  if (rows_.empty()) return;
  if (!dictionary) {
    WriteLog(kPrefix + "Словарь не определен.");
    return;
  }
  auto write = [this](std::string name, std::string value, int marker) {
    grid_.back() = TSetupGridRow{std::move(name), std::move(value), marker};
    grid_.emplace_back();
  };
  for (const TSetupRow& row : rows_) {
    Pump(host);
    try {
      if (row.VariableId == 0) {
        write(row.Caption, "", 1);
        continue;
      }
      const TDictIndex* entry = dictionary->GetDict(row.VariableId);
      if (!entry) {
        WriteLog(kPrefix + "Индекс " + std::to_string(row.VariableId) + " не описан в словаре.");
        continue;
      }
      std::string name = entry->VariableName + row.Caption;
      if (row.HasValue) {
        if (!entry->VariableEd.empty()) name += " (" + entry->VariableEd + ")";
        const TRawValue raw = row.IsText ? TRawValue::OfText(row.Text) : TRawValue(row.Value);
        std::string value = formats ? formats->FormattingIndex(row.VariableId, raw) : "?";
        write(std::move(name), std::move(value), 0);
      } else if (row.VariableId == 1021) {
        write(std::move(name), softwareVersion, 0);
      }
    } catch (const std::exception& e) {
      WriteLog(kPrefix + "Exception: " + e.what());
    }
  }
  if (grid_.size() > 1) grid_.pop_back();
}

void TSetup::GridClear() {
  grid_.assign(1, TSetupGridRow{});
}

void TSetup::ClearValues() {
  for (TSetupRow& row : rows_) {
    row.Text.clear();
    row.HasValue = false;
    row.IsText = false;
  }
}

// ---- The collection ----

TSetupCollection::TSetupCollection(std::string dictPath, const TDictionary* dictionary,
                                   const TVocFormat* formats, const THost* host)
    : dictPath_(std::move(dictPath)), dictionary_(dictionary), formats_(formats), host_(host) {}

void TSetupCollection::SetVersion(int32_t major, int32_t minor) {
  try {
    if (major == major_ && minor == minor_) {
      ClearValues();
      return;
    }
    major_ = major;
    minor_ = minor;
    const std::string file = GetFileName();
    if (file.empty()) {
      Clear();
    } else if (SameText(file, fileName_)) {
      ClearValues();
    } else {
      Clear();
      fileName_ = file;
      LoadXML();
    }
  } catch (const std::exception&) {
    // The setups are optional: a failure leaves whatever state was reached.
  }
}

std::string TSetupCollection::GetFileName() const {
  for (int32_t m = minor_; m >= 0; --m) {
    const std::string candidate =
        dictPath_ + "Dictionary/" + FormatMask("KSU_%d.%d.xml", {major_, m});
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
  }
  WriteLog(
      FormatMask("[TSetupCollection.GetFileName] Не найден файл настройки уставок для версии %d.%d",
                 {major_, minor_}));
  return {};
}

void TSetupCollection::LoadXML() {
  static const std::string kPrefix = "[TSetupCollection.LoadXML] ";
  pugi::xml_document doc;
  pugi::xml_node root;
  std::string error;
  if (!LoadXmlFile(fileName_, XmlDeclarationRule::kHonourDeclaration, doc, error)) {
    WriteLog(kPrefix + "Некорректный файл настроек. " + error);
    return;
  }
  const pugi::xml_node first = doc.first_child();
  root = first ? first.next_sibling() : pugi::xml_node();
  if (!root) {
    WriteLog(kPrefix + "Exception: List index out of bounds (1)");
    return;
  }
  if (DomName(root) != "PultexConsole") {
    WriteLog(kPrefix + "Некорректный файл настроек. " +
             "Неверное имя корневого элемента документа: " + DomName(root));
    return;
  }
  for (pugi::xml_node child = root.first_child(); child; child = child.next_sibling()) {
    Pump(host_);
    const std::string name = DomName(child);
    if (SameText(name, "#comment")) continue;
    try {
      if (pages_.empty() || !SameText(name, pages_.back()->Title())) {
        if (PageCount() >= kMaxPages) break;
        pages_.push_back(std::make_unique<TSetup>(name, PageCount() + 1));
      }
      const int32_t id = IntAttr(child, "VariableID");
      int32_t sub = 0;
      std::string caption;
      if (id != 0) {
        try {
          sub = IntAttr(child, "VariableSubId");
          caption = TextAttr(child, "VariableNM");
        } catch (const std::exception&) {
          sub = 0;
          caption.clear();
        }
      } else {
        sub = IntAttr(child, "VariableSubId");
        caption = TextAttr(child, "VariableNM");
      }
      pages_.back()->AddIndex(id, sub, caption);
    } catch (const std::exception& e) {
      WriteLog(kPrefix + "Строка XML=" + NodeXml(child) + " Exception: " + e.what());
    }
  }
  Changed();
}

bool TSetupCollection::Parsing(int32_t variableId, int32_t subId, const TData& value) {
  for (auto it = pages_.rbegin(); it != pages_.rend(); ++it) {
    if ((*it)->Parsing(variableId, subId, value, dictionary_)) return true;
  }
  return false;
}

void TSetupCollection::FillGrids(const std::string& softwareVersion) {
  for (auto it = pages_.rbegin(); it != pages_.rend(); ++it)
    (*it)->GridFill(dictionary_, formats_, softwareVersion, host_);
  Changed();
}

void TSetupCollection::ClearValues() {
  for (auto it = pages_.rbegin(); it != pages_.rend(); ++it) {
    (*it)->ClearValues();
    (*it)->GridClear();
  }
  Changed();
}

void TSetupCollection::Clear() {
  while (!pages_.empty()) pages_.pop_back();
  fileName_.clear();
  Changed();
}

}  // namespace kalmet
