// Readers of the value syntaxes used by layout attributes: bool, int, pair,
// rect, length and word list.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace ui {

// Only the exact text "true" is true.
bool ParseBool(const std::wstring& value);
// Blanks, an optional sign and digits; text after the digits is ignored; no
// digits read as 0 (and leave |end| at |text|).
int ParseInt(const wchar_t* text, const wchar_t** end = nullptr);
inline int ParseInt(const std::wstring& value) { return ParseInt(value.c_str()); }
// "a,b": two ints separated by exactly one character. Missing numbers read as
// 0.
SIZE ParsePair(const std::wstring& value);
// "l,t,r,b": four ints, each separated by exactly one character.
RECT ParseRect(const std::wstring& value);
// A length: "stretch" (-1), "auto" (-2) or an int.
int ParseLength(const std::wstring& value);
// A list of words (class names, event types, receivers): split at single
// spaces, empty pieces dropped.
std::vector<std::wstring> SplitBySpace(const std::wstring& text);

}  // namespace ui
