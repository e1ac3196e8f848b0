// Opening a page: on a thread of its own, the desktop's shell first, and the plain shell once
// when that cannot. The "page" of the fallback case is a copy of the demo product, so that
// what the plain shell opened leaves a line in its launches.log.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "base/ScopedHandle.h"
#include "installer/OpenUrl.h"

namespace {

std::wstring Windows(const char* unixPath) {
  std::wstring path = L"Z:";
  for (const char* p = unixPath; *p; ++p) path += (*p == '/') ? L'\\' : static_cast<wchar_t>(*p);
  return path;
}

bool WaitFor(const std::function<bool()>& done, DWORD limitMs) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > limitMs) return false;
    ::Sleep(20);
  }
  return true;
}

TEST(OpenUrlTest, TheDesktopShellOpensItOnAThreadOfItsOwn) {
  const nbase::ScopedKernelHandle release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  volatile LONG calls = 0;
  volatile DWORD thread = 0;
  std::wstring file = L"unset";
  OpenUrl(L" \t http://127.0.0.1/agreement",
          [&](const std::wstring& f, const std::wstring& p, const std::wstring& d) {
            file = f + L"|" + p + L"|" + d;
            thread = ::GetCurrentThreadId();
            ::InterlockedIncrement(&calls);
            ::WaitForSingleObject(release.Get(), 10000);  // a slow handler
            return true;
          });
  // Back at once, while the route is still busy.
  ASSERT_TRUE(WaitFor([&] { return calls == 1; }, 5000));
  EXPECT_NE(thread, ::GetCurrentThreadId());
  EXPECT_EQ(file, L"http://127.0.0.1/agreement||");
  ::SetEvent(release.Get());
  ::Sleep(200);  // time for a second call, which must not come
  EXPECT_EQ(calls, 1);
}

TEST(OpenUrlTest, WhenTheDesktopShellCannotThePlainShellOpensItOnce) {
  wchar_t temp[MAX_PATH];
  ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
  const std::wstring folder = std::wstring(temp) + L"pw open url test";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring product = folder + L"\\pageWright.exe";
  const std::wstring log = folder + L"\\launches.log";
  ::DeleteFileW(log.c_str());
  ASSERT_TRUE(::CopyFileW(Windows(PW_DEMO_PRODUCT).c_str(), product.c_str(), FALSE));

  volatile LONG calls = 0;
  OpenUrl(product, [&](const std::wstring&, const std::wstring&, const std::wstring&) {
    ::InterlockedIncrement(&calls);
    return false;
  });
  const auto lines = [&log]() {
    nbase::ScopedFileHandle file(::CreateFileW(log.c_str(), GENERIC_READ,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_EXISTING, 0, nullptr));
    if (!file.IsValid()) return 0;
    char buffer[4096];
    DWORD read = 0;
    ::ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr);
    int count = 0;
    for (DWORD i = 0; i < read; ++i) count += buffer[i] == '\n';
    return count;
  };
  ASSERT_TRUE(WaitFor([&] { return lines() >= 1; }, 30000)) << "the plain shell opened nothing";
  ::Sleep(1000);  // time for a second opening, which must not come
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(lines(), 1);
}

}  // namespace
