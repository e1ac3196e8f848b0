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

int FindProcessesByName(const std::wstring& exeName, bool terminate) {
  nbase::ScopedFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.IsValid()) return 0;

  int count = 0;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more;
       more = ::Process32NextW(snapshot.Get(), &entry)) {
    // Exact UTF-16 comparison: "PageWright.exe" is another program.
    if (exeName != entry.szExeFile) continue;
    nbase::ScopedKernelHandle process(
        ::OpenProcess(PROCESS_ALL_ACCESS, FALSE, entry.th32ProcessID));
    if (terminate && process.IsValid()) ::TerminateProcess(process.Get(), 0);
    ++count;
  }
  return count;
}

std::wstring QuoteCommandLinePath(const std::wstring& path) { return L"\"" + path + L"\""; }
