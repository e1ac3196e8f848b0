// The setup task: runs the verified package silently into the installation
// folder, up to three times, and reports how it went. Runs on the worker
// thread; knows nothing of windows.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/ScopedHandle.h"
#include "engine/ReportSink.h"

constexpr int kSetupRuns = 3;

struct InstallRequest {
  std::wstring packagePath;
  std::wstring installDir;
  // The package as verified by the download (may be null); closed when the
  // task ends, after the setup has been started from it.
  std::shared_ptr<nbase::ScopedFileHandle> package;
};

struct InstallResult {
  int32_t setupExitCode = 0;  // the last run's exit code (or start error)
  int failures = 0;           // failed runs, 0..3
  int64_t costSeconds = 0;
};

using InstallFinishedCallback = std::function<void(const InstallResult&)>;

// The package path in quotes (so blanks in it cannot start another program),
// then " /S" and " /D=" with the folder unquoted and last, as NSIS wants it.
std::wstring BuildSetupCommandLine(const std::wstring& packagePath, const std::wstring& installDir);

// Runs the setup on the calling thread, sends "InstallTimeCost" through
// |report|, then hands the outcome to |finished|.
void InstallPackage(const InstallRequest& request, const ReportSink& report,
                    const InstallFinishedCallback& finished);

// The same, returning the outcome instead.
InstallResult RunInstall(const InstallRequest& request, const ReportSink& report);
