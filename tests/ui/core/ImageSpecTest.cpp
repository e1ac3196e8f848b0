// Image strings, attribute strings and the order in which classes and
// attributes apply.
#include <gtest/gtest.h>

#include <memory>

#include "TestSupport.h"
#include "ui/misc/AttributeList.h"
#include "ui/widgets/Button.h"
#include "ui/skin/ImageSpec.h"
#include "ui/core/UiGlobal.h"

namespace {

using ui::ImageSpec;

ImageSpec ParseAt(const std::wstring& text, bool aware, int scale) {
  ui::DpiState dpi;
  dpi.SetAware(aware);
  dpi.SetScale(scale);
  ImageSpec spec;
  spec.Parse(text, dpi);
  return spec;
}

void ExpectRect(const RECT& rc, int l, int t, int r, int b) {
  EXPECT_EQ(l, rc.left);
  EXPECT_EQ(t, rc.top);
  EXPECT_EQ(r, rc.right);
  EXPECT_EQ(b, rc.bottom);
}

TEST(ImageString, PlainNameAndItems) {
  ImageSpec plain = ParseAt(L"logo.png", true, 100);
  EXPECT_EQ(L"logo.png", plain.file);
  EXPECT_FALSE(ImageSpec::IsSet(plain.dest));
  EXPECT_EQ(255, plain.fade);

  ImageSpec full = ParseAt(
      L"file='../public/button/a.png' corner='8,8,8,8' fade='80' xtiled='true' "
      L"source='1,2,3,4' playcount='3'",
      true, 100);
  EXPECT_EQ(L"../public/button/a.png", full.file);
  ExpectRect(full.corner, 8, 8, 8, 8);
  ExpectRect(full.source, 1, 2, 3, 4);
  EXPECT_EQ(80, full.fade);
  EXPECT_TRUE(full.xtiled);
  EXPECT_FALSE(full.ytiled);
  EXPECT_EQ(3, full.playCount);

  // "res" names the file too; an empty value leaves the field as it was.
  ImageSpec res = ParseAt(L"res='x.png' fade=''", true, 100);
  EXPECT_EQ(L"x.png", res.file);
  EXPECT_EQ(255, res.fade);
}

TEST(ImageString, DestScaleAppliesOnlyToALaterDest) {
  // At 125 %: dest is scaled unless destscale='false' came first.
  ExpectRect(ParseAt(L"file='x.png' dest='0,0,10,10'", true, 125).dest, 0, 0, 12, 12);
  ExpectRect(ParseAt(L"file='x.png' destscale='false' dest='0,0,10,10'", true, 125).dest, 0, 0, 10,
             10);
  ExpectRect(ParseAt(L"file='x.png' dest='0,0,10,10' destscale='false'", true, 125).dest, 0, 0, 12,
             12);
  // Not DPI-aware: nothing is scaled.
  ExpectRect(ParseAt(L"file='x.png' dest='0,0,10,10'", false, 125).dest, 0, 0, 10, 10);
  // Dest numbers are truncated (14 at 125 % is 17.5 -> 17), unlike MulDiv-rounded lengths.
  ExpectRect(ParseAt(L"file='x.png' dest='4,4,14,14'", true, 125).dest, 5, 5, 17, 17);
  ExpectRect(ParseAt(L"file='x.png' dest='4,4,16,16'", true, 150).dest, 6, 6, 24, 24);
}

TEST(ImageString, ReadingStopsAtTheFirstBrokenItem) {
  // Double quotes are not item quotes: the whole text stays the file name.
  ImageSpec quoted = ParseAt(L"file=\"a.png\"", true, 100);
  EXPECT_EQ(L"file=\"a.png\"", quoted.file);
  // Unterminated value: items before it count, the broken one does not.
  ImageSpec open = ParseAt(L"file='a.png' fade='12", true, 100);
  EXPECT_EQ(L"a.png", open.file);
  EXPECT_EQ(255, open.fade);
  // Extra blanks before a key are skipped; a blank before "=" is allowed too.
  ImageSpec gap = ParseAt(L"file='a.png'  fade = '12'", true, 100);
  EXPECT_EQ(L"a.png", gap.file);
  EXPECT_EQ(12, gap.fade);
  ImageSpec tail = ParseAt(L"file='a.png' ", true, 100);
  EXPECT_EQ(L"a.png", tail.file);
}

TEST(ImageString, ModifierKeepsTheFile) {
  ui::DpiState dpi;
  ImageSpec spec;
  spec.Parse(L"file='bar.png' corner='2,2,2,2'", dpi);
  spec.ApplyModifier(L"destscale='false' dest='0,0,280,6' source='0,0,280,6'", dpi);
  EXPECT_EQ(L"bar.png", spec.file);
  ExpectRect(spec.dest, 0, 0, 280, 6);
  ExpectRect(spec.source, 0, 0, 280, 6);
  ExpectRect(spec.corner, 2, 2, 2, 2);
}

TEST(AttributeString, PairsUntilTheFirstMisshapenOne) {
  auto pairs = ui::ParseAttributeList(L"font=\"7\" normaltextcolor=\"white\" width=\"20\"");
  ASSERT_EQ(3u, pairs.size());
  EXPECT_EQ(L"font", pairs[0].first);
  EXPECT_EQ(L"7", pairs[0].second);
  EXPECT_EQ(L"width", pairs[2].first);
  EXPECT_EQ(L"20", pairs[2].second);

  // Image strings inside values keep their single quotes.
  pairs = ui::ParseAttributeList(L"normalimage=\"file='a.png' corner='8,8,8,8'\" fade=\"x\"");
  ASSERT_EQ(2u, pairs.size());
  EXPECT_EQ(L"file='a.png' corner='8,8,8,8'", pairs[0].second);

  // With two spaces the next name starts with the second one: a name no control knows.
  pairs = ui::ParseAttributeList(L"a=\"1\"  b=\"2\"");
  ASSERT_EQ(2u, pairs.size());
  EXPECT_EQ(L" b", pairs[1].first);
  EXPECT_EQ(1u, ui::ParseAttributeList(L"a=\"1\"b=\"2\"").size());  // no space
  EXPECT_EQ(0u, ui::ParseAttributeList(L"a='1'").size());           // single quotes
  EXPECT_EQ(0u, ui::ParseAttributeList(L"a = \"1\"").size());       // '=' not followed by '"'
  EXPECT_EQ(0u, ui::ParseAttributeList(L"a=\"unterminated").size());
  EXPECT_EQ(0u, ui::ParseAttributeList(L"").size());
}

TEST(AttributeOrder, AttributesAfterTheClassWinAndBeforeItLose) {
  ui_test::StartToolkitWithoutSkin();
  ui::UiGlobal::GetClassTable().Add(L"test_white_button",
                                    L"font=\"7\" normaltextcolor=\"dark_gray\" width=\"80\"");
  ui::UiGlobal::GetClassTable().Add(L"test_wide", L"width=\"200\" height=\"30\"");

  auto after = std::make_unique<ui::Button>();
  after->ApplyAttribute(L"class", L"test_white_button");
  after->ApplyAttribute(L"normaltextcolor", L"darkcolor");
  EXPECT_EQ(L"darkcolor", after->GetStateTextColour(ui::kControlStateNormal));
  EXPECT_EQ(7, after->GetFont());

  auto before = std::make_unique<ui::Button>();
  before->ApplyAttribute(L"normaltextcolor", L"darkcolor");
  before->ApplyAttribute(L"class", L"test_white_button");
  EXPECT_EQ(L"dark_gray", before->GetStateTextColour(ui::kControlStateNormal));

  // Several classes apply left to right; an unknown class is passed over.
  auto both = std::make_unique<ui::Button>();
  both->ApplyAttribute(L"class", L"test_white_button no_such_class test_wide");
  EXPECT_EQ(200, both->GetFixedWidth());
  EXPECT_EQ(30, both->GetFixedHeight());
  auto reversed = std::make_unique<ui::Button>();
  reversed->ApplyAttribute(L"class", L"test_wide test_white_button");
  EXPECT_EQ(80, reversed->GetFixedWidth());

  // A class that names itself does not recurse for ever.
  ui::UiGlobal::GetClassTable().Add(L"test_loop", L"class=\"test_loop\" width=\"5\"");
  auto loop = std::make_unique<ui::Button>();
  loop->ApplyAttribute(L"class", L"test_loop");
  EXPECT_EQ(5, loop->GetFixedWidth());
}

}  // namespace
