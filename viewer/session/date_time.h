// TDateTime: days since 1899-12-30 as a double, the time of day as the fraction;
// 0 means "no time" everywhere in the program.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kalmet {

using TDateTime = double;

// Raised by the encoders for an impossible date or time, like the conversion errors
// that the callers catch and log.
class ConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct DateTimeParts {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// Encoders; throw ConvertError for an impossible date (year 1..9999) or time
// (hour < 24, minute < 60, second < 60, msec < 1000).
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& out);

// Splits a TDateTime into its fields, rounded to the millisecond.
DateTimeParts DecodeDateTime(TDateTime value);

// Formats with the Delphi pattern letters: yyyy yy, m mm, d dd, h hh, n nn, s ss, z zzz
// (letters in either case); text in single or double quotes is copied; any other
// character is copied as it is.
std::string FormatDateTime(std::string_view pattern, TDateTime value);

// The list key of versions 0 and 1, of the trace journal and of graph samples:
// "yyyy.mm.dd hh:nn:ss.zzz".
std::string DateTimeKey(TDateTime value);

// The regional forms of dates, times and numbers. Russian conventions by default;
// tests pin them, the window may take them from the system.
struct FormatSettings {
  std::string shortDateFormat = "dd.mm.yyyy";
  std::string longTimeFormat = "hh:nn:ss";
  char decimalSeparator = ',';
  std::string thousandSeparator = "\xC2\xA0";  // no-break space
};

FormatSettings& RegionalSettings();

// The locale's date-and-time text: date, blank, time; the time is left out at midnight.
std::string DateTimeToStr(TDateTime value);
std::string DateToStr(TDateTime value);
std::string TimeToStr(TDateTime value);

// The locale's time conversion: hours:minutes[:seconds]; throws ConvertError.
TDateTime StrToTime(std::string_view text);

}  // namespace kalmet
