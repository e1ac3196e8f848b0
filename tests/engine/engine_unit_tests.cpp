// The engine's pieces that need no server: addresses, progress arithmetic,
// the bind-status callback, the package check, the download folder choice,
// command lines and system messages.
#include <windows.h>
#include <urlmon.h>
#include <wininet.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/ScopedHandle.h"
#include "build_config.h"
#include "engine/CBSCallbackImpl.h"
#include "engine/CProgressModel.h"
#include "engine/DownloadFolder.h"
#include "engine/DownloadProgress.h"
#include "engine/PackageCheck.h"
#include "engine/PackageInstaller.h"
#include "engine/PackageUrl.h"
#include "engine/ProcessUtil.h"
#include "engine/ProductLauncher.h"
#include "engine/SystemMessage.h"
#include "gtest/gtest.h"

namespace {

// A fresh folder under the temporary folder, removed with its files.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    path_ = std::wstring(temp) + name + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempFolder() {
    WIN32_FIND_DATAW data;
    nbase::ScopedFindHandle find(::FindFirstFileW((path_ + L"\\*").c_str(), &data));
    if (find.IsValid()) {
      do {
        ::DeleteFileW((path_ + L"\\" + data.cFileName).c_str());
      } while (::FindNextFileW(find.Get(), &data));
    }
    find.Reset();
    ::RemoveDirectoryW(path_.c_str());
  }
  const std::wstring& path() const { return path_; }
  std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

void WriteFileBytes(const std::wstring& path, size_t size, const char* head) {
  nbase::ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file.IsValid());
  std::string data(size, '\x5a');
  data.replace(0, 2, head, 2);
  DWORD written = 0;
  ASSERT_TRUE(::WriteFile(file.Get(), data.data(), static_cast<DWORD>(size), &written, nullptr));
  ASSERT_EQ(written, size);
}

