#include "ui/skin/LanguageTable.h"

#include <vector>

#include "base/StringUtil.h"

namespace ui {

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
  const std::wstring text = nbase::TrimBlanks(nbase::Utf8ToWideLenient(line, length));
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
  const std::wstring key = nbase::TrimBlanks(pieces[0]);
  const std::wstring value = nbase::TrimBlanks(pieces[1]);
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
