#include "ui/skin/SkinArchive.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/ui/skin/ZipBuilder.h"

namespace {

using skin_test::ZipBuilder;
using skin_test::ZipEntry;

std::string BlockText(HGLOBAL block) {
  if (block == nullptr) return std::string();
  const SIZE_T size = ::GlobalSize(block);
  std::string text;
  if (size != 0) {
    const char* data = static_cast<const char*>(::GlobalLock(block));
    text.assign(data, size);
    ::GlobalUnlock(block);
  }
  return text;
}

// Reads a member through the process-wide archive and frees the block.
bool ReadText(const std::wstring& path, std::string* text) {
  HGLOBAL block = ui::ReadArchiveMember(path);
  if (block == nullptr) return false;
  *text = BlockText(block);
  ::GlobalFree(block);
  return true;
}

class SkinArchiveTest : public ::testing::Test {
 protected:
  void TearDown() override { ui::CloseSkinArchive(); }

  // Archives must outlive the handles opened on them.
  std::string data_;
  std::string other_;
};

TEST(NormaliseArchiveNameTest, SlashesDotsAndParentSteps) {
  using ui::NormaliseArchiveName;
  EXPECT_EQ(
      "resources/themes/default/public/checkbox/check.png",
      NormaliseArchiveName(L"resources\\themes\\default\\basic\\..\\public\\checkbox\\check.png"));
  EXPECT_EQ(
      "resources/themes/default/public/CheckBox/check.png",
      NormaliseArchiveName(L"resources\\themes\\default\\msgbox\\..\\public\\CheckBox\\check.png"));
  EXPECT_EQ("a/b/c.xml", NormaliseArchiveName(L"a//b\\\\c.xml"));
  EXPECT_EQ("a/b/c.xml", NormaliseArchiveName(L"a/./b/./c.xml"));
  EXPECT_EQ("a/b/c.xml", NormaliseArchiveName(L"./a/b/c.xml"));
  EXPECT_EQ("a/b/c.xml", NormaliseArchiveName(L"/a/b/c.xml"));
  EXPECT_EQ("a/b/c.xml", NormaliseArchiveName(L"\\\\a\\b\\c.xml"));
  EXPECT_EQ("c.xml", NormaliseArchiveName(L"a/b/../../c.xml"));
  // Parent steps cannot climb above the start.
  EXPECT_EQ("c.xml", NormaliseArchiveName(L"../../c.xml"));
  EXPECT_EQ("c.xml", NormaliseArchiveName(L"a/../../../c.xml"));
  EXPECT_EQ("a/x..y/c", NormaliseArchiveName(L"a/x..y/c"));
  EXPECT_EQ("a/..b/c", NormaliseArchiveName(L"a/..b/c"));
  EXPECT_EQ("", NormaliseArchiveName(L""));
  EXPECT_EQ("", NormaliseArchiveName(L"../"));
  // UTF-8, and never more than 260 bytes, never half a character.
  EXPECT_EQ("skin/\xE5\xB2\x9A.png", NormaliseArchiveName(L"skin\\\u5c9a.png"));
  const std::string cut = NormaliseArchiveName(std::wstring(200, L'\u5c9a'));
  EXPECT_LE(cut.size(), 260u);
  EXPECT_EQ(0u, cut.size() % 3);
}

TEST_F(SkinArchiveTest, LookupIgnoresAsciiCaseAndAcceptsBothSlashes) {
  ZipBuilder zip;
  zip.Add("resources/themes/default/public/checkbox/check_no.png", "stored bytes");
  zip.Add("resources/themes/default/global.xml", std::string(5000, 'x') + "<Global/>", true);
  zip.Add("resources/\xC3\xA4.txt", "umlaut");
  data_ = zip.Build();
  ASSERT_NE(nullptr, ui::OpenSkinArchive(data_.data(), data_.size(), ""));

  std::string text;
  ASSERT_TRUE(
      ReadText(L"resources\\themes\\default\\basic\\..\\public\\CheckBox\\check_no.png", &text));
  EXPECT_EQ("stored bytes", text);
  ASSERT_TRUE(ReadText(L"RESOURCES/Themes/DEFAULT/./public//checkbox\\CHECK_NO.PNG", &text));
  EXPECT_EQ("stored bytes", text);
  ASSERT_TRUE(ReadText(L"resources\\themes\\default\\global.xml", &text));
  EXPECT_EQ(std::string(5000, 'x') + "<Global/>", text);
  // Only ASCII letters are folded.
  EXPECT_TRUE(ReadText(L"resources/\u00e4.txt", &text));
  EXPECT_FALSE(ReadText(L"resources/\u00c4.txt", &text));
  EXPECT_FALSE(ReadText(L"resources/themes/default/missing.xml", &text));
  EXPECT_FALSE(ReadText(L"", &text));
  // Folders are not members.
  EXPECT_FALSE(ReadText(L"resources/themes/default", &text));
}

TEST_F(SkinArchiveTest, BlocksAreMovableAndExactlyMemberSized) {
  ZipBuilder zip;
  zip.Add("a.bin", std::string("\0\x01\x02", 3));
  zip.Add("empty.txt", "");
  zip.Add("empty-deflated.txt", "", true);
  data_ = zip.Build();
  ASSERT_NE(nullptr, ui::OpenSkinArchive(data_.data(), data_.size(), ""));

  HGLOBAL block = ui::ReadArchiveMember(L"a.bin");
  ASSERT_NE(nullptr, block);
  EXPECT_EQ(3u, ::GlobalSize(block));
  void* locked = ::GlobalLock(block);
  EXPECT_NE(static_cast<void*>(block), locked);  // a movable block is a handle, not the data
  EXPECT_EQ(0, std::memcmp(locked, "\0\x01\x02", 3));
  ::GlobalUnlock(block);
  EXPECT_EQ(nullptr, ::GlobalFree(block));

  for (const wchar_t* name : {L"empty.txt", L"empty-deflated.txt"}) {
    block = ui::ReadArchiveMember(name);
    ASSERT_NE(nullptr, block) << name;
    EXPECT_EQ(0u, ::GlobalSize(block));
    ::GlobalFree(block);
    std::string bytes = "junk";
    EXPECT_TRUE(ui::ReadArchiveMember(name, &bytes));
    EXPECT_TRUE(bytes.empty());
  }
}

TEST_F(SkinArchiveTest, SecondOpenClosesTheFirst) {
  ZipBuilder first;
  first.Add("first.txt", "one");
  first.Add("shared.txt", "from first");
  data_ = first.Build();
  ZipBuilder second;
  second.Add("second.txt", "two");
  second.Add("shared.txt", "from second");
  other_ = second.Build();

  ui::SkinArchive* a = ui::OpenSkinArchive(data_.data(), data_.size(), "");
  ASSERT_NE(nullptr, a);
  EXPECT_EQ(a, ui::GetSkinArchive());
  ui::SkinArchive* b = ui::OpenSkinArchive(other_.data(), other_.size(), "");
  ASSERT_NE(nullptr, b);
  EXPECT_EQ(b, ui::GetSkinArchive());

  std::string text;
  EXPECT_FALSE(ReadText(L"first.txt", &text));
  ASSERT_TRUE(ReadText(L"shared.txt", &text));
  EXPECT_EQ("from second", text);

  // Opening something that is not a zip still closes the open archive.
  const std::string junk(100, 'j');
  EXPECT_EQ(nullptr, ui::OpenSkinArchive(junk.data(), junk.size(), ""));
  EXPECT_EQ(nullptr, ui::GetSkinArchive());
  EXPECT_FALSE(ReadText(L"second.txt", &text));
  EXPECT_EQ(nullptr, ui::ReadArchiveMember(L"second.txt"));

  ui::CloseSkinArchive();  // closing twice is harmless
  ui::CloseSkinArchive();
}

TEST_F(SkinArchiveTest, ReportedNamesCannotEscapeTheRoot) {
  ZipBuilder zip;
  zip.Add("../../evil.txt", "1");
  zip.Add("C:\\Windows\\..\\system.ini", "2");
  zip.Add("/etc/passwd", "3");
  zip.Add("\\\\server\\share\\x.txt", "4");
  zip.Add("a/../../b/c.txt", "5");
  zip.Add("x\\..\\..\\y.txt", "6");
  zip.Add("d:relative.txt", "7");
  zip.Add("ok/normal.txt", "8");
  data_ = zip.Build();
  ui::SkinArchive* archive = ui::OpenSkinArchive(data_.data(), data_.size(), "");
  ASSERT_NE(nullptr, archive);

  const std::vector<std::string> names = archive->MemberNames();
  const std::vector<std::string> expected = {
      "evil.txt", "system.ini", "etc/passwd",   "server\\share\\x.txt",
      "b/c.txt",  "y.txt",      "relative.txt", "ok/normal.txt"};
  EXPECT_EQ(expected, names);
  for (const std::string& name : names) {
    EXPECT_NE('/', name[0]) << name;
    EXPECT_NE('\\', name[0]) << name;
    EXPECT_EQ(std::string::npos, name.find("../")) << name;
    EXPECT_EQ(std::string::npos, name.find("..\\")) << name;
    EXPECT_EQ(std::string::npos, name.find(':')) << name;
  }
  // Normalised lookups cannot reach the climbing names either.
  std::string text;
  EXPECT_FALSE(ReadText(L"../../evil.txt", &text));
  EXPECT_TRUE(ReadText(L"ok\\normal.txt", &text));
}

TEST_F(SkinArchiveTest, LongNamesAreNeverFound) {
  const std::string name255 = std::string(251, 'n') + ".txt";
  const std::string name256 = std::string(252, 'n') + ".txt";
  const std::string name300 = std::string(296, 'n') + ".txt";
  ZipBuilder zip;
  zip.Add(name255, "255");
  zip.Add(name256, "256");
  zip.Add(name300, "300");
  data_ = zip.Build();
  ASSERT_NE(nullptr, ui::OpenSkinArchive(data_.data(), data_.size(), ""));
  std::string text;
  ASSERT_TRUE(ReadText(std::wstring(name255.begin(), name255.end()), &text));
  EXPECT_EQ("255", text);
  EXPECT_FALSE(ReadText(std::wstring(name256.begin(), name256.end()), &text));
  EXPECT_FALSE(ReadText(std::wstring(name300.begin(), name300.end()), &text));
  // The first 255 bytes of a longer name must not match a shorter member.
  EXPECT_EQ(1u, ui::GetSkinArchive()->MemberNames().size());
}

TEST_F(SkinArchiveTest, MissingAndCorruptDataOpenNothing) {
  EXPECT_EQ(nullptr, ui::OpenSkinArchive(nullptr, 100, ""));
  EXPECT_EQ(nullptr, ui::OpenSkinArchive("PK", 0, ""));
  const std::string noise = "PK\x03\x04 this is not really a zip archive at all";
  EXPECT_EQ(nullptr, ui::OpenSkinArchive(noise.data(), noise.size(), ""));
  EXPECT_EQ(nullptr, ui::GetSkinArchive());
  EXPECT_EQ(nullptr, ui::ReadArchiveMember(L"anything.xml"));
  std::string bytes;
  EXPECT_FALSE(ui::ReadArchiveMember(L"anything.xml", &bytes));
}

TEST_F(SkinArchiveTest, EveryTruncationFailsCleanly) {
  ZipBuilder zip;
  zip.Add("a/stored.txt", std::string(300, 's'));
  zip.Add("a/deflated.xml", std::string(3000, 'd') + "end", true);
  data_ = zip.Build();
  int opened = 0;
  for (size_t length = 0; length < data_.size(); ++length) {
    // A copy of exactly |length| bytes: the reader must not rely on the rest.
    const std::string cut = data_.substr(0, length);
    if (ui::OpenSkinArchive(cut.data(), cut.size(), "") == nullptr) continue;
    ++opened;
    std::string bytes;
    if (ui::ReadArchiveMember(L"a/stored.txt", &bytes)) {
      EXPECT_EQ(std::string(300, 's'), bytes);
    }
    if (ui::ReadArchiveMember(L"a/deflated.xml", &bytes)) {
      EXPECT_EQ(std::string(3000, 'd') + "end", bytes);
    }
    ui::CloseSkinArchive();
  }
  // Without the end-of-central-directory record nothing opens.
  EXPECT_EQ(0, opened);
}

TEST_F(SkinArchiveTest, DamagedMembersAreRefused) {
  const std::string body = std::string(4000, 'b') + "tail";
  ZipBuilder zip;
  ZipEntry huge;
  huge.name = "huge.png";
  huge.data = "small";
  huge.override_size = true;
  huge.declared_size = 0xFFFFFFF0u;  // would be a 4 GiB allocation
  zip.Add(huge);
  ZipEntry too_big = huge;
  too_big.name = "too-big.xml";
  too_big.data = body;
  too_big.deflate = true;
  too_big.declared_size = static_cast<uint32_t>(body.size() + 100);
  zip.Add(too_big);
  ZipEntry too_small = too_big;
  too_small.name = "too-small.xml";
  too_small.declared_size = 10;
  zip.Add(too_small);
  ZipEntry stored_short = huge;
  stored_short.name = "stored-short.txt";
  stored_short.data = "0123456789";
  stored_short.declared_size = 20;
  zip.Add(stored_short);
  zip.Add("good.xml", body, true);
  data_ = zip.Build();

  ui::SkinArchive* archive = ui::OpenSkinArchive(data_.data(), data_.size(), "");
  ASSERT_NE(nullptr, archive);
  for (const wchar_t* name : {L"huge.png", L"too-big.xml", L"too-small.xml", L"stored-short.txt"}) {
    EXPECT_EQ(nullptr, ui::ReadArchiveMember(name)) << name;
    std::string bytes;
    EXPECT_FALSE(ui::ReadArchiveMember(name, &bytes)) << name;
  }
  std::string text;
  ASSERT_TRUE(ReadText(L"good.xml", &text));
  EXPECT_EQ(body, text);

  // The same archive with the good member's compressed data damaged.
  other_ = data_;
  const std::string deflated = ZipBuilder::Deflate(body);
  const size_t at = other_.rfind(deflated);  // good.xml is the last member
  ASSERT_NE(std::string::npos, at);
  other_[at + deflated.size() / 2] ^= 0x5a;
  other_[at + deflated.size() / 2 + 1] ^= 0xa5;
  ASSERT_NE(nullptr, ui::OpenSkinArchive(other_.data(), other_.size(), ""));
  EXPECT_FALSE(ReadText(L"good.xml", &text));
}

}  // namespace
