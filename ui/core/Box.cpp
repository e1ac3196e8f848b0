#include "ui/core/Box.h"

#include <algorithm>

#include "ui/misc/AttributeValues.h"
#include "ui/draw/AutoClip.h"
#include "ui/core/UiGlobal.h"

namespace ui {

Box::Box(std::unique_ptr<Layout> layout)
    : layout_(layout ? std::move(layout) : std::make_unique<Layout>()) {
  layout_->SetOwner(this);
}

Box::~Box() {
  // Children go first, while this box is still whole.
  std::vector<Control*> items;
  items.swap(items_);
  for (Control* item : items) delete item;
}

void Box::SetWindow(ControlHost* host, Control* parent, bool init) {
  Control::SetWindow(host, parent, init);
  for (Control* item : items_) item->SetWindow(host, this, init);
}

bool Box::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"padding") {
    SetPadding(ParseRect(value), true);
  } else if (name == L"childmargin") {
    SetChildMargin(ParseInt(value), true);
  } else if (name == L"mousechild") {
    SetMouseChildEnabled(ParseBool(value));
  } else {
    return Control::ApplyAttribute(name, value);
  }
  return true;
}

Control* Box::GetItemAt(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return items_[static_cast<size_t>(index)];
}

int Box::GetItemIndex(const Control* control) const {
  const auto it = std::find(items_.begin(), items_.end(), control);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

bool Box::Add(Control* control) { return AddAt(control, GetCount()); }

bool Box::AddAt(Control* control, int index) {
  if (!control || index < 0 || index > GetCount()) return false;
  items_.insert(items_.begin() + index, control);
  // A child added after the box is attached joins the window at once.
  control->SetWindow(GetHost(), this, IsInitialised());
  ArrangeAncestor();
  return true;
}

bool Box::Remove(Control* control) {
  const auto it = std::find(items_.begin(), items_.end(), control);
  if (it == items_.end()) return false;
  items_.erase(it);
  delete control;
  ArrangeAncestor();
  return true;
}

void Box::RemoveAll() {
  std::vector<Control*> items;
  items.swap(items_);
  for (Control* item : items) delete item;
  ArrangeAncestor();
}

void Box::SetPadding(RECT padding, bool scale) {
  if (scale) UiGlobal::GetDpiState().ScaleRect(&padding);
  layout_->SetPadding(padding);
  ArrangeAncestor();
}

void Box::SetChildMargin(int margin, bool scale) {
  if (scale) margin = UiGlobal::GetDpiState().ScaleValue(margin);
  layout_->SetChildMargin(margin);
  ArrangeAncestor();
}

void Box::AddBubbledHandler(EventCode code, const EventCallback& handler) {
  bubbledHandlers_[code].push_back(handler);
}

void Box::AddXmlBubbledHandler(EventCode code, const EventCallback& handler) {
  xmlBubbledHandlers_[code].push_back(handler);
}

bool Box::RunBubbledHandlers(EventArgs& args, bool* result,
                             const std::weak_ptr<nbase::WeakFlag>& alive) {
  if (!RunHandlerList(bubbledHandlers_, args.type, args, result, alive)) return false;
  if (!RunHandlerList(bubbledHandlers_, kEventAll, args, result, alive)) return false;
  if (*result) {
    if (!RunHandlerList(xmlBubbledHandlers_, args.type, args, result, alive)) return false;
    if (!RunHandlerList(xmlBubbledHandlers_, kEventAll, args, result, alive)) return false;
  }
  return true;
}

void Box::SetPos(RECT rc) {
  Control::SetPos(rc);
  const RECT inner = DeflateRect(GetPos(), GetPadding());
  layout_->ArrangeChild(items_, inner);
}

SIZE Box::EstimateSize(SIZE available) {
  SIZE size = MakeSize(GetFixedWidth(), GetFixedHeight());
  if (size.cx != kLengthAuto && size.cy != kLengthAuto) return size;
  const RECT& padding = GetPadding();
  SIZE inner = MakeSize(std::max<LONG>(0, available.cx - padding.left - padding.right),
                        std::max<LONG>(0, available.cy - padding.top - padding.bottom));
  if (size.cx >= 0) inner.cx = std::max<LONG>(0, size.cx - padding.left - padding.right);
  if (size.cy >= 0) inner.cy = std::max<LONG>(0, size.cy - padding.top - padding.bottom);
  const SIZE needed = layout_->EstimateChildren(items_, inner);
  if (size.cx == kLengthAuto) size.cx = needed.cx + padding.left + padding.right;
  if (size.cy == kLengthAuto) size.cy = needed.cy + padding.top + padding.bottom;
  // An image the box is drawn with can make it larger.
  SIZE image = {0, 0};
  bool fixed = false;
  if (EstimateImageSize(&image, &fixed)) {
    if (fixed) return image;
    if (GetFixedWidth() == kLengthAuto) size.cx = std::max(size.cx, image.cx);
    if (GetFixedHeight() == kLengthAuto) size.cy = std::max(size.cy, image.cy);
  }
  return size;
}

Control* Box::FindControl(const POINT& pt, bool mouseEnabledOnly) {
  if (!IsVisible() || !PointInRect(GetPos(), pt)) return nullptr;
  if (mouseChild_) {
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
      Control* found = (*it)->FindControl(pt, mouseEnabledOnly);
      if (found) return found;
    }
  }
  if (mouseEnabledOnly && !IsMouseEnabled()) return nullptr;
  return this;
}

void Box::SetEnabled(bool enabled) {
  Control::SetEnabled(enabled);
  Invalidate();
}

void Box::Paint(IRenderContext* context, const RECT& paintRect) {
  if (!IsVisible()) return;
  RECT area;
  if (!::IntersectRect(&area, &paintRect, &GetPos())) return;
  Control::Paint(context, paintRect);
  AutoClip clip(context, GetPos());
  PaintChild(context, area);
}

void Box::PaintChild(IRenderContext* context, const RECT& paintRect) {
  for (Control* item : items_) {
    if (item->IsVisible()) item->Paint(context, paintRect);
  }
}

}  // namespace ui
