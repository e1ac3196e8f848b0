// Appends one line per observed event to a UTF-8 file, so that tests can read what happened.
#pragma once

#include <string>

class PreviewLog {
 public:
  explicit PreviewLog(const std::wstring& path) : path_(path) {}
  void Write(const std::wstring& line) const;

 private:
  std::wstring path_;
};
