// Text helpers: printf-style formatting into new strings, UTF-8 <-> UTF-16
// conversion and trimming. Wide strings hold UTF-16; narrow strings hold bytes.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

namespace nbase {

// Formats with the platform's wide printf rules (%s takes a wide string).
// Gives an empty string when formatting fails or the text would exceed
// kMaxFormattedLength characters.
std::wstring FormatWideString(const wchar_t* format, ...);
std::wstring FormatWideStringV(const wchar_t* format, va_list args);

// Formats with the narrow printf rules ("%I64u" is understood).
std::string FormatString(const char* format, ...);
std::string FormatStringV(const char* format, va_list args);

// The longest text the formatters produce: 32 Mi characters.
constexpr size_t kMaxFormattedLength = 32 * 1024 * 1024;

// Strict decoding: any ill-formed or truncated sequence (overlong forms,
// encoded surrogates, code points above U+10FFFF) gives an empty string.
std::wstring Utf8ToWide(const char* data, size_t length);
std::wstring Utf8ToWide(const std::string& text);

// Lenient decoding, for skin files: each ill-formed sequence becomes U+FFFD
// (the platform's CP_UTF8 rules) and the rest of the text is kept.
std::wstring Utf8ToWideLenient(const char* data, size_t length);

// Lenient encoding: unpaired surrogates are written as 3-byte sequences, but a
// high surrogate as the very last unit gives an empty string.
std::string WideToUtf8(const wchar_t* data, size_t length);
std::string WideToUtf8(const std::wstring& text);

// Copy of |text| without its leading blanks and control characters (code 0x20
// or at most 0x1D). A null |text| gives an empty string.
std::wstring TrimLeadingBlanks(const wchar_t* text);
// |text| without the same blanks at either end.
std::wstring TrimBlanks(const std::wstring& text);

}  // namespace nbase
