// Where the setup package is downloaded to: the first of four candidate
// folders that exists (or can be made), has room, and accepts a new file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A download folder needs this much free space (403.5 MiB).
constexpr uint64_t kMinDownloadFreeBytes = 423116800;

// The package file name; a locked one gets a digit in front ("1" ... "9").
constexpr wchar_t kPackageFileName[] = L"PageWrightInstaller.exe";

struct DownloadLocation {
  std::wstring downloadFolder;
  std::wstring packagePath;
};

// The candidates in order: roaming application data + "\PageWright\Files",
// the temporary folder + "mydown", documents, desktop. A folder the shell
// cannot name is empty (and fails the check).
std::vector<std::wstring> DownloadFolderCandidates();

// Makes |folder| ready: creates it when missing, checks the free space of its
// drive and finds a package name that can be created there (written to
// |packagePath| even on failure: the last name tried).
bool PrepareDownloadFolder(const std::wstring& folder, std::wstring* packagePath,
                           uint64_t minFreeBytes = kMinDownloadFreeBytes);

// Tries up to four candidates from the current candidate index on, moving the
// index past every folder that fails. Fills |location| with the last folder
// and file name tried.
bool SelectDownloadFolder(DownloadLocation* location);
bool SelectDownloadFolder(DownloadLocation* location, const std::vector<std::wstring>& candidates);

// The current candidate index (0..3). It survives between downloads of one
// run, so a retry starts from the folder that worked last.
int DownloadFolderIndex();
void SetDownloadFolderIndex(int index);
