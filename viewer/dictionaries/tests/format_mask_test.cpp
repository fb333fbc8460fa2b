#include "dictionaries/format_mask.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace kalmet {
namespace {

class FormatMaskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = RegionalSettings();
    RegionalSettings().decimalSeparator = ',';
    RegionalSettings().thousandSeparator = " ";
  }
  void TearDown() override { RegionalSettings() = saved_; }
  FormatSettings saved_;
};

struct Case {
  const char* mask;
  std::vector<TFormatArg> args;
  const char* expected;
};

TEST_F(FormatMaskTest, Renders) {
  const std::vector<Case> cases = {
      // Integers
      {"%d", {5}, "5"},
      {"%d", {-17}, "-17"},
      {"%.3d", {-5}, "-005"},
      {"%5d|", {42}, "   42|"},
      {"%-5d|", {42}, "42   |"},
      {"%5.3d", {7}, "  007"},
      {"%u", {-1}, "4294967295"},
      {"%u", {int64_t{-1}}, "18446744073709551615"},
      {"%x", {255}, "FF"},
      {"%X", {255}, "FF"},
      {"%x", {-1}, "FFFFFFFF"},
      {"%.4x", {31}, "001F"},
      {"0x%x", {31}, "0x1F"},
      {"%4x|", {0xA001}, "A001|"},
      {"%4x|", {0x1F}, "  1F|"},
      {"%5.5u", {1}, "00001"},
      {"%10.10u", {40961}, "0000040961"},
      {"%5.5x", {31}, "0001F"},
      {"%.2d:%.2d:%.2d", {1, 2, 5}, "01:02:05"},
      {"%d сут. %.2d:%.2d", {1, 1, 1, 1}, "1 сут. 01:01"},
      // Floating point: regional separator, rounding half away from zero
      {"%.1f", {1.5}, "1,5"},
      {"%f", {2.0}, "2,00"},
      {"%.2f", {0.125}, "0,13"},
      {"%.2f", {-0.125}, "-0,13"},
      {"%.0f", {0.5}, "1"},
      {"%.0f", {2.5}, "3"},
      {"%.2f", {-0.001}, "0,00"},
      {"%.2f", {0.004}, "0,00"},
      {"%.2f", {0.005}, "0,01"},
      {"%.1f", {9.96}, "10,0"},
      {"%.3f", {1234.5678}, "1234,568"},
      {"%8.2f", {12.5}, "   12,50"},
      {"%.1f", {static_cast<double>(5.9f)}, "5,9"},
      {"%n", {1234567.891}, "1 234 567,89"},
      {"%.0n", {1000.0}, "1 000"},
      {"%.1n", {-999.95}, "-1 000,0"},
      {"%e", {1234.5}, "1,23450000000000E+003"},
      {"%.3e", {0.00012345}, "1,23E-004"},
      {"%.2e", {0.0}, "0,0E+000"},
      {"%g", {1234.5}, "1234,5"},
      {"%g", {0.1 + 0.2}, "0,3"},
      {"%g", {100.0}, "100"},
      {"%g", {1e20}, "1E020"},
      {"%g", {0.000001}, "1E-006"},
      {"%.3g", {1234.5}, "1,23E003"},
      {"%f", {std::nan("")}, "NAN"},
      {"%f", {-std::numeric_limits<double>::infinity()}, "-INF"},
      {"%.2f", {1e19}, "1,00000000000000000E+019"},
      // Texts
      {"%s", {"abc"}, "abc"},
      {"%.2s", {"abcdef"}, "ab"},
      {"%5s|", {"ab"}, "   ab|"},
      {"%-5s|", {"ab"}, "ab   |"},
      {"%4s", {"яб"}, "  яб"},
      {"%.1s", {"яб"}, "я"},
      {"%s.%s.%s", {"25", "12", "99"}, "25.12.99"},
      // Indexes, stars, percent signs
      {"%0:s-%0:s", {"x"}, "x-x"},
      {"%1:s %0:s", {"a", "b"}, "b a"},
      {"%1:d %d", {1, 2, 3}, "2 3"},
      {"%*d|", {4, 7}, "   7|"},
      {"%.*d", {3, 7}, "007"},
      {"%%", {}, "%"},
      {"%d%%", {50}, "50%"},
      {"plain", {}, "plain"},
      {"", {}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mask);
    EXPECT_EQ(FormatMask(c.mask, c.args), c.expected);
  }
}

TEST_F(FormatMaskTest, FailingDirectivesRaise) {
  const std::vector<Case> cases = {
      {"%d", {1.5}, ""},       {"%u", {"x"}, ""},     {"%x", {2.0}, ""},
      {"%f", {1}, ""},         {"%n", {"1"}, ""},     {"%e", {int64_t{1}}, ""},
      {"%s", {1}, ""},         {"%d", {}, ""},        {"%d %d", {1}, ""},
      {"%2:d", {1, 2}, ""},    {"abc%", {}, ""},      {"%5", {1}, ""},
      {"%q", {1}, ""},         {"%p", {1}, ""},       {"%99999d", {1}, ""},
      {"%.99999f", {1.0}, ""}, {"%*d", {1.0, 2}, ""}, {"%-", {1}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mask);
    EXPECT_THROW(FormatMask(c.mask, c.args), ConvertError);
  }
}

TEST_F(FormatMaskTest, ErrorMessageNamesTheDirective) {
  try {
    FormatMask("value %.2f!", {3});
    FAIL();
  } catch (const ConvertError& e) {
    EXPECT_STREQ(e.what(), "Format '%.2f' invalid or incompatible with argument");
  }
  try {
    FormatMask("%d and %s", {3});
    FAIL();
  } catch (const ConvertError& e) {
    EXPECT_STREQ(e.what(), "No argument for format '%s'");
  }
}

}  // namespace
}  // namespace kalmet
