#include "base/StringUtil.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using nbase::FormatString;
using nbase::FormatWideString;
using nbase::TrimBlanks;
using nbase::TrimLeadingBlanks;
using nbase::Utf8ToWide;
using nbase::Utf8ToWideLenient;
using nbase::WideToUtf8;

TEST(FormatWideStringTest, WideArgumentsAndShortTexts) {
  EXPECT_EQ(L"岚枢PDF转换器 安装程序", FormatWideString(L"%s 安装程序", L"岚枢PDF转换器"));
  EXPECT_EQ(L"12.5%", FormatWideString(L"%.1f%%", 12.5));
  EXPECT_EQ(L"-10002", FormatWideString(L"%d", -10002));
  EXPECT_EQ(L"", FormatWideString(L""));
  EXPECT_EQ(L"", FormatWideString(nullptr));
}

TEST(FormatWideStringTest, TextsAroundEveryBufferEdgeComeBackWhole) {
  // 1023 fits the first buffer; 1024 fills it exactly; the others go through
  // the doubling retries, including exact fills of 2048 and 4096.
  for (int length : {1, 1023, 1024, 1025, 2047, 2048, 2049, 4096, 100000}) {
    const std::wstring text = FormatWideString(L"%0*d", length, 7);
    EXPECT_EQ(std::wstring(length - 1, L'0') + L"7", text) << length;
  }
}

TEST(FormatWideStringTest, MultiMegabyteTextComesBackWhole) {
  const std::wstring part(3 * 1024 * 1024, L'x');
  const std::wstring text = FormatWideString(L"<%s|%s>", part.c_str(), part.c_str());
  ASSERT_EQ(part.size() * 2 + 3, text.size());
  EXPECT_EQ(L'<', text.front());
  EXPECT_EQ(L'|', text[part.size() + 1]);
  EXPECT_EQ(L'>', text.back());
}

TEST(FormatWideStringTest, TextBeyondTheLimitIsEmpty) {
  EXPECT_EQ(L"", FormatWideString(L"%*d", static_cast<int>(nbase::kMaxFormattedLength) + 1, 1));
}

TEST(FormatStringTest, TimeStampAndLongTexts) {
  EXPECT_EQ("13100000000000",
            FormatString("%I64u", static_cast<unsigned long long>(13100000000000ULL)));
  EXPECT_EQ("18446744073709551615", FormatString("%I64u", ~0ULL));
  for (int length : {1023, 1024, 1025, 2048, 5000}) {
    const std::string text = FormatString("%*s", length, "z");
    ASSERT_EQ(static_cast<size_t>(length), text.size()) << length;
    EXPECT_EQ('z', text.back());
  }
  // A wide numeric field: formatted into the heap buffer, not the stack.
  EXPECT_EQ(std::string(1999999, '0') + "7", FormatString("%0*d", 2000000, 7));
  const std::string big(5 * 1024 * 1024, 'q');
  EXPECT_EQ(big + "!", FormatString("%s!", big.c_str()));
  EXPECT_EQ("", FormatString("%*d", static_cast<int>(nbase::kMaxFormattedLength) + 1, 1));
  EXPECT_EQ("", FormatString(nullptr));
}

TEST(Utf8ToWideTest, WellFormedTextDecodes) {
  EXPECT_EQ(L"website_kmtlow", Utf8ToWide("website_kmtlow"));
  EXPECT_EQ(L"岚枢", Utf8ToWide("\xE5\xB2\x9A\xE6\x9E\xA2"));
  EXPECT_EQ(std::wstring(L"\x00E9\x07FF\x0800\xFFFF"),
            Utf8ToWide("\xC3\xA9\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"));
  // U+10000 and U+10FFFF become surrogate pairs.
  EXPECT_EQ(std::wstring(L"\xD800\xDC00\xDBFF\xDFFF"),
            Utf8ToWide("\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"));
  const std::string with_zero("a\0b", 3);
  EXPECT_EQ(std::wstring(L"a\0b", 3), Utf8ToWide(with_zero));
  EXPECT_EQ(L"", Utf8ToWide(nullptr, 5));
}

