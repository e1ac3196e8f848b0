#include "report/Identity.h"

#include <objbase.h>

#include <cstring>
#include <memory>

#include "base/StringUtil.h"
#include "base/WindowsVersion.h"
#include "engine/ProductInfo.h"
#include "engine/Registry.h"
#include "report/Md5.h"

namespace {

constexpr wchar_t kUniqueIdValue[] = L"UniqueId";
constexpr size_t kMaxChannelBytes = 260;
constexpr WORD kChannelResourceId = 138;

std::wstring NewUniqueId() {
  GUID guid = {};
  ::CoCreateGuid(&guid);
  const std::string text = nbase::FormatString(
      "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", static_cast<unsigned>(guid.Data1),
      guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3],
      guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
  return Md5Hex(nbase::Utf8ToWide(text));
}

BOOL CALLBACK InitUniqueId(PINIT_ONCE, PVOID cache, PVOID*) {
  auto* id = static_cast<std::wstring*>(cache);
  *id = RegReadString(product::kAppInfoKey, kUniqueIdValue);
  if (id->empty()) {
    *id = NewUniqueId();
    RegWriteString(product::kAppInfoKey, kUniqueIdValue, *id);
  }
  return TRUE;
}

std::wstring ReadVersionResource(const std::wstring& path) {
  std::wstring file = path;
  if (file.empty()) {
    wchar_t own[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, own, MAX_PATH);
    file = own;
  }
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
  if (size == 0) return std::wstring();
  std::unique_ptr<BYTE[]> block(new BYTE[size]);
  if (!::GetFileVersionInfoW(file.c_str(), 0, size, block.get())) return std::wstring();
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(block.get(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
      length < sizeof(VS_FIXEDFILEINFO))
    return std::wstring();
  return nbase::FormatWideString(L"%d.%d.%d.%d", HIWORD(info->dwFileVersionMS),
                                 LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
                                 LOWORD(info->dwFileVersionLS));
}

struct VersionRequest {
  const std::wstring* path;
  std::wstring* cache;
};

BOOL CALLBACK InitAppVersion(PINIT_ONCE, PVOID request, PVOID*) {
  auto* r = static_cast<VersionRequest*>(request);
  *r->cache = ReadVersionResource(*r->path);
  if (r->cache->empty()) *r->cache = L"1.0.0.0";
  return TRUE;
}

}  // namespace

std::wstring GetUniqueId() {
  static std::wstring cache;
  static INIT_ONCE once = INIT_ONCE_STATIC_INIT;
  ::InitOnceExecuteOnce(&once, &InitUniqueId, &cache, nullptr);
  return cache;
}

std::wstring GetAppVersion(const std::wstring& path) {
  static std::wstring cache;
  static INIT_ONCE once = INIT_ONCE_STATIC_INIT;
  VersionRequest request = {&path, &cache};
  ::InitOnceExecuteOnce(&once, &InitAppVersion, &request, nullptr);
  return cache;
}

bool IsWindowsServer() {
  OSVERSIONINFOEXW info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  info.wProductType = VER_NT_WORKSTATION;
  const DWORDLONG mask = ::VerSetConditionMask(0, VER_PRODUCT_TYPE, VER_EQUAL);
  return !::VerifyVersionInfoW(&info, VER_PRODUCT_TYPE, mask);
}

std::wstring GetOSName() {
  struct Row {
    WORD major, minor, service_pack;
    const wchar_t* name;
  };
  static const Row kRows[] = {
      {10, 0, 0, L"Microsoft Windows 10"},       {6, 3, 0, L"Microsoft Windows 8.1"},
      {6, 2, 0, L"Microsoft Windows 8"},         {6, 1, 1, L"Microsoft Windows 7 sp1"},
      {6, 1, 0, L"Microsoft Windows 7"},         {6, 0, 2, L"Microsoft Windows Vista sp2"},
      {6, 0, 1, L"Microsoft Windows Vista sp1"}, {6, 0, 0, L"Microsoft Windows Vista"},
      {5, 1, 3, L"Microsoft Windows xp sp3"},    {5, 1, 2, L"Microsoft Windows xp sp2"},
      {5, 1, 1, L"Microsoft Windows xp sp1"},    {5, 1, 0, L"Microsoft Windows xp"},
  };
  if (IsWindowsServer()) return L"Microsoft Windows Server";
  for (const Row& row : kRows) {
    if (nbase::IsWindowsVersionOrGreater(row.major, row.minor, row.service_pack)) return row.name;
  }
  return L"unknown OperatingSystem.";
}

bool IsArchitecture64Bit(WORD architecture) {
  return architecture == PROCESSOR_ARCHITECTURE_AMD64 ||
         architecture == PROCESSOR_ARCHITECTURE_IA64;
}

bool IsNative64Bit() {
  SYSTEM_INFO info = {};
  ::GetNativeSystemInfo(&info);
  return IsArchitecture64Bit(info.wProcessorArchitecture);
}

std::wstring GetSystemDescriptor() {
  return GetOSName() + (IsNative64Bit() ? L" 64bit" : L" 32bit");
}

std::wstring DecodeChannel(const void* bytes, size_t size) {
  char buffer[kMaxChannelBytes] = {};
  const size_t copied = size < kMaxChannelBytes ? size : kMaxChannelBytes;
  if (bytes && copied) std::memcpy(buffer, bytes, copied);
  return nbase::Utf8ToWide(buffer, copied);
}

bool ReadChannelFromModule(HMODULE module, std::wstring* text) {
  HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(kChannelResourceId), L"CHANNEL");
  if (!found) return false;
  HGLOBAL loaded = ::LoadResource(module, found);
  if (!loaded) return false;
  const void* bytes = ::LockResource(loaded);
  if (!bytes) return false;
  const std::wstring decoded = DecodeChannel(bytes, ::SizeofResource(module, found));
  if (text) *text = decoded;
  return true;
}

bool ReadChannel(std::wstring* text) { return ReadChannelFromModule(nullptr, text); }

std::wstring ChannelOrDefault(HMODULE module) {
  std::wstring channel;
  return ReadChannelFromModule(module, &channel) ? channel : L"default";
}

std::string TimeStampText() {
  FILETIME now = {};
  ::GetSystemTimeAsFileTime(&now);
  const unsigned long long ticks =
      (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return nbase::FormatString("%I64u", ticks / 10000);
}
