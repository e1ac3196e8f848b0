#include "ui/core/Control.h"

#include <oleacc.h>

#include <algorithm>

#include "ui/misc/AttributeList.h"
#include "ui/misc/AttributeValues.h"
#include "ui/draw/AutoClip.h"
#include "ui/draw/IRenderContext.h"
#include "ui/core/UiGlobal.h"
#include "ui/core/ControlHost.h"

namespace ui {

Control::Control() = default;

Control::~Control() {
  // The window must forget hover, capture, focus and name entries pointing
  // here.
  if (host_) host_->ReapControl(this);
}

void Control::SetWindow(ControlHost* host, Control* parent, bool init) {
  host_ = host;
  parent_ = parent;
  if (init && !initialised_ && host_) {
    initialised_ = true;
    Init();
  }
}

bool Control::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  const DpiState& dpi = UiGlobal::GetDpiState();
  if (name == L"class") {
    ApplyClasses(value);
  } else if (name == L"name") {
    SetName(value);
  } else if (name == L"width") {
    SetFixedWidth(ParseLength(value), true, true);
  } else if (name == L"height") {
    SetFixedHeight(ParseLength(value), true, true);
  } else if (name == L"minwidth") {
    SetMinWidth(dpi.ScaleValue(ParseInt(value)));
  } else if (name == L"minheight") {
    SetMinHeight(dpi.ScaleValue(ParseInt(value)));
  } else if (name == L"maxwidth") {
    const int length = ParseLength(value);
    SetMaxWidth(length > 0 ? dpi.ScaleValue(length) : length);
  } else if (name == L"maxheight") {
    const int length = ParseLength(value);
    SetMaxHeight(length > 0 ? dpi.ScaleValue(length) : length);
  } else if (name == L"margin") {
    SetMargin(ParseRect(value), true);
  } else if (name == L"halign") {
    if (value == L"left")
      horAlign_ = kHorAlignLeft;
    else if (value == L"center")
      horAlign_ = kHorAlignCenter;
    else if (value == L"right")
      horAlign_ = kHorAlignRight;
  } else if (name == L"valign") {
    if (value == L"top")
      verAlign_ = kVerAlignTop;
    else if (value == L"center")
      verAlign_ = kVerAlignCenter;
    else if (value == L"bottom")
      verAlign_ = kVerAlignBottom;
  } else if (name == L"float") {
    float_ = ParseBool(value);
  } else if (name == L"bkcolor" || name == L"bkcolor1") {
    SetBkColor(value);
  } else if (name == L"bkimage") {
    SetBkImage(value);
  } else if (name == L"normalimage") {
    SetStateImage(kControlStateNormal, value);
  } else if (name == L"hotimage") {
    SetStateImage(kControlStateHot, value);
  } else if (name == L"pushedimage") {
    SetStateImage(kControlStatePushed, value);
  } else if (name == L"disabledimage") {
    SetStateImage(kControlStateDisabled, value);
  } else if (name == L"forenormalimage") {
    SetForeStateImage(kControlStateNormal, value);
  } else if (name == L"forehotimage") {
    SetForeStateImage(kControlStateHot, value);
  } else if (name == L"forepushedimage") {
    SetForeStateImage(kControlStatePushed, value);
  } else if (name == L"foredisabledimage") {
    SetForeStateImage(kControlStateDisabled, value);
  } else if (name == L"normalcolor") {
    SetStateColor(kControlStateNormal, value);
  } else if (name == L"hotcolor") {
    SetStateColor(kControlStateHot, value);
  } else if (name == L"pushedcolor") {
    SetStateColor(kControlStatePushed, value);
  } else if (name == L"disabledcolor") {
    SetStateColor(kControlStateDisabled, value);
  } else if (name == L"bordersize") {
    RECT size;
    if (value.find(L',') == std::wstring::npos) {
      const int width = ParseInt(value);
      size = MakeRect(width, width, width, width);
    } else {
      size = ParseRect(value);
    }
    dpi.ScaleRect(&size);
    SetBorderSize(size);
  } else if (name == L"leftbordersize") {
    borderSize_.left = dpi.ScaleValue(ParseInt(value));
  } else if (name == L"topbordersize") {
    borderSize_.top = dpi.ScaleValue(ParseInt(value));
  } else if (name == L"rightbordersize") {
    borderSize_.right = dpi.ScaleValue(ParseInt(value));
  } else if (name == L"bottombordersize") {
    borderSize_.bottom = dpi.ScaleValue(ParseInt(value));
  } else if (name == L"bordercolor") {
    SetBorderColor(value);
  } else if (name == L"borderround") {
    SIZE round = ParsePair(value);
    dpi.ScaleSize(&round);
    SetBorderRound(round);
  } else if (name == L"visible" || name == L"fadevisible") {
    SetVisible(ParseBool(value));
  } else if (name == L"enabled") {
    SetEnabled(ParseBool(value));
  } else if (name == L"mouse") {
    SetMouseEnabled(ParseBool(value));
  } else if (name == L"accname") {
    accessibleName_ = value;
  } else if (name == L"keyboard") {
    SetKeyboardEnabled(ParseBool(value));
  } else if (name == L"nofocus") {
    noFocus_ = true;
  } else if (name == L"menu") {
    menu_ = ParseBool(value);
  } else if (name == L"state") {
    if (value == L"normal")
      SetState(kControlStateNormal);
    else if (value == L"hot")
      SetState(kControlStateHot);
    else if (value == L"pushed")
      SetState(kControlStatePushed);
    else if (value == L"disabled")
      SetEnabled(false);
  } else if (name == L"cursortype") {
    if (value == L"arrow")
      cursorType_ = kCursorArrow;
    else if (value == L"hand")
      cursorType_ = kCursorHand;
    else if (value == L"ibeam")
      cursorType_ = kCursorIBeam;
  } else if (name == L"tooltiptext") {
    toolTip_ = value;
  } else if (name == L"tooltiptextid") {
    toolTip_ = UiGlobal::GetStringById(value);
  } else if (name == L"dataid") {
    dataId_ = value;
  } else if (name == L"alpha") {
    alpha_ = ParseInt(value);
  } else if (name == L"receivepointer") {
    receivePointer_ = ParseBool(value);
  } else if (name == L"renderoffset" || name == L"cache" || name == L"fadealpha" ||
             name == L"fadehot" || name == L"fadewidth" || name == L"fadeheight" ||
             name == L"fadeinoutxfromleft" || name == L"fadeinoutxfromright" ||
             name == L"fadeinoutyfromtop" || name == L"fadeinoutyfrombottom") {
    // Known; animations and render caching are not drawn by this toolkit.
  } else {
    return false;
  }
  return true;
}

