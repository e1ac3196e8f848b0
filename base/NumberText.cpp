#include "base/NumberText.h"

#include <limits>

namespace nbase {

std::wstring Int64ToWide(int64_t value) {
  // Work on the unsigned magnitude so that the most negative value survives.
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  wchar_t digits[24];
  wchar_t* cursor = digits + 24;
  do {
    *--cursor = static_cast<wchar_t>(L'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--cursor = L'-';
  return std::wstring(cursor, digits + 24);
}

bool ParseInt64(const char* begin, const char* end, int64_t* output) {
  int64_t ignored = 0;
  if (!output) output = &ignored;
  *output = 0;
  if (!begin || !end || begin >= end) return false;

  bool valid = true;
  while (begin != end && (*begin == ' ' || (*begin >= 0x09 && *begin <= 0x0D))) {
    valid = false;
    ++begin;
  }
  bool negative = false;
  if (begin != end && (*begin == '-' || *begin == '+')) {
    negative = *begin == '-';
    ++begin;
  }
  if (begin == end) return false;

  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  int64_t value = 0;
  for (; begin != end; ++begin) {
    if (*begin < '0' || *begin > '9') return false;
    const int digit = *begin - '0';
    if (negative) {
      if (value < kMin / 10 || (value == kMin / 10 && digit > -(kMin % 10))) {
        *output = kMin;
        return false;
      }
      value = value * 10 - digit;
    } else {
      if (value > kMax / 10 || (value == kMax / 10 && digit > kMax % 10)) {
        *output = kMax;
        return false;
      }
      value = value * 10 + digit;
    }
    *output = value;
  }
  return valid;
}

bool ParseInt64(const std::string& text, int64_t* output) {
  return ParseInt64(text.data(), text.data() + text.size(), output);
}

}  // namespace nbase
