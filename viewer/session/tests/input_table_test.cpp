#include "session/input_table.h"

#include <gtest/gtest.h>

namespace kalmet {
namespace {

std::unique_ptr<TInputData> Rec(int32_t id, TData data, TDateTime time = 0) {
  auto r = std::make_unique<TInputData>();
  r->Id = id;
  r->Data = std::move(data);
  r->Time = time;
  return r;
}

TEST(InputTable, OrderIsKeyTextThenNewestFirst) {
  TInputTable t;
  t.Add(Rec(9401, {1}));
  t.Add(Rec(10315, {2}));
  t.Add(Rec(62, {3}));
  t.Add(Rec(10315, {4}));
  t.Add(Rec(100, {5}));
  ASSERT_EQ(t.Count(), 5);
  const char* keys[] = {"100", "10315", "10315", "62", "9401"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(t.Key(i), keys[i]) << i;
  // The later duplicate comes first and is what lookups find.
  EXPECT_EQ(t.Object(1)->Data, TData{4});
  EXPECT_EQ(t.Object(2)->Data, TData{2});
  EXPECT_EQ(t.GetValueData(10315), TData{4});
  EXPECT_EQ(t.IndexOf(10315), 1);
  EXPECT_EQ(t.IndexOf(1), -1);
}

TEST(InputTable, ValueAccessorsAndMissingIds) {
  TInputTable t;
  t.Add(Rec(16370, {2, 1, 9}, 40000.5));
  t.Add(Rec(5, {0xAB}));
  t.Add(Rec(6, {}));
  EXPECT_EQ(t.GetValueWord(16370), 258);
  EXPECT_EQ(t.GetValueWord(5), 0xAB);  // missing high byte counts as 0
  EXPECT_EQ(t.GetValueWord(6), 0);
  EXPECT_EQ(t.GetValueWord(7), 0);
  EXPECT_DOUBLE_EQ(t.GetValueTime(16370), 40000.5);
  EXPECT_DOUBLE_EQ(t.GetValueTime(7), 0);
  EXPECT_TRUE(t.GetValueData(7).empty());
  EXPECT_EQ(t.Object(-1), nullptr);
  EXPECT_EQ(t.Object(3), nullptr);
  EXPECT_EQ(t.Key(3), "");
}

TEST(InputTable, DeleteAndClear) {
  TInputTable t;
  for (int id : {3, 1, 2}) t.Add(Rec(id, {static_cast<uint8_t>(id)}));
  t.Delete(t.IndexOf(2));
  ASSERT_EQ(t.Count(), 2);
  EXPECT_EQ(t.Key(0), "1");
  EXPECT_EQ(t.Key(1), "3");
  t.Delete(7);  // out of range: nothing happens
  EXPECT_EQ(t.Count(), 2);
  t.ClearValues();
  EXPECT_EQ(t.Count(), 0);
  t.Add(Rec(4, {4}));
  EXPECT_EQ(t.GetValueWord(4), 4);
}

}  // namespace
}  // namespace kalmet