Window* Control::GetWindow() const { return host_ ? host_->GetHostWindow() : nullptr; }

HFONT Control::GetFontHandle(int fontNumber) const {
  if (HFONT font = UiGlobal::GetFont(fontNumber)) return font;
  if (host_) {
    if (HFONT font = host_->GetDefaultFont()) return font;
  }
  return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void Control::ApplyAttributeList(const std::wstring& text) {
  for (const auto& pair : ParseAttributeList(text)) ApplyAttribute(pair.first, pair.second);
}

void Control::ApplyClasses(const std::wstring& classList) {
  constexpr int kMaxClassDepth = 8;
  if (classDepth_ >= kMaxClassDepth) return;
  ++classDepth_;
  for (const std::wstring& className : SplitBySpace(classList)) {
    std::wstring attributes = UiGlobal::GetClassAttributes(className);
    if (attributes.empty() && host_) attributes = host_->GetClassAttributes(className);
    if (!attributes.empty()) ApplyAttributeList(attributes);
  }
  --classDepth_;
}

void Control::SetPos(RECT rc) {
  if (rc.right < rc.left) rc.right = rc.left;
  if (rc.bottom < rc.top) rc.bottom = rc.top;
  pos_ = rc;
  arranged_ = true;
}

bool Control::GetCachedEstimate(SIZE available, SIZE* size) const {
  if (!estimateValid_ || available.cx != estimateAvailable_.cx ||
      available.cy != estimateAvailable_.cy) {
    return false;
  }
  *size = estimate_;
  return true;
}

void Control::SetCachedEstimate(SIZE available, SIZE size) {
  estimateAvailable_ = available;
  estimate_ = size;
  estimateValid_ = true;
}

Image* Control::GetSizingImage() {
  if (!bkImage_.IsEmpty()) return &bkImage_;
  if (!stateImages_[kControlStateNormal].IsEmpty()) return &stateImages_[kControlStateNormal];
  return nullptr;
}

bool Control::EstimateImageSize(SIZE* size, bool* fixed) {
  *fixed = false;
  Image* image = GetSizingImage();
  if (!image) return false;
  const ImageSpec& spec = image->GetSpec();
  if (ImageSpec::IsSet(spec.dest)) {
    *size = MakeSize(RectWidth(spec.dest), RectHeight(spec.dest));
    *fixed = true;
    return true;
  }
  const ImageInfo* info = LoadImage(*image);
  if (!info) return false;
  // Bitmaps of the themes for larger displays are already drawn larger: their size in 96-DPI
  // units is what gets scaled, or a 120-pixel logo would come out at 180 pixels at 150 %.
  const int density = UiGlobal::GetThemeDensity();
  if (density == 100) {
    const DpiState& dpi = UiGlobal::GetDpiState();
    *size = MakeSize(dpi.ScaleValue(info->GetWidth()), dpi.ScaleValue(info->GetHeight()));
  } else {
    const DpiState& dpi = UiGlobal::GetDpiState();
    const int scale = dpi.IsAware() ? dpi.GetScale() : 100;
    *size = MakeSize(::MulDiv(info->GetWidth(), scale, density),
                     ::MulDiv(info->GetHeight(), scale, density));
  }
  return true;
}

SIZE Control::EstimateSize(SIZE available) {
  SIZE size = MakeSize(fixedWidth_, fixedHeight_);
  if (size.cx != kLengthAuto && size.cy != kLengthAuto) return size;
  SIZE cached;
  if (GetCachedEstimate(available, &cached)) return cached;
  SIZE image = {0, 0};
  bool fixed = false;
  const bool hasImage = EstimateImageSize(&image, &fixed);
  if (hasImage && fixed) {
    size = image;
  } else {
    if (size.cx == kLengthAuto) size.cx = hasImage ? image.cx : 0;
    if (size.cy == kLengthAuto) size.cy = hasImage ? image.cy : 0;
  }
  SetCachedEstimate(available, size);
  return size;
}

void Control::SetFixedWidth(int width, bool arrange, bool scale) {
  if (width < kLengthAuto) return;
  if (scale && width > 0) width = UiGlobal::GetDpiState().ScaleValue(width);
  if (width == fixedWidth_) return;
  fixedWidth_ = width;
  InvalidateEstimate();
  if (arrange) ArrangeAncestor();
}

void Control::SetFixedHeight(int height, bool arrange, bool scale) {
  if (height < kLengthAuto) return;
  if (scale && height > 0) height = UiGlobal::GetDpiState().ScaleValue(height);
  if (height == fixedHeight_) return;
  fixedHeight_ = height;
  InvalidateEstimate();
  if (arrange) ArrangeAncestor();
}

void Control::SetMargin(const RECT& margin, bool scale) {
  RECT value = margin;
  if (scale) UiGlobal::GetDpiState().ScaleRect(&value);
  if (RectEquals(value, margin_)) return;
  margin_ = value;
  ArrangeAncestor();
}

Control* Control::FindControl(const POINT& pt, bool mouseEnabledOnly) {
  if (!visible_ || !PointInRect(pos_, pt)) return nullptr;
  if (mouseEnabledOnly && !mouseEnabled_) return nullptr;
  return this;
}

void Control::SetVisible(bool visible) {
  if (visible == visible_) return;
  if (!visible) Invalidate();  // the area it covered must be repainted
  visible_ = visible;
  if (!visible) DropFocusWithin();
  ArrangeAncestor();
  NotifyAccessible(visible ? EVENT_OBJECT_SHOW : EVENT_OBJECT_HIDE);
}

long Control::GetAccessibleRole() const {
  if (IsBox()) return ROLE_SYSTEM_GROUPING;
  return bkImage_.IsEmpty() ? ROLE_SYSTEM_CLIENT : ROLE_SYSTEM_GRAPHIC;
}

void Control::DoDefaultAction() {
  if (IsLive()) Activate();
}

void Control::NotifyAccessible(DWORD event) {
  if (host_) host_->NotifyAccessibleEvent(this, event);
}

bool Control::IsTabStop() const {
  return AcceptsKeyboardFocus() && keyboardEnabled_ && !noFocus_ && IsLive();
}

bool Control::IsLive() const {
  for (const Control* c = this; c; c = c->parent_) {
    if (!c->visible_ || !c->enabled_) return false;
  }
  return true;
}

bool Control::Contains(const Control* control) const {
  for (const Control* c = control; c; c = c->parent_) {
    if (c == this) return true;
  }
  return false;
}

void Control::DropFocusWithin() {
  // A hidden or disabled box takes the keyboard focus away from whatever it holds.
  if (host_ && Contains(host_->GetFocus())) host_->KillFocus();
}

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  state_ = enabled ? kControlStateNormal : kControlStateDisabled;
  if (!enabled && mouseCaptured_) {
    mouseCaptured_ = false;
    if (host_) host_->ReleaseCapture();
  }
  if (!enabled) DropFocusWithin();
  InvalidateEstimate();
  ArrangeSelf();
}

