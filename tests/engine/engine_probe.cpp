// Drives the engine the way the installer does (tasks on a real "Global Misc
// Thread") and prints what happened as one JSON object on stdout, for the
// Python tests in this folder.
//
//   engine_probe download PACKAGE_URL CDN_URL FOLDER...   download into the first usable FOLDER
//   engine_probe install PACKAGE INSTALL_DIR              run the setup (up to three runs)
//   engine_probe find NAME [terminate]                    count (and end) processes by name
//   engine_probe launch INSTALL_DIR                       start the installed product
//   engine_probe hold FILE SECONDS                        keep FILE open, unshared, for a while
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/FileUtil.h"
#include "base/FrameworkThread.h"
#include "base/ScopedHandle.h"
#include "base/StringUtil.h"
#include "base/TaskPosting.h"
#include "base/ThreadIds.h"
#include "base/ThreadRegistry.h"
#include "engine/DownloadProgress.h"
#include "engine/PackageCheck.h"
#include "engine/PackageDownloader.h"
#include "engine/PackageInstaller.h"
#include "engine/ProcessUtil.h"
#include "engine/ProductLauncher.h"
#include "engine/SystemMessage.h"

namespace {

class ProbeWorker : public nbase::FrameworkThread {
 public:
  ProbeWorker() : FrameworkThread("Global Misc Thread") {}
  ~ProbeWorker() override { Stop(); }
  void Init() override { nbase::ThreadRegistry::RegisterCurrentThread(nbase::kMiscThreadId); }
  void Cleanup() override { nbase::ThreadRegistry::UnregisterCurrentThread(); }
};

std::string Json(const std::wstring& text) {
  const std::string utf8 = nbase::WideToUtf8(text);
  std::string out = "\"";
  for (const unsigned char c : utf8) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      out += nbase::FormatString("\\u%04x", c);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// Reports raised on the worker; read by the main thread only after the task
// has signalled that it finished.
struct ReportLog {
  std::vector<std::pair<std::wstring, ReportFields>> events;

  ReportSink Sink() {
    return [this](const std::wstring& name, const ReportFields& fields) {
      events.emplace_back(name, fields);
    };
  }

  std::string ToJson() const {
    std::string out = "[";
    for (size_t i = 0; i < events.size(); ++i) {
      if (i > 0) out += ",";
      out += "{\"event\":" + Json(events[i].first) + ",\"fields\":[";
      bool first = true;
      for (const auto& field : events[i].second) {
        if (!first) out += ",";
        first = false;
        out += "[" + Json(field.first) + "," + Json(field.second) + "]";
      }
      out += "]}";
    }
    return out + "]";
  }
};

// Runs |task| on the worker thread and waits for it to signal |done|.
bool RunOnWorker(const nbase::Task& task, HANDLE done) {
  if (!nbase::PostTaskToThread(nbase::kMiscThreadId, task)) return false;
  ::WaitForSingleObject(done, INFINITE);
  return true;
}

int Download(int argc, wchar_t** argv) {
  if (argc < 5) return 2;
  DownloadRequest request;
  request.packageUrl = argv[2];
  request.cdnUrl = argv[3];
  for (int i = 4; i < argc; ++i) request.folderCandidates.push_back(argv[i]);
  SetDownloadFolderIndex(0);
  const bool selected = SelectDownloadFolder(&request.location, request.folderCandidates);

  ProbeWorker worker;
  if (!worker.Start()) return 3;
  ReportLog reports;
  DownloadResult result;
  nbase::ScopedKernelHandle done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  const HANDLE doneEvent = done.Get();
  RunOnWorker(
      [&] {
        DownloadPackage(request, reports.Sink(), [&](const DownloadResult& outcome) {
          result = outcome;
          ::SetEvent(doneEvent);
        });
      },
      doneEvent);

  // The package stays locked for the setup: another writer must be refused.
  nbase::ScopedFileHandle writer(::CreateFileW(result.location.packagePath.c_str(), GENERIC_WRITE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_EXISTING, 0, nullptr));
  std::printf(
      "{\"selected\":%s,\"result\":%d,\"retryTime\":%d,\"fileSize\":%lld,\"folder\":%s,"
      "\"packagePath\":%s,\"lastDownloadError\":%s,\"lastDownloadResult\":%lu,"
      "\"reason\":%s,\"expectedSize\":%d,\"downloadProgress\":%d,\"packageHeld\":%s,"
      "\"writerRefused\":%s,\"reports\":%s}\n",
      selected ? "true" : "false", result.result, result.retryTime,
      static_cast<long long>(result.fileSize), Json(result.location.downloadFolder).c_str(),
      Json(result.location.packagePath).c_str(), Json(result.lastDownloadError).c_str(),
      static_cast<unsigned long>(result.lastDownloadResult),
      Json(FormatSystemMessage(static_cast<DWORD>(result.lastDownloadResult))).c_str(),
      ExpectedPackageSize(), DownloadProgressPerMille(),
      result.package && result.package->IsValid() ? "true" : "false",
      writer.IsValid() ? "false" : "true", reports.ToJson().c_str());
  return 0;
}

int Install(int argc, wchar_t** argv) {
  if (argc < 4) return 2;
  InstallRequest request;
  request.packagePath = argv[2];
  request.installDir = argv[3];
  request.package = std::make_shared<nbase::ScopedFileHandle>();
  // Held the way the download hands the package over.
  VerifyPackage(request.packagePath,
                static_cast<int32_t>(nbase::QueryFileSize(request.packagePath.c_str())),
                request.package.get());
  const bool heldBefore = request.package->IsValid();

  ProbeWorker worker;
  if (!worker.Start()) return 3;
  ReportLog reports;
  InstallResult result;
  nbase::ScopedKernelHandle done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  const HANDLE doneEvent = done.Get();
  RunOnWorker(
      [&] {
        InstallPackage(request, reports.Sink(), [&](const InstallResult& outcome) {
          result = outcome;
          ::SetEvent(doneEvent);
        });
      },
      doneEvent);

  std::printf(
      "{\"setupExitCode\":%d,\"failures\":%d,\"commandLine\":%s,\"heldBefore\":%s,"
      "\"releasedAfter\":%s,\"reason\":%s,\"reports\":%s}\n",
      result.setupExitCode, result.failures,
      Json(BuildSetupCommandLine(request.packagePath, request.installDir)).c_str(),
      heldBefore ? "true" : "false", request.package->IsValid() ? "false" : "true",
      Json(FormatSystemMessage(static_cast<DWORD>(result.setupExitCode))).c_str(),
      reports.ToJson().c_str());
  return 0;
}

int Find(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  const bool terminate = argc > 3 && std::wstring(argv[3]) == L"terminate";
  const int count = FindProcessesByName(argv[2], terminate);
  std::printf("{\"count\":%d}\n", count);
  return 0;
}

// launch DIR [route-fails|route-works]: the desktop shell's route as it is (none under
// Wine), or one that fails or pretends to start the product; the route's calls are listed.
int Launch(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  const std::wstring mode = argc > 3 ? argv[3] : L"";
  std::string calls;
  const ShellRoute recorder = [&](const std::wstring& file, const std::wstring& parameters,
                                  const std::wstring& directory) {
    calls += std::string(calls.empty() ? "" : ",") + "[" + Json(file) + "," + Json(parameters) +
             "," + Json(directory) + "]";
    return mode == L"route-works";
  };
  const bool started = mode.empty() ? LaunchProduct(argv[2]) : LaunchProduct(argv[2], recorder);
  std::printf("{\"started\":%s,\"commandLine\":%s,\"routeCalls\":[%s]}\n",
              started ? "true" : "false", Json(BuildLaunchCommandLine(argv[2])).c_str(),
              calls.c_str());
  return 0;
}

int Hold(int argc, wchar_t** argv) {
  if (argc < 4) return 2;
  nbase::ScopedFileHandle file(::CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
  std::printf("{\"held\":%s}\n", file.IsValid() ? "true" : "false");
  std::fflush(stdout);
  ::Sleep(static_cast<DWORD>(_wtoi(argv[3])) * 1000);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::wstring command = argv[1];
  if (command == L"download") return Download(argc, argv);
  if (command == L"install") return Install(argc, argv);
  if (command == L"find") return Find(argc, argv);
  if (command == L"launch") return Launch(argc, argv);
  if (command == L"hold") return Hold(argc, argv);
  return 2;
}
