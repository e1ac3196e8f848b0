#include "engine/SystemMessage.h"

#include <urlmon.h>

namespace {

struct KnownMessage {
  HRESULT code;
  const wchar_t* text;
};

// The download service's failures a user can meet on the failure page.
constexpr KnownMessage kDownloadMessages[] = {
    {INET_E_INVALID_URL, L"网址无效。"},
    {INET_E_NO_SESSION, L"尚未建立 Internet 会话。"},
    {INET_E_CANNOT_CONNECT, L"无法连接到目标服务器。"},
    {INET_E_RESOURCE_NOT_FOUND, L"系统找不到指定的资源。"},
    {INET_E_OBJECT_NOT_FOUND, L"系统找不到指定的对象。"},
    {INET_E_DATA_NOT_AVAILABLE, L"请求的资源没有可用的数据。"},
    {INET_E_DOWNLOAD_FAILURE, L"下载失败（连接已中断）。"},
    {INET_E_AUTHENTICATION_REQUIRED, L"访问此资源需要身份验证。"},
    {INET_E_NO_VALID_MEDIA, L"服务器无法识别所提供的 MIME 类型。"},
    {INET_E_CONNECTION_TIMEOUT, L"操作超时。"},
    {INET_E_INVALID_REQUEST, L"服务器无法理解请求，或请求无效。"},
    {INET_E_UNKNOWN_PROTOCOL, L"指定的协议未知。"},
    {INET_E_SECURITY_PROBLEM, L"出现安全问题。"},
    {INET_E_REDIRECT_FAILED, L"重定向失败。"},
};

const wchar_t* BuiltInMessage(DWORD code) {
  for (const KnownMessage& known : kDownloadMessages) {
    if (static_cast<DWORD>(known.code) == code) return known.text;
  }
  return nullptr;
}

}  // namespace

std::wstring FormatSystemMessage(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&buffer),
      0, nullptr);
  std::wstring text;
  if (buffer != nullptr) {
    text.reserve(length);
    for (DWORD i = 0; i < length; ++i) {
      if (buffer[i] != L'\r' && buffer[i] != L'\n') text.push_back(buffer[i]);
    }
    ::LocalFree(buffer);
  }
  if (text.empty()) {
    const wchar_t* builtIn = BuiltInMessage(code);
    if (builtIn != nullptr) text = builtIn;
  }
  return text;
}