void Control::SetFocus() {
  if (noFocus_ || !host_) return;
  host_->SetFocus(this);
}

void Control::SetState(ControlStateType state) {
  if (state == kControlStateDisabled) {
    SetEnabled(false);
    return;
  }
  if (state_ == state) return;
  state_ = state;
  Invalidate();
}

void Control::SetBkColor(const std::wstring& colour) {
  if (colour == bkColor_) return;
  bkColor_ = colour;
  Invalidate();
}

void Control::SetStateColor(ControlStateType state, const std::wstring& colour) {
  stateColors_[state] = colour;
  Invalidate();
}

const std::wstring& Control::GetStateColor(ControlStateType state) const {
  return stateColors_[state];
}

void Control::SetBorderColor(const std::wstring& colour) {
  borderColor_ = colour;
  Invalidate();
}

void Control::SetBorderSize(const RECT& size) {
  borderSize_ = size;
  Invalidate();
}

void Control::SetBorderRound(SIZE round) {
  borderRound_ = round;
  Invalidate();
}

bool Control::SetBkImage(const std::wstring& imageString) {
  if (imageString == bkImage_.GetImageString()) return false;
  bkImage_.SetImageString(imageString);
  InvalidateEstimate();
  ArrangeSelf();
  return true;
}

void Control::SetStateImage(ControlStateType state, const std::wstring& imageString) {
  stateImages_[state].SetImageString(imageString);
  InvalidateEstimate();
  ArrangeSelf();
}

