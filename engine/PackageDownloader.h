// The download task: fetches the setup package into the download folder with
// up to six attempts, alternating between the package service and the CDN,
// and checks it. Runs on the worker thread; knows nothing of windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/ScopedHandle.h"
#include "engine/DownloadFolder.h"
#include "engine/ReportSink.h"

constexpr int kDownloadAttempts = 6;

struct DownloadRequest {
  std::wstring packageUrl;    // BuildPackageUrl
  std::wstring cdnUrl;        // CdnPackageUrl
  DownloadLocation location;  // folder and file name chosen so far
  // Folders to fall back to after a failed attempt; empty means the usual
  // four (DownloadFolderCandidates).
  std::vector<std::wstring> folderCandidates;
};

struct DownloadResult {
  int result = 1;     // 0: a verified package is at location.packagePath; 1: failure
  int retryTime = 0;  // failed attempts before the end (6 = all failed)
  int64_t costSeconds = 0;
  int64_t fileSize = -1;              // size of the verified package
  DownloadLocation location;          // where the last attempt wrote
  std::wstring lastDownloadError;     // the line describing the last failed attempt
  HRESULT lastDownloadResult = S_OK;  // result of the last URLDownloadToFileW
  // The verified package, open for reading with read-only sharing until the
  // setup has been started from it (pass it on in the InstallRequest).
  std::shared_ptr<nbase::ScopedFileHandle> package;
};

using DownloadFinishedCallback = std::function<void(const DownloadResult&)>;

// Runs the whole download on the calling thread, sends "DownloadTimeCost"
// through |report|, then hands the outcome to |finished|.
void DownloadPackage(const DownloadRequest& request, const ReportSink& report,
                     const DownloadFinishedCallback& finished);

// The same, returning the outcome instead.
DownloadResult RunDownload(const DownloadRequest& request, const ReportSink& report);
