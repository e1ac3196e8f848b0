#include "ui/widgets/RichEdit.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "ui/misc/AttributeValues.h"
#include "ui/draw/AutoClip.h"
#include "ui/widgets/CTxtWinHost.h"
#include "ui/draw/IRenderContext.h"
#include "ui/core/TextMeasure.h"
#include "ui/core/UiGlobal.h"
#include "ui/core/Window.h"

namespace ui {

namespace {

constexpr UINT kCodePageUtf16 = 1200;

// "false" clears, "true" sets, anything else leaves the flag as it is.
void ApplyTriState(const std::wstring& value, bool* flag) {
  if (value == L"true") {
    *flag = true;
  } else if (value == L"false") {
    *flag = false;
  }
}

COLORREF ArgbToColorRef(DWORD argb) {
  return RGB((argb >> 16) & 0xff, (argb >> 8) & 0xff, argb & 0xff);
}

LPARAM PointToLParam(const POINT& pt) {
  return MAKELPARAM(static_cast<short>(pt.x), static_cast<short>(pt.y));
}

}  // namespace

RichEdit::RichEdit() {
  textColour_ = UiGlobal::GetDefaultColours().text;
  disabledTextColour_ = UiGlobal::GetDefaultColours().text;
}

RichEdit::~RichEdit() {
  if (host_) {
    host_->Shutdown();
    host_->Release();
  }
}

bool RichEdit::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"multiline") {
    ApplyTriState(value, &multiLine_);
    ApplyStyleBits();
  } else if (name == L"readonly") {
    bool readOnly = readOnly_;
    ApplyTriState(value, &readOnly);
    SetReadOnly(readOnly);
  } else if (name == L"password") {
    ApplyTriState(value, &password_);
    ApplyStyleBits();
  } else if (name == L"number") {
    ApplyTriState(value, &number_);
  } else if (name == L"vscrollbar") {
    ApplyTriState(value, &vScrollBar_);
    ApplyStyleBits();
  } else if (name == L"hscrollbar") {
    ApplyTriState(value, &hScrollBar_);
    ApplyStyleBits();
  } else if (name == L"autovscroll") {
    ApplyTriState(value, &autoVScroll_);
    ApplyStyleBits();
  } else if (name == L"autohscroll") {
    ApplyTriState(value, &autoHScroll_);
    ApplyStyleBits();
  } else if (name == L"align") {
    if (value.find(L"left") != std::wstring::npos) alignment_ = PFA_LEFT;
    if (value.find(L"hcenter") != std::wstring::npos) alignment_ = PFA_CENTER;
    if (value.find(L"right") != std::wstring::npos) alignment_ = PFA_RIGHT;
    if (host_) host_->SetParaAlignment(alignment_);
  } else if (name == L"font") {
    SetFont(ParseInt(value));
  } else if (name == L"text") {
    SetText(value);
  } else if (name == L"textid") {
    SetText(UiGlobal::GetStringById(value));
  } else if (name == L"normaltextcolor") {
    SetTextColour(value);
  } else if (name == L"disabledtextcolor") {
    disabledTextColour_ = value;
    ApplyCharFormat();
  } else if (name == L"caretcolor") {
    caretColour_ = value;
  } else if (name == L"promptmode") {
    promptMode_ = ParseBool(value);
  } else if (name == L"promptcolor") {
    promptColour_ = value;
  } else if (name == L"prompttext") {
    promptText_ = value;
  } else if (name == L"prompttextid") {
    promptText_ = UiGlobal::GetStringById(value);
  } else if (name == L"focusedimage") {
    focusedImage_.SetImageString(value);
  } else if (name == L"wanttab") {
    wantTab_ = ParseBool(value);
  } else if (name == L"wantreturnmsg") {
    wantReturnMsg_ = ParseBool(value);
  } else if (name == L"returnmsgwantctrl") {
    returnMsgWantCtrl_ = ParseBool(value);
  } else if (name == L"rich") {
    rich_ = ParseBool(value);
    ApplyStyleBits();
  } else {
    return ScrollableBox::ApplyAttribute(name, value);
  }
  return true;
}

bool RichEdit::HasTextServices() const { return EnsureTextServices(); }

bool RichEdit::TextServicesCreated() const { return host_ && host_->GetTextServices(); }

