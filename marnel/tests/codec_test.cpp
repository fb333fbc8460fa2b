// The image format: CRC, hexadecimal fields, ring positions, headers, framing and the
// writer that builds images for the session generator.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "journal_fixtures.h"
#include "marnel/codec/crc16.h"
#include "marnel/codec/ring_scan.h"

namespace kalmet::marnel {
namespace {

using fixtures::View;

TEST(MarnelCodec, CrcIsModbus) {
  EXPECT_EQ(Crc16("123456789"), 0x4B37);
  EXPECT_EQ(Crc16(""), 0xFFFF);
}

TEST(MarnelCodec, HexDigitsOtherThanUpperCaseCountAsZero) {
  const std::string digits = "0123456789ABCDEF";
  for (size_t i = 0; i < digits.size(); ++i) EXPECT_EQ(HexDigit(digits[i]), i);
  for (char c : std::string("abcfG z-")) EXPECT_EQ(HexDigit(c), 0) << c;
}

TEST(MarnelCodec, RecordNumbersSkipHeaderNumbers) {
  EXPECT_EQ(NextRecordNumber(1), 2u);
  EXPECT_EQ(NextRecordNumber(0xFFFFFFFD), 0xFFFFFFFEu);
  EXPECT_EQ(NextRecordNumber(0xFFFFFFFE), 1u);
  EXPECT_EQ(NumberStep(0xFFFFFFFE, 1), 1);
  EXPECT_EQ(NumberStep(9, 3), -6);
  EXPECT_EQ(NumberStep(3, 0xFFFFFFFC), -7);  // across the number wrap
}

TEST(MarnelCodec, PositionsWrapAtRingEndAndImageEnd) {
  std::vector<uint8_t> bytes(1001);
  const JournalImage image = View(bytes);
  EXPECT_EQ(image.ring_end(), 893);
  EXPECT_EQ(image.Next(107), 108);  // header 1 runs into the ring
  EXPECT_EQ(image.Next(891), 892);
  EXPECT_EQ(image.Next(892), 108);  // ring end jumps to ring start
  EXPECT_EQ(image.Next(893), 894);  // header 2 itself is read straight on
  EXPECT_EQ(image.Next(1000), 0);
  EXPECT_EQ(image.max_record_data(), 1001u - 238u);
}

TEST(MarnelCodec, FreshImageHoldsBothHeadersAndBlanks) {
  JournalWriter writer(16384);
  std::vector<uint8_t> bytes = writer.image();
  const JournalImage image = View(bytes);
  const std::string expected_data = std::string("<J Type=\"01\" Name=\"") +
                                    Utf8ToCp1251("Журнал аварий") + std::string(64 - 13, ' ') +
                                    "\"/>";
  ASSERT_EQ(HeaderData(kAlarmJournalType, kAlarmJournalName), expected_data);
  for (auto [position, number] : {std::pair{0, 0u}, std::pair{16384 - 108, 0xFFFFFFFFu}}) {
    Record record;
    std::string data;
    ASSERT_EQ(image.Read(position, kHeaderMaxData, &record, &data), kReadOk);
    EXPECT_EQ(record.number, number);
    EXPECT_EQ(data, expected_data);
    EXPECT_EQ(record.end - record.position, position == 0 ? 108 : -(16384 - 108));
    EXPECT_EQ(HeaderType(data), 1);
  }
  const std::string head(bytes.begin(), bytes.begin() + 17);
  EXPECT_EQ(head,
            "\x02"
            "00000000"
            "00000056");
  for (int32_t p = 108; p < 16384 - 108; ++p) ASSERT_EQ(bytes[p], ' ') << p;
}

TEST(MarnelCodec, RecordRoundTripsAndWrapsAroundTheRing) {
  std::vector<uint8_t> bytes(400, ' ');
  JournalImage image = View(bytes);
  const std::string data = "<A N=\"x\" T=\"y\"/>";
  // Starts 5 bytes before the ring's end: the rest continues at the ring's start.
  const int32_t start = image.ring_end() - 5;
  const int32_t end = image.Write(start, 0x1234ABCD, data);
  EXPECT_EQ(end, image.ring_start() + static_cast<int32_t>(data.size()) + kFrameLength - 5);
  EXPECT_EQ(bytes[start], kStartMark);
  EXPECT_EQ(std::string(bytes.begin() + start + 1, bytes.begin() + start + 5), "1234");
  EXPECT_EQ(std::string(bytes.begin() + 108, bytes.begin() + 112), "ABCD");

  Record record;
  std::string read;
  ASSERT_EQ(image.Read(start, image.max_record_data(), &record, &read), kReadOk);
  EXPECT_EQ(read, data);
  EXPECT_EQ(record.number, 0x1234ABCDu);
  EXPECT_EQ(record.end, end);
  EXPECT_TRUE(record.wrapped);

  // The check digits are the CRC over number, length and data.
  const std::string protected_part =
      "1234ABCD"
      "00000010" +
      data;
  char check[5];
  std::snprintf(check, sizeof check, "%04X", Crc16(protected_part));
  EXPECT_EQ(std::string(bytes.begin() + end - 5, bytes.begin() + end - 1), check);
}

TEST(MarnelCodec, DamagedRecordsReportTheirFault) {
  struct Case {
    const char* name;
    int offset;  // from the start mark; negative: from the end
    uint8_t byte;
    bool flip;  // byte is an XOR mask rather than the new value
    uint32_t max_data;
    ReadFailure failure;
  };
  const std::string data = "<A N=\"alarm\" T=\"time\"/>";
  const int length = static_cast<int>(data.size()) + kFrameLength;
  const Case cases[] = {
      {"start mark", 0, 'X', false, 1000, kNoStartMark},
      {"control char in number", 3, 0x01, false, 1000, kControlChar},
      {"control char in length", 12, 0x1F, false, 1000, kControlChar},
      {"line feed in data", 20, 0x0A, false, 1000, kControlChar},
      {"control char in check", -3, 0x00, false, 1000, kControlChar},
      {"changed data byte", 20, 'Z', false, 1000, kCrcMismatch},
      {"changed check digit", -2, 0x01, true, 1000, kCrcMismatch},
      {"end mark", -1, 0x04, false, 1000, kNoEndMark},
      {"longer than allowed", 0, 0, true, static_cast<uint32_t>(data.size()) - 1, kTooLong},
      {"intact", 0, 0, true, static_cast<uint32_t>(data.size()), kReadOk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> bytes(600, ' ');
    JournalImage image = View(bytes);
    image.Write(200, 7, data);
    uint8_t& target = bytes[c.offset >= 0 ? 200 + c.offset : 200 + length + c.offset];
    target = c.flip ? target ^ c.byte : c.byte;
    EXPECT_EQ(image.Read(200, c.max_data, nullptr, nullptr), c.failure);
  }
}

TEST(MarnelCodec, AlarmDataIsEscapedWindows1251Xml) {
  Alarm alarm{
      "Перегрев <ПЭД>",
      "01.02.2024 03:04:05",
      {AlarmParameter{"T", "120 \"C\""}, AlarmGroup{"Токи", {{"Ia", "10"}, {"Ib", "11\n"}}}}};
  EXPECT_EQ(AlarmData(alarm),
            Utf8ToCp1251("<A N=\"Перегрев &lt;ПЭД&gt;\" T=\"01.02.2024 03:04:05\">"
                         "<P N=\"T\">120 &quot;C&quot;</P>"
                         "<G N=\"Токи\"><P N=\"Ia\">10</P><P N=\"Ib\">11 </P></G></A>"));
}

TEST(MarnelCodec, WriterRefusesWhatTheRingCannotHold) {
  JournalWriter writer(300);
  EXPECT_EQ(writer.AppendData(std::string(300 - 238 + 1, 'x')), 0u);
  EXPECT_EQ(writer.AppendData("a\tb"), 0u);
  EXPECT_EQ(writer.AppendData(std::string(300 - 238, 'x')), 1u);
  EXPECT_EQ(writer.next_number(), 2u);
  EXPECT_THROW(JournalWriter(255), std::invalid_argument);
}

TEST(MarnelCodec, Cp1251RoundTripsEveryByte) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
  EXPECT_EQ(Cp1251ToUtf8("\xC6\xB8\xB9"), "Жё№");
  EXPECT_EQ(Utf8ToCp1251("中€\xFF"), "?\x88?");
  EXPECT_EQ(Utf8ToCp1251("\xD0"), "?");  // cut sequence
}

TEST(MarnelCodec, ScanFindsOldestAndNewestAcrossRingAndNumberWrap) {
  struct Case {
    const char* name;
    std::vector<uint32_t> numbers;  // in ring order
    uint32_t oldest;
    uint32_t newest;
  };
  const Case cases[] = {
      {"in order", {3, 4, 5}, 3, 5},
      {"ring wrapped", {7, 8, 9, 3, 4, 5, 6}, 3, 9},
      {"number wrap inside", {0xFFFFFFFD, 0xFFFFFFFE, 1, 2}, 0xFFFFFFFD, 2},
      {"number wrap at fall", {1, 2, 3, 0xFFFFFFFC, 0xFFFFFFFD, 0xFFFFFFFE}, 0xFFFFFFFC, 3},
      {"single", {42}, 42, 42},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> bytes = fixtures::RingImage(c.numbers);
    const ScanResult scan = ScanRing(View(bytes));
    EXPECT_TRUE(scan.ok);
    EXPECT_EQ(scan.count, static_cast<int32_t>(c.numbers.size()));
    EXPECT_EQ(scan.oldest_number, c.oldest);
    EXPECT_EQ(scan.newest_number, c.newest);
  }
  std::vector<uint8_t> bytes = fixtures::RingImage({5, 0xFFFFFFFF, 6});
  EXPECT_FALSE(ScanRing(View(bytes)).ok);
}

}  // namespace
}  // namespace kalmet::marnel
