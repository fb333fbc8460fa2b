// The dictionary tree shipped in the program folder: it loads without a single log line,
// and the variables, events, groups and formats that the parsers, decoders and graph
// loaders rely on are all there and consistent with each other.
#include <gtest/gtest.h>

#include <set>

#include "dictionaries/dictionaries.h"
#include "dictionaries/format_mask.h"
#include "session/conversions.h"
#include "session/session_context.h"
#include "session/tests/log_recorder.h"

namespace kalmet {
namespace {

using testing::LogRecorder;

class ShippedDictionariesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx_.SetProgramFolder(KALMET_PROGRAM_DIR);
    ctx_.Host.ReportToUser = [this](const std::string& text, const std::string&) {
      boxes_.push_back(text);
    };
    LogRecorder log;
    ok_ = LoadDictionaries(ctx_, dicts_);
    lines_ = log.lines;
  }

  SessionContext ctx_;
  TDictionaries dicts_;
  bool ok_ = false;
  std::vector<std::string> lines_;
  std::vector<std::string> boxes_;
};

TEST_F(ShippedDictionariesTest, LoadsWithoutALogLine) {
  EXPECT_TRUE(ok_);
  EXPECT_EQ(lines_, std::vector<std::string>{});
  EXPECT_TRUE(boxes_.empty());
  EXPECT_GT(dicts_.Dictionary->Count(), 150);
  EXPECT_GT(dicts_.VocFormat->Count(), 20);
  EXPECT_GT(dicts_.VocEvent->Count(), 40);
  EXPECT_GT(dicts_.KsuVocFormat->Count(), 5);
  EXPECT_GE(dicts_.KsuVocGroups->Count(), 5);
  EXPECT_GT(dicts_.KsuVocEvent->Count(), 60);
  EXPECT_GE(dicts_.CustomGraphs->GraphCount(), 3);
}

TEST_F(ShippedDictionariesTest, EveryRoutedVariableIsDescribed) {
  const std::vector<int> routed = {
      62,    63,    1014,  1015,  1016,  1021,  1024,  9401,  9900,  9901,  9902,  9903,  9904,
      9905,  9906,  9908,  9910,  9920,  9922,  9976,  9978,  9991,  9995,  9996,  10304, 10315,
      10316, 10317, 10353, 10354, 10355, 10356, 10357, 10358, 10359, 10360, 10361, 10362, 10363,
      10364, 10365, 10366, 10367, 10368, 10369, 10370, 10371, 10432, 10433, 10434, 10435, 10436,
      10437, 15620, 16300, 16301, 16302, 16303, 16304, 16370, 16380};
  for (int id : routed) EXPECT_NE(dicts_.Dictionary->GetDict(id), nullptr) << id;
  for (int id = 16400; id < 16432; ++id) EXPECT_NE(dicts_.Dictionary->GetDict(id), nullptr) << id;
}

TEST_F(ShippedDictionariesTest, EveryVariableRendersThroughItsFormat) {
  LogRecorder log;
  for (int i = 0; i < dicts_.Dictionary->Count(); ++i) {
    const TDictIndex* v = dicts_.Dictionary->At(i);
    SCOPED_TRACE(v->VariableId);
    const TFormat* f = dicts_.VocFormat->GetFormat(v->VariableFormat);
    ASSERT_NE(f, nullptr);
    EXPECT_LE(f->Kind, 2);
    const TRawValue value = v->VariableType == "T_STRING" ? TRawValue::OfText("251299")
                                                          : TRawValue(f->Kind == 1 ? 1 : 1234);
    EXPECT_NO_THROW({
      const std::string text = dicts_.VocFormat->FormattingIndex(v->VariableId, value);
      EXPECT_NE(text, "?");
    });
  }
  EXPECT_EQ(log.lines, std::vector<std::string>{});
  // The work/idle pie renders the counters through variable 1016.
  EXPECT_EQ(dicts_.VocFormat->FormattingIndex(1016, 86400 + 3600 + 120), "1 сут. 01 ч 02 мин");
}