TEST(Utf8ToWideTest, IllFormedInputGivesEmptyNotPartial) {
  const char* const bad[] = {
      "abc\xE5\xB2",           // ends inside a sequence
      "abc\xF0\x90\x80",       // ends inside a 4-byte sequence
      "\xED\xA0\x80",          // encoded surrogate
      "\xC0\xAF",              // overlong
      "\xC1\xBF",              // overlong
      "\xE0\x9F\xBF",          // overlong 3-byte
      "\xF0\x8F\xBF\xBF",      // overlong 4-byte
      "\xF4\x90\x80\x80",      // above U+10FFFF
      "\xF5\x80\x80\x80",      // lead byte out of range
      "\xF8\x88\x80\x80\x80",  // 5-byte form
      "\xFC\x84\x80\x80\x80\x80",
      "ok\x80ok",  // stray continuation byte
      "\xC3\x28",  // bad trailing byte
      "\xFF",
  };
  for (const char* text : bad) EXPECT_EQ(L"", Utf8ToWide(text)) << text;
}

TEST(Utf8ToWideTest, LenientFormKeepsTheRestAroundAReplacement) {
  EXPECT_EQ(L"岚枢 ok", Utf8ToWideLenient("\xE5\xB2\x9A\xE6\x9E\xA2 ok", 9));
  EXPECT_EQ(L"ok\xFFFDok", Utf8ToWideLenient("ok\x80ok", 5));
  EXPECT_EQ(std::wstring(L"a\0b", 3), Utf8ToWideLenient("a\0b", 3));
  EXPECT_EQ(L"", Utf8ToWideLenient(nullptr, 4));
}

TEST(WideToUtf8Test, EncodingAndLoneSurrogates) {
  EXPECT_EQ("\xE5\xB2\x9A\xE6\x9E\xA2PDF", WideToUtf8(L"岚枢PDF"));
  EXPECT_EQ("\xF0\x9F\x98\x80", WideToUtf8(std::wstring(L"\xD83D\xDE00")));
  // A lone low surrogate, or a high one followed by no low one, is written as
  // three bytes.
  EXPECT_EQ("a\xED\xB0\x80z", WideToUtf8(std::wstring(L"a\xDC00z")));
  EXPECT_EQ("\xED\xA0\x80z", WideToUtf8(std::wstring(L"\xD800z")));
  // A high surrogate as the last unit empties the whole result.
  EXPECT_EQ("", WideToUtf8(std::wstring(L"abc\xD800")));
  EXPECT_EQ("", WideToUtf8(nullptr, 3));
}

TEST(WideToUtf8Test, RoundTripsEveryBmpCharacterAndSupplementaryPlanes) {
  std::wstring all;
  for (unsigned c = 1; c <= 0xFFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    all.push_back(static_cast<wchar_t>(c));
  }
  all += L"\xD83D\xDE00\xDBFF\xDFFF";
  const std::string utf8 = WideToUtf8(all);
  ASSERT_FALSE(utf8.empty());
  EXPECT_EQ(all, Utf8ToWide(utf8));
}

TEST(TrimLeadingBlanksTest, RemovesBlanksAndLowControlsOnly) {
  EXPECT_EQ(L"http://x/ y", TrimLeadingBlanks(L" \t\r\n\x01\x1D http://x/ y"));
  EXPECT_EQ(L"\x1E a", TrimLeadingBlanks(L"  \x1E a"));
  EXPECT_EQ(L"\x1F", TrimLeadingBlanks(L"\x1F"));
  EXPECT_EQ(L"", TrimLeadingBlanks(L"   "));
  EXPECT_EQ(L"", TrimLeadingBlanks(nullptr));
  EXPECT_EQ(L"\x3000x", TrimLeadingBlanks(L"\x3000x"));
  // Both ends, the same blanks.
  EXPECT_EQ(L"\x1E a = b\x1F", TrimBlanks(L" \t\x1E a = b\x1F\r\n\x1D "));
  EXPECT_EQ(L"", TrimBlanks(L" \r\n"));
}

}  // namespace
