// The skin's language file (gdstrings.ini): UTF-8 "KEY=value" lines; lines
// without exactly one key and one value, and keys containing ';' (comments),
// are ignored.
#pragma once

#include <cstddef>
#include <map>
#include <string>

namespace ui {

class LanguageTable {
 public:
  // Replaces the current contents with the lines of a language file as
  // ReadSkinFile gives it.
  void LoadFromMemory(const char* data, size_t size);

  void Clear() { strings_.clear(); }
  size_t GetCount() const { return strings_.size(); }

  // The text stored for |key| with "\r" and "\n" (backslash sequences) turned
  // into carriage returns and line feeds; empty for an unknown or empty key.
  std::wstring GetStringById(const std::wstring& key) const;

 private:
  void AddLine(const char* line, size_t length);

  std::map<std::wstring, std::wstring> strings_;
};

}  // namespace ui
