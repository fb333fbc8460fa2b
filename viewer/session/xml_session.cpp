#include "session/xml_session.h"

#include <sstream>
#include <stdexcept>

#include "session/cp1251.h"
#include "session/delphi_text.h"
#include "session/file_log.h"
#include "session/xml_document.h"

namespace kalmet {
namespace {

constexpr std::string_view kRootName = "SessionReadedData";

// n written in hexadecimal and read back as a decimal number (a BCD byte's value):
// every hexadecimal digit must be a decimal one.
bool BcdValue(uint32_t n, int& out) {
  int value = 0, scale = 1;
  do {
    const uint32_t nibble = n & 0x0F;
    if (nibble > 9) return false;
    value += static_cast<int>(nibble) * scale;
    scale *= 10;
    n >>= 4;
  } while (n != 0);
  out = value;
  return true;
}

int HexDigitValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return static_cast<int>(c) - 48;
}

std::string ElementValueText(const pugi::xml_node& element) {
  const pugi::xml_node first = element.first_child();
  if (!first) {
    throw std::runtime_error(std::string("Element \"") + element.name() + "\" has no content");
  }
  if (first.type() == pugi::node_pcdata || first.type() == pugi::node_cdata) return first.value();
  std::ostringstream xml;
  first.print(xml, "", pugi::format_raw);
  return xml.str();
}

}  // namespace

TDateTime HexDateTime(std::string_view text) {
  const std::string_view trimmed = Trim(text);
  if (trimmed == "0 0 0 0 0 0" || trimmed == "255 255 255 255 255 255") return 0;
  const auto fail = [&] {
    WriteLog("[HexDateTime] Ошибка конвертации \"" + std::string(text) + "\" в TDateTime");
    return 0.0;
  };
  int fields[6];
  int count = 0;
  size_t i = 0;
  while (i < trimmed.size()) {
    if (trimmed[i] == ' ') {
      ++i;
      continue;
    }
    size_t end = trimmed.find(' ', i);
    if (end == std::string_view::npos) end = trimmed.size();
    if (count == 6) return fail();
    const auto n = ParseInt(trimmed.substr(i, end - i));
    int value = 0;
    if (!n || *n < 0 || !BcdValue(static_cast<uint32_t>(*n), value)) return fail();
    fields[count++] = value;
    i = end;
  }
  if (count != 6) return fail();
  const int h = fields[0], m = fields[1], s = fields[2], d = fields[3], mo = fields[4],
            y = fields[5];
  if (!(h <= 24 && m <= 60 && s <= 60 && mo <= 12 && d <= 31 && mo != 0 && d != 0)) return 0;
  TDateTime date = 0, time = 0;
  if (!TryEncodeDate(2000 + y, mo, d, date) || !TryEncodeTime(h, m, s, 0, time)) return fail();
  return date + time;
}

std::string ReformatSessionTime(const std::string& text) {
  try {
    const size_t blank = text.find(' ');
    if (blank == std::string::npos) return text;
    std::string first = text.substr(0, blank);
    std::string rest = text.substr(blank + 1, 100);
    std::string date, time;
    if (first.find('.') != std::string::npos) {
      date = first;
      time = rest;
    } else {
      time = first;
      date = rest;
    }
    const TDateTime t = StrToTime(time);
    auto field = [&](size_t pos, size_t len) {
      if (pos + len > date.size()) throw ConvertError("bad date");
      const auto v = ParseInt(date.substr(pos, len));
      if (!v) throw ConvertError("bad date");
      return *v;
    };
    int year, month, day;
    if (date.find('.') == 4) {
      year = field(0, 4);
      month = field(5, 2);
      day = field(8, 2);
    } else {
      day = field(0, 2);
      month = field(3, 2);
      year = field(6, 4);
    }
    if (year < 2004) year += 4;
    return DateTimeToStr(EncodeDate(year, month, day) + t) + ".";
  } catch (const std::exception&) {
    return text;
  }
}

