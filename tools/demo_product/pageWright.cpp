// A stand-in for the installed product, used by the demo setup package and the
// tests. Every start appends its command line (UTF-8, one line) to
// "launches.log" next to the executable. With "--stay" it keeps running
// without a window until it is terminated or its time is up (--stay=SECONDS,
// 300 by default), so that tests can see a running product.
#include <windows.h>

#include <string>

namespace {

std::wstring ModuleFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  const size_t slash = folder.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash);
}

void AppendLaunchRecord(const wchar_t* commandLine) {
  const std::wstring logPath = ModuleFolder() + L"\\launches.log";
  HANDLE file = ::CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const int wideLength = static_cast<int>(wcslen(commandLine));
  const int size =
      ::WideCharToMultiByte(CP_UTF8, 0, commandLine, wideLength, nullptr, 0, nullptr, nullptr);
  std::string line(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, commandLine, wideLength, &line[0], size, nullptr, nullptr);
  line += "\r\n";
  DWORD written = 0;
  ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  ::CloseHandle(file);
}

// Seconds to stay alive: 0 when "--stay" is absent.
DWORD StaySeconds(const wchar_t* commandLine) {
  const wchar_t* stay = wcsstr(commandLine, L"--stay");
  if (stay == nullptr) return 0;
  if (stay[6] == L'=') {
    const DWORD seconds = wcstoul(stay + 7, nullptr, 10);
    return seconds > 0 ? seconds : 1;
  }
  return 300;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const wchar_t* commandLine = ::GetCommandLineW();
  AppendLaunchRecord(commandLine);
  const DWORD seconds = StaySeconds(commandLine);
  if (seconds > 0) ::Sleep(seconds * 1000);
  return 0;
}
