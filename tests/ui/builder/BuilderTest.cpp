// Building control trees from markup.
#include <gtest/gtest.h>

#include <memory>

#include "TestSupport.h"
#include "ui/core/Box.h"
#include "ui/widgets/Button.h"
#include "ui/widgets/CheckBox.h"
#include "ui/widgets/Label.h"
#include "ui/builder/LayoutBuilder.h"
#include "ui/widgets/Progress.h"
#include "ui/widgets/RichEdit.h"

namespace {

std::unique_ptr<ui::Control> Build(const std::wstring& markup,
                                   const ui::CreateControlHook& hook = nullptr) {
  ui_test::StartToolkitWithoutSkin();
  ui::LayoutBuilder builder;
  return std::unique_ptr<ui::Control>(builder.Create(markup, hook, nullptr));
}

ui::Control* Child(ui::Control* box, int index) {
  return static_cast<ui::Box*>(box)->GetItemAt(index);
}

TEST(Builder, BuildsTheTreeWithAttributesInDocumentOrder) {
  auto root = Build(
      L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      L"<Window size=\"600,400\" caption=\"0,0,0,400\">\n"
      L"  <Class name=\"local\" value=\"width=&quot;30&quot;\"/>\n"
      L"  <!-- <Button name=\"commented\"/> -->\n"
      L"  <VBox bkcolor=\"bk_color_mainwnd\" padding=\"1,2,3,4\">\n"
      L"    <Label name=\"title\" text=\"a&quot;b\" font=\"28\" "
      L"halign=\"center\"/>\n"
      L"    <Button name=\"go\" width=\"240\" height=\"52\" text=\"go\" "
      L"enabled=\"false\"/>\n"
      L"    <HBox height=\"auto\"><Control/><CheckBox name=\"c\" "
      L"selected=\"true\"/></HBox>\n"
      L"    <Progress name=\"p\" value=\"40\" max=\"80\"/>\n"
      L"    <RichEdit name=\"e\" multiline=\"false\" text=\"C:\\x\"/>\n"
      L"  </VBox>\n"
      L"  <Box name=\"second\"/>\n"
      L"</Window>\n");
  ASSERT_TRUE(root);
  EXPECT_EQ(L"VBox", root->GetType());
  EXPECT_EQ(L"bk_color_mainwnd", root->GetBkColor());
  auto* box = static_cast<ui::Box*>(root.get());
  EXPECT_EQ(2, box->GetPadding().top);
  ASSERT_EQ(5, box->GetCount());

  auto* title = dynamic_cast<ui::Label*>(Child(root.get(), 0));
  ASSERT_NE(nullptr, title);
  EXPECT_EQ(L"title", title->GetName());
  EXPECT_EQ(L"a\"b", title->GetText());
  EXPECT_EQ(28, title->GetFont());
  EXPECT_EQ(ui::kHorAlignCenter, title->GetHorAlignType());
  EXPECT_EQ(ui::kLengthAuto, title->GetFixedWidth());

  auto* go = dynamic_cast<ui::Button*>(Child(root.get(), 1));
  ASSERT_NE(nullptr, go);
  EXPECT_EQ(240, go->GetFixedWidth());
  EXPECT_FALSE(go->IsEnabled());
  EXPECT_TRUE(go->IsCaptionClient());

  ui::Control* row = Child(root.get(), 2);
  EXPECT_EQ(L"HBox", row->GetType());
  EXPECT_EQ(ui::kLengthAuto, row->GetFixedHeight());
  auto* check = dynamic_cast<ui::CheckBox*>(Child(row, 1));
  ASSERT_NE(nullptr, check);
  EXPECT_TRUE(check->IsSelected());

  auto* progress = dynamic_cast<ui::Progress*>(Child(root.get(), 3));
  ASSERT_NE(nullptr, progress);
  EXPECT_EQ(40, progress->GetValue());
  EXPECT_EQ(80, progress->GetMaxValue());

  auto* edit = dynamic_cast<ui::RichEdit*>(Child(root.get(), 4));
  ASSERT_NE(nullptr, edit);
  EXPECT_FALSE(edit->IsMultiLine());
  EXPECT_EQ(L"C:\\x", edit->GetText());  // kept until the text services exist
}

TEST(Builder, UnknownElementsAreSkippedAndTheHookIsAsked) {
  int asked = 0;
  auto hook = [&](const std::wstring& name) -> ui::Control* {
    ++asked;
    if (name == L"Custom") return new ui::Label();
    return nullptr;
  };
  auto root = Build(
      L"<Window><Box><Unknown><Button/></Unknown><Custom "
      L"text=\"hi\"/><Label/></Box></Window>",
      hook);
  ASSERT_TRUE(root);
  auto* box = static_cast<ui::Box*>(root.get());
  ASSERT_EQ(2, box->GetCount());
  EXPECT_EQ(L"hi", static_cast<ui::Label*>(box->GetItemAt(0))->GetText());
  EXPECT_EQ(2, asked);
}

TEST(Builder, ChildrenUnderANonContainerFailTheWholeBuild) {
  ui::LayoutBuilder builder;
  ui_test::StartToolkitWithoutSkin();
  std::unique_ptr<ui::Control> root(
      builder.Create(L"<Window><Box><Label><Label/></Label></Box></Window>", nullptr, nullptr));
  EXPECT_FALSE(root);
}

TEST(Builder, ParseErrorsGiveNullWithTheParserMessage) {
  ui_test::StartToolkitWithoutSkin();
  ui::LayoutBuilder builder;
  EXPECT_EQ(nullptr, builder.Create(L"<Window><Box></Label></Window>", nullptr, nullptr));
  EXPECT_EQ(L"Unmatched closing tag", builder.GetLastError());
  EXPECT_EQ(nullptr, builder.Create(L"<Window><Box name='x'/></Window>", nullptr, nullptr));
  EXPECT_EQ(L"Expected attribute value", builder.GetLastError());
  // A missing file.
  EXPECT_EQ(nullptr, builder.Create(L"no\\such\\layout.xml", nullptr, nullptr));
  EXPECT_FALSE(builder.GetLastError().empty());
}

TEST(Builder, WidthBelowAutoIsIgnoredAndNumbersReadTheirPrefix) {
  auto root = Build(
      L"<Window><Box width=\"-5\" height=\"12px\"><Control "
      L"margin=\"1,2\"/></Box></Window>");
  ASSERT_TRUE(root);
  EXPECT_EQ(ui::kLengthStretch, root->GetFixedWidth());
  EXPECT_EQ(12, root->GetFixedHeight());
  const RECT& margin = Child(root.get(), 0)->GetMargin();
  EXPECT_EQ(1, margin.left);
  EXPECT_EQ(2, margin.top);
  EXPECT_EQ(0, margin.right);
}

TEST(Builder, BuildsIntoAnExistingContainer) {
  ui_test::StartToolkitWithoutSkin();
  ui::Box container;
  ui::LayoutBuilder builder;
  ui::Control* result =
      builder.Create(L"<Window><VBox bkcolor=\"white\"><Label/><Label/></VBox></Window>", nullptr,
                     nullptr, &container);
  EXPECT_EQ(&container, result);
  EXPECT_EQ(L"white", container.GetBkColor());
  EXPECT_EQ(2, container.GetCount());
}

TEST(Builder, GlobalFontsColoursAndClasses) {
  ui_test::StartToolkitWithoutSkin();
  ui::FontTable& fonts = ui::UiGlobal::GetFontTable();
  const size_t before = fonts.GetCount();
  ui::LayoutBuilder builder;
  EXPECT_EQ(nullptr, builder.Create(L"<Global>"
                                    L"<Font name=\"system\" size=\"14\" bold=\"true\"/>"
                                    L"<Font size=\"10\"/>"
                                    L"<Font name=\"arial\"/>"
                                    L"<TextColor name=\"test_red\" value=\"#ffc63535\"/>"
                                    L"<TextColor name=\"test_red\" value=\"#80112233\"/>"
                                    L"<TextColor name=\"\" value=\"#ff000000\"/>"
                                    L"<Class name=\"test_class\" value=\"width=&quot;7&quot;\"/>"
                                    L"<Image name=\"ignored\"/>"
                                    L"</Global>",
                                    nullptr, nullptr));
  ASSERT_EQ(before + 2, fonts.GetCount());  // the nameless Font takes no number
  const ui::FontRecord* bold = fonts.GetRecord(static_cast<int>(before));
  ASSERT_NE(nullptr, bold);
  EXPECT_EQ(14, bold->size);
  EXPECT_TRUE(bold->bold);
  const ui::FontRecord* arial = fonts.GetRecord(static_cast<int>(before) + 1);
  ASSERT_NE(nullptr, arial);
  EXPECT_EQ(L"arial", arial->face);
  EXPECT_EQ(12, arial->size);  // default size
  EXPECT_FALSE(arial->bold);
  EXPECT_EQ(0x80112233u, ui::UiGlobal::GetColour(L"test_red"));
  EXPECT_FALSE(ui::UiGlobal::GetColourTable().Contains(L""));
  EXPECT_EQ(L"width=\"7\"", ui::UiGlobal::GetClassAttributes(L"test_class"));
}

}  // namespace