bool RichEdit::EnsureTextServices() const {
  if (TextServicesCreated()) return true;
  // One attempt only: without msftedit the text is drawn plainly, and a failed
  // load must not be repeated on every paint.
  if (!host_ || servicesAttempted_) return false;
  servicesAttempted_ = true;
  host_->SetClientRect(GetTextRect());
  if (!host_->Create()) return false;
  const RECT rc = GetTextRect();
  host_->GetTextServices()->OnTxInPlaceActivate(&rc);
  if (!pendingText_.empty()) {
    SendToServices(EM_SETSEL, 0, -1);
    SendToServices(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(pendingText_.c_str()));
  }
  // Changes are reported from here on: the text that was already set is not a
  // change, and creation may happen while the window paints.
  SendToServices(EM_SETEVENTMASK, 0, ENM_CHANGE);
  return true;
}

LRESULT RichEdit::SendToServices(UINT msg, WPARAM wParam, LPARAM lParam) const {
  if (!EnsureTextServices()) return 0;
  LRESULT result = 0;
  host_->GetTextServices()->TxSendMessage(msg, wParam, lParam, &result);
  return result;
}

void RichEdit::Init() {
  // The text services (msftedit.dll and its windowless control) are created on
  // first need, not here: the installer's edit fields sit on pages that are
  // hidden at start, and loading msftedit would delay the first frame.
  host_ = new CTxtWinHost(this);
  ApplyStyleBits();
  ApplyCharFormat();
  host_->SetParaAlignment(alignment_);
  host_->SetMaxLength(32767);
  host_->SetClientRect(GetTextRect());
}

void RichEdit::ApplyStyleBits() {
  if (!host_) return;
  host_->SetPropertyBit(TXTBIT_MULTILINE, multiLine_);
  host_->SetPropertyBit(TXTBIT_WORDWRAP, multiLine_ && !hScrollBar_);
  host_->SetPropertyBit(TXTBIT_READONLY, readOnly_);
  host_->SetPropertyBit(TXTBIT_USEPASSWORD, password_);
  host_->SetPropertyBit(TXTBIT_RICHTEXT, rich_);
  host_->SetPasswordChar(L'*');
  DWORD scroll = 0;
  if (vScrollBar_) scroll |= WS_VSCROLL;
  if (hScrollBar_) scroll |= WS_HSCROLL;
  if (autoVScroll_ || multiLine_) scroll |= ES_AUTOVSCROLL;
  if (autoHScroll_ || !multiLine_) scroll |= ES_AUTOHSCROLL;
  host_->SetScrollBarStyle(scroll);
}

HFONT RichEdit::GetFontHandle() const { return Control::GetFontHandle(font_); }

void RichEdit::ApplyCharFormat() {
  if (!host_) return;
  const std::wstring& colour = IsEnabled() ? textColour_ : disabledTextColour_;
  host_->SetCharFormat(GetFontHandle(), ArgbToColorRef(ResolveColour(colour)));
  if (TextServicesCreated()) {
    // Plain text keeps one format for everything; rich text gets it applied to
    // all text.
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    const CHARFORMATW* current = nullptr;
    host_->TxGetCharFormat(&current);
    if (current) std::memcpy(&format, current, sizeof(format));
    SendToServices(EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
  }
  Invalidate();
}

void RichEdit::SetReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  ApplyStyleBits();
  Invalidate();
}

void RichEdit::SetFont(int font) {
  font_ = font;
  InvalidateEstimate();
  ApplyCharFormat();
  ArrangeSelf();
}

void RichEdit::SetTextColour(const std::wstring& colour) {
  textColour_ = colour;
  ApplyCharFormat();
}

