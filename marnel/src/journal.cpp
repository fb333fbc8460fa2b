#include "src/journal.h"

#include <algorithm>
#include <cstring>
#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "marnel/codec/cp1251.h"

namespace kalmet::marnel {
namespace {

// Parses Windows-1251 record data; false when it is not a document with a root element.
bool ParseAlarm(std::string_view data, pugi::xml_document* doc) {
  const std::string utf8 = Cp1251ToUtf8(data);
  const pugi::xml_parse_result result =
      doc->load_buffer(utf8.data(), utf8.size(), pugi::parse_default, pugi::encoding_utf8);
  return result && doc->document_element();
}

// The text of an element: all its character data, nested elements included.
std::string ElementText(const pugi::xml_node& node) {
  std::string text;
  for (const pugi::xml_node& n : node.children()) {
    if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) {
      text += n.value();
    } else if (n.type() == pugi::node_element) {
      text += ElementText(n);
    }
  }
  return text;
}

void AddLine(std::string& text, std::string_view name, std::string_view value) {
  if (!text.empty()) text += "\r\n";
  text += name;
  text += '=';
  text += value;
}

void AddParameter(std::string& text, const pugi::xml_node& p) {
  AddLine(text, p.attribute("N").value(), ElementText(p));
}

}  // namespace

void Journal::NotifyFailure(ReadFailure failure) const {
  switch (failure) {
    case kReadOk:
      break;
    case kTooLong:
      Notify(kNoticeTooLong);
      break;
    case kNoStartMark:
      Notify(kNoticeNoStartMark);
      break;
    case kNoEndMark:
      Notify(kNoticeNoEndMark);
      break;
    case kCrcMismatch:
      Notify(kNoticeCrcMismatch);
      break;
    case kControlChar:
      Notify(kNoticeControlChar);
      break;
  }
}

bool Journal::ReadHeader(int32_t position, uint32_t number, int32_t invalid_notice,
                         std::string* data) {
  Record record;
  const ReadFailure failure = image().Read(position, kHeaderMaxData, &record, data);
  bool valid = failure == kReadOk;
  if (!valid) {
    NotifyFailure(failure);
  } else if (record.number != number) {
    Notify(kNoticeHeaderNumber);
    valid = false;
  } else if (HeaderType(*data) != kAlarmJournalType) {
    Notify(kNoticeHeaderType);
    valid = false;
  }
  if (!valid) Notify(invalid_notice);
  return valid;
}

bool Journal::Open(uint8_t* image_bytes, int32_t size) {
  if (open_ || image_bytes == nullptr || size < kMinImageSize) return false;
  image_ = image_bytes;
  size_ = size;
  JournalImage journal = image();
  const int32_t second = journal.second_header();
  std::string first_data;
  std::string second_data;
  bool first_valid = ReadHeader(0, kFirstHeaderNumber, kNoticeHeader1Invalid, &first_data);
  bool second_valid = ReadHeader(second, kSecondHeaderNumber, kNoticeHeader2Invalid, &second_data);
  // A header is rebuilt from its twin only when the twin's record fits the header's
  // slot: a longer one would spill into the ring or over the twin itself.
  if (first_valid && !second_valid && first_data.size() <= kHeaderDataLength) {
    journal.Write(second, kSecondHeaderNumber, first_data);
    second_valid = ReadHeader(second, kSecondHeaderNumber, kNoticeHeader2Invalid, &second_data);
  } else if (second_valid && !first_valid && second_data.size() <= kHeaderDataLength) {
    journal.Write(0, kFirstHeaderNumber, second_data);
    first_valid = ReadHeader(0, kFirstHeaderNumber, kNoticeHeader1Invalid, &first_data);
  }
  if (first_valid || second_valid) scan_ = ScanRing(journal);
  if (!(first_valid || second_valid) || !scan_.ok) {
    journal.MakeFresh();
    scan_ = ScanResult{};
    scan_.oldest_position = scan_.newest_position = scan_.newest_end = journal.ring_start();
    Notify(kNoticeMadeAnew);
  }
  numbers_.clear();
  open_ = true;
  return true;
}

bool Journal::Headers(char* buffer, int32_t size) {
  if (buffer == nullptr || size <= 0) return false;
  buffer[0] = 0;
  if (!open_) return false;
  numbers_.clear();
  const JournalImage journal = image();
  scan_ = ScanRing(journal);
  if (!scan_.ok) return false;

  struct Line {
    std::string text;
    uint32_t number;
  };
  std::vector<Line> lines;
  pugi::xml_document doc;
  WalkOldestToNewest(
      journal, scan_,
      [&](const Record& record, const std::string& data) {
        if (!ParseAlarm(data, &doc)) return;
        const pugi::xml_node root = doc.document_element();
        std::string line;
        AddLine(line, root.attribute("N").value(), root.attribute("T").value());
        lines.push_back({std::move(line), record.number});
      },
      [&](int32_t, ReadFailure failure, bool first) {
        NotifyFailure(failure);
        Notify(first ? kNoticeFirstUnreadable : kNoticeNextUnreadable);
      });

  std::string text;
  numbers_.reserve(lines.size());
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
    if (!text.empty()) text += "\r\n";
    text += it->text;
    numbers_.push_back(it->number);
  }
  text = Utf8ToCp1251(text);
  // At most size - 1 characters; every remaining byte of the buffer is zero.
  const size_t count = std::min(text.size(), static_cast<size_t>(size) - 1);
  std::memcpy(buffer, text.data(), count);
  std::memset(buffer + count, 0, static_cast<size_t>(size) - count);
  return true;
}

bool Journal::RecordContext(int32_t position, char* buffer, int32_t size) {
  // The caller provides size + 1 bytes, so a zero at buffer[0] fits even for size 0.
  if (buffer == nullptr || size < 0) return false;
  buffer[0] = 0;
  if (size == 0 || !open_ || position < 0 || static_cast<size_t>(position) >= numbers_.size())
    return false;
  const uint32_t wanted = numbers_[static_cast<size_t>(position)];
  const JournalImage journal = image();
  bool found = false;
  Record match;
  WalkRing(
      journal,
      [&](const Record& record) {
        if (record.number != wanted) return true;
        match = record;
        found = true;
        return false;
      },
      [&](int32_t, ReadFailure failure) {
        NotifyFailure(failure);
        Notify(kNoticeSearchUnreadable);
      });
  if (!found) {
    Notify(kNoticeRecordNotFound);
    return false;
  }
  std::string data;
  pugi::xml_document doc;
  if (journal.Read(match.position, journal.max_record_data(), nullptr, &data) != kReadOk ||
      !ParseAlarm(data, &doc))
    return false;

  std::string text;
  for (const pugi::xml_node& child : doc.document_element().children()) {
    if (child.type() != pugi::node_element) continue;
    const std::string_view name = child.name();
    if (name == "P") {
      AddParameter(text, child);
    } else if (name == "G") {
      AddLine(text, child.attribute("N").value(), "");
      for (const pugi::xml_node& p : child.children("P")) AddParameter(text, p);
    }
  }
  text = Utf8ToCp1251(text);
  // At most size characters and a terminating zero.
  const size_t count = std::min(text.size(), static_cast<size_t>(size));
  std::memcpy(buffer, text.data(), count);
  buffer[count] = 0;
  return true;
}

void Journal::Close() {
  open_ = false;
  image_ = nullptr;
  size_ = 0;
  scan_ = ScanResult{};
  numbers_.clear();
  numbers_.shrink_to_fit();
}

}  // namespace kalmet::marnel
