#include "base/NumberText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

using nbase::Int64ToWide;
using nbase::ParseInt64;

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

TEST(Int64ToWideTest, Values) {
  EXPECT_EQ(L"0", Int64ToWide(0));
  EXPECT_EQ(L"42", Int64ToWide(42));
  EXPECT_EQ(L"-10002", Int64ToWide(-10002));
  EXPECT_EQ(L"9223372036854775807", Int64ToWide(kMax));
  EXPECT_EQ(L"-9223372036854775808", Int64ToWide(kMin));
}

struct ParseCase {
  const char* text;
  bool ok;
  int64_t value;
};

TEST(ParseInt64Test, ValidAndInvalidTexts) {
  const ParseCase cases[] = {
      {"0", true, 0},
      {"42", true, 42},
      {"+42", true, 42},
      {"-42", true, -42},
      {"13100000000000", true, 13100000000000LL},
      {"9223372036854775807", true, kMax},
      {"-9223372036854775808", true, kMin},
      {" 42", false, 42},  // leading blank: parsed but false
      {"\t\n\v\f\r7", false, 7},
      {"9223372036854775808", false, kMax},  // one above the largest
      {"-9223372036854775809", false, kMin},
      {"99999999999999999999999", false, kMax},
      {"-", false, 0},
      {"+", false, 0},
      {"", false, 0},
      {"   ", false, 0},
      {"12a", false, 12},
      {"12 ", false, 12},
      {"1-2", false, 1},
      {"--1", false, 0},
      {"x", false, 0},
  };
  for (const ParseCase& c : cases) {
    int64_t value = 12345;
    EXPECT_EQ(c.ok, ParseInt64(std::string(c.text), &value)) << '"' << c.text << '"';
    EXPECT_EQ(c.value, value) << '"' << c.text << '"';
  }
}

TEST(ParseInt64Test, RangeStopsAtItsEndAndRoundTrips) {
  const char text[] = "12345678";
  int64_t value = 0;
  EXPECT_TRUE(ParseInt64(text, text + 3, &value));
  EXPECT_EQ(123, value);
  EXPECT_FALSE(ParseInt64(text, text, &value));
  EXPECT_FALSE(ParseInt64(nullptr, nullptr, &value));
  EXPECT_TRUE(ParseInt64(text, text + 3, nullptr));  // no output wanted

  for (int64_t v : {kMin, kMin + 1, int64_t{-1}, int64_t{0}, int64_t{1}, kMax - 1, kMax}) {
    const std::wstring wide = Int64ToWide(v);
    const std::string narrow(wide.begin(), wide.end());
    int64_t back = 0;
    EXPECT_TRUE(ParseInt64(narrow, &back)) << narrow;
    EXPECT_EQ(v, back);
  }
}

}  // namespace