void Control::SetForeStateImage(ControlStateType state, const std::wstring& imageString) {
  foreStateImages_[state].SetImageString(imageString);
  Invalidate();
}

void Control::AddEventHandler(EventCode code, const EventCallback& handler) {
  handlers_[code].push_back(handler);
}

void Control::AddXmlEventHandler(EventCode code, const EventCallback& handler) {
  xmlHandlers_[code].push_back(handler);
}

void Control::SendEvent(EventCode code, WPARAM wParam, LPARAM lParam, wchar_t key) {
  POINT pt = {0, 0};
  if (host_) pt = host_->GetLastMousePos();
  SendEvent(code, wParam, lParam, key, pt);
}

void Control::SendEvent(EventCode code, WPARAM wParam, LPARAM lParam, wchar_t key,
                        const POINT& mousePoint) {
  EventArgs args;
  args.type = code;
  args.sender = this;
  args.timestamp = ::GetTickCount();
  args.mousePoint = mousePoint;
  args.chKey = key;
  args.wParam = wParam;
  args.lParam = lParam;
  DispatchEvent(args);
}

bool Control::RunHandlerList(const EventHandlerMap& map, EventCode code, EventArgs& args,
                             bool* result, const std::weak_ptr<nbase::WeakFlag>& alive) {
  const auto it = map.find(code);
  if (it == map.end()) return true;
  // A handler may add handlers or destroy the control: iterate over a copy.
  const std::vector<EventCallback> list = it->second;
  bool listResult = true;
  for (const EventCallback& handler : list) {
    const bool handled = handler ? handler(args) : true;
    if (alive.expired()) return false;
    if (!handled) {
      listResult = false;
      break;
    }
  }
  *result = listResult;
  return true;
}

