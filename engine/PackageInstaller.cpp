#include "engine/PackageInstaller.h"

#include "base/NumberText.h"
#include "base/TickTime.h"
#include "engine/ProcessUtil.h"

namespace {

// A drive root chosen in the folder browser yields "C:\\zorvikmedia\..."; the
// file system reads that as one separator, but the setup package refuses such
// a folder and silently installs into its own default instead. A leading
// "\\" (a network path) is kept.
std::wstring CollapseSeparators(const std::wstring& folder) {
  std::wstring out;
  out.reserve(folder.size());
  for (size_t i = 0; i < folder.size(); ++i) {
    const bool repeated = i > 1 && folder[i] == L'\\' && out.back() == L'\\';
    if (!repeated) out.push_back(folder[i]);
  }
  return out;
}

}  // namespace

std::wstring BuildSetupCommandLine(const std::wstring& packagePath,
                                   const std::wstring& installDir) {
  return QuoteCommandLinePath(packagePath) + L" /S" + L" /D=" + CollapseSeparators(installDir);
}

InstallResult RunInstall(const InstallRequest& request, const ReportSink& report) {
  const nbase::TickTime start = nbase::TickTime::Now();
  InstallResult outcome;
  const std::wstring commandLine = BuildSetupCommandLine(request.packagePath, request.installDir);
  for (int run = 0; run < kSetupRuns; ++run) {
    outcome.setupExitCode = RunProcessAndWait(std::wstring(), commandLine);
    if (outcome.setupExitCode == 0) break;
    ++outcome.failures;
  }
  if (request.package) request.package->Reset();

  outcome.costSeconds = (nbase::TickTime::Now() - start).ToMilliseconds() / 1000;
  if (report) {
    ReportFields fields;
    fields[L"cost"] = nbase::Int64ToWide(outcome.costSeconds);
    fields[L"ret"] = nbase::Int64ToWide(outcome.setupExitCode);
    fields[L"retryTime"] = nbase::Int64ToWide(outcome.failures);
    report(L"InstallTimeCost", fields);
  }
  return outcome;
}

void InstallPackage(const InstallRequest& request, const ReportSink& report,
                    const InstallFinishedCallback& finished) {
  InstallResult outcome = RunInstall(request, report);
  if (finished) finished(outcome);
}
