// A scratch folder under %TEMP% for tests that need real files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace skin_test {

class TempFolder {
 public:
  TempFolder() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    wchar_t name[MAX_PATH] = {};
    ::GetTempFileNameW(temp, L"skn", 0, name);
    ::DeleteFileW(name);
    ::CreateDirectoryW(name, nullptr);
    path_ = name;
  }
  ~TempFolder() {
    for (const std::wstring& file : files_) ::DeleteFileW(file.c_str());
    ::RemoveDirectoryW(path_.c_str());
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::wstring Path(const std::wstring& name) const { return path_ + L"\\" + name; }

  std::wstring Write(const std::wstring& name, const std::string& bytes) {
    const std::wstring path = Path(name);
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (!bytes.empty()) {
      ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    ::CloseHandle(file);
    files_.push_back(path);
    return path;
  }

 private:
  std::wstring path_;
  std::vector<std::wstring> files_;
};

}  // namespace skin_test
