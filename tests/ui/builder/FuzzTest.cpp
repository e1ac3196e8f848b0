// Randomized mutation of attribute strings and whole layouts:
// whatever the input, parsing and building end without a crash and keep their
// invariants. Each is bounded by a run count; the seed (PW_FUZZ_SEED) is
// printed for replay.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "tests/ui/skin/Mutator.h"
#include "ui/misc/AttributeList.h"
#include "ui/core/Box.h"
#include "ui/builder/LayoutBuilder.h"

namespace {

// Counts, not time budgets: every run of the test tries the same inputs.
constexpr int kAttributeRuns = 200000;
constexpr int kLayoutRuns = 10000;

class Mutator {
 public:
  explicit Mutator(uint32_t seed) : state_(seed ? seed : 1) {}

  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }

  std::wstring Mutate(const std::wstring& input) {
    static const wchar_t kAlphabet[] = L"'\"= ,<>/&;abcdefxyz0123456789-\t\n\x1\x7f\x4e2d";
    std::wstring text = input;
    const int edits = 1 + Next() % 6;
    for (int i = 0; i < edits; ++i) {
      const size_t pos = text.empty() ? 0 : Next() % (text.size() + 1);
      switch (Next() % 4) {
        case 0:  // insert
          text.insert(pos, 1, kAlphabet[Next() % (sizeof(kAlphabet) / sizeof(wchar_t) - 1)]);
          break;
        case 1:  // delete
          if (pos < text.size()) text.erase(pos, 1 + Next() % 4);
          break;
        case 2:  // replace
          if (pos < text.size()) {
            text[pos] = kAlphabet[Next() % (sizeof(kAlphabet) / sizeof(wchar_t) - 1)];
          }
          break;
        default:  // duplicate a slice
          if (pos < text.size()) text.insert(pos, text.substr(pos, 1 + Next() % 16));
          break;
      }
    }
    return text;
  }

 private:
  uint32_t state_;
};

uint32_t Seed() { return skin_test::FuzzSeed(); }

TEST(Fuzz, AttributeStringsParseToAPrefixOfTheInput) {
  const std::vector<std::wstring> corpus = {
      L"font=\"7\" normaltextcolor=\"white\" normalimage=\"file='a.png' "
      L"corner='8,8,8,8'\"",
      L"width=\"20\" height=\"20\" fadehot=\"false\"",
      L"valign=\"center\" value=\"0\" hor=\"true\"",
  };
  Mutator mutator(Seed());
  for (int run = 0; run < kAttributeRuns; ++run) {
    const std::wstring text = mutator.Mutate(corpus[run % corpus.size()]);
    std::wstring rebuilt;
    for (const auto& pair : ui::ParseAttributeList(text)) {
      if (!rebuilt.empty()) rebuilt += L' ';
      rebuilt += pair.first + L"=\"" + pair.second + L"\"";
    }
    ASSERT_EQ(0u, text.compare(0, rebuilt.size(), rebuilt)) << "input: " << text;
  }
}

TEST(Fuzz, MutatedLayoutsBuildOrFailCleanly) {
  ui_test::StartToolkitWithoutSkin();
  const std::wstring layout =
      L"<Window size=\"600,400\"><Class name=\"c\" "
      L"value=\"width=&quot;5&quot;\"/>"
      L"<Box bkcolor=\"white\"><VBox name=\"page\" visible=\"true\" "
      L"padding=\"1,2,3,4\">"
      L"<Control width=\"80\" height=\"80\" bkimage=\"logo.png\" "
      L"halign=\"center\"/>"
      L"<Label text=\"a&amp;b\" font=\"28\" margin=\"0,30,0,0\"/>"
      L"<Button class=\"c\" text=\"go\" width=\"240\"/><CheckBox "
      L"selected=\"true\"/>"
      L"<Progress value=\"50\" hor=\"true\"/><RichEdit multiline=\"false\" "
      L"text=\"x\"/>"
      L"<Event type=\"click all\" receiver=\"page\" "
      L"applyattribute=\"visible=&quot;false&quot;\"/>"
      L"<Include source=\"no_such_file.xml\" "
      L"count=\"2\"/></VBox></Box></Window>";
  Mutator mutator(Seed());
  int built = 0;
  for (int run = 0; run < kLayoutRuns; ++run) {
    std::wstring text = mutator.Mutate(layout);
    if (text.empty() || text[0] != L'<') text.insert(0, 1, L'<');
    ui::LayoutBuilder builder;
    std::unique_ptr<ui::Control> root(builder.Create(text, nullptr, nullptr));
    if (!root) continue;
    ++built;
    root->SetPos(ui::MakeRect(0, 0, 600, 400));
    root->EstimateSize(ui::MakeSize(600, 400));
  }
  std::printf("%d layouts, %d built\n", kLayoutRuns, built);
  EXPECT_GT(built, 0);
}

}  // namespace