void RichEdit::SetText(const std::wstring& text) {
  if (text == GetText()) return;
  pendingText_ = text;
  if (TextServicesCreated()) {
    SendToServices(EM_SETSEL, 0, -1);
    SendToServices(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  } else if (host_ && !servicesAttempted_) {
    // A bound field whose services are still to come reports the change as
    // they would have.
    OnTextChanged();
  }
  Invalidate();
}

std::wstring RichEdit::GetText() const {
  // Until the services exist nothing can have changed the text.
  if (!TextServicesCreated()) return pendingText_;
  GETTEXTLENGTHEX lengthQuery = {GTL_DEFAULT, kCodePageUtf16};
  const LRESULT length =
      SendToServices(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthQuery), 0);
  if (length <= 0) return std::wstring();
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
  GETTEXTEX textQuery = {};
  textQuery.cb = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  textQuery.flags = GT_DEFAULT;
  textQuery.codepage = kCodePageUtf16;
  const LRESULT copied = SendToServices(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&textQuery),
                                        reinterpret_cast<LPARAM>(buffer.data()));
  if (copied <= 0) return std::wstring();
  return std::wstring(buffer.data(),
                      std::min<size_t>(static_cast<size_t>(copied), buffer.size() - 1));
}

SIZE RichEdit::GetNaturalSize(LONG width, LONG height) {
  SIZE size = {0, 0};
  if (!HasTextServices()) return size;
  HDC screen = ::GetDC(nullptr);
  if (!screen) return size;
  const SIZEL extent = {0, 0};
  LONG naturalWidth = width;
  LONG naturalHeight = height;
  if (SUCCEEDED(host_->GetTextServices()->TxGetNaturalSize(DVASPECT_CONTENT, screen, nullptr,
                                                           nullptr, TXTNS_FITTOCONTENT, &extent,
                                                           &naturalWidth, &naturalHeight))) {
    size.cx = naturalWidth;
    size.cy = naturalHeight;
  }
  ::ReleaseDC(nullptr, screen);
  return size;
}

RECT RichEdit::GetTextRect() const { return DeflateRect(GetPos(), GetPadding()); }

SIZE RichEdit::EstimateSize(SIZE available) {
  SIZE size = MakeSize(GetFixedWidth(), GetFixedHeight());
  if (size.cx != kLengthAuto && size.cy != kLengthAuto) return size;
  SIZE cached;
  if (GetCachedEstimate(available, &cached)) return cached;
  const RECT& padding = GetPadding();
  const SIZE line = MeasureText(L"A", GetFontHandle(), DT_SINGLELINE, -1);
  if (size.cx == kLengthAuto) {
    const std::wstring text = GetText();
    const SIZE textSize =
        MeasureText(text.empty() ? L"A" : text, GetFontHandle(), DT_SINGLELINE, -1);
    size.cx = textSize.cx + padding.left + padding.right;
  }
  if (size.cy == kLengthAuto) size.cy = line.cy + padding.top + padding.bottom;
  SetCachedEstimate(available, size);
  return size;
}

void RichEdit::SetPos(RECT rc) {
  ScrollableBox::SetPos(rc);
  if (host_) host_->SetClientRect(GetTextRect());
}

void RichEdit::SetEnabled(bool enabled) {
  ScrollableBox::SetEnabled(enabled);
  ApplyCharFormat();
}

void RichEdit::OnTextServicesChanged() { Invalidate(); }

void RichEdit::OnTextChanged() {
  InvalidateEstimate();
  NotifyAccessible(EVENT_OBJECT_VALUECHANGE);
  SendEvent(kEventTextChange);
}

