#include "engine/SystemMessage.h"

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
  return text;
}
