// Randomized mutation of image strings, attribute strings and whole layouts:
// whatever the input, parsing and building end without a crash and keep their
// invariants. Each run is bounded by an iteration count and a time limit; the
// seed is printed for replay.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "ui/AttributeList.h"
#include "ui/Box.h"
#include "ui/ImageSpec.h"
#include "ui/LayoutBuilder.h"

namespace {

constexpr DWORD kTimeLimitMs = 3000;

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

uint32_t Seed() {
  const uint32_t seed = ::GetTickCount();
  std::printf("mutation seed %u\n", static_cast<unsigned>(seed));
  return seed;
}

TEST(Fuzz, ImageStringsKeepTheirInvariants) {
  const std::vector<std::wstring> corpus = {
      L"logo.png",
      L"file='../public/button/btn_global_blue_80x30_normal.png' "
      L"corner='8,8,8,8'",
      L"file='x.png' destscale='false' dest='0,0,10,10' source='1,1,9,9' "
      L"fade='80'",
      L"res='a.png' xtiled='true' ytiled='true' playcount='2'",
  };
  Mutator mutator(Seed());
  ui::DpiState dpi;
  dpi.SetAware(true);
  dpi.SetScale(150);
  const DWORD start = ::GetTickCount();
  int runs = 0;
  for (; runs < 200000 && ::GetTickCount() - start < kTimeLimitMs; ++runs) {
    const std::wstring text = mutator.Mutate(corpus[runs % corpus.size()]);
    ui::ImageSpec spec;
    spec.Parse(text, dpi);
    ASSERT_EQ(text, spec.imageString);
    // The file is the whole string or a value cut out of it.
    if (spec.file != text) {
      ASSERT_NE(std::wstring::npos, text.find(L"'" + spec.file + L"'")) << "input: " << text;
    }
    ui::ImageSpec copy = spec;
    copy.ApplyModifier(text, dpi);  // a modifier never crashes either
  }
  std::printf("%d image strings\n", runs);
  EXPECT_GT(runs, 100);
}

TEST(Fuzz, AttributeStringsParseToAPrefixOfTheInput) {
  const std::vector<std::wstring> corpus = {
      L"font=\"7\" normaltextcolor=\"white\" normalimage=\"file='a.png' "
      L"corner='8,8,8,8'\"",
      L"width=\"20\" height=\"20\" fadehot=\"false\"",
      L"valign=\"center\" value=\"0\" hor=\"true\"",
  };
  Mutator mutator(Seed());
  const DWORD start = ::GetTickCount();
  int runs = 0;
  for (; runs < 200000 && ::GetTickCount() - start < kTimeLimitMs; ++runs) {
    const std::wstring text = mutator.Mutate(corpus[runs % corpus.size()]);
    std::wstring rebuilt;
    for (const auto& pair : ui::ParseAttributeList(text)) {
      if (!rebuilt.empty()) rebuilt += L' ';
      rebuilt += pair.first + L"=\"" + pair.second + L"\"";
    }
    ASSERT_EQ(0u, text.compare(0, rebuilt.size(), rebuilt)) << "input: " << text;
  }
  std::printf("%d attribute strings\n", runs);
  EXPECT_GT(runs, 100);
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
  const DWORD start = ::GetTickCount();
  int runs = 0;
  int built = 0;
  for (; runs < 50000 && ::GetTickCount() - start < kTimeLimitMs; ++runs) {
    std::wstring text = mutator.Mutate(layout);
    if (text.empty() || text[0] != L'<') text.insert(0, 1, L'<');
    ui::LayoutBuilder builder;
    std::unique_ptr<ui::Control> root(builder.Create(text, nullptr, nullptr));
    if (!root) continue;
    ++built;
    root->SetPos(ui::MakeRect(0, 0, 600, 400));
    root->EstimateSize(ui::MakeSize(600, 400));
  }
  std::printf("%d layouts, %d built\n", runs, built);
  EXPECT_GT(runs, 20);
  EXPECT_GT(built, 0);
}

}  // namespace
