#include "PreviewLog.h"

#include <windows.h>

#include "base/ScopedHandle.h"
#include "base/StringUtil.h"

void PreviewLog::Write(const std::wstring& line) const {
  if (path_.empty()) return;
  nbase::ScopedFileHandle file(::CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  const std::string bytes = nbase::WideToUtf8(line) + "\n";
  DWORD written = 0;
  ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}