void RichEdit::Paint(IRenderContext* context, const RECT& paintRect) {
  if (!IsVisible()) return;
  RECT area;
  if (!::IntersectRect(&area, &paintRect, &GetPos())) return;
  ScrollableBox::Paint(context, paintRect);
  if (IsFocused()) DrawImage(context, focusedImage_);

  const RECT textRect = GetTextRect();
  RECT textArea;
  if (!::IntersectRect(&textArea, &area, &textRect)) return;
  AutoClip clip(context, textRect);
  const bool services = EnsureTextServices();
  const std::wstring text = services ? std::wstring() : pendingText_;
  if (services) {
    const POINT origin = context->GetWindowOrg();
    RECT bounds = textRect;
    RECT update = textArea;
    ::OffsetRect(&bounds, -origin.x, -origin.y);
    ::OffsetRect(&update, -origin.x, -origin.y);
    context->BeginGdiDrawing(textArea);
    host_->GetTextServices()->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, context->GetDC(),
                                     nullptr, reinterpret_cast<LPCRECTL>(&bounds), nullptr, &update,
                                     nullptr, 0, TXTVIEW_ACTIVE);
    context->EndGdiDrawing();
  } else if (!text.empty()) {
    const UINT style =
        multiLine_ ? DT_LEFT | DT_TOP | DT_WORDBREAK : DT_LEFT | DT_TOP | DT_SINGLELINE;
    context->DrawText(textRect, password_ ? std::wstring(text.size(), L'*') : text,
                      ResolveColour(IsEnabled() ? textColour_ : disabledTextColour_),
                      GetFontHandle(), style);
  }

  if (promptMode_ && !promptText_.empty() && GetText().empty()) {
    const DWORD colour = ResolveColour(promptColour_);
    if ((colour >> 24) != 0) {
      context->DrawText(textRect, promptText_, colour, GetFontHandle(),
                        DT_LEFT | DT_TOP | DT_SINGLELINE | DT_END_ELLIPSIS);
    }
  }

  if (IsFocused() && !readOnly_ && host_ && host_->IsCaretVisible()) {
    const std::wstring& caret = caretColour_.empty() ? textColour_ : caretColour_;
    DWORD colour = ResolveColour(caret);
    if ((colour >> 24) == 0) colour = 0xff000000;
    context->FillRect(host_->GetCaretRect(), colour);
  }
}

void RichEdit::DefaultHandleEvent(EventArgs& args) {
  const bool isInput = IsMouseEvent(args.type) || args.type == kEventKeyDown ||
                       args.type == kEventKeyUp || args.type == kEventChar;
  if (!IsEnabled() && isInput && args.type != kEventMouseEnter && args.type != kEventMouseLeave) {
    return;  // a disabled field takes no input
  }
  switch (args.type) {
    case kEventMouseButtonDown:
    case kEventInternalDoubleClick:
      if (!IsMouseEnabled()) break;
      SetFocus();
      SendToServices(args.type == kEventMouseButtonDown ? WM_LBUTTONDOWN : WM_LBUTTONDBLCLK,
                     MK_LBUTTON, PointToLParam(args.mousePoint));
      return;
    case kEventMouseButtonUp:
      if (!IsMouseEnabled()) break;
      SendToServices(WM_LBUTTONUP, 0, PointToLParam(args.mousePoint));
      return;
    case kEventMouseMove:
      if (!IsMouseEnabled()) break;
      SendToServices(WM_MOUSEMOVE, args.wParam, PointToLParam(args.mousePoint));
      return;
    case kEventMouseScrollWheel:
      // The event carries the bare delta; WM_MOUSEWHEEL wants it in the high word.
      SendToServices(WM_MOUSEWHEEL,
                     MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(args.wParam))),
                     args.lParam);
      return;
    case kEventSetCursor:
      ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
      return;
    case kEventInternalSetFocus:
      ScrollableBox::DefaultHandleEvent(args);
      SendToServices(WM_SETFOCUS, 0, 0);
      return;
    case kEventInternalKillFocus:
      ScrollableBox::DefaultHandleEvent(args);
      SendToServices(WM_KILLFOCUS, 0, 0);
      return;
    case kEventKeyDown:
      if (args.wParam == VK_RETURN && wantReturnMsg_ &&
          (!returnMsgWantCtrl_ || (::GetKeyState(VK_CONTROL) & 0x8000))) {
        SendEvent(kEventReturn, args.wParam, args.lParam, args.chKey, args.mousePoint);
        return;
      }
      if (args.wParam == VK_TAB && !wantTab_) {
        SendEvent(kEventTab, args.wParam, args.lParam, args.chKey, args.mousePoint);
        return;
      }
      SendToServices(WM_KEYDOWN, args.wParam, args.lParam);
      return;
    case kEventKeyUp:
      SendToServices(WM_KEYUP, args.wParam, args.lParam);
      return;
    case kEventChar: {
      const wchar_t ch = args.chKey ? args.chKey : static_cast<wchar_t>(args.wParam);
      if (ch == L'\r' && wantReturnMsg_) return;
      if (ch == L'\t' && !wantTab_) return;
      if (number_ && ch >= L' ' && (ch < L'0' || ch > L'9')) return;
      SendToServices(WM_CHAR, ch, args.lParam);
      return;
    }
    default:
      break;
  }
  ScrollableBox::DefaultHandleEvent(args);
}

}  // namespace ui
