#include "journal/alarm_log.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "marnel.h"
#include "session/cp1251.h"
#include "session/file_log.h"

namespace kalmet {

std::vector<TAlarmLine> SplitAlarmLines(std::string_view text) {
  std::vector<TAlarmLine> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      lines.push_back({{}, std::string(line)});
    } else {
      lines.push_back({std::string(line.substr(0, eq)), std::string(line.substr(eq + 1))});
    }
    start = end;
    if (start < text.size() && text[start] == '\r') ++start;
    if (start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

TAlarmLog::TAlarmLog() = default;

TAlarmLog::~TAlarmLog() {
  Close();
}

void TAlarmLog::Close() {
  _CloseJournal();
  records_.clear();
}

bool TAlarmLog::ParsingAlarmLog(const TData& bytes, const THost* host) {
  bool result = true;
  try {
    Close();
    const size_t n = std::min(bytes.size(), image_.size());
    std::copy_n(bytes.begin(), n, image_.begin());
    std::fill(image_.begin() + static_cast<std::ptrdiff_t>(n), image_.end(), uint8_t{' '});
    text_.fill(0);
    if (_OpenJournal(image_.data(), kImageSize) == MARNEL_SUCCESS &&
        _GetJournalHeaders(text_.data(), kTextSize) == MARNEL_SUCCESS) {
      records_ = SplitAlarmLines(Cp1251ToUtf8(text_.data()));
    }
  } catch (const std::exception& e) {
    WriteLog(std::string("[ParsingAlarmLog] Exception: ") + e.what());
    records_.clear();
    result = false;
    if (host) host->Report("Ошибка при разборе данных.", "Ошибка");
  }
  if (OnChanged) OnChanged();
  return result;
}

std::vector<TAlarmLine> TAlarmLog::Context(int position) {
  text_.fill(0);
  // A failed call leaves the text empty.
  _GetJournalRecordNumber(position, text_.data(), kTextSize);
  return SplitAlarmLines(Cp1251ToUtf8(text_.data()));
}

TAlarmLog& AlarmLog() {
  static TAlarmLog log;
  return log;
}

}  // namespace kalmet
