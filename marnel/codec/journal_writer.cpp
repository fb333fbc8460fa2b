#include "marnel/codec/journal_writer.h"

#include <algorithm>
#include <stdexcept>

#include "marnel/codec/cp1251.h"

namespace kalmet::marnel {
namespace {

// Windows-1251 text with XML escapes; quotes are escaped too so it serves attributes.
std::string Escaped(std::string_view utf8) {
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
        out += static_cast<uint8_t>(c) < 0x20 ? ' ' : c;
    }
  }
  return out;
}

void AppendParameter(std::string& out, const AlarmParameter& p) {
  out += "<P N=\"" + Escaped(p.name) + "\">" + Escaped(p.value) + "</P>";
}

}  // namespace

std::string AlarmData(const Alarm& alarm) {
  std::string out = "<A N=\"" + Escaped(alarm.name) + "\" T=\"" + Escaped(alarm.time) + "\"";
  if (alarm.context.empty()) return out + "/>";
  out += '>';
  for (const auto& item : alarm.context) {
    if (const auto* p = std::get_if<AlarmParameter>(&item)) {
      AppendParameter(out, *p);
    } else {
      const auto& group = std::get<AlarmGroup>(item);
      out += "<G N=\"" + Escaped(group.name) + "\">";
      for (const auto& gp : group.parameters) AppendParameter(out, gp);
      out += "</G>";
    }
  }
  out += "</A>";
  return out;
}

JournalWriter::JournalWriter(int32_t size, uint32_t first_number)
    : position_(kHeaderLength), number_(first_number) {
  if (size < kMinImageSize) throw std::invalid_argument("journal image too small");
  if (number_ == kFirstHeaderNumber || number_ == kSecondHeaderNumber) number_ = 1;
  image_.resize(static_cast<size_t>(size));
  JournalImage(image_.data(), size).MakeFresh();
}

uint32_t JournalWriter::Append(const Alarm& alarm) {
  return AppendData(AlarmData(alarm));
}

uint32_t JournalWriter::AppendData(std::string_view data) {
  JournalImage image(image_.data(), static_cast<int32_t>(image_.size()));
  if (data.size() > image.max_record_data()) return 0;
  if (std::any_of(data.begin(), data.end(), [](char c) { return static_cast<uint8_t>(c) < 0x20; }))
    return 0;
  const uint32_t number = number_;
  position_ = image.Write(position_, number, data);
  number_ = NextRecordNumber(number_);
  return number;
}

}  // namespace kalmet::marnel
