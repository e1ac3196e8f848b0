// Readers of the value syntaxes used by layout attributes: bool, int, pair and
// rect.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

// Only the exact text "true" is true.
bool ParseBool(const std::wstring& value);
// An optional sign and digits; text after the digits is ignored; no digits read
// as 0.
int ParseInt(const wchar_t* text, const wchar_t** end = nullptr);
inline int ParseInt(const std::wstring& value) { return ParseInt(value.c_str()); }
// "a,b": two ints separated by exactly one character. Missing numbers read as
// 0.
SIZE ParsePair(const std::wstring& value);
// "l,t,r,b": four ints, each separated by exactly one character.
RECT ParseRect(const std::wstring& value);
// A length: "stretch" (-1), "auto" (-2) or an int.
int ParseLength(const std::wstring& value);

}  // namespace ui