TData DecodeValueText(std::string_view text) {
  std::string converted;
  if (!IsAscii(text)) {
    // The rule works on the file's own characters, which are Windows-1251 bytes.
    converted = Utf8ToCp1251(text);
    text = converted;
  }
  if (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  size_t blanks = 0;
  for (char c : text) blanks += c == ' ';
  TData data(blanks + 1, 0);
  size_t pos = 0;
  uint8_t byte = 0;
  for (char c : text) {
    if (c == ' ') {
      data[pos++] = byte;
      byte = 0;
    } else {
      byte = static_cast<uint8_t>(byte * 16 + HexDigitValue(static_cast<unsigned char>(c)));
    }
  }
  data[pos] = byte;
  return data;
}

bool xmlLoad(SessionContext& ctx, const pugi::xml_node& root) {
  ctx.slInputData.ClearValues();
  try {
    for (pugi::xml_node el = root.first_child(); el; el = el.next_sibling()) {
      if (el.type() != pugi::node_element) continue;
      const int32_t id = StrToIntDef(el.attribute("VariableId").value(), 0);
      const int32_t index = StrToIntDef(el.attribute("VariableValueArrayIndex").value(), 0);
      const int32_t quality = StrToIntDef(el.attribute("VariableValueQuality").value(), 0);
      const char* time_text = el.attribute("VariableValueTime").value();
      const std::string value_text = ElementValueText(el);
      if (id == 0) continue;
      auto record = std::make_unique<TInputData>();
      record->Id = id;
      record->ArrayIndex = index;
      record->Quality = quality;
      record->Time = HexDateTime(time_text);
      record->Data = DecodeValueText(value_text);
      ctx.slInputData.Add(std::move(record));
    }
  } catch (const std::exception& e) {
    WriteLog(std::string("[xmlLoad] Exception: ") + e.what());
    return false;
  }
  return true;
}

void GetVersion(SessionContext& ctx, const pugi::xml_node& root) {
  const std::string text = root.attribute("CSCSoftwareVersion").value();
  ctx.sSoftwareVersion = text;
  int major = 0, minor = 0;
  if (text.find("КСУ") == std::string::npos) {
    const size_t dot = text.find('.');
    if (dot != std::string::npos) major = StrToIntDef(text.substr(0, dot), 0);
  }
  if (major > 0) {
    const std::string rest = text.substr(text.find('.') + 1);
    const size_t dot = rest.find('.');
    if (dot != std::string::npos) minor = StrToIntDef(rest.substr(0, dot), 0);
  }
  ctx.iVersionMajor = major;
  ctx.iVersionMinor = minor;
}

bool LoadXmlSession(SessionContext& ctx, const std::string& fileName) {
  std::string bytes, error;
  if (!ReadFileBytes(fileName, bytes, error)) {
    ctx.bXmlActive = false;
    WriteLog("[xmlOpen] Exception: " + error);
    return false;
  }
  return LoadXmlSessionBytes(ctx, bytes);
}

bool LoadXmlSessionBytes(SessionContext& ctx, std::string_view bytes) {
  try {
    ctx.bXmlActive = false;
    auto doc = std::make_unique<pugi::xml_document>();
    std::string error;
    if (!ParseXmlBytes(bytes, XmlDeclarationRule::kInsertSessionDeclaration, *doc, error)) {
      throw std::runtime_error(error);
    }
    ctx.bXmlActive = true;
    const pugi::xml_node root = doc->document_element();
    if (std::string_view(root.name()) != kRootName) return false;

    ctx.sFieldName.clear();
    ctx.sClusterName = root.attribute("WellClusterName").value();
    ctx.sWellName = root.attribute("OilWellName").value();
    ctx.sSessionTime = ReformatSessionTime(root.attribute("SessionTime").value());

    ctx.ListEventsClear();
    ctx.ClearJrn();
    xmlLoad(ctx, root);
    GetVersion(ctx, root);
    doc.reset();  // every value is in the table now; the DOM is not needed any more

    if (ctx.Hooks.SelectSetupVersion) ctx.Hooks.SelectSetupVersion(ctx);
    ChooseAndRunParser(ctx);
    ctx.sTitle = ctx.SessionTitle();
    ctx.Host.Title(ctx.sTitle);
    return true;
  } catch (const std::exception& e) {
    WriteLog(std::string("[xmlOpen] Exception: ") + e.what());
    return false;
  }
}

}  // namespace kalmet
