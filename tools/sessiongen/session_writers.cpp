#include "session_writers.h"

#include <cstdio>

#include "session/cp1251.h"

namespace kalmet::sessiongen {
namespace {

int Bcd(int value) {
  return (value / 10) * 16 + value % 10;
}

// Attribute text: Windows-1251 with the XML specials escaped.
std::string Attribute(std::string_view utf8) {
  std::string out;
  for (char c : Utf8ToCp1251(utf8)) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

void AppendHexBytes(std::string& out, const std::string& data) {
  static const char kDigits[] = "0123456789ABCDEF";
  for (size_t i = 0; i < data.size(); ++i) {
    if (i) out += ' ';
    const uint8_t b = static_cast<uint8_t>(data[i]);
    if (b >= 16) out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
}

}  // namespace

std::string XmlTimeText(TDateTime time) {
  const DateTimeParts p = DecodeDateTime(time);
  char text[64];
  std::snprintf(text, sizeof text, "%d %d %d %d %d %d", Bcd(p.hour), Bcd(p.minute), Bcd(p.second),
                Bcd(p.day), Bcd(p.month), Bcd(p.year % 100));
  return text;
}

std::string WriteXmlSession(const TSessionContent& c) {
  std::string out = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n";
  out += "<SessionReadedData WellClusterName=\"" + Attribute(c.cluster) + "\" OilWellName=\"" +
         Attribute(c.well) + "\" SessionTime=\"" +
         FormatDateTime("yyyy.mm.dd hh:nn:ss", c.sessionTime) + "\" CSCSoftwareVersion=\"" +
         Attribute(c.softwareText) + "\">\r\n";
  for (const TVariableValue& v : c.values) {
    char head[160];
    std::snprintf(head, sizeof head,
                  "  <Value VariableId=\"%u\" VariableValueArrayIndex=\"%u\" "
                  "VariableValueQuality=\"%u\" VariableValueTime=\"",
                  unsigned(v.id), unsigned(v.arrayIndex), unsigned(v.quality));
    out += head;
    out += XmlTimeText(v.time);
    out += "\">";
    AppendHexBytes(out, v.data);
    out += "</Value>\r\n";
  }
  out += "</SessionReadedData>\r\n";
  return out;
}

std::string WriteStream(const TSessionContent& c) {
  std::string out;
  for (const TVariableValue& v : c.values) {
    AppendStreamRecord(out, v.id, static_cast<uint8_t>(v.arrayIndex), v.quality, StreamTime(v.time),
                       v.data);
  }
  return out;
}

std::string WriteZ5KSession(const TSessionContent& c) {
  std::string slices;
  for (const TMeasurementSlice& s : c.slices) AppendMeasurementSlice(slices, s);
  return Z5KContainer(WriteStream(c), slices);
}

std::string WriteSession(const TSessionContent& c, TFileKind kind) {
  switch (kind) {
    case TFileKind::kXml:
      return WriteXmlSession(c);
    case TFileKind::kZ4K:
      return WriteStream(c);
    case TFileKind::kZ5K:
      return WriteZ5KSession(c);
  }
  return {};
}

}  // namespace kalmet::sessiongen
