#include "ui/core/Window.h"

#include <windowsx.h>

#include <algorithm>

#include "base/WindowsVersion.h"
#include "ui/core/AccessibleControl.h"
#include "ui/core/AnimationTimers.h"
#include "ui/core/Box.h"
#include "ui/core/Control.h"
#include "ui/draw/IRenderContext.h"
#include "ui/draw/IRenderFactory.h"
#include "ui/core/ShadowBox.h"
#include "ui/core/UiGlobal.h"
#include "ui/misc/AttributeValues.h"

namespace ui {

namespace {

constexpr int kCloseDelayMs = 300;
constexpr int kFadeStepMs = 16;
constexpr int kFadeSteps = 12;
constexpr DWORD kDefaultHoverTimeMs = 400;

bool IsEmptyArea(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

POINT PointFromLParam(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

bool IsVistaOrLater() { return nbase::IsWindowsVersionOrGreater(6, 0); }

}  // namespace

Window::Window() : defaultFont_(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))) {}

Window::~Window() {
  // Normally the tree is gone already (OnWindowGone); this covers a window never created.
  DetachRoot();
}

// --- native window -----------------------------------------------------------

bool Window::RegisterWindowClass() {
  const std::wstring className = WindowClassName();
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExW(instance, className.c_str(), &existing)) return true;
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = ClassStyle();
  windowClass.lpfnWndProc = &Window::WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = className.c_str();
  return ::RegisterClassExW(&windowClass) != 0;
}

HWND Window::CreateNativeWindow(HWND owner, const std::wstring& name, DWORD style, DWORD exStyle,
                                bool layered, const RECT& rect) {
  if (hwnd_ || !RegisterWindowClass()) return nullptr;
  layered_ = layered;
  if (layered) exStyle |= WS_EX_LAYERED;
  creating_ = true;
  goneWhileCreating_ = false;
  HWND hwnd = ::CreateWindowExW(exStyle, WindowClassName().c_str(), name.c_str(), style, rect.left,
                                rect.top, rect.right - rect.left, rect.bottom - rect.top, owner,
                                nullptr, ::GetModuleHandleW(nullptr), this);
  creating_ = false;
  if (!hwnd || goneWhileCreating_) return nullptr;
  const LONG currentStyle = ::GetWindowLongW(hwnd, GWL_STYLE);
  if (currentStyle & WS_CAPTION) ::SetWindowLongW(hwnd, GWL_STYLE, currentStyle & ~WS_CAPTION);
  return hwnd;
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* window = nullptr;
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    window = static_cast<Window*>(create->lpCreateParams);
    window->hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  } else {
    window = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!window) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    const LRESULT result = ::CallWindowProcW(window->oldWndProc_, hwnd, message, wParam, lParam);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    window->hwnd_ = nullptr;
    if (window->creating_) {
      window->goneWhileCreating_ = true;  // the creator still owns the object
    } else {
      window->OnWindowGone();
    }
    return result;
  }
  return window->DispatchMessageToWindow(message, wParam, lParam);
}

LRESULT Window::DispatchMessageToWindow(UINT message, WPARAM wParam, LPARAM lParam) {
  bool handled = false;
  LRESULT result = 0;
  // The window's own handler registers itself as a filter while handling WM_CREATE.
  if (message == WM_CREATE) {
    result = HandleWindowMessage(message, wParam, lParam, handled);
    if (handled) return result;
  }
  result = RouteMessage(message, wParam, lParam, handled);
  if (handled) return result;
  return ::CallWindowProcW(oldWndProc_, hwnd_, message, wParam, lParam);
}

