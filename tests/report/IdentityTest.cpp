#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "base/NumberText.h"
#include "base/WindowsVersion.h"
#include "report/Identity.h"
#include "report/Md5.h"

namespace {

TEST(Md5Test, Rfc1321VectorsThroughThePlatformAndTheBuiltInCode) {
  const std::pair<std::wstring, std::wstring> vectors[] = {
      {L"", L"D41D8CD98F00B204E9800998ECF8427E"},
      {L"a", L"0CC175B9C0F1B6A831C399E269772661"},
      {L"abc", L"900150983CD24FB0D6963F7D28E17F72"},
      {L"message digest", L"F96B697D7CB7938D525A2F31AAF161D0"},
      {L"abcdefghijklmnopqrstuvwxyz", L"C3FCD3D76192E4007DFB496CCA67E13B"},
      {L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       L"D174AB98D277D9F5A5611C2C9F419D9F"},
      {std::wstring(L"1234567890") + L"1234567890" + L"1234567890" + L"1234567890" + L"1234567890" +
           L"1234567890" + L"1234567890" + L"1234567890",
       L"57EDF4A22BE3C955AC49DA2E2107B67A"},
  };
  EXPECT_TRUE(PlatformMd5Available());
  for (const auto& v : vectors) {
    EXPECT_EQ(v.second, Md5Hex(v.first)) << v.first.size();
    const std::string bytes(v.first.begin(), v.first.end());
    uint8_t platform[16], builtin[16];
    Md5Digest(bytes, true, platform);
    Md5Digest(bytes, false, builtin);
    EXPECT_EQ(0, memcmp(platform, builtin, 16)) << v.first.size();
  }
  // Hashing input is UTF-8, and long inputs cross many blocks.
  EXPECT_EQ(L"49C4783EB4321BDEBCB50477054DE82D", Md5Hex(L"岚枢"));
  EXPECT_EQ(L"E8F9D12241A5A141264F3ED4D3A326FF", Md5Hex(std::wstring(1000003, L'm')));
  std::string big(1000003, 'm');
  uint8_t a[16], b[16];
  Md5Digest(big, true, a);
  Md5Digest(big, false, b);
  EXPECT_EQ(0, memcmp(a, b, 16));
}

TEST(IdentityTest, ArchitectureCodesMapToBitness) {
  EXPECT_TRUE(IsArchitecture64Bit(PROCESSOR_ARCHITECTURE_AMD64));  // 9
  EXPECT_TRUE(IsArchitecture64Bit(PROCESSOR_ARCHITECTURE_IA64));   // 6
  EXPECT_FALSE(IsArchitecture64Bit(12));                           // ARM64
  EXPECT_FALSE(IsArchitecture64Bit(PROCESSOR_ARCHITECTURE_INTEL));
  EXPECT_FALSE(IsArchitecture64Bit(PROCESSOR_ARCHITECTURE_ARM));
  EXPECT_FALSE(IsArchitecture64Bit(PROCESSOR_ARCHITECTURE_UNKNOWN));
  const std::wstring descriptor = GetSystemDescriptor();
  EXPECT_EQ(GetOSName() + (IsNative64Bit() ? L" 64bit" : L" 32bit"), descriptor);
}

TEST(IdentityTest, OsNameMatchesTheReportedVersion) {
  OSVERSIONINFOEXW info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  ASSERT_TRUE(::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info)));
  const std::wstring name = GetOSName();
  if (info.wProductType != VER_NT_WORKSTATION) {
    EXPECT_EQ(L"Microsoft Windows Server", name);
  } else if (info.dwMajorVersion >= 10) {
    EXPECT_EQ(L"Microsoft Windows 10", name);
  } else if (info.dwMajorVersion == 6 && info.dwMinorVersion == 1) {
    EXPECT_EQ(info.wServicePackMajor >= 1 ? L"Microsoft Windows 7 sp1" : L"Microsoft Windows 7",
              name);
  }
  EXPECT_TRUE(nbase::IsWindowsVersionOrGreater(5, 1));
  EXPECT_TRUE(nbase::IsWindowsVersionOrGreater(info.dwMajorVersion, info.dwMinorVersion));
  EXPECT_FALSE(nbase::IsWindowsVersionOrGreater(99, 0));
  EXPECT_FALSE(nbase::IsWindowsVersionOrGreater(info.dwMajorVersion, info.dwMinorVersion,
                                                info.wServicePackMajor + 1u));
}

TEST(ChannelTest, ResourceIsTruncatedAt260BytesAndDecoded) {
  std::wstring text = L"untouched";
  ASSERT_TRUE(ReadChannel(&text));
  // The resource holds "渠道" (6 bytes) and 300 'x': 254 of them survive.
  EXPECT_EQ(L"渠道" + std::wstring(254, L'x'), text);
}

TEST(ChannelTest, AbsentResourceLeavesTheTextAloneAndOnlyThenIsTheDefaultTaken) {
  std::wstring text = L"untouched";
  EXPECT_FALSE(ReadChannelFromModule(::GetModuleHandleW(L"kernel32.dll"), &text));
  EXPECT_EQ(L"untouched", text);
  EXPECT_EQ(L"default", ChannelOrDefault(::GetModuleHandleW(L"kernel32.dll")));
  EXPECT_EQ(L"渠道" + std::wstring(254, L'x'), ChannelOrDefault());
}

TEST(ChannelTest, DecodingEdges) {
  EXPECT_EQ(L"website_kmtlow", DecodeChannel("website_kmtlow", 14));
  EXPECT_EQ(L"", DecodeChannel("web\xFFsite", 8));  // not UTF-8: empty, no default
  EXPECT_EQ(L"", DecodeChannel("", 0));
  // A multi-byte character cut at byte 260 makes the whole text invalid.
  const std::string cut = std::string(259, 'a') + "\xE6\xB8\xA0";
  EXPECT_EQ(L"", DecodeChannel(cut.data(), cut.size()));
  const std::string exact = std::string(257, 'a') + "\xE6\xB8\xA0";
  EXPECT_EQ(std::wstring(257, L'a') + L"渠", DecodeChannel(exact.data(), exact.size()));
}

TEST(IdentityTest, AppVersionComesFromTheVersionResourceAndIsCached) {
  EXPECT_EQ(L"3.14.159.2653", GetAppVersion(std::wstring()));
  EXPECT_EQ(L"3.14.159.2653", GetAppVersion(L"C:\\windows\\system32\\kernel32.dll"));
}

TEST(IdentityTest, TimeStampIsMillisecondsSince1601) {
  const std::string before = TimeStampText();
  ::Sleep(20);
  const std::string after = TimeStampText();
  int64_t a = 0, b = 0;
  ASSERT_TRUE(nbase::ParseInt64(before, &a)) << before;
  ASSERT_TRUE(nbase::ParseInt64(after, &b)) << after;
  EXPECT_GE(b - a, 15);
  // Between 2020 and 2100.
  EXPECT_GT(a, 13222656000000LL);
  EXPECT_LT(a, 15745334400000LL);
}

}  // namespace
