#include "engine/PackageUrl.h"

#include "base/StringUtil.h"
#include "build_config.h"

std::wstring BuildPackageUrl(const std::wstring& channel, bool native64Bit) {
  std::wstring url = L"http://";
  url += build_config::kStatsHost;
  url += L"/caller?c=site&a=downloadPackage";
  if (native64Bit) url += L"&bits=64";
  url += L"&channel=";
  url += channel;
  return url;
}

std::wstring CdnPackageUrl() {
  std::wstring url = L"http://";
  url += build_config::kCdnHost;
  url += L"/pagewright/PageWrightSetup.exe";
  return url;
}

std::wstring AttemptUrl(const std::wstring& packageUrl, const std::wstring& cdnUrl, int attempt,
                        DWORD tickCount) {
  // The tick is printed signed, as the service has always received it.
  const std::wstring tick = nbase::FormatWideString(L"%d", static_cast<int>(tickCount));
  if (attempt % 2 == 0) return packageUrl + L"&tick=" + tick;
  return cdnUrl + L"?tick=" + tick;
}