// Extra values must fit the 8 data bytes of a version 0/1 record and render through
// formats of the format vocabulary.
TEST_F(ShippedDictionariesTest, EventVocabularyIsConsistent) {
  LogRecorder log;
  const TVocEvent& voc = *dicts_.VocEvent;
  for (int i = 0; i < voc.Count(); ++i) {
    const TEvent* e = voc.At(i);
    SCOPED_TRACE(e->Code);
    EXPECT_GE(e->Stop, 0);
    EXPECT_LE(e->Stop, 4);
    int bytes = 0;
    for (const TExEvent& x : e->ExEvents) {
      EXPECT_EQ(GetSize(x.Type), x.Size);
      bytes += x.Size;
      if (!e->Except) dicts_.VocFormat->FormattingEvent(x.VFormat, x.Type, 1, e->Code);
    }
    // A parameter change keeps its index apart and its two values in the 8 bytes.
    if (e->Except) {
      EXPECT_EQ(e->ExCount(), 3);
    } else {
      EXPECT_LE(bytes, 8);
    }
  }
  for (uint32_t code : {32u, 96u, 97u, 98u, 114u, 115u, 116u, 117u})
    EXPECT_NE(voc.SeekEvent(code), nullptr) << code;
  for (int stop = 1; stop <= 4; ++stop) {
    bool found = false;
    for (int i = 0; i < voc.Count(); ++i) found |= voc.At(i)->Stop == stop;
    EXPECT_TRUE(found) << stop;
  }
  EXPECT_EQ(log.lines, std::vector<std::string>{});
}

TEST_F(ShippedDictionariesTest, ControllerVocabularyIsConsistent) {
  const TKsuVocGroups& groups = *dicts_.KsuVocGroups;
  const TKsuVocEvent& voc = *dicts_.KsuVocEvent;
  for (int g : {3, 5, 7, 13, 14}) {
    ASSERT_NE(groups.Group(g), nullptr) << g;
    EXPECT_GT(groups.Group(g)->CodeCount(), 0) << g;
  }
  const std::vector<uint32_t> graphCodes = {0x9000, 0x9001, 0x9002, 0x9003, 0x9004, 0x9005, 0x9006,
                                            0x9007, 0x9008, 0x9009, 0x900A, 0x900B, 0x900C, 0x900D,
                                            0x900E, 0x9030, 0x9031, 0x9032, 0x9033, 0x9034};
  for (uint32_t code : graphCodes) {
    SCOPED_TRACE(code);
    EXPECT_TRUE(groups.InGroup7(code));
    const TEvent* e = voc.SeekEvent(code);
    ASSERT_NE(e, nullptr);
    ASSERT_EQ(e->ExCount(), 2);
    EXPECT_EQ(e->ExEvent(0)->Type, "FP32");
    EXPECT_EQ(e->ExEvent(0)->Size, 4);
  }
  for (int i = 0; i < voc.Count(); ++i) {
    const TEvent* e = voc.At(i);
    SCOPED_TRACE(e->Code);
    EXPECT_TRUE(groups.InGroup7(e->Code) || groups.InGroup13(e->Code) || groups.InGroup14(e->Code));
    EXPECT_FALSE(groups.InGroup7(e->Code) && groups.InGroup13(e->Code));
    for (const TExEvent& x : e->ExEvents) {
      const TKsuFormat* f = dicts_.KsuVocFormat->GetFormat(x.VFormat);
      ASSERT_NE(f, nullptr) << x.VFormat;
      if (f->Kind != 2) {
        EXPECT_GE(x.Size, GetSize(x.Type));
      }
    }
    if (e->Except) {
      EXPECT_EQ(e->ExCount(), 4);
    }
  }
  EXPECT_EQ(voc.SeekEvent(0x1001u)->Stop, 2);
  EXPECT_EQ(voc.SeekEvent(0x2001u)->Stop, 1);
  EXPECT_EQ(voc.SeekEvent(0x2010u)->Stop, 1);
  EXPECT_EQ(voc.SeekEvent(40961u)->Stop, 3);
  EXPECT_EQ(voc.SeekEvent(40962u)->Stop, 4);
  EXPECT_TRUE(groups.InGroup13(0x3001) && groups.InGroup14(0x3001));
}

