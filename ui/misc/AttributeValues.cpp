#include "ui/misc/AttributeValues.h"

#include <climits>

#include "ui/misc/Geometry.h"

namespace ui {

bool ParseBool(const std::wstring& value) { return value == L"true"; }

int ParseInt(const wchar_t* text, const wchar_t** end) {
  const wchar_t* p = text;
  while (*p == L' ' || (*p >= L'\t' && *p <= L'\r')) ++p;
  bool negative = false;
  if (*p == L'+' || *p == L'-') {
    negative = *p == L'-';
    ++p;
  }
  long long value = 0;
  const wchar_t* digits = p;
  while (*p >= L'0' && *p <= L'9') {
    // Saturate instead of overflowing on absurdly long numbers.
    if (value < INT_MAX) value = value * 10 + (*p - L'0');
    ++p;
  }
  if (p == digits) p = text;  // nothing read
  if (end) *end = p;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(negative ? -value : value);
}

namespace {

// Reads up to |count| ints, skipping exactly one separator character after
// each.
void ParseInts(const std::wstring& value, int* out, int count) {
  const wchar_t* p = value.c_str();
  for (int i = 0; i < count; ++i) {
    const wchar_t* end = p;
    out[i] = ParseInt(p, &end);
    p = end;
    if (*p == L'\0') {
      for (int j = i + 1; j < count; ++j) out[j] = 0;
      return;
    }
    ++p;
  }
}

}  // namespace

SIZE ParsePair(const std::wstring& value) {
  int v[2];
  ParseInts(value, v, 2);
  return MakeSize(v[0], v[1]);
}

RECT ParseRect(const std::wstring& value) {
  int v[4];
  ParseInts(value, v, 4);
  return MakeRect(v[0], v[1], v[2], v[3]);
}

int ParseLength(const std::wstring& value) {
  if (value == L"stretch") return kLengthStretch;
  if (value == L"auto") return kLengthAuto;
  return ParseInt(value);
}

std::vector<std::wstring> SplitBySpace(const std::wstring& text) {
  std::vector<std::wstring> parts;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(L' ', start);
    if (end == std::wstring::npos) end = text.size();
    if (end > start) parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

}  // namespace ui
