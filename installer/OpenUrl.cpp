#include "installer/OpenUrl.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "base/ScopedComInit.h"
#include "base/ScopedHandle.h"
#include "base/StringUtil.h"

namespace {

struct OpenRequest {
  std::wstring address;
  ShellRoute route;
};

void Open(const OpenRequest& request) {
  if (request.route && request.route(request.address, std::wstring(), std::wstring())) return;
  // URL handlers may be COM objects.
  const nbase::ScopedComInit com;
  const wchar_t* address = request.address.c_str();
  const HINSTANCE result = ::ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOW);
  if (reinterpret_cast<INT_PTR>(result) <= 32)
    ::ShellExecuteW(nullptr, L"open", L"IEXPLORE.EXE", address, nullptr, SW_SHOW);
}

DWORD WINAPI OpenOnItsThread(void* parameter) {
  const std::unique_ptr<OpenRequest> request(static_cast<OpenRequest*>(parameter));
  Open(*request);
  return 0;
}

}  // namespace

void OpenUrl(const std::wstring& url, const ShellRoute& route) {
  auto request =
      std::make_unique<OpenRequest>(OpenRequest{nbase::TrimLeadingBlanks(url.c_str()), route});
  const nbase::ScopedKernelHandle thread(
      ::CreateThread(nullptr, 0, &OpenOnItsThread, request.get(), 0, nullptr));
  if (!thread.IsValid()) {
    Open(*request);  // no thread to spare: open it here rather than not at all
    return;
  }
  request.release();  // the thread owns it now
}