nbase::ScopedFileHandle OpenExclusive(const std::wstring& path) {
  return nbase::ScopedFileHandle(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

constexpr int kMiB = 1024 * 1024;

TEST(PackageUrlTest, ServiceAddressCarriesBitsAndChannelVerbatim) {
  const std::wstring host = build_config::kStatsHost;
  EXPECT_EQ(BuildPackageUrl(L"website_kmtlow", true),
            L"http://" + host + L"/caller?c=site&a=downloadPackage&bits=64&channel=website_kmtlow");
  EXPECT_EQ(BuildPackageUrl(L"a b&c", false),
            L"http://" + host + L"/caller?c=site&a=downloadPackage&channel=a b&c");
  EXPECT_EQ(CdnPackageUrl(),
            std::wstring(L"http://") + build_config::kCdnHost + L"/pagewright/PageWrightSetup.exe");
}

TEST(PackageUrlTest, AttemptsAlternateSourcesWithSignedTick) {
  EXPECT_EQ(AttemptUrl(L"http://s/caller?x", L"http://c/p.exe", 0, 1234),
            L"http://s/caller?x&tick=1234");
  EXPECT_EQ(AttemptUrl(L"http://s/caller?x", L"http://c/p.exe", 1, 1234),
            L"http://c/p.exe?tick=1234");
  EXPECT_EQ(AttemptUrl(L"S", L"C", 4, 7), L"S&tick=7");
  EXPECT_EQ(AttemptUrl(L"S", L"C", 5, 7), L"C?tick=7");
  // A tick past 2^31 (24.8 days of uptime) is printed as a negative number.
  EXPECT_EQ(AttemptUrl(L"S", L"C", 0, 0xFFFFFFFFu), L"S&tick=-1");
}

TEST(ProgressModelTest, DownloadThenSetupFollowsTheBar) {
  CProgressModel model;
  ProgressView view;
  ASSERT_TRUE(model.Update(ProgressPhase::Downloading, 10, 0, 1000, &view));
  EXPECT_EQ(view.barValue, 1);
  EXPECT_EQ(view.label, L"正在下载，请不要关闭：1.0%");

  ASSERT_TRUE(model.Update(ProgressPhase::Downloading, 0, 455, 1200, &view));
  EXPECT_EQ(model.progress(), 455);
  EXPECT_EQ(view.barValue, 45);
  EXPECT_EQ(view.label, L"正在下载，请不要关闭：45.5%");

  // The fraction is capped at 900 even if a stale value says more.
  model.Update(ProgressPhase::Downloading, 0, 950, 1400, &view);
  EXPECT_EQ(model.progress(), 900);

  model.Update(ProgressPhase::Downloading, 900, 0, 1600, &view);
  EXPECT_EQ(view.label, L"正在下载，请不要关闭：90.0%");
  model.Update(ProgressPhase::Creeping, 0, 0, 1800, &view);
  EXPECT_EQ(view.label, L"下载完成，正在安装，请不要关闭：90.3%");
  for (int i = 1; i < 17; ++i) model.Update(ProgressPhase::Creeping, 0, 0, 1800, &view);
  EXPECT_EQ(view.label, L"下载完成，正在安装，请不要关闭：95.1%");
  for (int i = 0; i < 24; ++i) model.Update(ProgressPhase::Creeping, 0, 0, 1800, &view);
  EXPECT_EQ(view.label, L"下载完成，正在安装，请不要关闭：99.9%");
  model.Update(ProgressPhase::Creeping, 0, 0, 1800, &view);
  EXPECT_EQ(model.progress(), 999);
  EXPECT_EQ(view.barValue, 99);

  // Frozen states change nothing.
  EXPECT_FALSE(model.Update(ProgressPhase::Frozen, 10, 0, 1800, &view));
  EXPECT_EQ(model.progress(), 999);
}

TEST(ProgressModelTest, SlowDownloadHintOncePerDownloadAfterTenSeconds) {
  CProgressModel model;
  ProgressView view;
  const DWORD start = 0xFFFFF000u;  // the hint survives the tick's rollover
  model.Update(ProgressPhase::Downloading, 10, 0, start, &view);
  model.Update(ProgressPhase::Downloading, 0, 5, start + 10000, &view);
  EXPECT_FALSE(view.showDownloadAlert);
  model.Update(ProgressPhase::Downloading, 0, 5, start + 10001, &view);
  EXPECT_TRUE(view.showDownloadAlert);
  model.Update(ProgressPhase::Downloading, 0, 5, start + 20000, &view);
  EXPECT_FALSE(view.showDownloadAlert);
  // Not while the setup runs, but again for a new download.
  model.Update(ProgressPhase::Creeping, 0, 5, start + 40000, &view);
  EXPECT_FALSE(view.showDownloadAlert);
  model.Update(ProgressPhase::Downloading, 10, 0, start + 50000, &view);
  model.Update(ProgressPhase::Downloading, 0, 0, start + 60001, &view);
  EXPECT_TRUE(view.showDownloadAlert);
}

TEST(DownloadProgressTest, MapsTransferToPerMilleAndRemembersTotal) {
  ResetDownloadProgress();
  OnDownloadProgress(0, 0);
  EXPECT_EQ(DownloadProgressPerMille(), 1);
  EXPECT_EQ(ExpectedPackageSize(), 0);
  OnDownloadProgress(5 * kMiB, 12 * kMiB);
  EXPECT_EQ(DownloadProgressPerMille(), 375);
  EXPECT_EQ(ExpectedPackageSize(), 12 * kMiB);
  // No total: the fraction drops to 1 but the last total stays.
  OnDownloadProgress(7 * kMiB, 0);
  EXPECT_EQ(DownloadProgressPerMille(), 1);
  EXPECT_EQ(ExpectedPackageSize(), 12 * kMiB);
  // Values above 2^31 are read unsigned: no negative or overflowed result.
  OnDownloadProgress(3000000000u, 4000000000u);
  EXPECT_EQ(DownloadProgressPerMille(), 675);
  OnDownloadProgress(1, 3);
  EXPECT_EQ(DownloadProgressPerMille(), 300);
  OnDownloadProgress(2, 3);
  EXPECT_EQ(DownloadProgressPerMille(), 600);
  ResetDownloadProgress();
}

void RecordProgress(ULONG progress, ULONG progressMax) {
  OnDownloadProgress(progress * 2, progressMax);
}

TEST(CBSCallbackImplTest, InterfacesCountsAndBindFlags) {
  CBSCallbackImpl callback(&RecordProgress);
  EXPECT_EQ(callback.refCount(), 1);

  void* object = nullptr;
  ASSERT_EQ(callback.QueryInterface(IID_IUnknown, &object), S_OK);
  EXPECT_EQ(object, static_cast<IBindStatusCallback*>(&callback));
  ASSERT_EQ(callback.QueryInterface(IID_IBindStatusCallback, &object), S_OK);
  EXPECT_EQ(object, static_cast<IBindStatusCallback*>(&callback));
  ASSERT_EQ(callback.QueryInterface(IID_IHttpSecurity, &object), S_OK);
  EXPECT_EQ(object, static_cast<IHttpSecurity*>(&callback));
  ASSERT_EQ(callback.QueryInterface(IID_IWindowForBindingUI, &object), S_OK);
  EXPECT_EQ(object, static_cast<IHttpSecurity*>(&callback));
  EXPECT_EQ(callback.refCount(), 5);
  object = &callback;
  EXPECT_EQ(callback.QueryInterface(IID_IStream, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);

  // Release through the security part reaches the same count and never frees.
  IHttpSecurity* security = &callback;
  EXPECT_EQ(security->Release(), 4u);
  for (int i = 0; i < 4; ++i) callback.Release();
  EXPECT_EQ(callback.Release(), static_cast<ULONG>(-1));

  HWND window = nullptr;
  EXPECT_EQ(security->GetWindow(IID_IHttpSecurity, &window), S_OK);
  EXPECT_EQ(window, ::GetDesktopWindow());
  security->GetWindow(IID_IHttpSecurity, &window);
  EXPECT_EQ(callback.windowRequests(), 2);
  EXPECT_EQ(security->OnSecurityProblem(ERROR_INTERNET_SEC_CERT_CN_INVALID), RPC_E_RETRY);
  EXPECT_EQ(callback.GetPriority(nullptr), E_NOTIMPL);

  ResetDownloadProgress();
  EXPECT_EQ(callback.OnProgress(3, 12, BINDSTATUS_DOWNLOADINGDATA, nullptr), S_OK);
  EXPECT_EQ(DownloadProgressPerMille(), 450);
  ResetDownloadProgress();

  DWORD flags = BINDF_ASYNCHRONOUS;
  BINDINFO info = {};
  info.cbSize = sizeof(info);
  info.dwOptionsFlags = 0x1;
  EXPECT_EQ(callback.GetBindInfo(&flags, &info), S_OK);
  EXPECT_EQ(flags,
            static_cast<DWORD>(BINDF_ASYNCHRONOUS | BINDF_GETNEWESTVERSION | BINDF_NOWRITECACHE));
  EXPECT_EQ(info.dwOptions, static_cast<DWORD>(BINDINFO_OPTIONS_WININETFLAG));
  EXPECT_EQ(info.dwOptionsFlags, 0xF001u);

  // An older, shorter record keeps its option fields untouched.
  BINDINFO shortInfo = {};
  shortInfo.cbSize = 36;
  callback.GetBindInfo(&flags, &shortInfo);
  EXPECT_EQ(shortInfo.dwOptions, 0u);
  EXPECT_EQ(shortInfo.dwOptionsFlags, 0u);
}

TEST(VerifyPackageTest, SizeTotalAndMarkDecide) {
  TempFolder folder(L"pw verify ");
  const std::wstring good = folder.File(L"good.exe");
  WriteFileBytes(good, 10 * kMiB, "MZ");
  EXPECT_TRUE(VerifyPackage(good, 10 * kMiB));
  EXPECT_FALSE(VerifyPackage(good, 10 * kMiB + 1)) << "size differs from the announced total";
  EXPECT_FALSE(VerifyPackage(good, 0));

  const std::wstring small = folder.File(L"small.exe");
  WriteFileBytes(small, 9 * kMiB, "MZ");
  EXPECT_FALSE(VerifyPackage(small, 9 * kMiB)) << "below 10 MiB";
  const std::wstring justBelow = folder.File(L"below.exe");
  WriteFileBytes(justBelow, 10 * kMiB - 1, "MZ");
  EXPECT_FALSE(VerifyPackage(justBelow, 10 * kMiB - 1));

  const std::wstring noMark = folder.File(L"nomark.exe");
  WriteFileBytes(noMark, 10 * kMiB, "ZM");
  EXPECT_FALSE(VerifyPackage(noMark, 10 * kMiB));
  EXPECT_FALSE(VerifyPackage(folder.File(L"missing.exe"), 10 * kMiB));
}

TEST(VerifyPackageTest, WidePathAndHeldOpenAgainstWriters) {
  TempFolder folder(L"pw Ж測試 ");
  const std::wstring path = folder.File(L"包Ж.exe");
  WriteFileBytes(path, 11 * kMiB, "MZ");
  nbase::ScopedFileHandle held;
  ASSERT_TRUE(VerifyPackage(path, 11 * kMiB, &held));
  ASSERT_TRUE(held.IsValid());

  // While held: readers may open it, writers and deleters may not.
  nbase::ScopedFileHandle reader(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                               OPEN_EXISTING, 0, nullptr));
  EXPECT_TRUE(reader.IsValid());
  reader.Reset();
  nbase::ScopedFileHandle writer(::CreateFileW(path.c_str(), GENERIC_WRITE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(writer.IsValid());
  EXPECT_FALSE(::DeleteFileW(path.c_str()));

  held.Reset();
  writer.Reset(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_TRUE(writer.IsValid());
}

TEST(DownloadFolderTest, PrepareCreatesFolderAndSkipsLockedNames) {
  TempFolder base(L"pw prepare ");
  const std::wstring nested = base.path() + L"\\a\\b c";
  std::wstring packagePath;
  ASSERT_TRUE(PrepareDownloadFolder(nested, &packagePath));
  EXPECT_EQ(packagePath, nested + L"\\PageWrightInstaller.exe");
  EXPECT_EQ(::GetFileAttributesW(packagePath.c_str()), INVALID_FILE_ATTRIBUTES)
      << "the probe file is removed again";

  TempFolder folder(L"pw locked ");
  std::vector<nbase::ScopedFileHandle> locks;
  locks.push_back(OpenExclusive(folder.File(L"PageWrightInstaller.exe")));
  ASSERT_TRUE(PrepareDownloadFolder(folder.path(), &packagePath));
  EXPECT_EQ(packagePath, folder.File(L"1PageWrightInstaller.exe"));

  for (int n = 1; n <= 9; ++n) {
    locks.push_back(OpenExclusive(folder.File(std::to_wstring(n) + L"PageWrightInstaller.exe")));
  }
  EXPECT_FALSE(PrepareDownloadFolder(folder.path(), &packagePath));
  EXPECT_EQ(packagePath, folder.File(L"9PageWrightInstaller.exe"));
  locks.clear();

  // A file in the way, or too little room: refused.
  WriteFileBytes(folder.File(L"plain"), 4, "MZ");
  EXPECT_FALSE(PrepareDownloadFolder(folder.File(L"plain"), &packagePath));
  EXPECT_FALSE(PrepareDownloadFolder(folder.path(), &packagePath, ~0ull));
}

TEST(DownloadFolderTest, SelectMovesPastFailingCandidatesAndWraps) {
  TempFolder good(L"pw select ");
  WriteFileBytes(good.File(L"blocker"), 4, "MZ");
  const std::wstring bad = good.File(L"blocker");  // a file: never a usable folder
  DownloadLocation location;

  SetDownloadFolderIndex(0);
  ASSERT_TRUE(SelectDownloadFolder(&location, {bad, L"", good.path(), bad}));
  EXPECT_EQ(DownloadFolderIndex(), 2);
  EXPECT_EQ(location.downloadFolder, good.path());
  EXPECT_EQ(location.packagePath, good.File(L"PageWrightInstaller.exe"));
  // The index stays on the folder that worked.
  ASSERT_TRUE(SelectDownloadFolder(&location, {bad, L"", good.path(), bad}));
  EXPECT_EQ(DownloadFolderIndex(), 2);

  SetDownloadFolderIndex(3);
  ASSERT_TRUE(SelectDownloadFolder(&location, {good.path(), bad, bad, bad}));
  EXPECT_EQ(DownloadFolderIndex(), 0) << "wraps from 3 to 0";

  SetDownloadFolderIndex(1);
  EXPECT_FALSE(SelectDownloadFolder(&location, {bad, bad, bad, bad}));
  EXPECT_EQ(DownloadFolderIndex(), 1) << "four failures come back to the start";
  SetDownloadFolderIndex(0);

  const std::vector<std::wstring> candidates = DownloadFolderCandidates();
  ASSERT_EQ(candidates.size(), 4u);
  EXPECT_NE(candidates[0].find(L"\\PageWright\\Files"), std::wstring::npos);
  EXPECT_EQ(candidates[1].substr(candidates[1].size() - 7), L"\\mydown");
}

TEST(CommandLineTest, PathsQuotedFolderUnquotedAndLast) {
  EXPECT_EQ(BuildSetupCommandLine(L"C:\\Users\\A B\\PageWrightInstaller.exe",
                                  L"C:\\Program Files (x86)\\zorvikmedia\\pageWright"),
            L"\"C:\\Users\\A B\\PageWrightInstaller.exe\" /S /D=C:\\Program Files "
            L"(x86)\\zorvikmedia\\pageWright");
  // A drive root's doubled separator reaches the package as one; a network
  // path keeps its leading pair.
  EXPECT_EQ(BuildSetupCommandLine(L"D:\\p.exe", L"C:\\\\zorvikmedia\\pageWright"),
            L"\"D:\\p.exe\" /S /D=C:\\zorvikmedia\\pageWright");
  EXPECT_EQ(BuildSetupCommandLine(L"D:\\p.exe", L"\\\\srv\\share\\\\zorvikmedia"),
            L"\"D:\\p.exe\" /S /D=\\\\srv\\share\\zorvikmedia");
  EXPECT_EQ(BuildLaunchCommandLine(L"C:\\Program Files (x86)\\zorvikmedia\\pageWright"),
            L"\"C:\\Program Files (x86)\\zorvikmedia\\pageWright\\pageWright.exe\" --install");
}

TEST(ProcessTest, ExitCodesAndStartFailures) {
  EXPECT_EQ(RunProcessAndWait(L"", L"cmd.exe /c exit 7"), 7);
  EXPECT_EQ(RunProcessAndWait(L"", L"cmd.exe /c exit -3"), -3);
  EXPECT_EQ(RunProcessAndWait(L"", L"C:\\no\\such\\setup.exe /S"),
            static_cast<int32_t>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(RunProcessAndWait(L"", L""), static_cast<int32_t>(ERROR_INVALID_PARAMETER));
  // A missing package makes the whole setup task fail with the start error.
  InstallRequest request;
  request.packagePath = L"C:\\no\\such\\PageWrightInstaller.exe";
  request.installDir = L"C:\\nowhere";
  std::vector<std::pair<std::wstring, ReportFields>> reports;
  const InstallResult result = RunInstall(
      request,
      [&](const std::wstring& name, const ReportFields& f) { reports.emplace_back(name, f); });
  EXPECT_EQ(result.setupExitCode, static_cast<int32_t>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(result.failures, 3);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].first, L"InstallTimeCost");
  EXPECT_EQ(reports[0].second.at(L"ret"), L"2");
  EXPECT_EQ(reports[0].second.at(L"retryTime"), L"3");
  EXPECT_EQ(reports[0].second.at(L"cost"), L"0");
}

// What a force close waits for: every handle's end, the limit in all (not per handle).
TEST(ProcessTest, WaitForAllToEndKeepsOneLimitForAll) {
  auto sleeper = [](DWORD ms) {
    return nbase::ScopedKernelHandle(::CreateThread(
        nullptr, 0,
        [](void* time) -> DWORD {
          ::Sleep(static_cast<DWORD>(reinterpret_cast<uintptr_t>(time)));
          return 0;
        },
        reinterpret_cast<void*>(static_cast<uintptr_t>(ms)), 0, nullptr));
  };
  std::vector<nbase::ScopedKernelHandle> quick;
  quick.push_back(sleeper(100));
  quick.push_back(sleeper(200));
  DWORD start = ::GetTickCount();
  WaitForAllToEnd(quick, 5000);
  const DWORD quickWait = ::GetTickCount() - start;
  EXPECT_GE(quickWait, 150u);
  EXPECT_LT(quickWait, 2000u);
  for (const auto& thread : quick) EXPECT_EQ(::WaitForSingleObject(thread.Get(), 0), WAIT_OBJECT_0);

  std::vector<nbase::ScopedKernelHandle> slow;
  for (int i = 0; i < 3; ++i) slow.push_back(sleeper(4000));
  start = ::GetTickCount();
  WaitForAllToEnd(slow, 500);
  const DWORD slowWait = ::GetTickCount() - start;
  EXPECT_GE(slowWait, 450u);
  EXPECT_LT(slowWait, 1200u);  // three handles share the 500 ms
  EXPECT_EQ(::WaitForSingleObject(slow[2].Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  WaitForAllToEnd(slow, INFINITE);
}

TEST(SystemMessageTest, OneLineOrEmpty) {
  const std::wstring text = FormatSystemMessage(ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(text.find_first_of(L"\r\n"), std::wstring::npos);
  EXPECT_TRUE(FormatSystemMessage(0x2FFFFFFF).empty());
}

}  // namespace
