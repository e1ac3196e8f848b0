// Randomly damaged skin files must never crash or hang the readers, and every
// failure must be one of the documented ones. Bounded by a run count; the
// seed is printed so that a failure can be replayed.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "tests/ui/skin/Mutator.h"
#include "tests/ui/skin/SkinResource.h"
#include "ui/skin/LanguageTable.h"
#include "ui/skin/MarkupDocument.h"
#include "ui/skin/SkinArchive.h"

namespace {

constexpr int kMarkupRuns = 20000;
constexpr int kArchiveRuns = 3000;
constexpr int kLanguageRuns = 20000;

std::string ThemeBytes() {
  const void* data = nullptr;
  size_t size = 0;
  if (!skin_test::LoadThemeResource(&data, &size)) return std::string();
  return std::string(static_cast<const char*>(data), size);
}

std::string Member(const std::string& archive, const std::wstring& path) {
  std::string bytes;
  if (ui::OpenSkinArchive(archive.data(), archive.size(), "") != nullptr) {
    ui::ReadArchiveMember(path, &bytes);
  }
  ui::CloseSkinArchive();
  return bytes;
}

TEST(MutationTest, MarkupReader) {
  const std::string archive = ThemeBytes();
  ASSERT_FALSE(archive.empty());
  const std::vector<std::string> corpus = {
      Member(archive, L"resources\\themes\\default\\basic\\basic.xml"),
      Member(archive, L"resources\\themes\\default\\msgbox\\msgbox.xml"),
      Member(archive, L"resources\\themes\\default\\global.xml"),
      "<a b=\"&amp;&quot;\"><c>t</c><!-- x --><?p?></a>"};
  for (const std::string& text : corpus) ASSERT_FALSE(text.empty());
  const std::set<std::wstring> messages = {
      L"Error parsing element name", L"Error while parsing attributes",
      L"Expected attribute value",   L"Error while parsing attribute string",
      L"Expected start-tag closing", L"Unmatched closing tag",
      L"Expected end-tag start",     L"Expected start tag",
      L"Elements nested too deeply"};
  skin_test::Mutator mutator(skin_test::FuzzSeed());
  int parsed = 0;
  skin_test::RunCount(kMarkupRuns, [&](int run) {
    const std::string input = mutator.Mutate(corpus[run % corpus.size()]);
    ui::MarkupDocument doc;
    if (!doc.LoadFromUtf8(input.data(), input.size())) {
      ASSERT_EQ(1u, messages.count(doc.GetLastErrorMessage()))
          << "run " << run << ": " << doc.GetLastErrorMessage().c_str();
      ASSERT_LE(doc.GetLastErrorLocation().size(), 49u);
      ASSERT_FALSE(doc.GetRoot().IsValid());
      return;
    }
    ++parsed;
    // Walk the whole tree without recursion; it can never be deeper than the
    // limit nor hold more elements than there are '<' in the input.
    size_t elements = 0;
    std::vector<std::pair<ui::MarkupNode, size_t>> stack = {{doc.GetRoot(), 1}};
    while (!stack.empty()) {
      const auto top = stack.back();
      stack.pop_back();
      ++elements;
      ASSERT_LE(top.second, ui::MarkupDocument::kMaxDepth);
      ASSERT_NE(L'\0', top.first.GetName()[0]);
      for (size_t i = 0; i < top.first.GetAttributeCount(); ++i) {
        ASSERT_NE(L'\0', top.first.GetAttributeName(i)[0]);
      }
      for (ui::MarkupNode c = top.first.GetChild(); c.IsValid(); c = c.GetSibling()) {
        stack.push_back({c, top.second + 1});
      }
      if (top.second == 1 && top.first.GetSibling().IsValid()) {
        stack.push_back({top.first.GetSibling(), 1});
      }
    }
    ASSERT_LE(elements, static_cast<size_t>(std::count(input.begin(), input.end(), '<')));
  });
  std::printf("markup: %d runs, %d parsed\n", kMarkupRuns, parsed);
}

TEST(MutationTest, ArchiveReader) {
  const std::string original = ThemeBytes();
  ASSERT_FALSE(original.empty());
  skin_test::Mutator mutator(skin_test::FuzzSeed() + 1);
  int opened = 0;
  int reads = 0;
  skin_test::RunCount(kArchiveRuns, [&](int run) {
    // Damage concentrates where the structure is: the directory at the end,
    // or a header somewhere in the data.
    std::string input = original;
    const size_t edits = 1 + mutator.Next(6);
    for (size_t i = 0; i < edits; ++i) {
      size_t at =
          run % 2 == 0
              ? input.size() - 1 - mutator.Next(uint32_t(std::min<size_t>(input.size(), 120 * 46)))
              : mutator.Next(uint32_t(input.size()));
      input[at] = char(mutator.Next(256));
    }
    if (run % 7 == 0) input = mutator.Mutate(input);
    ui::SkinArchive* archive = ui::OpenSkinArchive(input.data(), input.size(), "");
    if (archive == nullptr) {
      ASSERT_EQ(nullptr, ui::GetSkinArchive());
      return;
    }
    ++opened;
    const std::vector<std::string> names = archive->MemberNames();
    for (size_t i = 0; i < names.size(); ++i) {
      ASSERT_EQ(std::string::npos, names[i].find("../")) << names[i];
      ASSERT_EQ(std::string::npos, names[i].find("..\\")) << names[i];
      if (!names[i].empty()) {
        ASSERT_NE('/', names[i][0]);
        ASSERT_NE('\\', names[i][0]);
      }
    }
    for (int i = 0; i < 4 && !names.empty(); ++i) {
      const std::string& name = names[mutator.Next(uint32_t(names.size()))];
      HGLOBAL block = ui::ReadArchiveMember(std::wstring(name.begin(), name.end()));
      if (block != nullptr) {
        ++reads;
        ASSERT_LE(::GlobalSize(block), ui::SkinArchive::kMaxMemberSize);
        ::GlobalFree(block);
      }
    }
    ui::CloseSkinArchive();
  });
  std::printf("archive: %d runs, %d opened, %d members read\n", kArchiveRuns, opened, reads);
}

TEST(MutationTest, LanguageFile) {
  const std::string original =
      Member(ThemeBytes(), L"resources\\lang\\zh_CN\\gdstrings.ini") + "A = 1\\r\\n2\nB==c\n";
  ASSERT_GT(original.size(), 100u);
  skin_test::Mutator mutator(skin_test::FuzzSeed() + 2);
  skin_test::RunCount(kLanguageRuns, [&](int run) {
    const std::string input = mutator.Mutate(original);
    ui::LanguageTable table;
    table.LoadFromMemory(input.data(), input.size());
    const size_t lines = static_cast<size_t>(std::count(input.begin(), input.end(), '\n')) +
                         static_cast<size_t>(std::count(input.begin(), input.end(), '\0')) + 1;
    ASSERT_LE(table.GetCount(), lines) << "run " << run;
    const std::wstring ok = table.GetStringById(L"STRING_OK");
    if (!ok.empty()) {
      ASSERT_GT(ok.front(), 29);
      ASSERT_NE(L' ', ok.back());
    }
  });
}

}  // namespace
