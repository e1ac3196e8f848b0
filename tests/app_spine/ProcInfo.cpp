// Test helper: reports the threads of running processes by executable name,
// and can end a process's UI loop by posting WM_QUIT to its initial thread.
//   proc_info.exe threads <name.exe>   prints "<pid> <thread count>" per process
//   proc_info.exe quit <name.exe>      posts WM_QUIT to each process's first thread
//   proc_info.exe quit <pid>           the same for one process
//   proc_info.exe mutex <name>         prints "held" while a named mutex exists, else "free"
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <vector>

#include "base/ScopedHandle.h"

namespace {

std::vector<DWORD> FindProcesses(const wchar_t* name) {
  std::vector<DWORD> pids;
  nbase::ScopedKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return pids;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL ok = ::Process32FirstW(snapshot.Get(), &entry); ok;
       ok = ::Process32NextW(snapshot.Get(), &entry)) {
    if (_wcsicmp(entry.szExeFile, name) == 0) pids.push_back(entry.th32ProcessID);
  }
  return pids;
}

// Threads of `pid` in creation order (the snapshot lists them that way).
std::vector<DWORD> ThreadsOf(DWORD pid) {
  std::vector<DWORD> threads;
  nbase::ScopedKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot) return threads;
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL ok = ::Thread32First(snapshot.Get(), &entry); ok;
       ok = ::Thread32Next(snapshot.Get(), &entry)) {
    if (entry.th32OwnerProcessID == pid) threads.push_back(entry.th32ThreadID);
  }
  return threads;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fwprintf(stderr, L"usage: proc_info threads|quit <name.exe>|mutex <name>\n");
    return 2;
  }
  if (std::wcscmp(argv[1], L"mutex") == 0) {
    // The system destroys a mutex with its last handle, a moment after its process ends.
    nbase::ScopedKernelHandle mutex(::OpenMutexW(SYNCHRONIZE, FALSE, argv[2]));
    std::printf("%s\n", mutex ? "held" : "free");
    return 0;
  }
  const bool quit = std::wcscmp(argv[1], L"quit") == 0;
  wchar_t* end = nullptr;
  const unsigned long one_pid = std::wcstoul(argv[2], &end, 10);
  const std::vector<DWORD> pids =
      (end != argv[2] && *end == L'\0') ? std::vector<DWORD>{one_pid} : FindProcesses(argv[2]);
  for (DWORD pid : pids) {
    const std::vector<DWORD> threads = ThreadsOf(pid);
    if (quit) {
      if (!threads.empty()) ::PostThreadMessageW(threads.front(), WM_QUIT, 0, 0);
    } else {
      std::printf("%lu %u\n", static_cast<unsigned long>(pid),
                  static_cast<unsigned>(threads.size()));
    }
  }
  return 0;
}