bool Control::RunBubbledHandlers(EventArgs& /*args*/, bool* /*result*/,
                                 const std::weak_ptr<nbase::WeakFlag>& /*alive*/) {
  return true;
}

void Control::DispatchEvent(EventArgs& args) {
  if (args.type <= kEventInternalKillFocus) {
    DefaultHandleEvent(args);
    return;
  }
  const std::weak_ptr<nbase::WeakFlag> alive = AcquireWeakFlag();
  bool result = true;
  if (args.sender == this) {
    if (!RunHandlerList(handlers_, args.type, args, &result, alive)) return;
    if (!RunHandlerList(handlers_, kEventAll, args, &result, alive)) return;
    if (result) {
      if (!RunHandlerList(xmlHandlers_, args.type, args, &result, alive)) return;
      if (!RunHandlerList(xmlHandlers_, kEventAll, args, &result, alive)) return;
    }
  }
  if (!RunBubbledHandlers(args, &result, alive)) return;
  if (result) DefaultHandleEvent(args);
}

void Control::DefaultHandleEvent(EventArgs& args) {
  if (!mouseEnabled_ && IsMouseEvent(args.type)) {
    if (parent_) parent_->DispatchEvent(args);
    return;
  }
  switch (args.type) {
    case kEventMouseEnter:
    case kEventMouseLeave:
      // A descendant the window already hovers does not change this control's
      // state.
      if (args.sender != this && host_ && host_->GetHoverControl() == args.sender) return;
      if (args.type == kEventMouseEnter) {
        MouseEnter(args);
      } else {
        MouseLeave(args);
      }
      return;
    case kEventInternalDoubleClick:
    case kEventMouseButtonDown:
      ButtonDown(args);
      return;
    case kEventPointDown:
      if (receivePointer_) {
        ButtonDown(args);
        return;
      }
      break;
    case kEventMouseButtonUp:
      ButtonUp(args);
      return;
    case kEventPointUp:
      if (receivePointer_) {
        ButtonUp(args);
        return;
      }
      break;
    case kEventInternalMenu:
      if (enabled_ && menu_) {
        SendEvent(kEventMouseMenu, args.wParam, args.lParam, 0, args.mousePoint);
        return;
      }
      break;
    case kEventInternalSetFocus:
    case kEventInternalKillFocus:
      focused_ = args.type == kEventInternalSetFocus;
      Invalidate();
      return;
    case kEventSetCursor: {
      const wchar_t* cursor = IDC_ARROW;
      if (cursorType_ == kCursorHand && enabled_) {
        cursor = IDC_HAND;
      } else if (cursorType_ == kCursorIBeam) {
        cursor = IDC_IBEAM;
      }
      ::SetCursor(::LoadCursorW(nullptr, cursor));
      return;
    }
    default:
      break;
  }
  if (parent_) parent_->DispatchEvent(args);
}

void Control::MouseEnter(EventArgs& /*args*/) {
  if (!enabled_ || state_ != kControlStateNormal) return;
  state_ = kControlStateHot;
  Invalidate();
}

void Control::MouseLeave(EventArgs& /*args*/) {
  if (!enabled_ || state_ != kControlStateHot) return;
  state_ = kControlStateNormal;
  Invalidate();
}

void Control::ButtonDown(EventArgs& /*args*/) {
  if (!enabled_) return;
  state_ = kControlStatePushed;
  mouseCaptured_ = true;
  if (host_) host_->SetCapture();
  Invalidate();
}

void Control::ButtonUp(EventArgs& args) {
  if (!mouseCaptured_) return;
  mouseCaptured_ = false;
  if (host_) host_->ReleaseCapture();
  Invalidate();
  if (enabled_ && PointInRect(pos_, args.mousePoint)) {
    state_ = args.type == kEventPointUp ? kControlStateNormal : kControlStateHot;
    Activate();  // may destroy this control: nothing may follow
  } else if (enabled_) {
    state_ = kControlStateNormal;
  }
}