TEST_F(ShippedDictionariesTest, SetupFilesLoadForTheirVersions) {
  struct Version {
    int major, minor;
    const char* file;
  };
  const std::vector<Version> versions = {
      {0, 0, "KSU_0.0.xml"}, {2, 13, "KSU_2.13.xml"}, {2, 20, "KSU_2.13.xml"},
      {3, 5, "KSU_3.5.xml"}, {3, 9, "KSU_3.5.xml"},
  };
  for (const Version& v : versions) {
    SCOPED_TRACE(v.file);
    LogRecorder log;
    TSetupCollection& setups = *dicts_.Setups;
    setups.SetVersion(v.major, v.minor);
    EXPECT_EQ(log.lines, std::vector<std::string>{});
    EXPECT_EQ(setups.FileName(), ctx_.sDictPath + "Dictionary/" + v.file);
    ASSERT_GE(setups.PageCount(), 5);
    std::set<std::pair<int, int>> seen;
    for (int p = 0; p < setups.PageCount(); ++p) {
      for (const TSetupRow& row : setups.Page(p)->Rows()) {
        if (row.VariableId == 0) continue;
        EXPECT_NE(dicts_.Dictionary->GetDict(row.VariableId), nullptr) << row.VariableId;
        EXPECT_TRUE(seen.insert({row.VariableId, row.SubId}).second) << row.VariableId;
      }
    }
    // Every row shows once a value is there.
    for (const auto& [id, sub] : seen) {
      TData bytes = {0x01, 0x04, 0, 0};  // 1025
      if (dicts_.Dictionary->GetDict(id)->VariableType == "T_STRING")
        bytes = {'2', '5', '1', '2', '9', '9', 0};
      EXPECT_TRUE(setups.Parsing(id, sub, bytes)) << id;
    }
    setups.FillGrids("1.2.3");
    size_t shown = 0;
    for (int p = 0; p < setups.PageCount(); ++p) {
      for (const TSetupGridRow& row : setups.Page(p)->Grid()) {
        if (row.Marker == 0) {
          ++shown;
          EXPECT_NE(row.Value, "?") << row.Name;
        }
      }
    }
    EXPECT_EQ(shown, seen.size());
    EXPECT_EQ(log.lines, std::vector<std::string>{});
  }
}

TEST_F(ShippedDictionariesTest, CustomGraphsReferToDescribedEventsAndVariables) {
  const auto& items = dicts_.CustomGraphs->Items();
  for (size_t i = 1; i < items.size(); ++i) {
    const TCustomGraph& g = *items[i].Graph;
    SCOPED_TRACE(g.Name);
    for (int v = 0; v < g.Count(); ++v) {
      const TCustomVariant& variant = *g.Variants.Object(v);
      if (variant.VarID) {
        EXPECT_NE(dicts_.Dictionary->GetDict(variant.VarID), nullptr);
      }
      for (int r = 0; r < variant.Count(); ++r) {
        const TCustomEvent& rule = *variant.Events.Object(r);
        const uint32_t code = static_cast<uint32_t>(rule.Code);
        const TEvent* e = dicts_.VocEvent->SeekEvent(code);
        if (!e) e = dicts_.KsuVocEvent->SeekEvent(code);
        ASSERT_NE(e, nullptr) << rule.Code;
        if (rule.HasTest) {
          EXPECT_TRUE(e->Except);
          EXPECT_NE(dicts_.Dictionary->GetDict(rule.SelectValue), nullptr);
        } else {
          EXPECT_LE(rule.ValueNum, e->ExCount());
          EXPECT_LE(rule.BeginNum, e->ExCount());
        }
      }
    }
  }
}

}  // namespace
}  // namespace kalmet
