#include "installer/OpenUrl.h"

#include <windows.h>
#include <shellapi.h>

#include "base/StringUtil.h"

void OpenUrl(const std::wstring& url) {
  const std::wstring address = nbase::TrimLeadingBlanks(url.c_str());
  const HINSTANCE result =
      ::ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOW);
  if (reinterpret_cast<INT_PTR>(result) <= 32)
    ::ShellExecuteW(nullptr, L"open", L"IEXPLORE.EXE", address.c_str(), nullptr, SW_SHOW);
}
