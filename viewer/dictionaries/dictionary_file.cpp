#include "dictionaries/dictionary_file.h"

#include <array>
#include <filesystem>
#include <sstream>

#include "session/date_time.h"
#include "session/delphi_text.h"
#include "session/file_log.h"
#include "session/xml_document.h"

namespace kalmet {
namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
  return r | (g << 8) | (b << 16);
}

struct NamedColor {
  std::string_view name;
  uint32_t value;
};

// The platform's colour identifiers: the standard colours, then the system colours with
// the values of the usual desktop scheme.
constexpr std::array kColors = {
    NamedColor{"Black", 0x000000},
    NamedColor{"Maroon", 0x000080},
    NamedColor{"Green", 0x008000},
    NamedColor{"Olive", 0x008080},
    NamedColor{"Navy", 0x800000},
    NamedColor{"Purple", 0x800080},
    NamedColor{"Teal", 0x808000},
    NamedColor{"Gray", 0x808080},
    NamedColor{"Silver", 0xC0C0C0},
    NamedColor{"Red", 0x0000FF},
    NamedColor{"Lime", 0x00FF00},
    NamedColor{"Yellow", 0x00FFFF},
    NamedColor{"Blue", 0xFF0000},
    NamedColor{"Fuchsia", 0xFF00FF},
    NamedColor{"Aqua", 0xFFFF00},
    NamedColor{"White", 0xFFFFFF},
    NamedColor{"MoneyGreen", 0xC0DCC0},
    NamedColor{"SkyBlue", 0xF0CAA6},
    NamedColor{"Cream", 0xF0FBFF},
    NamedColor{"MedGray", 0xA4A0A0},
    NamedColor{"LtGray", 0xC0C0C0},
    NamedColor{"DkGray", 0x808080},
    NamedColor{"ScrollBar", Rgb(200, 200, 200)},
    NamedColor{"Background", Rgb(0, 0, 0)},
    NamedColor{"ActiveCaption", Rgb(153, 180, 209)},
    NamedColor{"InactiveCaption", Rgb(191, 205, 219)},
    NamedColor{"Menu", Rgb(240, 240, 240)},
    NamedColor{"Window", Rgb(255, 255, 255)},
    NamedColor{"WindowFrame", Rgb(100, 100, 100)},
    NamedColor{"MenuText", Rgb(0, 0, 0)},
    NamedColor{"WindowText", Rgb(0, 0, 0)},
    NamedColor{"CaptionText", Rgb(0, 0, 0)},
    NamedColor{"ActiveBorder", Rgb(180, 180, 180)},
    NamedColor{"InactiveBorder", Rgb(244, 247, 252)},
    NamedColor{"AppWorkSpace", Rgb(171, 171, 171)},
    NamedColor{"Highlight", Rgb(51, 153, 255)},
    NamedColor{"HighlightText", Rgb(255, 255, 255)},
    NamedColor{"BtnFace", Rgb(240, 240, 240)},
    NamedColor{"BtnShadow", Rgb(160, 160, 160)},
    NamedColor{"GrayText", Rgb(109, 109, 109)},
    NamedColor{"BtnText", Rgb(0, 0, 0)},
    NamedColor{"InactiveCaptionText", Rgb(67, 78, 84)},
    NamedColor{"BtnHighlight", Rgb(255, 255, 255)},
    NamedColor{"3DDkShadow", Rgb(105, 105, 105)},
    NamedColor{"3DLight", Rgb(227, 227, 227)},
    NamedColor{"InfoText", Rgb(0, 0, 0)},
    NamedColor{"InfoBk", Rgb(255, 255, 225)},
    NamedColor{"HotLight", Rgb(0, 102, 204)},
    NamedColor{"GradientActiveCaption", Rgb(185, 209, 234)},
    NamedColor{"GradientInactiveCaption", Rgb(215, 228, 242)},
    NamedColor{"MenuHighlight", Rgb(51, 153, 255)},
    NamedColor{"MenuBar", Rgb(240, 240, 240)},
};

}  // namespace

void ReportStartupFailure(const THost& host, const std::string& message, bool fatal) {
  host.Report(fatal ? message + "\r" + std::string(kCannotGoOn) : message,
              std::string(kErrorCaption));
}