void Control::Paint(IRenderContext* context, const RECT& paintRect) {
  if (!visible_) return;
  RECT area;
  if (!::IntersectRect(&area, &paintRect, &pos_)) return;
  paintRect_ = area;
  // Nothing is drawn outside the area being painted. Images stay inside the control; text
  // may run past it (a check box sized to its 16-pixel box draws its label to the right),
  // limited by the enclosing box.
  AutoClip paintClip(context, paintRect);
  const bool round = borderRound_.cx > 0 && borderRound_.cy > 0;
  AutoClip roundClip(context, pos_, borderRound_.cx, borderRound_.cy, round);
  PaintBkColor(context);
  PaintBkImage(context);
  PaintStatusColor(context);
  PaintStatusImage(context);
  PaintText(context);
  PaintBorder(context);
  if (focused_ && host_ && host_->IsFocusCueShown()) PaintFocusCue(context);
}

RECT Control::GetFocusCueRect() const {
  const int inset = UiGlobal::GetDpiState().ScaleValue(2);
  RECT cue = pos_;
  ::InflateRect(&cue, -inset, -inset);
  return (cue.right > cue.left && cue.bottom > cue.top) ? cue : pos_;
}

RECT Control::FocusCueAround(RECT area) const {
  const int margin = UiGlobal::GetDpiState().ScaleValue(2);
  ::InflateRect(&area, margin, margin);
  return area;
}

void Control::PaintFocusCue(IRenderContext* context) {
  DWORD colour = ResolveColour(kFocusCueColour);
  if ((colour >> 24) == 0) colour = 0xFF000000;
  context->DrawRect(GetFocusCueRect(), UiGlobal::GetDpiState().ScaleValue(1), colour);
}

DWORD Control::ResolveColour(const std::wstring& name) {
  return name.empty() ? 0 : UiGlobal::GetColour(name);
}

void Control::PaintBkColor(IRenderContext* context) {
  const DWORD colour = ResolveColour(bkColor_);
  if ((colour >> 24) == 0) return;
  if (borderRound_.cx > 0 && borderRound_.cy > 0 && !IsInsideRoundedFill(paintRect_)) {
    context->FillRoundRect(pos_, borderRound_, colour);
  } else {
    // Away from the rounded corners and the anti-aliased outline the fill is solid: a plain
    // rectangle of the painted area gives the same pixels for a fraction of the cost.
    context->FillRect(paintRect_, colour);
  }
}

bool Control::IsInsideRoundedFill(const RECT& area) const {
  // One pixel off every edge; the corner zones a full ellipse size deep.
  const RECT across = {pos_.left + 1, pos_.top + borderRound_.cy, pos_.right - 1,
                       pos_.bottom - borderRound_.cy};
  const RECT down = {pos_.left + borderRound_.cx, pos_.top + 1, pos_.right - borderRound_.cx,
                     pos_.bottom - 1};
  return RectContains(across, area) || RectContains(down, area);
}

void Control::PaintBkImage(IRenderContext* context) { DrawImage(context, bkImage_); }

void Control::PaintStatusColor(IRenderContext* context) {
  const ControlStateType state = GetPaintState();
  const DWORD colour = ResolveColour(stateColors_[state]);
  if ((colour >> 24) == 0) return;
  context->FillRect(pos_, colour);
}

ControlStateType Control::GetPaintState() const {
  return enabled_ ? state_ : kControlStateDisabled;
}

bool Control::DrawStateImage(IRenderContext* context, StateImageSet& images,
                             ControlStateType state) {
  // A state without an image of its own looks like the state below it.
  static const ControlStateType kOrder[4][3] = {
      {kControlStateNormal, kControlStateNormal, kControlStateNormal},
      {kControlStateHot, kControlStateNormal, kControlStateNormal},
      {kControlStatePushed, kControlStateHot, kControlStateNormal},
      {kControlStateDisabled, kControlStateNormal, kControlStateNormal},
  };
  for (ControlStateType candidate : kOrder[state]) {
    if (DrawImage(context, images[candidate])) return true;
  }
  return false;
}

void Control::PaintStatusImage(IRenderContext* context) {
  const ControlStateType state = GetPaintState();
  DrawStateImage(context, stateImages_, state);
  DrawStateImage(context, foreStateImages_, state);
}

