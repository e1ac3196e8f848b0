#include "ui/LanguageTable.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "base/ScopedHandle.h"

namespace ui {

namespace {

// The longest line read from a file in one piece; longer lines continue as
// further lines, as a fixed-size line reader would deliver them.
constexpr size_t kMaxFileLine = 4095;

bool IsTrimmed(wchar_t c) { return c == L' ' || c <= 29; }

std::wstring Trim(const std::wstring& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsTrimmed(text[begin])) ++begin;
  while (end > begin && IsTrimmed(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::wstring LineToWide(const char* data, size_t size) {
  if (size == 0 || size > 0x3FFFFFFF) return std::wstring();
  const int length = ::MultiByteToWideChar(CP_UTF8, 0, data, static_cast<int>(size), nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, data, static_cast<int>(size), &text[0], length);
  return text;
}

}  // namespace

bool LanguageTable::LoadFromFile(const std::wstring& path) {
  strings_.clear();
  nbase::ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  std::vector<char> block(64 * 1024);
  std::string line;
  DWORD read = 0;
  while (::ReadFile(file.Get(), block.data(), static_cast<DWORD>(block.size()), &read, nullptr) &&
         read != 0) {
    for (DWORD i = 0; i < read; ++i) {
      line.push_back(block[i]);
      if (block[i] == '\n' || line.size() == kMaxFileLine) {
        // A NUL ends the text of a line read from a file.
        AddLine(line.c_str(), std::strlen(line.c_str()));
        line.clear();
      }
    }
  }
  if (!line.empty()) AddLine(line.c_str(), std::strlen(line.c_str()));
  return true;
}

void LanguageTable::LoadFromMemory(const char* data, size_t size) {
  strings_.clear();
  if (data == nullptr) return;
  size_t start = 0;
  for (size_t i = 0; i <= size; ++i) {
    if (i == size || data[i] == '\n' || data[i] == '\0') {
      AddLine(data + start, i - start);
      start = i + 1;
    }
  }
}

void LanguageTable::AddLine(const char* line, size_t length) {
  const std::wstring text = Trim(LineToWide(line, length));
  if (text.empty()) return;
  std::vector<std::wstring> pieces;
  size_t begin = 0;
  while (begin <= text.size() && pieces.size() < 3) {
    size_t end = text.find(L'=', begin);
    if (end == std::wstring::npos) end = text.size();
    if (end > begin) pieces.push_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
  if (pieces.size() != 2) return;
  const std::wstring key = Trim(pieces[0]);
  const std::wstring value = Trim(pieces[1]);
  // Comment lines carry ';' in what would be the key.
  if (key.empty() || key.find(L';') != std::wstring::npos) return;
  strings_[key] = value;
}

std::wstring LanguageTable::GetStringById(const std::wstring& key) const {
  if (key.empty()) return std::wstring();
  const auto it = strings_.find(key);
  if (it == strings_.end()) return std::wstring();
  const std::wstring& stored = it->second;
  std::wstring text;
  text.reserve(stored.size());
  for (size_t i = 0; i < stored.size(); ++i) {
    if (stored[i] == L'\\' && i + 1 < stored.size() &&
        (stored[i + 1] == L'r' || stored[i + 1] == L'n')) {
      text.push_back(stored[i + 1] == L'r' ? L'\r' : L'\n');
      ++i;
    } else {
      text.push_back(stored[i]);
    }
  }
  return text;
}

}  // namespace ui
