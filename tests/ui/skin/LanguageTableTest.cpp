#include "ui/skin/LanguageTable.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/ui/skin/TestFiles.h"

namespace {

ui::LanguageTable FromText(const std::string& text) {
  ui::LanguageTable table;
  table.LoadFromMemory(text.data(), text.size());
  return table;
}

TEST(LanguageTableTest, LineShapes) {
  const ui::LanguageTable table = FromText(
      "\xEF\xBB\xBF;\xE9\x80\x9A\xE7\x94\xA8\n"  // BOM + ";通用": a comment
      "SPACED = value\r\n"
      "TABS\t\t=\tvalue\n"
      "   PADDED=value   \n"
      "DOUBLE==value\n"
      "THREE = a = b\n"
      "NOVALUE =\n"
      "=ONLYVALUE\n"
      ";COMMENTED = value\n"
      "IN;SIDE = value\n"
      "TIP\xE5\xAD\x97\xE7\xAC\xA6 ;TIPID = x\n"
      "\n"
      "   \t  \n"
      "REPEATED = first\n"
      "REPEATED = second\n"
      "\x1e"
      "KEPT\x1f=v\n"
      "lower = small\n");
  EXPECT_EQ(L"value", table.GetStringById(L"SPACED"));
  EXPECT_EQ(L"value", table.GetStringById(L"TABS"));
  EXPECT_EQ(L"value", table.GetStringById(L"PADDED"));
  EXPECT_EQ(L"value", table.GetStringById(L"DOUBLE"));
  EXPECT_EQ(L"", table.GetStringById(L"THREE"));
  EXPECT_EQ(L"", table.GetStringById(L"NOVALUE"));
  EXPECT_EQ(L"", table.GetStringById(L"ONLYVALUE"));
  EXPECT_EQ(L"", table.GetStringById(L";COMMENTED"));
  EXPECT_EQ(L"", table.GetStringById(L"COMMENTED"));
  EXPECT_EQ(L"", table.GetStringById(L"IN;SIDE"));
  EXPECT_EQ(L"second", table.GetStringById(L"REPEATED"));
  // Codes 30 and 31 are not blanks.
  EXPECT_EQ(L"v", table.GetStringById(L"\x1e"
                                      L"KEPT\x1f"));
  // Keys are case-sensitive.
  EXPECT_EQ(L"small", table.GetStringById(L"lower"));
  EXPECT_EQ(L"", table.GetStringById(L"LOWER"));
  EXPECT_EQ(L"", table.GetStringById(L""));
  EXPECT_EQ(7u, table.GetCount());
}

TEST(LanguageTableTest, EscapesAndUtf8) {
  const ui::LanguageTable table = FromText(
      "MULTI = line1\\nline2\\r\\nline3\n"
      "SLASHES = a\\\\n\\t\n"
      "OK = \xE7\xA1\xAE\xE5\xAE\x9A\n");
  EXPECT_EQ(L"line1\nline2\r\nline3", table.GetStringById(L"MULTI"));
  // Only backslash-r and backslash-n are turned into control characters.
  EXPECT_EQ(L"a\\\n\\t", table.GetStringById(L"SLASHES"));
  EXPECT_EQ(L"\u786e\u5b9a", table.GetStringById(L"OK"));
}

TEST(LanguageTableTest, MemoryLinesEndAtNul) {
  const std::string text("A = 1\0B = 2\nC = 3", 17);
  const ui::LanguageTable table = FromText(text);
  EXPECT_EQ(L"1", table.GetStringById(L"A"));
  EXPECT_EQ(L"2", table.GetStringById(L"B"));
  EXPECT_EQ(L"3", table.GetStringById(L"C"));
  ui::LanguageTable empty;
  empty.LoadFromMemory(nullptr, 5);
  EXPECT_EQ(0u, empty.GetCount());
}

}  // namespace
