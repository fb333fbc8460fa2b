#include "session/date_time.h"

#include <gtest/gtest.h>

namespace kalmet {
namespace {

TEST(DateTime, EncodeMatchesTheEpochAndKnownDays) {
  EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_DOUBLE_EQ(EncodeDate(1900, 1, 1), 2.0);
  EXPECT_DOUBLE_EQ(EncodeDate(2010, 3, 15), 40252.0);
  EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_THROW(EncodeDate(2010, 2, 29), ConvertError);
  EXPECT_NO_THROW(EncodeDate(2012, 2, 29));
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), ConvertError);
  EXPECT_THROW(EncodeTime(0, 60, 0, 0), ConvertError);
}

TEST(DateTime, DecodeRoundTripsToTheMillisecond) {
  const TDateTime t = EncodeDate(2010, 3, 15) + EncodeTime(12, 30, 0, 250);
  const DateTimeParts p = DecodeDateTime(t);
  EXPECT_EQ(p.year, 2010);
  EXPECT_EQ(p.month, 3);
  EXPECT_EQ(p.day, 15);
  EXPECT_EQ(p.hour, 12);
  EXPECT_EQ(p.minute, 30);
  EXPECT_EQ(p.second, 0);
  EXPECT_EQ(p.msec, 250);
  // 23:59:59.9996 rounds up into the next day rather than showing 24:00.
  const DateTimeParts q = DecodeDateTime(EncodeDate(2010, 3, 15) + 0.99999999999);
  EXPECT_EQ(q.day, 16);
  EXPECT_EQ(q.hour, 0);
}

TEST(DateTime, FormatsPatternsAndKeys) {
  const TDateTime t = EncodeDate(2007, 5, 6) + EncodeTime(9, 8, 7, 5);
  EXPECT_EQ(DateTimeKey(t), "2007.05.06 09:08:07.005");
  EXPECT_EQ(FormatDateTime("DD.MM.YYYY HH:NN:SS", t), "06.05.2007 09:08:07");
  EXPECT_EQ(FormatDateTime("d/m/yy 'at' h", t), "6/5/07 at 9");
  EXPECT_EQ(DateTimeToStr(t), "06.05.2007 09:08:07");
  EXPECT_EQ(DateTimeToStr(EncodeDate(2007, 5, 6)), "06.05.2007");
}

TEST(DateTime, StrToTimeAcceptsHoursMinutesAndOptionalSeconds) {
  EXPECT_DOUBLE_EQ(StrToTime("10:11:12"), EncodeTime(10, 11, 12, 0));
  EXPECT_DOUBLE_EQ(StrToTime(" 7:05 "), EncodeTime(7, 5, 0, 0));
  for (const char* bad : {"", "10", "10:", "25:00", "10:61", "1:2:3:4", "ab:cd", "10-11"}) {
    EXPECT_THROW(StrToTime(bad), ConvertError) << bad;
  }
}

}  // namespace
}  // namespace kalmet
