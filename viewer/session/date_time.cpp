#include "session/date_time.h"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace kalmet {
namespace {

constexpr double kMsecPerDay = 86400000.0;

// Days from 1970-01-01 to the civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t y = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}

// Days between 1970-01-01 and the TDateTime epoch 1899-12-30.
constexpr int64_t kEpochOffset = 25569;

void AppendNumber(std::string& out, int value, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", width, value);
  out += buf;
}

}  // namespace

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month)) {
    return false;
  }
  out = static_cast<double>(
      DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kEpochOffset);
  return true;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& out) {
  if (hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 || second >= 60 ||
      msec < 0 || msec >= 1000) {
    return false;
  }
  out = (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + msec) / kMsecPerDay;
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime out = 0;
  if (!TryEncodeDate(year, month, day, out)) throw ConvertError("Invalid argument to date encode");
  return out;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
  TDateTime out = 0;
  if (!TryEncodeTime(hour, minute, second, msec, out)) {
    throw ConvertError("Invalid argument to time encode");
  }
  return out;
}

DateTimeParts DecodeDateTime(TDateTime value) {
  DateTimeParts p;
  if (!std::isfinite(value) || std::fabs(value) > 3e6) return p;
  double days = std::trunc(value);
  int64_t msec = std::llround(std::fabs(value - days) * kMsecPerDay);
  if (msec >= static_cast<int64_t>(kMsecPerDay)) {
    msec -= static_cast<int64_t>(kMsecPerDay);
    days += value < 0 ? -1 : 1;
  }
  CivilFromDays(static_cast<int64_t>(days) - kEpochOffset, p.year, p.month, p.day);
  p.hour = static_cast<int>(msec / 3600000);
  p.minute = static_cast<int>(msec / 60000 % 60);
  p.second = static_cast<int>(msec / 1000 % 60);
  p.msec = static_cast<int>(msec % 1000);
  return p;
}

std::string FormatDateTime(std::string_view pattern, TDateTime value) {
  const DateTimeParts p = DecodeDateTime(value);
  std::string out;
  size_t i = 0;
  while (i < pattern.size()) {
    char c = pattern[i];
    if (c == '\'' || c == '"') {
      size_t end = pattern.find(c, i + 1);
      if (end == std::string_view::npos) end = pattern.size();
      out.append(pattern.substr(i + 1, end - i - 1));
      i = end + 1;
      continue;
    }
    char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    size_t run = 1;
    while (i + run < pattern.size() &&
           std::tolower(static_cast<unsigned char>(pattern[i + run])) == lower) {
      ++run;
    }
    switch (lower) {
      case 'y':
        if (run >= 3) {
          AppendNumber(out, p.year, 4);
        } else {
          AppendNumber(out, p.year % 100, 2);
        }
        break;
      case 'm':
        AppendNumber(out, p.month, run >= 2 ? 2 : 1);
        break;
      case 'd':
        AppendNumber(out, p.day, run >= 2 ? 2 : 1);
        break;
      case 'h':
        AppendNumber(out, p.hour, run >= 2 ? 2 : 1);
        break;
      case 'n':
        AppendNumber(out, p.minute, run >= 2 ? 2 : 1);
        break;
      case 's':
        AppendNumber(out, p.second, run >= 2 ? 2 : 1);
        break;
      case 'z':
        AppendNumber(out, p.msec, run >= 3 ? 3 : 1);
        break;
      default:
        out.append(pattern.substr(i, run));
        break;
    }
    i += run;
  }
  return out;
}

std::string DateTimeKey(TDateTime value) {
  const DateTimeParts p = DecodeDateTime(value);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d.%02d.%02d %02d:%02d:%02d.%03d", p.year, p.month, p.day,
                p.hour, p.minute, p.second, p.msec);
  return buf;
}

FormatSettings& RegionalSettings() {
  static FormatSettings settings;
  return settings;
}

std::string DateToStr(TDateTime value) {
  return FormatDateTime(RegionalSettings().shortDateFormat, value);
}

std::string TimeToStr(TDateTime value) {
  return FormatDateTime(RegionalSettings().longTimeFormat, value);
}

std::string DateTimeToStr(TDateTime value) {
  std::string out = DateToStr(value);
  const DateTimeParts p = DecodeDateTime(value);
  if (p.hour != 0 || p.minute != 0 || p.second != 0 || p.msec != 0) {
    out += ' ';
    out += TimeToStr(value);
  }
  return out;
}

TDateTime StrToTime(std::string_view text) {
  const auto invalid = [&] {
    return ConvertError("'" + std::string(text) + "' is not a valid time");
  };
  int fields[3] = {0, 0, 0};
  int count = 0;
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  size_t end = text.size();
  while (end > i && text[end - 1] == ' ') --end;
  if (i == end) throw invalid();
  while (i < end) {
    if (count == 3) throw invalid();
    size_t start = i;
    int value = 0;
    while (i < end && std::isdigit(static_cast<unsigned char>(text[i])) && i - start < 4) {
      value = value * 10 + (text[i] - '0');
      ++i;
    }
    if (i == start) throw invalid();
    fields[count++] = value;
    if (i < end) {
      if (text[i] != ':') throw invalid();
      ++i;
      if (i == end) throw invalid();
    }
  }
  if (count < 2) throw invalid();
  TDateTime out = 0;
  if (!TryEncodeTime(fields[0], fields[1], fields[2], 0, out)) {
    throw invalid();
  }
  return out;
}

}  // namespace kalmet
