#include "ui/shell/WindowImplBase.h"

#include <windowsx.h>

#include "ui/widgets/Button.h"
#include "ui/core/Control.h"
#include "ui/builder/LayoutBuilder.h"
#include "ui/core/UiGlobal.h"

namespace ui {

namespace {

const wchar_t* const kCaptionButtons[] = {L"closebtn", L"minbtn", L"maxbtn", L"restorebtn"};

}  // namespace

LONG WindowImplBase::GetStyle() const {
  return ::GetWindowLongW(GetHWND(), GWL_STYLE) & ~WS_CAPTION;
}

Control* WindowImplBase::CreateControl(const std::wstring&) { return nullptr; }

void WindowImplBase::BringToFront() {
  HWND hwnd = GetHWND();
  if (!hwnd) return;
  if (::IsIconic(hwnd)) {
    ::ShowWindow(hwnd, SW_RESTORE);
    return;
  }
  if (!::IsWindowVisible(hwnd)) ::ShowWindow(hwnd, SW_SHOW);
  ::SetForegroundWindow(hwnd);
}

void WindowImplBase::SetTitle(const std::wstring& title) {
  if (GetHWND()) ::SetWindowTextW(GetHWND(), title.c_str());
}

LRESULT WindowImplBase::FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  return HandleWindowMessage(message, wParam, lParam, handled);
}

LRESULT WindowImplBase::HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                            bool& handled) {
  handled = false;
  switch (message) {
    case WM_CREATE:
      return OnCreate(message, wParam, lParam, handled);
    case WM_CLOSE:
      return OnCloseRequest(message, wParam, lParam, handled);
    case WM_DESTROY:
      return OnDestroy(message, wParam, lParam, handled);
    case WM_NCACTIVATE:
      return OnNcActivate(message, wParam, lParam, handled);
    case WM_NCCALCSIZE:
      return OnNcCalcSize(message, wParam, lParam, handled);
    case WM_WINDOWPOSCHANGING:
      return OnWindowPosChanging(message, wParam, lParam, handled);
    case WM_NCPAINT:
      return OnNcPaint(message, wParam, lParam, handled);
    case WM_NCLBUTTONDBLCLK:
      return OnNcLButtonDblClk(message, wParam, lParam, handled);
    case WM_NCHITTEST:
      return OnNcHitTest(message, wParam, lParam, handled);
    case WM_GETMINMAXINFO:
      return OnGetMinMaxInfo(message, wParam, lParam, handled);
    case WM_MOUSEWHEEL:
      return OnMouseWheel(message, wParam, lParam, handled);
    case WM_MOUSEHOVER:
      return OnMouseHover(message, wParam, lParam, handled);
    case WM_DPICHANGED:
      return OnDpiChanged(message, wParam, lParam, handled);
    case WM_SIZE:
      return OnSize(message, wParam, lParam, handled);
    case WM_CHAR:
      return OnChar(message, wParam, lParam, handled);
    case WM_SYSCOMMAND:
      return OnSysCommand(message, wParam, lParam, handled);
    case WM_KEYDOWN:
      return OnKeyDown(message, wParam, lParam, handled);
    case WM_KILLFOCUS:
      return OnKillFocus(message, wParam, lParam, handled);
    case WM_SETFOCUS:
      return OnSetFocus(message, wParam, lParam, handled);
    case WM_LBUTTONDOWN:
      return OnLButtonDown(message, wParam, lParam, handled);
    case WM_LBUTTONUP:
      return OnLButtonUp(message, wParam, lParam, handled);
    case WM_MOUSEMOVE:
      return OnMouseMove(message, wParam, lParam, handled);
    default:
      return 0;
  }
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, bool& handled) {
  handled = true;
  HWND hwnd = GetHWND();
  ::SetWindowLongW(hwnd, GWL_STYLE, GetStyle());
  InitWindow();
  AddMessageFilter(this);

  SetWindowResourcePath(SkinFolder());
  const std::wstring layout = GetWindowResourcePath() + SkinFile();
  auto weakHook = MakeWeakCallback(
      [this](const std::wstring& elementName) { return CreateControl(elementName); });
  LayoutBuilder builder;
  Control* root = builder.Create(
      layout, [weakHook](const std::wstring& name) -> Control* { return weakHook(name); }, this);
  if (!root) {
    std::wstring text = kLayoutErrorFormat;
    text.replace(text.find(L"%s"), 2, layout);
    if (text.size() >= MAX_PATH) text.resize(MAX_PATH - 1);
    ::MessageBoxW(hwnd, text.c_str(), kLayoutErrorCaption, MB_ICONERROR);
    return 0;
  }
  AttachRoot(AttachShadow(root));
  OnLayoutReady();
  if (!GetHWND()) return 0;
  ResizeToAutoRoot();

  for (const wchar_t* name : kCaptionButtons) {
    auto* button = dynamic_cast<Button*>(FindNamedControl(name));
    if (!button) continue;
    button->AddClickHandler(
        MakeWeakCallback([this](const EventArgs& args) { return HandleCaptionButton(args); }));
  }
  return 0;
}

