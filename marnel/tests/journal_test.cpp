// The journal behind the exported functions, observed with its notifications.
#include "src/journal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "journal_fixtures.h"

namespace kalmet::marnel {
namespace {

using fixtures::Lines;
using fixtures::NumberedLine;
using fixtures::RingImage;
using fixtures::Utf8Lines;
using fixtures::View;

class MarnelJournal : public ::testing::Test {
 protected:
  bool Contains(int32_t code) const {
    return std::find(notices_.begin(), notices_.end(), code) != notices_.end();
  }
  std::vector<std::string> Headers() {
    text_.assign(kTextSize + 1, '\x7F');
    EXPECT_TRUE(journal_.Headers(text_.data(), kTextSize));
    return Utf8Lines(text_.data());
  }
  std::vector<std::string> Context(int32_t position) {
    text_.assign(kTextSize + 1, '\x7F');
    EXPECT_TRUE(journal_.RecordContext(position, text_.data(), kTextSize));
    return Utf8Lines(text_.data());
  }

  static constexpr int32_t kTextSize = 16384;
  std::vector<int32_t> notices_;
  Journal journal_{[this](int32_t code) { notices_.push_back(code); }};
  std::vector<char> text_;
};

TEST_F(MarnelJournal, AllBlankImageIsMadeAnewAndListsNothing) {
  std::vector<uint8_t> image(16384, ' ');
  ASSERT_TRUE(journal_.Open(image.data(), 16384));
  EXPECT_TRUE(Contains(kNoticeMadeAnew));
  EXPECT_TRUE(Contains(kNoticeHeader1Invalid));
  EXPECT_TRUE(Contains(kNoticeHeader2Invalid));
  EXPECT_EQ(image, JournalWriter(16384).image());
  EXPECT_TRUE(Headers().empty());
  EXPECT_EQ(std::count(text_.begin(), text_.begin() + kTextSize, 0), kTextSize);
  EXPECT_FALSE(journal_.RecordContext(0, text_.data(), kTextSize));
}

TEST_F(MarnelJournal, RingListsNewestFirst) {
  std::vector<uint8_t> image = RingImage({7, 8, 9, 3, 4, 5, 6});
  const std::vector<uint8_t> before = image;
  ASSERT_TRUE(journal_.Open(image.data(), 16384));
  EXPECT_TRUE(notices_.empty());
  EXPECT_EQ(image, before);  // a sound image is not written to
  std::vector<std::string> expected;
  for (uint32_t n : {9, 8, 7, 6, 5, 4, 3}) expected.push_back(NumberedLine(n));
  EXPECT_EQ(Headers(), expected);
}

TEST_F(MarnelJournal, ListingFollowsTheWriterAroundRingAndNumberWrap) {
  struct Case {
    int32_t size;
    uint32_t first_number;
    int alarms;
  };
  for (const Case& c : {Case{256, 1, 5}, Case{257, 0xFFFFFFF0, 40}, Case{1001, 0xFFFFFFFA, 90},
                        Case{4096, 1, 100}, Case{16384, 0xFFFFFF00, 600}}) {
    SCOPED_TRACE(testing::Message() << "size " << c.size << " alarms " << c.alarms);
    JournalWriter writer(c.size, c.first_number);
    const int32_t ring = View(writer.image()).ring_length();
    // Each record stays intact until the bytes written from its start exceed the ring.
    std::vector<std::pair<int64_t, std::string>> written;  // stream start, line
    int64_t stream = 0;
    for (int i = 0; i < c.alarms; ++i) {
      // Short and varied lengths: the smallest ring holds 18 data bytes.
      const std::string name = std::to_string(i % 100);
      const std::string time(i % 3, 't');
      const Alarm alarm{name, time, {}};
      ASSERT_NE(writer.Append(alarm), 0u);
      written.emplace_back(stream, name + "=" + time);
      stream += static_cast<int64_t>(AlarmData(alarm).size()) + kFrameLength;
    }
    std::vector<std::string> expected;
    for (auto it = written.rbegin(); it != written.rend() && stream - it->first <= ring; ++it)
      expected.push_back(it->second);
    ASSERT_FALSE(expected.empty());
    ASSERT_LT(expected.size(), written.size());  // the ring has wrapped

    journal_.Close();
    std::vector<uint8_t> image = writer.image();
    ASSERT_TRUE(journal_.Open(image.data(), c.size));
    EXPECT_FALSE(Contains(kNoticeMadeAnew));
    EXPECT_EQ(Headers(), expected);
  }
}

TEST_F(MarnelJournal, DamagedHeaderIsRepairedFromItsTwin) {
  struct Case {
    const char* name;
    bool damage_first;
    int offset;  // inside the damaged header
    uint8_t byte;
    int32_t notice;
  };
  const Case cases[] = {
      {"header 2 data", false, 40, 'x', kNoticeCrcMismatch},
      {"header 1 start mark", true, 0, ' ', kNoticeNoStartMark},
      {"header 2 end mark", false, 107, ' ', kNoticeNoEndMark},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    journal_.Close();
    notices_.clear();
    std::vector<uint8_t> image = RingImage({1, 2});
    const std::vector<uint8_t> sound = image;
    const int32_t header = c.damage_first ? 0 : 16384 - 108;
    image[header + c.offset] = c.byte;
    ASSERT_TRUE(journal_.Open(image.data(), 16384));
    EXPECT_TRUE(Contains(c.notice));
    EXPECT_TRUE(Contains(c.damage_first ? kNoticeHeader1Invalid : kNoticeHeader2Invalid));
    EXPECT_FALSE(Contains(kNoticeMadeAnew));
    EXPECT_EQ(image, sound);  // own number, same data, fresh CRC
    EXPECT_EQ(Headers(), (std::vector<std::string>{NumberedLine(2), NumberedLine(1)}));
  }
}

TEST_F(MarnelJournal, HeaderWithWrongNumberOrTypeIsRewritten) {
  std::vector<uint8_t> image = RingImage({1});
  const std::vector<uint8_t> sound = image;
  JournalImage view = View(image);
  view.Write(view.second_header(), 5, HeaderData(1, kAlarmJournalName));
  view.Write(0, 0, HeaderData(2, "Other"));
  // Neither header is valid now: the journal is made anew.
  ASSERT_TRUE(journal_.Open(image.data(), 16384));
  EXPECT_TRUE(Contains(kNoticeHeaderNumber));
  EXPECT_TRUE(Contains(kNoticeHeaderType));
  EXPECT_TRUE(Contains(kNoticeMadeAnew));
  EXPECT_TRUE(Headers().empty());

  journal_.Close();
  notices_.clear();
  image = sound;
  View(image).Write(0, 0, HeaderData(2, "Other"));
  ASSERT_TRUE(journal_.Open(image.data(), 16384));
  EXPECT_EQ(notices_, (std::vector<int32_t>{kNoticeHeaderType, kNoticeHeader1Invalid}));
  EXPECT_EQ(image, sound);
}

TEST_F(MarnelJournal, TwinLongerThanTheHeaderSlotIsNotCopied) {
  // Header 1 with 100 data bytes reaches into the ring; copying it over header 2 would
  // run on past the image's end over header 1 itself.
  std::vector<uint8_t> image(2048, ' ');
  JournalImage view = View(image);
  view.Write(0, 0, HeaderData(1, kAlarmJournalName) + std::string(14, ' '));
  int32_t p = 200;
  for (uint32_t n : {1, 2}) p = view.Write(p, n, fixtures::NumberedAlarm(n));
  const std::vector<uint8_t> before = image;
  ASSERT_TRUE(journal_.Open(image.data(), 2048));
  EXPECT_EQ(image, before);
  EXPECT_FALSE(Contains(kNoticeMadeAnew));
  EXPECT_EQ(Headers(), (std::vector<std::string>{NumberedLine(2), NumberedLine(1)}));
}

TEST_F(MarnelJournal, RecordNumberedLikeAHeaderMakesTheJournalAnew) {
  for (uint32_t number : {0u, 0xFFFFFFFFu}) {
    journal_.Close();
    notices_.clear();
    std::vector<uint8_t> image = RingImage({1, number, 2});
    ASSERT_TRUE(journal_.Open(image.data(), 16384));
    EXPECT_TRUE(Contains(kNoticeMadeAnew));
    EXPECT_EQ(image, JournalWriter(16384).image());
  }
}

TEST_F(MarnelJournal, DamagedAndUnparsableRecordsAreSkipped) {
  std::vector<uint8_t> image = JournalWriter(4096).image();
  JournalImage view = View(image);
  int32_t p = view.ring_start();
  p = view.Write(p, 1, fixtures::NumberedAlarm(1));
  p = view.Write(p, 2, "<A N=\"line\nfeed\" T=\"x\"/>");  // control byte in data
  p = view.Write(p, 3, "<A N=\"broken\" T=\"x\">");       // not well-formed
  p = view.Write(p, 4, "<Root T=\"only time\"/>");        // missing N reads as empty
  const int32_t fifth = p;
  p = view.Write(p, 5, fixtures::NumberedAlarm(5));
  view.Write(p, 6, fixtures::NumberedAlarm(6));
  image[fifth + 30] ^= 1;  // CRC mismatch
  ASSERT_TRUE(journal_.Open(image.data(), 4096));
  EXPECT_EQ(Headers(), (std::vector<std::string>{NumberedLine(6), "=only time", NumberedLine(1)}));
  EXPECT_TRUE(Contains(kNoticeControlChar));
  EXPECT_TRUE(Contains(kNoticeCrcMismatch));
  EXPECT_TRUE(Contains(kNoticeNextUnreadable));
}

TEST_F(MarnelJournal, ContextGivesParametersAndGroupLines) {
  JournalWriter writer(16384);
  writer.Append(
      {"Перегрузка",
       "01.01.2024 10:00:00",
       {AlarmParameter{"Ток", "12,5 А"}, AlarmGroup{"Напряжения", {{"Uab", "380"}, {"Ubc", "381"}}},
        AlarmParameter{"Пуск", ""}}});
  writer.AppendData(
      "<A N=\"raw\" T=\"t\"><P N=\"x\">a<B>b</B><![CDATA[<c>]]></P>"
      "<Q N=\"ignored\">1</Q><!-- note --><P>&#1046;&#x4E2D;</P></A>");
  std::vector<uint8_t> image = writer.image();
  ASSERT_TRUE(journal_.Open(image.data(), 16384));
  EXPECT_EQ(Headers(), (std::vector<std::string>{"raw=t", "Перегрузка=01.01.2024 10:00:00"}));
  EXPECT_EQ(Context(1),
            (std::vector<std::string>{"Ток=12,5 А", "Напряжения=", "Uab=380", "Ubc=381", "Пуск="}));
  EXPECT_EQ(Context(0), (std::vector<std::string>{"x=ab<c>", "=Ж?"}));
  // Text bytes are Windows-1251.
  ASSERT_TRUE(journal_.RecordContext(1, text_.data(), kTextSize));
  EXPECT_EQ(std::string(text_.data(), 6), "\xD2\xEE\xEA=12");
}

TEST_F(MarnelJournal, ContextOfARecordDamagedAfterListingIsEmpty) {
  std::vector<uint8_t> image = RingImage({1, 2, 3});
  ASSERT_TRUE(journal_.Open(image.data(), 16384));
  ASSERT_EQ(Headers().size(), 3u);
  image[View(image).ring_start() + 25] = '#';  // record 1, now listed last
  text_.assign(kTextSize + 1, '\x7F');
  EXPECT_FALSE(journal_.RecordContext(2, text_.data(), kTextSize));
  EXPECT_EQ(text_[0], 0);
  EXPECT_TRUE(Contains(kNoticeRecordNotFound));
  EXPECT_TRUE(journal_.RecordContext(1, text_.data(), kTextSize));
}

TEST_F(MarnelJournal, CallingOrderIsEnforced) {
  std::vector<char> text(64, '\x7F');
  EXPECT_FALSE(journal_.Headers(text.data(), 63));
  EXPECT_EQ(text[0], 0);
  std::vector<uint8_t> image = RingImage({1, 2});
  ASSERT_TRUE(journal_.Open(image.data(), 16384));
  EXPECT_FALSE(journal_.RecordContext(0, text.data(), 63));  // before any listing
  std::vector<uint8_t> other = RingImage({5});
  const std::vector<uint8_t> other_before = other;
  EXPECT_FALSE(journal_.Open(other.data(), 16384));  // already open: nothing changes
  EXPECT_EQ(other, other_before);
  EXPECT_EQ(Headers(), (std::vector<std::string>{NumberedLine(2), NumberedLine(1)}));
  for (int32_t position : {-1, 2, 1000})
    EXPECT_FALSE(journal_.RecordContext(position, text.data(), 63));
  EXPECT_EQ(Context(1), std::vector<std::string>{});
  journal_.Close();
  journal_.Close();
  EXPECT_FALSE(journal_.Headers(text.data(), 63));
  EXPECT_FALSE(journal_.RecordContext(0, text.data(), 63));
}

}  // namespace
}  // namespace kalmet::marnel