LRESULT Window::HandleWindowMessage(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

void Window::InitWindow() {
  if (!renderContext_) {
    IRenderFactory* factory = UiGlobal::GetRenderFactory();
    if (factory) renderContext_ = factory->CreateRenderContext();
  }
  if (renderContext_) renderContext_->SetLayered(layered_);
  mouseTracking_ = false;
  // Before the layout's size is applied: the shadow padding is added to it at the DPI scale.
  shadow_.scaledMargins = shadow_.margins;
  UiGlobal::GetDpiState().ScaleRect(&shadow_.scaledMargins);
}

void Window::ShowWithFocus(bool show, bool takeFocus) {
  if (!hwnd_) return;
  ::ShowWindow(hwnd_, show ? (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

void Window::CenterOnOwner() {
  if (!hwnd_) return;
  RECT window;
  ::GetWindowRect(hwnd_, &window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  HWND owner = ::GetWindow(hwnd_, GW_OWNER);

  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  ::GetMonitorInfoW(::MonitorFromWindow(owner ? owner : hwnd_, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT work = monitor.rcWork;
  RECT reference = work;
  if (owner && !::IsIconic(owner)) ::GetWindowRect(owner, &reference);

  int x = (reference.left + reference.right) / 2 - width / 2;
  int y = (reference.top + reference.bottom) / 2 - height / 2;
  if (x < work.left) {
    x = work.left;
  } else if (x + width > work.right) {
    x = work.right - width;
  }
  if (y < work.top) {
    y = work.top;
  } else if (y + height > work.bottom) {
    y = work.bottom - height;
  }
  ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::CloseWithResult(UINT result) {
  if (modal_) {
    HWND owner = hwnd_ ? ::GetWindow(hwnd_, GW_OWNER) : nullptr;
    if (owner) {
      ::EnableWindow(owner, TRUE);
      ::SetFocus(owner);
    }
  }
  if (!hwnd_ || !::IsWindow(hwnd_)) return;
  if (!root_ || !IsVistaOrLater()) {
    ::PostMessageW(hwnd_, WM_CLOSE, result, 0);
    return;
  }
  // Hide the root: from now on nothing in the window can be clicked or keyed. The last
  // frame stays on screen and fades (painting stops while closing).
  closing_ = true;
  Control* pushed = pushed_;
  pushed_ = nullptr;
  ReleaseCapture();
  if (pushed) pushed->SendEvent(kEventMouseButtonUp, 0, 0, 0, POINT{-1, -1});
  root_->SetVisible(false);
  // Fade the window out, then close it once the fade has had its time.
  auto& timers = AnimationTimers::Instance();
  auto step = std::make_shared<int>(0);
  timers.AddTimer(
      closeFlag_.AcquireWeakFlag(),
      [this, step] {
        ++*step;
        SetWindowAlpha(static_cast<BYTE>(255 - 255 * std::min(*step, kFadeSteps) / kFadeSteps));
      },
      kFadeStepMs, kFadeSteps);
  HWND hwnd = hwnd_;
  timers.AddTimer(
      closeFlag_.AcquireWeakFlag(),
      [hwnd, result] {
        if (::IsWindow(hwnd)) ::PostMessageW(hwnd, WM_CLOSE, result, 0);
      },
      kCloseDelayMs, 1);
}

void Window::SetWindowAlpha(BYTE alpha) {
  if (windowAlpha_ == alpha) return;
  windowAlpha_ = alpha;
  if (!hwnd_) return;
  if (layered_) {
    UpdateLayered(nullptr);
  } else if (alpha == 0) {
    ::ShowWindow(hwnd_, SW_HIDE);
  }
}

void Window::OnWindowGone() {
  closeFlag_.Cancel();
  RaiseWindowEvent(kEventWindowClose);
  RemoveMessageFilter(dynamic_cast<IUIMessageFilter*>(this));
  DetachRoot();
  delete this;
}

// --- controls ------------------------------------------------------------------

void Window::AttachRoot(Control* root) {
  DetachRoot();
  root_ = root;
  if (!root_) return;
  root_->SetWindow(this, nullptr, true);
  RegisterNames(root_);
  NeedUpdate();
}

void Window::RegisterNames(Control* control) {
  if (!control) return;
  if (!control->GetName().empty()) names_[control->GetName()] = control;
  if (control->IsBox()) {
    auto* box = static_cast<Box*>(control);
    for (int i = 0; i < box->GetCount(); ++i) RegisterNames(box->GetItemAt(i));
  }
}

void Window::DetachRoot() {
  Control* root = root_;
  root_ = nullptr;
  hover_ = pushed_ = focus_ = keyControl_ = nullptr;
  shadow_.box = nullptr;
  delete root;  // controls report their deletion through ReapControl
  names_.clear();
}

Control* Window::FindNamedControl(const std::wstring& name) const {
  const auto found = names_.find(name);
  return found == names_.end() ? nullptr : found->second;
}

Control* Window::FindControlAt(const POINT& point) const {
  return root_ ? root_->FindControl(point, true) : nullptr;
}

void Window::ReapControl(Control* control) {
  if (!control) return;
  if (hover_ == control) hover_ = nullptr;
  if (pushed_ == control) pushed_ = nullptr;
  if (focus_ == control) focus_ = nullptr;
  if (keyControl_ == control) keyControl_ = nullptr;
  if (shadow_.box == static_cast<void*>(control)) shadow_.box = nullptr;
  for (auto it = names_.begin(); it != names_.end();) {
    it = it->second == control ? names_.erase(it) : std::next(it);
  }
  const auto id = accessibleIds_.find(control);
  if (id != accessibleIds_.end()) {
    accessibleControls_.erase(id->second);
    accessibleIds_.erase(id);
  }
}

long Window::AccessibleIdOf(Control* control) {
  const auto found = accessibleIds_.find(control);
  if (found != accessibleIds_.end()) return found->second;
  const long id = accessibleControls_.empty() ? 1 : accessibleControls_.rbegin()->first + 1;
  accessibleIds_[control] = id;
  accessibleControls_[id] = control;
  return id;
}

Control* Window::ControlOfAccessibleId(long id) const {
  const auto found = accessibleControls_.find(id);
  return found == accessibleControls_.end() ? nullptr : found->second;
}

void Window::NotifyAccessibleEvent(Control* control, DWORD event) {
  // Nothing to do (and no id to hand out) while no screen reader listens.
  if (!hwnd_ || !control || !::IsWinEventHookInstalled(event)) return;
  ::NotifyWinEvent(event, hwnd_, OBJID_CLIENT, AccessibleControl::ChildIdOf(this, control));
}

void Window::Invalidate(const RECT& rect) {
  if (!hwnd_ || IsEmptyArea(rect)) return;
  if (IsEmptyArea(dirty_)) {
    dirty_ = rect;
  } else {
    ::UnionRect(&dirty_, &dirty_, &rect);
  }
  ::InvalidateRect(hwnd_, &rect, FALSE);
}

void Window::NeedUpdate() {
  needArrange_ = true;
  if (!hwnd_) return;
  RECT client;
  ::GetClientRect(hwnd_, &client);
  Invalidate(client);
}

void Window::SetCapture() {
  if (!hwnd_) return;
  ::SetCapture(hwnd_);
  captured_ = true;
}

void Window::ReleaseCapture() {
  if (!captured_) return;
  captured_ = false;
  ::ReleaseCapture();
}

void Window::SetFocus(Control* control) {
  if (hwnd_ && ::GetFocus() != hwnd_) ::SetFocus(hwnd_);
  // A hidden or disabled control never holds the focus (asking for it only takes
  // the focus away from the old one); hiding or disabling one that holds it
  // takes it away too (Control::SetVisible, SetEnabled).
  if (control && !control->IsLive()) control = nullptr;
  if (control == focus_) return;
  auto flag = control ? control->AcquireWeakFlag() : std::weak_ptr<nbase::WeakFlag>();
  if (focus_) {
    Control* old = focus_;
    focus_ = nullptr;
    if (focusCueShown_) InvalidateFocusCue(old);
    SendEventTo(old, kEventInternalKillFocus, 0, 0, 0, lastMouse_);
  }
  // The old control's handler may have destroyed the new one.
  if (control && !flag.expired() && control->GetWindow() == this) {
    focus_ = control;
    if (focusCueShown_) InvalidateFocusCue(control);
    NotifyAccessibleEvent(control, EVENT_OBJECT_FOCUS);
    SendEventTo(control, kEventInternalSetFocus, 0, 0, 0, lastMouse_);
  }
}

namespace {

void CollectTabStops(Control* control, std::vector<Control*>* stops) {
  if (!control || !control->IsVisible()) return;
  if (control->IsTabStop()) stops->push_back(control);
  if (!control->IsBox()) return;
  const auto* box = static_cast<const Box*>(control);
  for (int i = 0; i < box->GetCount(); ++i) CollectTabStops(box->GetItemAt(i), stops);
}

}  // namespace

void Window::MoveFocus(bool forward) {
  std::vector<Control*> stops;
  CollectTabStops(root_, &stops);
  if (stops.empty()) return;
  const auto at = std::find(stops.begin(), stops.end(), focus_);
  const size_t count = stops.size();
  size_t next = forward ? 0 : count - 1;
  if (at != stops.end()) {
    const size_t index = static_cast<size_t>(at - stops.begin());
    next = forward ? (index + 1) % count : (index + count - 1) % count;
  }
  SetFocus(stops[next]);
}

bool Window::HandleNavigationKey(WPARAM key) {
  switch (key) {
    case VK_TAB: {
      ShowFocusCue(true);
      const bool control = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
      if (focus_ && focus_->WantsTabKey() && !control) return false;
      MoveFocus((::GetKeyState(VK_SHIFT) & 0x8000) == 0);
      return true;
    }
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      ShowFocusCue(true);
      return false;
    default:
      return false;
  }
}

void Window::ShowFocusCue(bool shown) {
  if (focusCueShown_ == shown) return;
  focusCueShown_ = shown;
  if (focus_) InvalidateFocusCue(focus_);
}

void Window::InvalidateFocusCue(Control* control) {
  // The cue may lie around the control (a check box's label), not only on it.
  Invalidate(control->GetFocusCueRect());
  control->Invalidate();
}

void Window::KillFocus() {
  if (!focus_) return;
  Control* old = focus_;
  focus_ = nullptr;
  SendEventTo(old, kEventInternalKillFocus, 0, 0, 0, lastMouse_);
}

void Window::AttachWindowEvent(EventCode code, const EventCallback& callback) {
  windowHandlers_[static_cast<int>(code)].push_back(callback);
}

void Window::RaiseWindowEvent(EventCode code) {
  EventArgs args = {};
  args.type = code;
  args.sender = nullptr;
  args.timestamp = ::GetTickCount();
  args.mousePoint = lastMouse_;
  for (const int key : {static_cast<int>(code), static_cast<int>(kEventAll)}) {
    const auto found = windowHandlers_.find(key);
    if (found == windowHandlers_.end()) continue;
    const std::vector<EventCallback> handlers = found->second;
    for (const auto& handler : handlers) {
      if (handler && !handler(args)) break;
    }
  }
}

void Window::AddMessageFilter(IUIMessageFilter* filter) {
  if (filter && std::find(filters_.begin(), filters_.end(), filter) == filters_.end()) {
    filters_.push_back(filter);
  }
}

void Window::RemoveMessageFilter(IUIMessageFilter* filter) {
  filters_.erase(std::remove(filters_.begin(), filters_.end(), filter), filters_.end());
}

// --- layout attributes -----------------------------------------------------------

std::wstring Window::GetClassAttributes(const std::wstring& name) const {
  const auto found = classes_.find(name);
  return found == classes_.end() ? std::wstring() : found->second;
}

void Window::AddClass(const std::wstring& name, const std::wstring& value) {
  if (!name.empty()) classes_[name] = value;
}

void Window::SetWindowResourcePath(const std::wstring& path) {
  resourcePath_ = path;
  if (!resourcePath_.empty() && resourcePath_.back() != L'\\' && resourcePath_.back() != L'/') {
    resourcePath_ += L'\\';
  }
}

RECT Window::GetShadowMargins() const {
  return shadow_.attached ? shadow_.scaledMargins : RECT{0, 0, 0, 0};
}

bool Window::ApplyWindowAttribute(const std::wstring& name, const std::wstring& value) {
  const RECT pad = GetShadowMargins();
  if (name == L"size") {
    const SIZE size = ParsePair(value);
    const DpiState& dpi = UiGlobal::GetDpiState();
    initSize_.cx = dpi.ScaleValue(size.cx) + pad.left + pad.right;
    initSize_.cy = dpi.ScaleValue(size.cy) + pad.top + pad.bottom;
    if (hwnd_ && !root_) {
      ::SetWindowPos(hwnd_, nullptr, 0, 0, initSize_.cx, initSize_.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  } else if (name == L"heightpercent") {
    // The platform's C library parses it: MinGW's own wcstod would bring its
    // long-double conversions into the program for this one attribute.
    const double fraction = ::_wtof(value.c_str());
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor);
    int height = static_cast<int>(fraction * (monitor.rcWork.bottom - monitor.rcWork.top));
    if (maxInfo_.cy > 0) height = std::min(height, static_cast<int>(maxInfo_.cy));
    if (minInfo_.cy > 0) height = std::max(height, static_cast<int>(minInfo_.cy));
    initSize_.cy = height + pad.top + pad.bottom;
    if (hwnd_ && !root_) {
      ::SetWindowPos(hwnd_, nullptr, 0, 0, initSize_.cx, initSize_.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  } else if (name == L"sizebox") {
    sizeBox_ = ParseRect(value);
  } else if (name == L"caption") {
    caption_ = ParseRect(value);
    UiGlobal::GetDpiState().ScaleRect(&caption_);
  } else if (name == L"textid") {
    if (hwnd_) ::SetWindowTextW(hwnd_, UiGlobal::GetStringById(value).c_str());
  } else if (name == L"roundcorner") {
    const SIZE round = ParsePair(value);
    const DpiState& dpi = UiGlobal::GetDpiState();
    roundCorner_ = {dpi.ScaleValue(round.cx), dpi.ScaleValue(round.cy)};
  } else if (name == L"mininfo" || name == L"maxinfo") {
    const SIZE raw = ParsePair(value);
    const DpiState& dpi = UiGlobal::GetDpiState();
    SIZE info = {dpi.ScaleValue(raw.cx), dpi.ScaleValue(raw.cy)};
    if (info.cx) info.cx += pad.left + pad.right;
    if (info.cy) info.cy += pad.top + pad.bottom;
    (name == L"mininfo" ? minInfo_ : maxInfo_) = info;
  } else if (name == L"shadowattached") {
    shadow_.attached = value == L"true";
  } else if (name == L"shadowimage") {
    shadow_.image = value;
    shadow_.useDefaultImage = false;
  } else if (name == L"shadowcorner") {
    shadow_.margins = ParseRect(value);
    shadow_.scaledMargins = shadow_.margins;
    UiGlobal::GetDpiState().ScaleRect(&shadow_.scaledMargins);
  } else if (name == L"alphafixcorner" || name == L"custom_shadow") {
    alphaFixCorner_ = ParseRect(value);
    UiGlobal::GetDpiState().ScaleRect(&alphaFixCorner_);
  } else {
    return false;
  }
  return true;
}

// --- painting --------------------------------------------------------------------

bool Window::ResizeToAutoRoot() {
  if (!root_ || !hwnd_) return false;
  const int fixedWidth = root_->GetFixedWidth();
  const int fixedHeight = root_->GetFixedHeight();
  if (fixedWidth != kLengthAuto && fixedHeight != kLengthAuto) return false;
  SIZE size = root_->EstimateSize(SIZE{99999, 99999});
  size.cx = std::max(size.cx, static_cast<LONG>(root_->GetMinWidth()));
  size.cx = std::min(size.cx, static_cast<LONG>(root_->GetMaxWidth()));
  size.cy = std::max(size.cy, static_cast<LONG>(root_->GetMinHeight()));
  size.cy = std::min(size.cy, static_cast<LONG>(root_->GetMaxHeight()));
  RECT window;
  ::GetWindowRect(hwnd_, &window);
  if (size.cx == window.right - window.left && size.cy == window.bottom - window.top) return false;
  HWND parent = ::GetParent(hwnd_);
  POINT topLeft = {window.left, window.top};
  if (parent && (::GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD)) ::ScreenToClient(parent, &topLeft);
  ::MoveWindow(hwnd_, topLeft.x, topLeft.y, size.cx, size.cy, TRUE);
  return true;
}

void Window::PaintNow() { Paint(); }

void Window::Paint() {
  if (!hwnd_ || ::IsIconic(hwnd_) || !renderContext_) return;
  if (closing_) {
    ::ValidateRect(hwnd_, nullptr);
    return;
  }
  LARGE_INTEGER start, end, frequency;
  ::QueryPerformanceCounter(&start);

  if (needArrange_) ResizeToAutoRoot();
  RECT client;
  ::GetClientRect(hwnd_, &client);
  if (IsEmptyArea(client)) return;
  if (renderContext_->GetWidth() != client.right || renderContext_->GetHeight() != client.bottom) {
    if (!renderContext_->Resize(client.right, client.bottom)) return;
    dirty_ = client;
  }
  if (needArrange_ || (root_ && !root_->IsArranged())) {
    needArrange_ = false;
    if (root_) root_->SetPos(client);
    dirty_ = client;
  }
  RECT area;
  if (!::IntersectRect(&area, &dirty_, &client)) return;
  dirty_ = RECT{0, 0, 0, 0};

  renderContext_->ClearRect(area);
  if (root_) {
    renderContext_->PushClip(area);
    root_->Paint(renderContext_.get(), area);
    renderContext_->PopClip();
  }
  if (layered_) {
    UpdateLayered(&area);
  } else {
    HDC dc = ::GetDC(hwnd_);
    ::BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top,
             renderContext_->GetDC(), area.left, area.top, SRCCOPY);
    ::ReleaseDC(hwnd_, dc);
  }
  ::QueryPerformanceCounter(&end);
  ::QueryPerformanceFrequency(&frequency);
  ++paintStats_.paints;
  paintStats_.lastArea = area;
  paintStats_.lastPaintMicroseconds =
      (end.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart;
}

void Window::UpdateLayered(const RECT* dirty) {
  if (!hwnd_ || !renderContext_ || renderContext_->GetWidth() <= 0) return;
  ::GdiFlush();
  SIZE size = {renderContext_->GetWidth(), renderContext_->GetHeight()};
  POINT source = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, windowAlpha_, AC_SRC_ALPHA};
  UPDATELAYEREDWINDOWINFO info = {};
  info.cbSize = sizeof(info);
  info.psize = &size;
  info.hdcSrc = renderContext_->GetDC();
  info.pptSrc = &source;
  info.pblend = &blend;
  info.dwFlags = ULW_ALPHA;
  info.prcDirty = dirty;
  if (!::UpdateLayeredWindowIndirect(hwnd_, &info)) {
    ::UpdateLayeredWindow(hwnd_, nullptr, nullptr, &size, renderContext_->GetDC(), &source, 0,
                          &blend, ULW_ALPHA);
  }
}

// --- routing ---------------------------------------------------------------------

void Window::SendEventTo(Control* control, EventCode code, WPARAM wParam, LPARAM lParam,
                         wchar_t key, const POINT& point) {
  if (control) control->SendEvent(code, wParam, lParam, key, point);
}

void Window::OnMouseMove(const POINT& point) {
  if (!mouseTracking_) {
    TRACKMOUSEEVENT track = {};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_HOVER | TME_LEAVE;
    track.hwndTrack = hwnd_;
    track.dwHoverTime = kDefaultHoverTimeMs;
    mouseTracking_ = ::TrackMouseEvent(&track) != FALSE;
  }
  lastMouse_ = point;
  Control* under = FindControlAt(point);
  if (under != hover_) {
    Control* old = hover_;
    hover_ = under;
    // Handlers may destroy controls: ReapControl then clears hover_.
    SendEventTo(old, kEventMouseLeave, 0, 0, 0, point);
    SendEventTo(hover_, kEventMouseEnter, 0, 0, 0, point);
  }
  SendEventTo(pushed_ ? pushed_ : hover_, kEventMouseMove, 0, 0, 0, point);
}

void Window::OnButtonDown(const POINT& point, EventCode code) {
  lastMouse_ = point;
  Control* under = FindControlAt(point);
  if (!under) return;
  // The press takes the capture only: controls that want keys (rich edits) take the focus
  // themselves, so a clicked button never keeps it after its page is gone.
  pushed_ = under;
  SetCapture();
  SendEventTo(pushed_, code, 0, 0, 0, point);
}

void Window::OnButtonUp(const POINT& point, EventCode code) {
  lastMouse_ = point;
  Control* holder = pushed_;
  // The control checks that it holds the capture while it handles the release.
  SendEventTo(holder, code, 0, 0, 0, point);
  pushed_ = nullptr;
  ReleaseCapture();
}

void Window::OnCloseRouting() {
  Control* hover = hover_;
  hover_ = nullptr;
  SendEventTo(hover, kEventMouseLeave, 0, 0, 0, lastMouse_);
  Control* pushed = pushed_;
  pushed_ = nullptr;
  SendEventTo(pushed, kEventMouseButtonUp, 0, 0, 0, lastMouse_);
  ReleaseCapture();
  KillFocus();
  HWND owner = ::GetWindow(hwnd_, GW_OWNER);
  if (owner) ::SetFocus(owner);
}

LRESULT Window::RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = false;
  const std::vector<IUIMessageFilter*> filters = filters_;
  for (IUIMessageFilter* filter : filters) {
    if (std::find(filters_.begin(), filters_.end(), filter) == filters_.end()) continue;
    bool filtered = false;
    const LRESULT result = filter->FilterMessage(message, wParam, lParam, filtered);
    if (filtered && message != WM_MOUSEMOVE) {
      handled = true;
      return result;
    }
    if (!hwnd_) {  // the filter destroyed the window
      handled = true;
      return result;
    }
  }

  switch (message) {
    case WM_MOUSEMOVE:
      OnMouseMove(PointFromLParam(lParam));
      break;
    case WM_MOUSELEAVE:
      mouseTracking_ = false;
      if (hover_ && !pushed_) {
        Control* old = hover_;
        hover_ = nullptr;
        SendEventTo(old, kEventMouseLeave, 0, 0, 0, lastMouse_);
      }
      break;
    case WM_MOUSEHOVER:
      mouseTracking_ = false;
      SendEventTo(hover_, kEventMouseHover, wParam, lParam, 0, lastMouse_);
      break;
    case WM_LBUTTONDOWN:
      if (hwnd_) ::SetFocus(hwnd_);
      ShowFocusCue(false);
      OnButtonDown(PointFromLParam(lParam), kEventMouseButtonDown);
      break;
    case WM_LBUTTONDBLCLK:
      if (hwnd_) ::SetFocus(hwnd_);
      ShowFocusCue(false);
      OnButtonDown(PointFromLParam(lParam), kEventInternalDoubleClick);
      break;
    case WM_LBUTTONUP:
      OnButtonUp(PointFromLParam(lParam), kEventMouseButtonUp);
      break;
    case WM_RBUTTONDOWN: {
      lastMouse_ = PointFromLParam(lParam);
      Control* under = FindControlAt(lastMouse_);
      if (under) {
        pushed_ = under;
        SetCapture();
        SendEventTo(under, kEventMouseRightButtonDown, 0, 0, 0, lastMouse_);
      }
      break;
    }
    case WM_RBUTTONUP:
      OnButtonUp(PointFromLParam(lParam), kEventMouseRightButtonUp);
      break;
    case WM_CONTEXTMENU: {
      ReleaseCapture();
      Control* holder = pushed_;
      pushed_ = nullptr;
      SendEventTo(holder, kEventInternalMenu, wParam, lParam, 0, lastMouse_);
      break;
    }
    case WM_MOUSEWHEEL: {
      POINT point = PointFromLParam(lParam);
      ::ScreenToClient(hwnd_, &point);
      // The event carries the bare delta; a rich edit puts it back into the high word.
      SendEventTo(FindControlAt(point), kEventMouseScrollWheel,
                  static_cast<WPARAM>(GET_WHEEL_DELTA_WPARAM(wParam)), lParam, 0, point);
      break;
    }
    case WM_SETCURSOR: {
      if (LOWORD(lParam) != HTCLIENT || captured_) break;
      POINT point;
      ::GetCursorPos(&point);
      ::ScreenToClient(hwnd_, &point);
      Control* under = FindControlAt(point);
      if (under) {
        SendEventTo(under, kEventSetCursor, wParam, lParam, 0, point);
        handled = true;
        return TRUE;
      }
      break;
    }
    case WM_KEYDOWN:
      if (HandleNavigationKey(wParam)) break;
      keyControl_ = focus_;
      SendEventTo(focus_, kEventKeyDown, wParam, lParam, static_cast<wchar_t>(wParam), lastMouse_);
      break;
    case WM_GETOBJECT:
      // Screen readers: the control tree, from the root.
      if (static_cast<LONG>(lParam) == static_cast<LONG>(OBJID_CLIENT) && root_) {
        AccessibleControl* accessible = AccessibleControl::Create(this, root_);
        const LRESULT result = ::LresultFromObject(__uuidof(IAccessible), wParam,
                                                   static_cast<IAccessible*>(accessible));
        accessible->Release();
        handled = true;
        return result;
      }
      break;
    case WM_UPDATEUISTATE:
      // Another part of the system asked to show or hide focus cues.
      if (HIWORD(wParam) & UISF_HIDEFOCUS) {
        if (LOWORD(wParam) == UIS_SET) ShowFocusCue(false);
        if (LOWORD(wParam) == UIS_CLEAR) ShowFocusCue(true);
      }
      break;
    case WM_KEYUP:
      SendEventTo(keyControl_, kEventKeyUp, wParam, lParam, static_cast<wchar_t>(wParam),
                  lastMouse_);
      break;
    case WM_CHAR:
      SendEventTo(focus_, kEventChar, wParam, lParam, static_cast<wchar_t>(wParam), lastMouse_);
      break;
    case WM_KILLFOCUS:
      if (pushed_ && captured_) {
        Control* holder = pushed_;
        pushed_ = nullptr;
        ReleaseCapture();
        SendEventTo(holder, kEventMouseButtonUp, 0, 0, 0, lastMouse_);
      }
      break;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != hwnd_) captured_ = false;
      break;
    case WM_SIZE:
      if (root_) NeedUpdate();
      if (shadow_.attached && shadow_.box &&
          (wParam == SIZE_MAXIMIZED || wParam == SIZE_RESTORED)) {
        shadow_.box->SetPadding(wParam == SIZE_MAXIMIZED ? RECT{0, 0, 0, 0} : shadow_.scaledMargins,
                                false);
        handled = true;
        return 0;
      }
      break;
    case WM_CLOSE:
      OnCloseRouting();
      break;
    case WM_ERASEBKGND:
      handled = true;
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      ::BeginPaint(hwnd_, &ps);
      if (!IsEmptyArea(ps.rcPaint)) {
        if (IsEmptyArea(dirty_)) {
          dirty_ = ps.rcPaint;
        } else {
          ::UnionRect(&dirty_, &dirty_, &ps.rcPaint);
        }
      }
      Paint();
      ::EndPaint(hwnd_, &ps);
      handled = true;
      return 0;
    }
    default:
      break;
  }
  return 0;
}

}  // namespace ui

namespace ui {

Control* Window::AttachShadow(Control* root) {
  if (!shadow_.attached || !root) return root;
  auto* box = new ShadowBox();
  const RECT& pad = shadow_.scaledMargins;
  box->SetPadding(pad, false);
  box->SetBkImage(shadow_.image);
  const int width = root->GetFixedWidth();
  const int height = root->GetFixedHeight();
  if (width >= 0) {
    box->SetFixedWidth(width + pad.left + pad.right, false, false);
  } else if (width == kLengthAuto) {
    box->SetFixedWidth(kLengthAuto, false, false);
  }
  if (height >= 0) {
    box->SetFixedHeight(height + pad.top + pad.bottom, false, false);
  } else if (height == kLengthAuto) {
    box->SetFixedHeight(kLengthAuto, false, false);
  }
  if (shadow_.useDefaultImage) root->SetBorderRound(SIZE{3, 3});
  box->Add(root);
  shadow_.box = box;
  return box;
}

void Window::RescaleShadow() {
  shadow_.scaledMargins = shadow_.margins;
  UiGlobal::GetDpiState().ScaleRect(&shadow_.scaledMargins);
  if (shadow_.box) shadow_.box->SetPadding(shadow_.scaledMargins, false);
  NeedUpdate();
}

}  // namespace ui