std::string FileNameOf(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

TOpenStatus OpenDictionaryFile(const std::string& path, std::string_view prefix, const THost& host,
                               bool fatal, pugi::xml_document& doc, pugi::xml_node& root) {
  const std::string name = FileNameOf(path);
  const std::string pre(prefix);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    const std::string m = "Словарь <<" + name + ">> не найден.";
    WriteLog(pre + "Запуск программы. " + m);
    ReportStartupFailure(host, m, fatal);
    return TOpenStatus::kRejected;
  }
  const std::string bad = "Некорректный файл словаря <<" + name + ">>.";
  std::string error;
  if (!LoadXmlFile(path, XmlDeclarationRule::kHonourDeclaration, doc, error)) {
    WriteLog(pre + bad + " Ошибка разбора XML: " + error);
    ReportStartupFailure(host, bad, fatal);
    return TOpenStatus::kRejected;
  }
  pugi::xml_node first = doc.first_child();
  root = first ? first.next_sibling() : pugi::xml_node();
  if (!root) {
    WriteLog(pre + "Exception: List index out of bounds (1)");
    return TOpenStatus::kUnreachable;
  }
  if (!SameText(DomName(root), "PultexConsole")) {
    WriteLog(pre + bad + " Неверное имя корневого элемента документа: " + DomName(root));
    ReportStartupFailure(host, bad, fatal);
    return TOpenStatus::kRejected;
  }
  return TOpenStatus::kOk;
}

std::string DomName(pugi::xml_node node) {
  switch (node.type()) {
    case pugi::node_element:
    case pugi::node_declaration:
    case pugi::node_pi:
      return node.name();
    case pugi::node_pcdata:
      return "#text";
    case pugi::node_cdata:
      return "#cdata-section";
    case pugi::node_comment:
      return "#comment";
    case pugi::node_doctype:
      return "#doctype";
    default:
      return "#document";
  }
}

std::string NodeXml(pugi::xml_node node) {
  std::ostringstream out;
  node.print(out, "", pugi::format_raw | pugi::format_no_declaration);
  return out.str();
}

std::string FirstChildXml(pugi::xml_node node) {
  const pugi::xml_node child = node.first_child();
  return child ? NodeXml(child) : std::string();
}

bool HasAttr(pugi::xml_node node, const char* name) {
  return static_cast<bool>(node.attribute(name));
}

std::string TextAttr(pugi::xml_node node, const char* name) {
  return node.attribute(name).value();
}

int32_t ToInt(std::string_view text) {
  const auto v = ParseInt(text);
  if (!v) throw ConvertError("'" + std::string(text) + "' is not a valid integer value");
  return *v;
}

int32_t IntAttr(pugi::xml_node node, const char* name) {
  const pugi::xml_attribute a = node.attribute(name);
  if (!a) throw ConvertError("Could not convert variant of type (Null) into type (Integer)");
  return ToInt(a.value());
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  size_t at = 0;
  while ((at = text.find(from, at)) != std::string::npos) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
  return text;
}

int32_t CodeToInt(std::string_view text) {
  return ToInt(ReplaceAll(std::string(text), "0x", "$"));
}

int32_t CodeAttr(pugi::xml_node node, const char* name) {
  const pugi::xml_attribute a = node.attribute(name);
  if (!a) throw ConvertError("Could not convert variant of type (Null) into type (Integer)");
  return CodeToInt(a.value());
}

std::vector<std::string> SplitListText(std::string_view text) {
  // Text ends at the first NUL, as a C string would.
  text = text.substr(0, text.find('\0'));
  auto blank = [&](size_t i) {
    return i < text.size() && static_cast<unsigned char>(text[i]) >= 1 &&
           static_cast<unsigned char>(text[i]) <= ' ';
  };
  std::vector<std::string> items;
  size_t p = 0;
  while (blank(p)) ++p;
  while (p < text.size()) {
    std::string item;
    if (text[p] == '"') {
      ++p;
      while (p < text.size()) {
        if (text[p] == '"') {
          if (p + 1 < text.size() && text[p + 1] == '"') {
            item += '"';
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        item += text[p++];
      }
    } else {
      const size_t start = p;
      while (p < text.size() && static_cast<unsigned char>(text[p]) > ' ' && text[p] != ',') ++p;
      item.assign(text.substr(start, p - start));
    }
    items.push_back(std::move(item));
    while (blank(p)) ++p;
    if (p < text.size() && text[p] == ',') {
      if (p + 1 == text.size()) items.emplace_back();
      do {
        ++p;
      } while (blank(p));
    }
  }
  return items;
}

std::optional<uint32_t> ColorFromName(std::string_view name) {
  for (const NamedColor& c : kColors) {
    if (SameText(c.name, name)) return c.value;
  }
  return std::nullopt;
}

}  // namespace kalmet
