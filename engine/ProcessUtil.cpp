#include "engine/ProcessUtil.h"

#include <windows.h>
#include <tlhelp32.h>

#include <vector>

#include "base/ScopedHandle.h"

int32_t RunProcessAndWait(const std::wstring& applicationName, const std::wstring& commandLine) {
  // Nothing to start: answered here, as not every CreateProcessW survives two nulls.
  if (applicationName.empty() && commandLine.empty()) return ERROR_INVALID_PARAMETER;
  // CreateProcessW may write into the command line, so it gets its own copy.
  std::vector<wchar_t> writableCommandLine(commandLine.begin(), commandLine.end());
  writableCommandLine.push_back(L'\0');

  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info = {};
  if (!::CreateProcessW(applicationName.empty() ? nullptr : applicationName.c_str(),
                        commandLine.empty() ? nullptr : writableCommandLine.data(), nullptr,
                        nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return static_cast<int32_t>(::GetLastError());
  }
  nbase::ScopedKernelHandle process(info.hProcess);
  nbase::ScopedKernelHandle thread(info.hThread);

  ::WaitForSingleObject(process.Get(), INFINITE);
  DWORD exitCode = 0;
  if (!::GetExitCodeProcess(process.Get(), &exitCode)) return kExitCodeUnreadable;
  return static_cast<int32_t>(exitCode);
}

namespace {

// TerminateProcess only starts the end of a process: its image stays mapped,
// and a setup that replaces it fails, until the process has ended.
constexpr DWORD kTerminateWaitMs = 5000;

}  // namespace

void WaitForAllToEnd(const std::vector<nbase::ScopedKernelHandle>& handles, DWORD limitMs) {
  const DWORD start = ::GetTickCount();
  for (const nbase::ScopedKernelHandle& handle : handles) {
    const DWORD spent = ::GetTickCount() - start;
    if (spent >= limitMs) return;
    ::WaitForSingleObject(handle.Get(), limitMs - spent);
  }
}

int FindProcessesByName(const std::wstring& exeName, bool terminate) {
  nbase::ScopedFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.IsValid()) return 0;

  int count = 0;
  std::vector<nbase::ScopedKernelHandle> ending;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more;
       more = ::Process32NextW(snapshot.Get(), &entry)) {
    // Exact UTF-16 comparison: "PageWright.exe" is another program.
    if (exeName != entry.szExeFile) continue;
    nbase::ScopedKernelHandle process(
        ::OpenProcess(PROCESS_ALL_ACCESS, FALSE, entry.th32ProcessID));
    if (terminate && process.IsValid() && ::TerminateProcess(process.Get(), 0))
      ending.push_back(std::move(process));
    ++count;
  }
  WaitForAllToEnd(ending, kTerminateWaitMs);
  return count;
}

std::wstring QuoteCommandLinePath(const std::wstring& path) { return L"\"" + path + L"\""; }
