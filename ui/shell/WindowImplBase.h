// What every skinned window of the installer needs on top of Window: the layout loaded from the
// skin at creation, the drawn shadow, the caption band as drag area, the standard caption
// buttons wired by name, and answers to the frame-related window messages.
#pragma once

#include <windows.h>

#include <string>

#include "ui/core/EventArgs.h"
#include "ui/core/IUIMessageFilter.h"
#include "ui/core/Window.h"

namespace ui {

class Control;

class WindowImplBase : public Window, public IUIMessageFilter {
 public:
  WindowImplBase() = default;
  ~WindowImplBase() override = default;

  std::wstring SuperClassName() const override { return std::wstring(); }
  UINT ClassStyle() const override { return CS_DBLCLKS; }
  LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

  // The controls are attached: look them up and attach handlers.
  virtual void OnLayoutReady() {}
  // The style set at creation: the current one without WS_CAPTION.
  virtual LONG GetStyle() const;
  // Makes controls for element names the builder does not know; null by default.
  virtual Control* CreateControl(const std::wstring& elementName);
  // WM_CLOSE; not handled by default, so the window is destroyed.
  virtual LRESULT OnCloseRequest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

  virtual LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnNcActivate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnNcCalcSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnWindowPosChanging(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnNcPaint(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnNcLButtonDblClk(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnGetMinMaxInfo(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnMouseWheel(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnMouseHover(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnDpiChanged(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnChar(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnKillFocus(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnSetFocus(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnLButtonDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnLButtonUp(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

  // If iconic, restore; otherwise show when hidden and bring to the foreground.
  virtual void BringToFront();
  virtual void SetTitle(const std::wstring& title);

  // The skin folder and layout file of this window ("basic", "basic.xml").
  virtual std::wstring SkinFolder() const = 0;
  virtual std::wstring SkinFile() const = 0;

  // The message filter: the window's own handling of its messages.
  LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

  // Shown when a layout cannot be loaded.
  static constexpr wchar_t kLayoutErrorFormat[] = L"Failed to load xml file %s";
  static constexpr wchar_t kLayoutErrorCaption[] = L"Taloux";

 private:
  LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  bool HandleCaptionButton(const EventArgs& args);
  LRESULT HitTest(const POINT& clientPoint) const;
};

}  // namespace ui
