#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "base/StringUtil.h"
#include "engine/InstallDetection.h"
#include "engine/ProductInfo.h"
#include "engine/Registry.h"

namespace {

constexpr wchar_t kTestKey[] = L"Software\\pagewright\\RegistryTest";
constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

void SetValue(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value,
              REGSAM view = 0) {
  HKEY handle = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view,
                                             nullptr, &handle, nullptr));
  ::RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(handle);
}

void DeleteKey(HKEY root, const std::wstring& key, REGSAM view = 0) {
  ::RegDeleteKeyExW(root, key.c_str(), view, 0);
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { DeleteKey(HKEY_CURRENT_USER, kTestKey); }
  void TearDown() override { DeleteKey(HKEY_CURRENT_USER, kTestKey); }
};

TEST_F(RegistryTest, ReadsOfMissingKeysAndValuesAreEmpty) {
  EXPECT_EQ(L"", RegReadString(kTestKey, L"Anything"));
  ASSERT_TRUE(RegWriteString(kTestKey, L"Present", L"x"));
  EXPECT_EQ(L"", RegReadString(kTestKey, L"Missing"));
  EXPECT_EQ(L"x", RegReadString(kTestKey, L"Present"));
}

TEST_F(RegistryTest, WritingCreatesTheKeyAndReplacesValues) {
  EXPECT_TRUE(RegWriteString(kTestKey, L"InstallerChannel", L"website_kmtlow"));
  EXPECT_EQ(L"website_kmtlow", RegReadString(kTestKey, L"InstallerChannel"));
  EXPECT_TRUE(RegWriteString(kTestKey, L"InstallerChannel", L"渠道"));
  EXPECT_EQ(L"渠道", RegReadString(kTestKey, L"InstallerChannel"));
  EXPECT_TRUE(RegWriteString(kTestKey, L"Empty", L""));
  EXPECT_EQ(L"", RegReadString(kTestKey, L"Empty"));
}

TEST_F(RegistryTest, ValuesLongerThan259CharactersReadAsEmpty) {
  const std::wstring fits(259, L'p');
  const std::wstring too_long(260, L'p');
  ASSERT_TRUE(RegWriteString(kTestKey, L"Fits", fits));
  ASSERT_TRUE(RegWriteString(kTestKey, L"TooLong", too_long));
  EXPECT_EQ(fits, RegReadString(kTestKey, L"Fits"));
  EXPECT_EQ(L"", RegReadString(kTestKey, L"TooLong"));
}

TEST_F(RegistryTest, UnterminatedValueFillingTheBufferStaysBounded) {
  // 260 characters stored without a terminating zero fill the buffer exactly.
  const std::wstring full(260, L'u');
  HKEY handle = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0,
                                             KEY_SET_VALUE, nullptr, &handle, nullptr));
  ::RegSetValueExW(handle, L"Raw", 0, REG_SZ, reinterpret_cast<const BYTE*>(full.data()),
                   static_cast<DWORD>(full.size() * sizeof(wchar_t)));
  ::RegCloseKey(handle);
  // Whether the platform hands out a value with no room for the terminator
  // differs; either way the text is bounded: all of it or nothing.
  const std::wstring read = RegReadString(kTestKey, L"Raw");
  EXPECT_TRUE(read == full || read.empty()) << read.size();
}

// Saves and restores the installer's InstallerPath around a test.
class RecordedPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = RegReadString(product::kAppInfoKey, L"InstallerPath");
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    folder_ = nbase::FormatWideString(L"%sregtest_%lu", temp, ::GetCurrentProcessId());
    ::CreateDirectoryW(folder_.c_str(), nullptr);
  }
  void TearDown() override {
    ::DeleteFileW((folder_ + L"\\pageWright.exe").c_str());
    ::RemoveDirectoryW(folder_.c_str());
    RegWriteString(product::kAppInfoKey, L"InstallerPath", saved_);
  }
  std::wstring saved_;
  std::wstring folder_;
};