bool WindowImplBase::HandleCaptionButton(const EventArgs& args) {
  if (!args.sender) return true;
  const std::wstring name = args.sender->GetName();
  Control* maxButton = FindNamedControl(L"maxbtn");
  Control* restoreButton = FindNamedControl(L"restorebtn");
  if (name == L"closebtn") {
    CloseWithResult(1);
  } else if (name == L"minbtn") {
    ::SendMessageW(GetHWND(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  } else if (name == L"maxbtn") {
    if (maxButton && restoreButton) {
      maxButton->SetVisible(false);
      restoreButton->SetVisible(true);
    }
    ::SendMessageW(GetHWND(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  } else if (name == L"restorebtn") {
    if (maxButton && restoreButton) {
      maxButton->SetVisible(true);
      restoreButton->SetVisible(false);
    }
    ::SendMessageW(GetHWND(), WM_SYSCOMMAND, SC_RESTORE, 0);
  }
  return true;
}

LRESULT WindowImplBase::OnCloseRequest(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, bool& handled) {
  if (::IsIconic(GetHWND())) {
    handled = false;
    return 0;
  }
  handled = true;
  return wParam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM, bool& handled) {
  handled = true;
  return 0;
}

LRESULT WindowImplBase::OnWindowPosChanging(UINT, WPARAM, LPARAM lParam, bool& handled) {
  handled = false;
  auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
  if (!position || !::IsZoomed(GetHWND()) || !(position->flags & SWP_FRAMECHANGED)) return 0;
  HMONITOR monitor = ::MonitorFromWindow(GetHWND(), MONITOR_DEFAULTTONEAREST);
  MONITORINFO info = {};
  info.cbSize = sizeof(info);
  if (!::GetMonitorInfoW(monitor, &info) || (info.dwFlags & MONITORINFOF_PRIMARY)) return 0;
  position->x = info.rcWork.left;
  position->y = info.rcWork.top;
  position->cx = info.rcWork.right - info.rcWork.left;
  position->cy = info.rcWork.bottom - info.rcWork.top;
  return 0;
}

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, bool& handled) {
  handled = true;
  return 0;
}

LRESULT WindowImplBase::OnNcLButtonDblClk(UINT, WPARAM, LPARAM, bool& handled) {
  handled = true;
  return 0;
}

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, bool& handled) {
  handled = true;
  POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ::ScreenToClient(GetHWND(), &point);
  return HitTest(point);
}

LRESULT WindowImplBase::HitTest(const POINT& point) const {
  RECT inner;
  ::GetClientRect(GetHWND(), &inner);
  const RECT margins = GetShadowMargins();
  inner.left += margins.left;
  inner.top += margins.top;
  inner.right -= margins.right;
  inner.bottom -= margins.bottom;

  if (!::IsZoomed(GetHWND())) {
    const RECT& box = GetSizeBox();
    const bool inShadow = point.x < inner.left || point.x >= inner.right || point.y < inner.top ||
                          point.y >= inner.bottom;
    if (inShadow) return HTCLIENT;
    const bool left = point.x < inner.left + box.left;
    const bool right = point.x >= inner.right - box.right;
    if (point.y < inner.top + box.top) {
      return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
    }
    if (point.y >= inner.bottom - box.bottom) {
      return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
    }
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
  }

  const RECT& caption = GetCaptionRect();
  if (point.x >= inner.left + caption.left && point.x < inner.right - caption.right &&
      point.y >= inner.top + caption.top && point.y < inner.top + caption.bottom) {
    Control* control = FindControlAt(point);
    if (control && !control->IsCaptionClient()) return HTCAPTION;
  }
  return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool& handled) {
  handled = false;
  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  if (!::GetMonitorInfoW(::MonitorFromWindow(GetHWND(), MONITOR_DEFAULTTONEAREST), &monitor)) {
    return 0;
  }
  const RECT work = monitor.rcWork;
  const RECT whole = monitor.rcMonitor;
  info->ptMaxPosition.x = work.left - whole.left;
  info->ptMaxPosition.y = work.top - whole.top;
  info->ptMaxSize.x = work.right - work.left;
  info->ptMaxSize.y = work.bottom - work.top;
  const SIZE maxInfo = GetMaxInfo();
  const SIZE minInfo = GetMinInfo();
  if (maxInfo.cx > 0) info->ptMaxTrackSize.x = maxInfo.cx;
  if (maxInfo.cy > 0) info->ptMaxTrackSize.y = maxInfo.cy;
  if (minInfo.cx > 0) info->ptMinTrackSize.x = minInfo.cx;
  if (minInfo.cy > 0) info->ptMinTrackSize.y = minInfo.cy;
  return 0;
}

LRESULT WindowImplBase::OnMouseWheel(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnMouseHover(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnDpiChanged(UINT, WPARAM wParam, LPARAM, bool& handled) {
  handled = false;
  if (!UiGlobal::GetDpiState().IsAware()) return 0;
  UiGlobal::GetDpiState().SetScale(::MulDiv(LOWORD(wParam), 100, 96));
  RescaleShadow();
  return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = false;
  const SIZE round = GetRoundCorner();
  if (::IsIconic(GetHWND()) || (round.cx == 0 && round.cy == 0)) return 0;
  const int width = LOWORD(lParam);
  const int height = HIWORD(lParam);
  (void)wParam;
  HRGN region = ::CreateRoundRectRgn(0, 0, width + 1, height + 1, round.cx, round.cy);
  ::SetWindowRgn(GetHWND(), region, TRUE);  // the window owns the region from now on
  return 0;
}

LRESULT WindowImplBase::OnChar(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT, WPARAM wParam, LPARAM, bool& handled) {
  if ((wParam & 0xFFF0) == SC_CLOSE) {
    handled = true;
    ::SendMessageW(GetHWND(), WM_CLOSE, 0, 0);
    return 0;
  }
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnKillFocus(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnSetFocus(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnLButtonDown(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnLButtonUp(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnMouseMove(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

}  // namespace ui
