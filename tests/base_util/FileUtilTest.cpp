#include "base/FileUtil.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/StringUtil.h"

namespace {

using nbase::CreateDirectoryTree;
using nbase::QueryFileSize;

bool IsDirectory(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void WriteFile(const std::wstring& path, const std::string& bytes) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  DWORD written = 0;
  if (!bytes.empty())
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
  ASSERT_EQ(bytes.size(), written);
}

// A fresh folder under the temp directory, removed (best effort) afterwards.
class FileUtilTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_NE(0u, ::GetTempPathW(MAX_PATH, temp));
    root_ = nbase::FormatWideString(L"%sfileutil_%lu_%lu", temp, ::GetCurrentProcessId(),
                                    ::GetTickCount());
    ASSERT_TRUE(::CreateDirectoryW(root_.c_str(), nullptr));
  }
  void TearDown() override { RemoveTree(root_); }
  static void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((dir + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = dir + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          RemoveTree(path);
        else
          ::DeleteFileW(path.c_str());
      } while (::FindNextFileW(find, &data));
      ::FindClose(find);
    }
    ::RemoveDirectoryW(dir.c_str());
  }
  std::wstring root_;
};

TEST_F(FileUtilTest, CreatesEveryMissingLevelWithEitherSeparator) {
  std::wstring forward = root_ + L"/a/b//c/";
  EXPECT_TRUE(CreateDirectoryTree(forward.c_str()));
  EXPECT_TRUE(IsDirectory(root_ + L"\\a"));
  EXPECT_TRUE(IsDirectory(root_ + L"\\a\\b"));
  EXPECT_TRUE(IsDirectory(root_ + L"\\a\\b\\c"));
  // Existing tree, mixed separators, a new level below it.
  EXPECT_TRUE(CreateDirectoryTree((root_ + L"\\a/b\\c\\d").c_str()));
  EXPECT_TRUE(IsDirectory(root_ + L"\\a\\b\\c\\d"));
  EXPECT_TRUE(CreateDirectoryTree(root_.c_str()));
}

TEST_F(FileUtilTest, FailsWhereALevelIsAFile) {
  WriteFile(root_ + L"\\file", "x");
  EXPECT_FALSE(CreateDirectoryTree((root_ + L"\\file").c_str()));
  EXPECT_FALSE(CreateDirectoryTree((root_ + L"\\file\\below").c_str()));
  EXPECT_FALSE(IsDirectory(root_ + L"\\file\\below"));
}

TEST_F(FileUtilTest, NullEmptyAndOverlongPaths) {
  EXPECT_FALSE(CreateDirectoryTree(nullptr));
  EXPECT_FALSE(CreateDirectoryTree(L""));
  const std::wstring overlong = root_ + L"\\" + std::wstring(40000, L'n');
  EXPECT_FALSE(CreateDirectoryTree(overlong.c_str()));
  EXPECT_EQ(-1, QueryFileSize(nullptr));
  EXPECT_EQ(-1, QueryFileSize(overlong.c_str()));
}

TEST_F(FileUtilTest, QueryFileSizeOfMissingEmptyAndLargeFiles) {
  EXPECT_EQ(-1, QueryFileSize((root_ + L"\\missing.exe").c_str()));
  WriteFile(root_ + L"\\empty", "");
  EXPECT_EQ(0, QueryFileSize((root_ + L"\\empty").c_str()));
  WriteFile(root_ + L"\\data", std::string(70000, 'd'));
  EXPECT_EQ(70000, QueryFileSize((root_ + L"\\data").c_str()));

  // Beyond 4 GiB the high part of the size counts (the file is sparse on the host).
  const std::wstring big = root_ + L"\\big";
  HANDLE file = ::CreateFileW(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  LARGE_INTEGER size;
  size.QuadPart = (int64_t{1} << 32) + 5;
  const bool extended = ::SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && ::SetEndOfFile(file);
  ::CloseHandle(file);
  ASSERT_TRUE(extended);
  EXPECT_EQ(size.QuadPart, QueryFileSize(big.c_str()));
  ::DeleteFileW(big.c_str());
}

}  // namespace
