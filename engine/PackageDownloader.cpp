#include "engine/PackageDownloader.h"

#include <objbase.h>
#include <urlmon.h>
#include <wininet.h>

#include <utility>

#include "base/FileUtil.h"
#include "base/ScopedComInit.h"
#include "base/NumberText.h"
#include "base/StringUtil.h"
#include "base/TickTime.h"
#include "build_config.h"
#include "engine/CBSCallbackImpl.h"
#include "engine/DownloadProgress.h"
#include "engine/HttpStatusResult.h"
#include "engine/PackageCheck.h"
#include "engine/PackageUrl.h"
#include "engine/StallWatch.h"

namespace {

// An attempt that brings no new bytes for this long is given up.
constexpr DWORD kStallLimitMs = build_config::kDownloadStallSeconds * 1000;

void DeleteIfPresent(const std::wstring& path) {
  if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) ::DeleteFileW(path.c_str());
}

}  // namespace

DownloadResult RunDownload(const DownloadRequest& request, const ReportSink& report) {
  // The download service wants COM on the calling thread.
  const nbase::ScopedComInit com;
  const nbase::TickTime start = nbase::TickTime::Now();
  CBSCallbackImpl callback(&OnDownloadProgress);

  DownloadResult outcome;
  outcome.location = request.location;
  DownloadLocation& location = outcome.location;
  const std::vector<std::wstring> candidates =
      request.folderCandidates.empty() ? DownloadFolderCandidates() : request.folderCandidates;

  StallWatch::LimitPlatformWaits(kStallLimitMs);
  int attempt = 0;
  for (; attempt < kDownloadAttempts; ++attempt) {
    const std::wstring url =
        AttemptUrl(request.packageUrl, request.cdnUrl, attempt, ::GetTickCount());
    outcome.lastDownloadError.clear();
    DeleteIfPresent(location.packagePath);
    ::DeleteUrlCacheEntryW(url.c_str());

    callback.BeginTransfer(::GetTickCount());
    HRESULT transfer = S_OK;
    {
      const StallWatch watch(&callback, kStallLimitMs);
      transfer =
          ::URLDownloadToFileW(nullptr, url.c_str(), location.packagePath.c_str(), 0, &callback);
    }
    // An error answer whose body was stored as the file is still a failure,
    // and so is a transfer cut for silence, whatever the platform made of it.
    outcome.lastDownloadResult = callback.stalled()
                                     ? INET_E_CONNECTION_TIMEOUT
                                     : ResultForHttpStatus(transfer, callback.httpStatus());
    const int64_t size = nbase::QueryFileSize(location.packagePath.c_str());

    auto package = std::make_shared<nbase::ScopedFileHandle>();
    if (outcome.lastDownloadResult == S_OK &&
        VerifyPackage(location.packagePath, ExpectedPackageSize(), package.get())) {
      outcome.result = 0;
      outcome.fileSize = size;
      outcome.package = std::move(package);
      break;
    }

    outcome.result = 1;
    DeleteIfPresent(location.packagePath);
    // Moves on to another folder or file name only when the current one no
    // longer passes the folder check.
    SelectDownloadFolder(&location, candidates);
    outcome.lastDownloadError = nbase::FormatWideString(
        L"URLDownloadToFile hr = %08x size %d / %d windows pop time = %d",
        static_cast<unsigned>(outcome.lastDownloadResult), static_cast<int>(size),
        static_cast<int>(ExpectedPackageSize()), static_cast<int>(callback.windowRequests()));
  }
  outcome.retryTime = attempt;

  outcome.costSeconds = (nbase::TickTime::Now() - start).ToMilliseconds() / 1000;
  if (report) {
    ReportFields fields;
    fields[L"cost"] = nbase::Int64ToWide(outcome.costSeconds);
    if (outcome.result == 0) fields[L"fileSize"] = nbase::Int64ToWide(outcome.fileSize);
    fields[L"ret"] = nbase::Int64ToWide(outcome.result);
    fields[L"retryTime"] = nbase::Int64ToWide(outcome.retryTime);
    report(L"DownloadTimeCost", fields);
  }
  return outcome;
}

void DownloadPackage(const DownloadRequest& request, const ReportSink& report,
                     const DownloadFinishedCallback& finished) {
  DownloadResult outcome = RunDownload(request, report);
  if (finished) finished(outcome);
}
