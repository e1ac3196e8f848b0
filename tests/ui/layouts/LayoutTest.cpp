// Placement by VBox, HBox and plain Box, progress fill and label size
// estimates.
#include <gtest/gtest.h>

#include <memory>

#include "TestSupport.h"
#include "ui/core/Box.h"
#include "ui/layouts/HBox.h"
#include "ui/widgets/Label.h"
#include "ui/widgets/Progress.h"
#include "ui/layouts/VBox.h"

namespace {

using ui::MakeRect;

ui::Control* AddSized(ui::Box* box, int width, int height) {
  auto* control = new ui::Control();
  control->SetFixedWidth(width, false, false);
  control->SetFixedHeight(height, false, false);
  box->Add(control);
  return control;
}

TEST(VBoxLayout, StretchChildrenShareTheHeightWithTheRemainderFirst) {
  ui::VBox box;
  ui::Control* a = AddSized(&box, ui::kLengthStretch, ui::kLengthStretch);
  ui::Control* b = AddSized(&box, ui::kLengthStretch, ui::kLengthStretch);
  ui::Control* c = AddSized(&box, ui::kLengthStretch, ui::kLengthStretch);
  box.SetPos(MakeRect(0, 0, 50, 100));
  EXPECT_EQ(34, ui::RectHeight(a->GetPos()));
  EXPECT_EQ(33, ui::RectHeight(b->GetPos()));
  EXPECT_EQ(33, ui::RectHeight(c->GetPos()));
  EXPECT_EQ(0, a->GetPos().top);
  EXPECT_EQ(34, b->GetPos().top);
  EXPECT_EQ(67, c->GetPos().top);
  EXPECT_EQ(100, c->GetPos().bottom);
  EXPECT_EQ(50, ui::RectWidth(a->GetPos()));
}

TEST(VBoxLayout, MarginsChildMarginFixedAndHiddenChildren) {
  ui::VBox box;
  box.SetChildMargin(5, false);
  box.SetPadding(MakeRect(10, 10, 10, 10), false);
  ui::Control* fixed = AddSized(&box, 40, 20);
  fixed->SetMargin(MakeRect(0, 3, 0, 2), false);
  ui::Control* hidden = AddSized(&box, 40, 500);
  hidden->SetVisible(false);
  ui::Control* filler = AddSized(&box, ui::kLengthStretch, ui::kLengthStretch);
  ui::Control* bottom = AddSized(&box, 30, 10);
  bottom->SetHorAlignType(ui::kHorAlignRight);
  box.SetPos(MakeRect(0, 0, 200, 200));

  EXPECT_EQ(13, fixed->GetPos().top);  // padding + top margin
  EXPECT_EQ(10, fixed->GetPos().left);
  // 180 inner: fixed 20 + margins 5 + bottom 10 + two child margins 10 ->
  // filler 135.
  EXPECT_EQ(40, filler->GetPos().top);  // 33 + 2 + 5
  EXPECT_EQ(135, ui::RectHeight(filler->GetPos()));
  EXPECT_EQ(180, ui::RectWidth(filler->GetPos()));
  EXPECT_EQ(180, bottom->GetPos().top);  // 175 + 5
  EXPECT_EQ(190, bottom->GetPos().bottom);
  EXPECT_EQ(160, bottom->GetPos().left);  // right-aligned inside the padding
}

TEST(VBoxLayout, CentredChildSitsInTheMiddle) {
  ui::VBox box;
  ui::Control* child = AddSized(&box, 80, 80);
  child->SetHorAlignType(ui::kHorAlignCenter);
  box.SetPos(MakeRect(0, 0, 600, 400));
  EXPECT_EQ(260, child->GetPos().left);
  EXPECT_EQ(340, child->GetPos().right);

  // Margins shift the centre: (left margin + right - right margin - width -
  // left) / 2.
  child->SetMargin(MakeRect(20, 0, 0, 0), false);
  box.SetPos(MakeRect(0, 0, 600, 400));
  EXPECT_EQ(270, child->GetPos().left);
}

TEST(VBoxLayout, MinAndMaxClampSizes) {
  ui::VBox box;
  ui::Control* a = AddSized(&box, ui::kLengthStretch, ui::kLengthStretch);
  a->SetMaxHeight(30);
  a->SetMaxWidth(70);
  ui::Control* b = AddSized(&box, 10, 5);
  b->SetMinHeight(25);
  box.SetPos(MakeRect(0, 0, 100, 100));
  EXPECT_EQ(30, ui::RectHeight(a->GetPos()));
  EXPECT_EQ(70, ui::RectWidth(a->GetPos()));
  EXPECT_EQ(25, ui::RectHeight(b->GetPos()));
  EXPECT_EQ(30, b->GetPos().top);
}

TEST(HBoxLayout, SpacerPushesButtonsRightAndValignCentres) {
  ui::HBox box;
  ui::Control* spacer = AddSized(&box, ui::kLengthStretch, ui::kLengthStretch);
  ui::Control* button = AddSized(&box, 24, 24);
  button->SetMargin(MakeRect(6, 0, 0, 0), false);
  ui::Control* icon = AddSized(&box, 16, 16);
  icon->SetVerAlignType(ui::kVerAlignCenter);
  box.SetPos(MakeRect(0, 0, 589, 50));
  EXPECT_EQ(0, spacer->GetPos().left);
  EXPECT_EQ(543, ui::RectWidth(spacer->GetPos()));
  EXPECT_EQ(549, button->GetPos().left);
  EXPECT_EQ(573, icon->GetPos().left);
  EXPECT_EQ(589, icon->GetPos().right);
  EXPECT_EQ(17, icon->GetPos().top);
  EXPECT_EQ(50, ui::RectHeight(spacer->GetPos()));
}

TEST(BoxLayout, ChildrenOverlapAndTheLaterOneIsHit) {
  ui::Box box;
  ui::Control* page1 = AddSized(&box, ui::kLengthStretch, ui::kLengthStretch);
  ui::Control* page2 = AddSized(&box, ui::kLengthStretch, ui::kLengthStretch);
  ui::Control* corner = AddSized(&box, 20, 10);
  corner->SetHorAlignType(ui::kHorAlignRight);
  corner->SetVerAlignType(ui::kVerAlignBottom);
  corner->SetMargin(MakeRect(0, 0, 5, 5), false);
  box.SetPadding(MakeRect(2, 2, 2, 2), false);
  box.SetPos(MakeRect(0, 0, 100, 60));

  EXPECT_TRUE(ui::RectEquals(page1->GetPos(), page2->GetPos()));
  EXPECT_TRUE(ui::RectEquals(MakeRect(2, 2, 98, 58), page1->GetPos()));
  EXPECT_TRUE(ui::RectEquals(MakeRect(73, 43, 93, 53), corner->GetPos()));

  const POINT middle = {50, 30};
  EXPECT_EQ(page2, box.FindControl(middle));
  page2->SetVisible(false);
  EXPECT_EQ(page1, box.FindControl(middle));
  page1->SetMouseEnabled(false);
  EXPECT_EQ(&box, box.FindControl(middle));
  box.SetMouseChildEnabled(false);
  const POINT inCorner = {80, 50};
  EXPECT_EQ(&box, box.FindControl(inCorner));
  const POINT outside = {150, 30};
  EXPECT_EQ(nullptr, box.FindControl(outside));
}

TEST(ProgressFill, HalfOfA560PixelBarIs280AndAnEmptyRangeStillDraws) {
  ui::Progress progress;
  progress.SetPos(MakeRect(20, 100, 580, 106));
  progress.SetValue(50);
  RECT filled = progress.GetProgressPos();
  EXPECT_TRUE(ui::RectEquals(MakeRect(0, 0, 280, 6), filled));

  progress.SetValue(150);  // clamped to max when painted
  EXPECT_EQ(560, progress.GetProgressPos().right);
  progress.SetValue(-5);
  EXPECT_EQ(0, progress.GetProgressPos().right);
  progress.SetValue(33.3);
  EXPECT_EQ(186, progress.GetProgressPos().right);  // 560 * 0.333 truncated

  // max == min draws as if max were min + 1.
  progress.SetMinValue(10);
  progress.SetMaxValue(10);
  progress.SetValue(10);
  EXPECT_EQ(0, progress.GetProgressPos().right);
  progress.SetValue(11);
  EXPECT_EQ(560, progress.GetProgressPos().right);

  // Vertical bars fill from the bottom.
  ui::Progress vertical;
  vertical.SetHorizontal(false);
  vertical.SetPos(MakeRect(0, 0, 10, 200));
  vertical.SetValue(25);
  EXPECT_TRUE(ui::RectEquals(MakeRect(0, 150, 10, 200), vertical.GetProgressPos()));
}

TEST(LabelSize, AutoSizedLabelsFollowTheirText) {
  ui_test::StartToolkitWithoutSkin();
  ui::Label empty;
  SIZE size = empty.EstimateSize(ui::MakeSize(600, 400));
  EXPECT_EQ(0, size.cx);
  EXPECT_EQ(0, size.cy);

  ui::Label label;
  label.SetText(L"Install");
  const SIZE shortSize = label.EstimateSize(ui::MakeSize(600, 400));
  EXPECT_GT(shortSize.cx, 10);
  EXPECT_GT(shortSize.cy, 5);
  label.SetText(L"Install the product now, please");
  const SIZE longSize = label.EstimateSize(ui::MakeSize(600, 400));
  EXPECT_GT(longSize.cx, shortSize.cx);
  EXPECT_EQ(shortSize.cy, longSize.cy);

  label.SetTextPadding(MakeRect(20, 3, 0, 2), false);
  const SIZE padded = label.EstimateSize(ui::MakeSize(600, 400));
  EXPECT_EQ(longSize.cx + 20, padded.cx);
  EXPECT_EQ(longSize.cy + 5, padded.cy);

  // A fixed width stays; only the height follows the text.
  label.SetFixedWidth(50, false, false);
  EXPECT_EQ(50, label.EstimateSize(ui::MakeSize(600, 400)).cx);

  // A multi-line label wider than offered wraps at the offered width and grows
  // taller.
  ui::Label wrapping;
  wrapping.ApplyAttribute(L"singleline", L"false");
  wrapping.SetText(L"one two three four five six seven eight nine ten eleven twelve");
  const SIZE wide = wrapping.EstimateSize(ui::MakeSize(2000, 400));
  const SIZE narrow = wrapping.EstimateSize(ui::MakeSize(wide.cx / 3, 400));
  EXPECT_LE(narrow.cx, wide.cx / 3);
  EXPECT_GT(narrow.cy, wide.cy);

  // In an HBox an auto-sized label takes its text width, a centred one in a
  // VBox is centred.
  ui::VBox column;
  auto* centred = new ui::Label();
  centred->SetText(L"Install");
  centred->SetHorAlignType(ui::kHorAlignCenter);
  column.Add(centred);
  column.SetPos(MakeRect(0, 0, 600, 400));
  EXPECT_EQ(shortSize.cx, ui::RectWidth(centred->GetPos()));
  EXPECT_EQ((600 - shortSize.cx) / 2, centred->GetPos().left);
  EXPECT_EQ(shortSize.cy, ui::RectHeight(centred->GetPos()));

  // An auto-height VBox is as tall as its children and their margins.
  ui::VBox outer;
  auto* inner = new ui::VBox();
  inner->SetFixedHeight(ui::kLengthAuto, false, false);
  auto* line1 = new ui::Label();
  line1->SetText(L"a");
  auto* line2 = new ui::Label();
  line2->SetText(L"b");
  line2->SetMargin(MakeRect(0, 16, 0, 0), false);
  inner->Add(line1);
  inner->Add(line2);
  outer.Add(inner);
  EXPECT_EQ(2 * shortSize.cy + 16, inner->EstimateSize(ui::MakeSize(600, 400)).cy);
}

}  // namespace
