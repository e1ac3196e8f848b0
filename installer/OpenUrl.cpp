#include "installer/OpenUrl.h"

#include <windows.h>
#include <shellapi.h>

namespace {

bool IsTrimmed(wchar_t c) { return c == L' ' || c < 30; }

}  // namespace

std::wstring TrimUrl(const std::wstring& url) {
  size_t begin = 0;
  size_t end = url.size();
  while (begin < end && IsTrimmed(url[begin])) ++begin;
  while (end > begin && IsTrimmed(url[end - 1])) --end;
  return url.substr(begin, end - begin);
}

void OpenUrl(const std::wstring& url) {
  const std::wstring address = TrimUrl(url);
  const HINSTANCE result =
      ::ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOW);
  if (reinterpret_cast<INT_PTR>(result) <= 32)
    ::ShellExecuteW(nullptr, L"open", L"IEXPLORE.EXE", address.c_str(), nullptr, SW_SHOW);
}
