#include "engine/DownloadFolder.h"

#include <windows.h>
#include <shlobj.h>

#include "base/FileUtil.h"
#include "base/ScopedHandle.h"
#include "engine/SpecialFolder.h"

namespace {

constexpr int kCandidateCount = 4;

// Touched by the window's constructor and later only by the download task,
// never by both at once.
int g_folderIndex = 0;

bool IsDirectory(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool HasFreeSpace(const std::wstring& folder, uint64_t minFreeBytes) {
  const size_t slash = folder.find(L'\\');
  if (slash == std::wstring::npos) return false;
  const std::wstring root = folder.substr(0, slash);
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  if (!::GetDiskFreeSpaceW(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                           &totalClusters)) {
    return false;
  }
  const uint64_t freeBytes =
      static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector * freeClusters;
  return freeBytes >= minFreeBytes;
}

// A name is usable when a new file of that name can be created and removed.
bool CanCreateFile(const std::wstring& path) {
  nbase::ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return false;
  file.Reset();
  return ::DeleteFileW(path.c_str()) != FALSE;
}

}  // namespace

std::vector<std::wstring> DownloadFolderCandidates() {
  std::vector<std::wstring> candidates;
  const std::wstring appData = GetSpecialFolderPath(CSIDL_APPDATA);
  candidates.push_back(appData.empty() ? std::wstring() : appData + L"\\PageWright\\Files");
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
  candidates.push_back(length > 0 && length <= MAX_PATH ? std::wstring(temp) + L"mydown"
                                                        : std::wstring());
  candidates.push_back(GetSpecialFolderPath(CSIDL_PERSONAL));
  candidates.push_back(GetSpecialFolderPath(CSIDL_DESKTOP));
  return candidates;
}

bool PrepareDownloadFolder(const std::wstring& folder, std::wstring* packagePath,
                           uint64_t minFreeBytes) {
  if (folder.empty()) return false;
  if (!IsDirectory(folder)) nbase::CreateDirectoryTree(folder.c_str());
  if (!IsDirectory(folder)) return false;
  if (!HasFreeSpace(folder, minFreeBytes)) return false;

  for (int n = 0; n <= 9; ++n) {
    std::wstring path = folder + L"\\";
    if (n > 0) path += static_cast<wchar_t>(L'0' + n);
    path += kPackageFileName;
    *packagePath = path;
    if (CanCreateFile(path)) return true;
  }
  return false;
}

bool SelectDownloadFolder(DownloadLocation* location) {
  return SelectDownloadFolder(location, DownloadFolderCandidates());
}

bool SelectDownloadFolder(DownloadLocation* location, const std::vector<std::wstring>& candidates) {
  if (candidates.empty()) return false;
  const int count = static_cast<int>(candidates.size());
  for (int tries = 0; tries < kCandidateCount; ++tries) {
    location->downloadFolder = candidates[static_cast<size_t>(g_folderIndex % count)];
    if (PrepareDownloadFolder(location->downloadFolder, &location->packagePath)) return true;
    g_folderIndex = (g_folderIndex + 1) % kCandidateCount;
  }
  return false;
}

int DownloadFolderIndex() { return g_folderIndex; }

void SetDownloadFolderIndex(int index) { g_folderIndex = index % kCandidateCount; }
