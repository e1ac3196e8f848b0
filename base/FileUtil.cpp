#include "base/FileUtil.h"

#include <windows.h>

#include <string>
#include <vector>

#include "base/ScopedHandle.h"

namespace nbase {

namespace {

bool IsDirectory(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Splits at '\\' and '/'; a component followed by a separator keeps one '\\'.
// Runs of separators count as one.
std::vector<std::wstring> SplitPath(const wchar_t* path) {
  std::vector<std::wstring> components;
  std::wstring current;
  for (const wchar_t* p = path; *p; ++p) {
    if (!IsSeparator(*p)) {
      current.push_back(*p);
      continue;
    }
    if (current.empty() && !components.empty()) continue;  // a run of separators
    current.push_back(L'\\');
    components.push_back(current);
    current.clear();
    while (IsSeparator(p[1])) ++p;
  }
  if (!current.empty()) components.push_back(current);
  return components;
}

}  // namespace

bool CreateDirectoryTree(const wchar_t* path) {
  if (!path) return false;
  if (IsDirectory(path)) return true;
  const std::vector<std::wstring> components = SplitPath(path);
  if (components.empty()) return false;

  std::wstring prefix;
  for (const std::wstring& component : components) {
    prefix += component;
    if (IsDirectory(prefix)) continue;
    if (!::CreateDirectoryW(prefix.c_str(), nullptr)) {
      if (::GetLastError() != ERROR_ALREADY_EXISTS) return false;
      if (!IsDirectory(prefix)) return false;
    }
  }
  return true;
}

int64_t QueryFileSize(const wchar_t* path) {
  if (!path) return -1;
  WIN32_FIND_DATAW data;
  ScopedFindHandle find(::FindFirstFileW(path, &data));
  if (!find.IsValid()) return -1;
  return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace nbase
