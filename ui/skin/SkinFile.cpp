#include "ui/skin/SkinFile.h"

#include <windows.h>

#include "base/ScopedHandle.h"
#include "ui/skin/SkinArchive.h"

namespace ui {

namespace {

bool ReadFileBytes(const std::wstring& path, std::string* bytes) {
  nbase::ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return false;
  LARGE_INTEGER size = {};
  // Skin files are small; the archive refuses larger members just the same.
  if (!::GetFileSizeEx(file.Get(), &size) ||
      size.QuadPart > static_cast<LONGLONG>(SkinArchive::kMaxMemberSize)) {
    return false;
  }
  std::string data(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!data.empty() &&
      (!::ReadFile(file.Get(), &data[0], static_cast<DWORD>(data.size()), &read, nullptr) ||
       read != static_cast<DWORD>(data.size()))) {
    return false;
  }
  bytes->swap(data);
  return true;
}

}  // namespace

bool ReadSkinFile(const std::wstring& path, std::string* bytes) {
  bytes->clear();
  if (path.empty()) return false;
  if (GetSkinArchive() != nullptr) return ReadArchiveMember(path, bytes);
  return ReadFileBytes(path, bytes);
}

}  // namespace ui
