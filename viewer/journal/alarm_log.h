// The controller's alarm journal (variable 15620 of protocol-1 sessions), read through
// libmarnel.so: the list of alarms, newest first, and one alarm's context on demand.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "session/conversions.h"
#include "session/host.h"

namespace kalmet {

// One line of Marnel's answers: the text before the first "=" and the text after it.
struct TAlarmLine {
  std::string Caption;
  std::string Value;

  bool operator==(const TAlarmLine&) const = default;
};

// Splits Marnel's text (UTF-8 by now) into lines at CR LF (a lone CR or LF also ends a
// line; a final line end adds no empty line). A line without "=" has an empty caption
// and the whole line as its value.
std::vector<TAlarmLine> SplitAlarmLines(std::string_view text);

class TAlarmLog {
 public:
  static constexpr int kImageSize = 16384;
  static constexpr int kTextSize = 16384;

  TAlarmLog();
  ~TAlarmLog();
  TAlarmLog(const TAlarmLog&) = delete;
  TAlarmLog& operator=(const TAlarmLog&) = delete;

  // Closes the previous journal, copies the variable's bytes into the image (the space
  // beyond a shorter variable stays blank, as in a fresh journal), opens it and lists its
  // alarms. A journal Marnel cannot open, or an empty one, leaves the list empty. False
  // after an exception, which is logged and reported as "Ошибка при разборе данных.".
  bool ParsingAlarmLog(const TData& bytes, const THost* host = nullptr);

  // The alarms of the last listing, newest first: caption the name, value the time.
  const std::vector<TAlarmLine>& Records() const { return records_; }
  // The context of the alarm at a position of the last listing; empty when Marnel has
  // none (a damaged record, a position outside the listing).
  std::vector<TAlarmLine> Context(int position);

  // Forgets the list and closes the journal.
  void Close();

  // Called after the list was rebuilt, so that a front end shows it.
  std::function<void()> OnChanged;

 private:
  // Marnel works in place on the image, which stays unchanged while the journal is open.
  std::array<uint8_t, kImageSize> image_{};
  std::array<char, kTextSize + 1> text_{};
  std::vector<TAlarmLine> records_;
};

// The program's alarm log: Marnel holds one open journal per process.
TAlarmLog& AlarmLog();

}  // namespace kalmet
