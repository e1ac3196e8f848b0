#include "engine/ProductLauncher.h"

#include <windows.h>

#include <vector>

#include "base/ScopedHandle.h"
#include "base/StringUtil.h"
#include "engine/ProcessUtil.h"
#include "engine/ProductInfo.h"

namespace {

std::wstring ProductPath(const std::wstring& installDir) {
  return installDir + L"\\" + product::kProductExeName;
}

}  // namespace

std::wstring BuildLaunchCommandLine(const std::wstring& installDir) {
  return nbase::FormatWideString(L"%s --install",
                                 QuoteCommandLinePath(ProductPath(installDir)).c_str());
}

bool LaunchProduct(const std::wstring& installDir, const ShellRoute& route) {
  if (route && route(ProductPath(installDir), L"--install", installDir)) return true;
  const std::wstring commandLine = BuildLaunchCommandLine(installDir);
  std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
  writable.push_back(L'\0');

  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!::CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
    return false;
  }
  // Nothing waits for the product.
  nbase::ScopedKernelHandle process(info.hProcess);
  nbase::ScopedKernelHandle thread(info.hThread);
  return true;
}