TEST_F(RecordedPathTest, InstalledOnlyWhenTheRecordedFolderHoldsTheProduct) {
  RegWriteString(product::kAppInfoKey, L"InstallerPath", L"");
  EXPECT_FALSE(IsInstalledAtRecordedPath());
  RegWriteString(product::kAppInfoKey, L"InstallerPath", folder_);
  EXPECT_FALSE(IsInstalledAtRecordedPath());
  HANDLE file = ::CreateFileW((folder_ + L"\\pageWright.exe").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  ::CloseHandle(file);
  EXPECT_TRUE(IsInstalledAtRecordedPath());
  EXPECT_TRUE(ProductIsInstalled());
}

// Uninstall entries are written under HKLM and removed afterwards.
class UninstallListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_path_ = RegReadString(product::kAppInfoKey, L"InstallerPath");
    RegWriteString(product::kAppInfoKey, L"InstallerPath", L"");
    Remove();
  }
  void TearDown() override {
    Remove();
    RegWriteString(product::kAppInfoKey, L"InstallerPath", saved_path_);
  }
  static std::wstring Entry(const wchar_t* name) {
    return std::wstring(kUninstallKey) + L"\\" + name;
  }
  static void Remove() {
    for (const wchar_t* name : {L"PwTestA", L"PwTestLong", L"PwTest64"}) {
      DeleteKey(HKEY_LOCAL_MACHINE, Entry(name));
      DeleteKey(HKEY_LOCAL_MACHINE, Entry(name), KEY_WOW64_64KEY);
    }
  }
  std::wstring saved_path_;
};

TEST_F(UninstallListTest, DisplayNameWithVersionCounts) {
  ASSERT_FALSE(FindUninstallEntry(0)) << "a product entry is already in the list";
  SetValue(HKEY_LOCAL_MACHINE, Entry(L"PwTestA"), L"DisplayName", L"岚枢PDF转换器 1.2.3");
  EXPECT_TRUE(FindUninstallEntry(0));
  EXPECT_TRUE(ProductIsInstalled());
}

TEST_F(UninstallListTest, OtherNamesAndOverlongDisplayNamesDoNotCount) {
  SetValue(HKEY_LOCAL_MACHINE, Entry(L"PwTestA"), L"DisplayName", L"岚枢PDF阅读器 1.2.3");
  // The product name inside a display name of 256 characters: not readable, no match.
  std::wstring long_name = L"岚枢PDF转换器";
  long_name += std::wstring(256 - long_name.size(), L'z');
  SetValue(HKEY_LOCAL_MACHINE, Entry(L"PwTestLong"), L"DisplayName", long_name);
  EXPECT_FALSE(FindUninstallEntry(0));
  EXPECT_FALSE(ProductIsInstalled());
  // 255 characters still fit.
  long_name.pop_back();
  SetValue(HKEY_LOCAL_MACHINE, Entry(L"PwTestLong"), L"DisplayName", long_name);
  EXPECT_TRUE(FindUninstallEntry(0));
}

TEST_F(UninstallListTest, EntryInThe64BitViewIsFoundThroughIt) {
  SetValue(HKEY_LOCAL_MACHINE, Entry(L"PwTest64"), L"DisplayName", L"岚枢PDF转换器",
           KEY_WOW64_64KEY);
  EXPECT_TRUE(FindUninstallEntry(KEY_WOW64_64KEY));
  EXPECT_TRUE(ProductIsInstalled());
  BOOL wow64 = FALSE;
  ::IsWow64Process(::GetCurrentProcess(), &wow64);
  if (wow64) {
    // On a 64-bit system the 32-bit view does not see it: only the third test finds it.
    EXPECT_FALSE(FindUninstallEntry(0));
  } else {
    std::printf("note: 32-bit system, the two registry views are one\n");
  }
}

}  // namespace
