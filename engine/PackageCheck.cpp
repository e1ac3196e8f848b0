#include "engine/PackageCheck.h"

#include <windows.h>

namespace {

constexpr DWORD kHeaderBytes = 2048;

}  // namespace

bool VerifyPackage(const std::wstring& path, int32_t expectedSize,
                   nbase::ScopedFileHandle* keepOpen) {
  // Opened by its wide path: a user name outside the ANSI code page must not
  // make every package unreadable.
  nbase::ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return false;

  LARGE_INTEGER size = {};
  if (!::GetFileSizeEx(file.Get(), &size)) return false;
  if (size.QuadPart < kMinPackageSize || size.QuadPart != static_cast<int64_t>(expectedSize)) {
    return false;
  }

  char header[kHeaderBytes] = {};
  DWORD read = 0;
  if (!::ReadFile(file.Get(), header, kHeaderBytes, &read, nullptr) || read < kHeaderBytes) {
    return false;
  }
  if (header[0] != 'M' || header[1] != 'Z') return false;

  if (keepOpen != nullptr) *keepOpen = std::move(file);
  return true;
}