void Control::PaintBorder(IRenderContext* context) {
  const DWORD colour = ResolveColour(borderColor_);
  if ((colour >> 24) == 0) return;
  const RECT& b = borderSize_;
  if (b.left > 0 && b.left == b.top && b.left == b.right && b.left == b.bottom) {
    if (borderRound_.cx > 0 && borderRound_.cy > 0) {
      context->DrawRoundRect(pos_, borderRound_, b.left, colour);
    } else {
      context->DrawRect(pos_, b.left, colour);
    }
    return;
  }
  if (b.left > 0)
    context->FillRect(MakeRect(pos_.left, pos_.top, pos_.left + b.left, pos_.bottom), colour);
  if (b.top > 0)
    context->FillRect(MakeRect(pos_.left, pos_.top, pos_.right, pos_.top + b.top), colour);
  if (b.right > 0)
    context->FillRect(MakeRect(pos_.right - b.right, pos_.top, pos_.right, pos_.bottom), colour);
  if (b.bottom > 0)
    context->FillRect(MakeRect(pos_.left, pos_.bottom - b.bottom, pos_.right, pos_.bottom), colour);
}

std::wstring Control::GetWindowResourceFolder() const {
  return host_ ? host_->GetWindowResourcePath() : std::wstring();
}

ImageInfo* Control::LoadImage(Image& image) { return image.Load(GetWindowResourceFolder()); }

bool Control::DrawImage(IRenderContext* context, Image& image, const std::wstring& modifier) {
  if (image.IsEmpty()) return false;
  ImageInfo* info = LoadImage(image);
  if (!info) return false;
  IBitmap* bitmap = info->GetFrame(0);
  if (!bitmap) return false;
  ImageSpec spec = image.GetSpec();
  if (!modifier.empty()) spec.ApplyModifier(modifier, UiGlobal::GetDpiState());

  RECT dest = pos_;
  if (ImageSpec::IsSet(spec.dest)) {
    dest = MakeRect(pos_.left + spec.dest.left, pos_.top + spec.dest.top,
                    pos_.left + spec.dest.right, pos_.top + spec.dest.bottom);
  }
  RECT source = MakeRect(0, 0, info->GetWidth(), info->GetHeight());
  if (ImageSpec::IsSet(spec.source)) {
    // Never read outside the bitmap, whatever the layout says.
    source.left = std::max(0L, std::min(spec.source.left, source.right));
    source.top = std::max(0L, std::min(spec.source.top, source.bottom));
    source.right = std::max(source.left, std::min(spec.source.right, source.right));
    source.bottom = std::max(source.top, std::min(spec.source.bottom, source.bottom));
  }
  if (RectWidth(dest) <= 0 || RectHeight(dest) <= 0 || RectWidth(source) <= 0 ||
      RectHeight(source) <= 0) {
    return true;  // nothing to show, but the image exists
  }
  RECT destCorner = spec.corner;
  UiGlobal::GetDpiState().ScaleRect(&destCorner);
  const int fade = std::max(0, std::min(255, spec.fade));
  context->DrawImage(paintRect_, *bitmap, dest, destCorner, source, spec.corner,
                     static_cast<BYTE>(fade), spec.xtiled, spec.ytiled);
  return true;
}

void Control::Invalidate() {
  if (host_) host_->Invalidate(pos_);
}

void Control::ArrangeAncestor() {
  InvalidateEstimate();
  if (!host_ || !initialised_) return;
  for (Control* ancestor = parent_; ancestor; ancestor = ancestor->parent_) {
    ancestor->InvalidateEstimate();
  }
  // An auto-sized parent changes with its content, so its own parent must place
  // it again.
  Control* target = parent_;
  while (target && target->IsAutoSized() && target->parent_) target = target->parent_;
  if (!target || target->IsAutoSized()) {
    host_->NeedUpdate();
    return;
  }
  target->SetPos(target->GetPos());
  target->Invalidate();
}

void Control::ArrangeSelf() {
  if (IsAutoSized()) {
    ArrangeAncestor();
  } else {
    Invalidate();
  }
}

}  // namespace ui
