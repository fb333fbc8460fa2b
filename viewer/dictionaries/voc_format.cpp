#include "dictionaries/voc_format.h"

#include <cmath>
#include <cstring>
#include <exception>

#include "dictionaries/dictionary.h"
#include "dictionaries/dictionary_file.h"
#include "dictionaries/format_mask.h"
#include "session/file_log.h"

namespace kalmet {
namespace {

float BitsToFloat(uint32_t bits) {
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

std::string Prefix(std::string_view operation) {
  return "[TVocFormat." + std::string(operation) + "] ";
}

// The truncation of a float toward zero, which fails like the platform's for values
// without an integer (NaN, infinities, beyond 64 bits).
int64_t TruncFloat(float f) {
  if (!std::isfinite(f) || std::fabs(f) >= 9.2e18f)
    throw ConvertError("Invalid floating point operation");
  return static_cast<int64_t>(f);
}

std::string ByteDump(uint32_t word) {
  std::string out;
  for (int i = 0; i < 4; ++i) {
    if (i) out += ' ';
    out += Format("%02X", (word >> (8 * i)) & 0xFFu);
  }
  return out;
}

// The characters of text from position from (1-based), count of them, as the platform's
// Copy does: positions beyond the end give less or nothing.
std::string Copy(const std::string& text, size_t from, size_t count) {
  if (from < 1 || from > text.size()) return {};
  return text.substr(from - 1, count);
}

}  // namespace

std::string RenderEventValue(const TFormat& format, uint32_t value, std::string_view prefix) {
  std::string result = "?";
  try {
    const std::string& m = format.Mask;
    if (m.find('f') != std::string::npos) {
      result = FormatMask(m, {static_cast<double>(BitsToFloat(value))});
    } else if (m.find('d') != std::string::npos) {
      result = FormatMask(m, {static_cast<int32_t>(value)});
    } else if (m.find('u') != std::string::npos) {
      result = FormatMask(m, {static_cast<int32_t>(value)});
    } else {
      result = FormatMask("0x%x", {static_cast<int32_t>(value)});
    }
  } catch (const std::exception& e) {
    WriteLog(std::string(prefix) + "Exception: " + e.what());
  }
  return result;
}

void LogNoList(const TFormat& format, int64_t code, std::string_view prefix) {
  WriteLog(std::string(prefix) + " Для формата " + format.Name +
           " не задан список. Код:" + std::to_string(code));
}

std::string RenderCombo(const TFormat& format, uint32_t n, int64_t code, std::string_view prefix) {
  if (!format.HasItems()) {
    LogNoList(format, code, prefix);
    return "?";
  }
  if (n >= format.List->size()) {
    WriteLog(std::string(prefix) + " Значение " + std::to_string(n) + " больше списочного для " +
             format.Name + ". Код:" + std::to_string(code));
    return "?";
  }
  return (*format.List)[n];
}

std::string RenderBitMask(const TFormat& format, uint64_t v, int64_t code,
                          std::string_view prefix) {
  std::string result;
  if (!format.HasItems()) {
    LogNoList(format, code, prefix);
    return result;
  }
  bool first = true;
  for (size_t i = 0; i < format.List->size(); ++i) {
    if (!BitSet(v, i)) continue;
    if (!first) result += "; ";
    result += (*format.List)[i];
    first = false;
  }
  return result;
}

void LoadFormatElements(pugi::xml_node parent, std::string_view elementName, bool anyCase,
                        const char* kindAttr, uint8_t listKindA, uint8_t listKindB,
                        std::string_view prefix, TKeyedIndex<TFormat>& formats) {
  const std::string pre(prefix);
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
    const std::string name = DomName(child);
    if (anyCase ? !SameText(name, elementName) : name != elementName) continue;
    try {
      auto format = std::make_unique<TFormat>();
      format->Kind = static_cast<uint8_t>(IntAttr(child, kindAttr) & 0xFF);
      format->Name = TextAttr(child, "NM");
      format->Mask = TextAttr(child, "MaskBorland");
      const std::string listText = FirstChildXml(child);
      if (formats.Contains(format->Name)) {
        WriteLog(pre + "Формат " + format->Name + " уже есть в словаре.");
        continue;
      }
      if (format->Kind == listKindA || format->Kind == listKindB)
        format->List = SplitListText(listText);
      std::string key = format->Name;
      formats.Add(std::move(key), std::move(format));
    } catch (const std::exception& e) {
      WriteLog(pre + "Строка XML=" + NodeXml(child) + " Exception: " + e.what());
    }
  }
}

bool TVocFormat::Create(const std::string& path, const THost& host) {
  static const std::string kPrefix = Prefix("Create");
  formats_.Clear();
  count_ = 0;
  pugi::xml_document doc;
  pugi::xml_node root;
  if (OpenDictionaryFile(path, kPrefix, host, true, doc, root) != TOpenStatus::kOk) return false;
  if (!root.first_child()) {
    const std::string m = "Некорректный файл словаря. Нет данных. ";
    WriteLog(kPrefix + m + DomName(root));
    ReportStartupFailure(host, m, true);
    return false;
  }
  LoadFormatElements(root, "VocFormat", true, "Type", 1, 3, kPrefix, formats_);
  count_ = formats_.Count();
  return true;
}

TFormat* TVocFormat::GetFormat(std::string_view name) const {
  if (count_ == 0) return nullptr;
  return formats_.Find(name);
}

std::string TVocFormat::FormattingIndex(int32_t index, const TRawValue& value) const {
  static const std::string kPrefix = Prefix("FormattingIndex");
  if (!dictionary_) {
    WriteLog(kPrefix + "Словарь не определен.");
    return "?";
  }
  const TDictIndex* entry = dictionary_->GetDict(index);
  if (!entry) {
    WriteLog(kPrefix + "Индекс " + std::to_string(index) + " не описан в словаре.");
    return "?";
  }
  const TFormat* format = GetFormat(entry->VariableFormat);
  if (!format) {
    WriteLog(kPrefix + "Для индекса " + std::to_string(index) + " неправильно описан формат.");
    return "?";
  }
  switch (format->Kind) {
    case 0:
      return FormatIndexValue(*format, entry->VariableType, value, index);
    case 1:
      return FormatCombo(*format, value.Word & 0xFFu, index);
    case 2:
      return FormatCalc(*format, value);
    default:
      WriteLog(kPrefix + "Проверить формат " + format->Name);
      return "?";
  }
}

std::string TVocFormat::FormattingEvent(std::string_view formatName, std::string_view typeName,
                                        uint32_t value, int64_t code) const {
  static const std::string kPrefix = Prefix("FormattingEvent");
  const TFormat* format = GetFormat(formatName);
  if (!format) {
    WriteLog(kPrefix + FormatMask("Для события 0x%x неправильно описан формат.",
                                  {static_cast<int64_t>(code)}));
    return "?";
  }
  switch (format->Kind) {
    case 0:
      return FormatEventValue(*format, value);
    case 1:
      return FormatCombo(*format, value & 0xFFu, code);
    case 2:
      return FormatCalc(*format, TRawValue(value));
    case 3: {
      const bool fp = typeName.find("FP") != std::string_view::npos;
      const uint64_t v = fp ? static_cast<uint64_t>(TruncFloat(BitsToFloat(value))) : value;
      return FormatBitMask(*format, v, code);
    }
    default:
      WriteLog(kPrefix + "Проверить формат " + format->Name);
      return "?";
  }
}

std::string TVocFormat::FormatIndexValue(const TFormat& format, std::string_view typeName,
                                         const TRawValue& value, int32_t index) const {
  const uint32_t v = value.Word;
  auto one = [&](TFormatArg arg) { return FormatMask(format.Mask, {arg}); };
  if (SameText(typeName, "T_BOOL")) return one(static_cast<int32_t>(v & 1u));
  if (SameText(typeName, "T_CHAR")) return one(static_cast<int32_t>(v & 0xFFu));
  if (SameText(typeName, "T_SHORT")) return one(static_cast<int32_t>(v & 0xFFFFu));
  if (SameText(typeName, "T_INT") || SameText(typeName, "T_S_INT"))
    return one(static_cast<int32_t>(v));
  if (SameText(typeName, "T_S_CHAR")) return one(static_cast<int32_t>(static_cast<int8_t>(v)));
  if (SameText(typeName, "T_S_SHORT")) return one(static_cast<int32_t>(static_cast<int16_t>(v)));
  if (SameText(typeName, "T_FLOAT")) return one(static_cast<double>(BitsToFloat(v)));
  if (SameText(typeName, "T_STRING")) {
    // Erased memory reads as bytes 255, the letter "я".
    if (!value.IsText || value.Text.empty() || value.Text.rfind("я", 0) == 0) return "";
    try {
      return one(std::string_view(value.Text));
    } catch (const std::exception&) {
      return "?";
    }
  }
  WriteLog(Prefix("FormatIndexValue") + "Формат " + format.Name +
           " не простой тип. Индекс:" + std::to_string(index));
  return "?";
}

std::string TVocFormat::FormatEventValue(const TFormat& format, uint32_t value) const {
  return RenderEventValue(format, value, Prefix("FormatEventValue"));
}

std::string TVocFormat::FormatCalc(const TFormat& format, const TRawValue& value) const {
  static const std::string kPrefix = Prefix("FormatCalc");
  const uint32_t v = value.Word;
  auto i = [](uint32_t n) { return static_cast<int32_t>(n); };
  const std::string& name = format.Name;
  if (SameText(name, "FORMAT_HMS"))
    return FormatMask(format.Mask, {i(v / 3600), i(v % 3600 / 60), i(v % 60)});
  if (SameText(name, "FORMAT_HM")) return FormatMask(format.Mask, {i(v / 3600), i(v % 3600 / 60)});
  if (SameText(name, "FORMAT_MS")) return FormatMask(format.Mask, {i(v % 3600 / 60), i(v % 60)});
  if (SameText(name, "FORMAT_DHM"))
    return FormatMask(format.Mask, {i(v / 86400), i(v / 3600 % 24), i(v / 60 % 60), i(v % 60)});
  if (SameText(name, "FORMAT_ADR")) {
    const std::string s = std::to_string(v);
    return FormatMask(format.Mask,
                      {ToInt(Copy(s, 1, 1)), ToInt(Copy(s, 2, 2)), ToInt(Copy(s, 4, 1))});
  }
  if (SameText(name, "FORMAT_DMY")) {
    if (!value.IsText) {
      WriteLog(kPrefix + " Формат FORMAT_DMY Неверные данные [" + ByteDump(v) + "]");
      return "?";
    }
    const std::string& t = value.Text;
    if (t.empty() || t == "яяяяяя") return "";
    if (t.size() != 6) {
      WriteLog(kPrefix + " Формат FORMAT_DMY Неверные данные [" + t + "]");
      return "?";
    }
    return FormatMask(format.Mask, {t.substr(0, 2), t.substr(2, 2), t.substr(4, 2)});
  }
  WriteLog(kPrefix + " Формат " + name + " не вычисляемый тип.");
  return "?";
}

std::string TVocFormat::FormatCombo(const TFormat& format, uint32_t n, int64_t code) const {
  return RenderCombo(format, n, code, Prefix("FormatCombo"));
}

std::string TVocFormat::FormatBitMask(const TFormat& format, uint64_t v, int64_t code) const {
  return RenderBitMask(format, v, code, Prefix("FormatBitMask"));
}

}  // namespace kalmet
