#include "base/StringUtil.h"

#include <windows.h>
#include <stdio.h>
#include <wchar.h>

#include <climits>
#include <cstdint>
#include <memory>

namespace nbase {

namespace {

constexpr size_t kStackBufferLength = 1024;

// The platform's counted formatters (_vsnwprintf, _vsnprintf) return -1 when
// the text does not fit and the number of characters written otherwise; a
// text that fills the buffer exactly comes back as the buffer length, without
// a terminating zero, and is taken whole. The narrow one is used rather than
// the C99 vsnprintf: that one reserves huge field widths on the stack.
int FormatInto(wchar_t* buffer, size_t length, const wchar_t* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  const int result = _vsnwprintf(buffer, length, format, copy);
  va_end(copy);
  return result;
}

int FormatInto(char* buffer, size_t length, const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  const int result = _vsnprintf(buffer, length, format, copy);
  va_end(copy);
  return result;
}

// A stack buffer first, then heap buffers doubling up to the limit.
template <typename Char>
std::basic_string<Char> FormatWithRetries(const Char* format, va_list args) {
  using Text = std::basic_string<Char>;
  if (!format) return Text();
  Char stack_buffer[kStackBufferLength];
  int result = FormatInto(stack_buffer, kStackBufferLength, format, args);
  if (result >= 0 && static_cast<size_t>(result) <= kStackBufferLength)
    return Text(stack_buffer, result);
  if (result != -1) return Text();

  for (size_t length = kStackBufferLength * 2; length <= kMaxFormattedLength; length *= 2) {
    std::unique_ptr<Char[]> buffer(new Char[length]);
    result = FormatInto(buffer.get(), length, format, args);
    if (result >= 0 && static_cast<size_t>(result) <= length) return Text(buffer.get(), result);
    if (result != -1) break;
  }
  return Text();
}

}  // namespace

std::wstring FormatWideStringV(const wchar_t* format, va_list args) {
  return FormatWithRetries(format, args);
}

std::wstring FormatWideString(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::wstring result = FormatWideStringV(format, args);
  va_end(args);
  return result;
}

std::string FormatStringV(const char* format, va_list args) {
  return FormatWithRetries(format, args);
}

std::string FormatString(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string result = FormatStringV(format, args);
  va_end(args);
  return result;
}

std::wstring Utf8ToWide(const char* data, size_t length) {
  std::wstring result;
  if (!data || length == 0) return result;
  const auto* bytes = reinterpret_cast<const unsigned char*>(data);
  result.reserve(length);
  size_t i = 0;
  while (i < length) {
    const unsigned char lead = bytes[i];
    size_t trailing = 0;
    if (lead >= 0xFC) {
      trailing = 5;
    } else if (lead >= 0xF8) {
      trailing = 4;
    } else if (lead >= 0xF0) {
      trailing = 3;
    } else if (lead >= 0xE0) {
      trailing = 2;
    } else if (lead >= 0xC0) {
      trailing = 1;
    }
    if (trailing >= length - i) return std::wstring();
    if (lead >= 0x80 && (lead < 0xC2 || lead > 0xF4)) return std::wstring();

    uint32_t code_point = trailing == 0 ? lead : (lead & (0x3F >> trailing));
    for (size_t k = 1; k <= trailing; ++k) {
      const unsigned char next = bytes[i + k];
      if (next < 0x80 || next > 0xBF) return std::wstring();
      if (k == 1) {
        if ((lead == 0xE0 && next < 0xA0) || (lead == 0xED && next >= 0xA0) ||
            (lead == 0xF0 && next < 0x90) || (lead == 0xF4 && next >= 0x90))
          return std::wstring();
      }
      code_point = (code_point << 6) | (next & 0x3F);
    }
    if (code_point <= 0xFFFF) {
      result.push_back(static_cast<wchar_t>(code_point));
    } else {
      code_point -= 0x10000;
      result.push_back(static_cast<wchar_t>(0xD800 + (code_point >> 10)));
      result.push_back(static_cast<wchar_t>(0xDC00 + (code_point & 0x3FF)));
    }
    i += trailing + 1;
  }
  return result;
}

std::wstring Utf8ToWide(const std::string& text) { return Utf8ToWide(text.data(), text.size()); }

std::string WideToUtf8(const wchar_t* data, size_t length) {
  std::string result;
  if (!data || length == 0) return result;
  result.reserve(length * 3);
  for (size_t i = 0; i < length; ++i) {
    uint32_t unit = static_cast<uint16_t>(data[i]);
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (i + 1 == length) return std::string();
      const uint32_t low = static_cast<uint16_t>(data[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        const uint32_t code_point = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        result.push_back(static_cast<char>(0xF0 | (code_point >> 18)));
        result.push_back(static_cast<char>(0x80 | ((code_point >> 12) & 0x3F)));
        result.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
        result.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
        ++i;
        continue;
      }
    }
    if (unit < 0x80) {
      result.push_back(static_cast<char>(unit));
    } else if (unit < 0x800) {
      result.push_back(static_cast<char>(0xC0 | (unit >> 6)));
      result.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    } else {
      result.push_back(static_cast<char>(0xE0 | (unit >> 12)));
      result.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
      result.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    }
  }
  return result;
}

std::string WideToUtf8(const std::wstring& text) { return WideToUtf8(text.data(), text.size()); }

std::wstring Utf8ToWideLenient(const char* data, size_t length) {
  if (!data || length == 0 || length > static_cast<size_t>(INT_MAX)) return std::wstring();
  const int size = static_cast<int>(length);
  const int units = ::MultiByteToWideChar(CP_UTF8, 0, data, size, nullptr, 0);
  if (units <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(units), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, data, size, &text[0], units);
  return text;
}

namespace {

// Blank: a space or a control character up to 0x1D (0x1E and 0x1F are kept).
bool IsBlank(wchar_t c) { return c == 0x20 || static_cast<uint16_t>(c) <= 0x1D; }

}  // namespace

std::wstring TrimLeadingBlanks(const wchar_t* text) {
  if (!text) return std::wstring();
  while (*text != 0 && IsBlank(*text)) ++text;
  return std::wstring(text);
}

std::wstring TrimBlanks(const std::wstring& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

}  // namespace nbase
