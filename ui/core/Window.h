// One native top-level window that the toolkit paints itself: no native child controls and no
// native frame. It owns the control tree, routes mouse and keyboard input to controls, and
// paints them into a 32-bit bitmap that a layered window shows with UpdateLayeredWindow.
// A Window object lives exactly as long as its native window and must be allocated with new.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/SupportWeakCallback.h"
#include "base/WeakCallbackFlag.h"
#include "ui/core/ControlHost.h"
#include "ui/core/EventArgs.h"
#include "ui/core/IUIMessageFilter.h"

namespace ui {

class Box;
class Control;
class IRenderContext;

// The drawn shadow around a window's layout (see WindowImplBase).
struct ShadowState {
  bool attached = true;
  bool useDefaultImage = true;
  std::wstring image = L"file='../public/bk/bk_shadow.png' corner='30,30,30,30'";
  RECT margins = {14, 14, 14, 14};  // as written, 96-DPI units
  RECT scaledMargins = {14, 14, 14, 14};
  Box* box = nullptr;  // owned by the control tree once created
};

class Window : public virtual nbase::SupportWeakCallback, public ControlHost {
 public:
  Window();
  ~Window() override;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND GetHWND() const { return hwnd_; }

  // --- the native window -----------------------------------------------
  virtual std::wstring WindowClassName() const = 0;
  // Empty: the class is registered, not superclassed.
  virtual std::wstring SuperClassName() const { return std::wstring(); }
  virtual UINT ClassStyle() const { return CS_DBLCLKS; }
  // Registers the class once, creates the window (WS_EX_LAYERED added when layered) at rect
  // and strips WS_CAPTION. Null on failure; the object then still belongs to the caller.
  virtual HWND CreateNativeWindow(HWND owner, const std::wstring& name, DWORD style, DWORD exStyle,
                                  bool layered, const RECT& rect);
  // Closes with a short fade: re-enables a modal owner, hides and posts WM_CLOSE (wParam =
  // result) 300 ms later, at once when there is nothing to fade.
  virtual void CloseWithResult(UINT result);
  virtual void ShowWithFocus(bool show = true, bool takeFocus = true);
  // After the native window's last message: raises windowclose and deletes the object.
  virtual void OnWindowGone();
  // The window's own handling, before input routing; leave handled false to pass the message on.
  virtual LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

  void CenterOnOwner();
  void SetModal(bool modal) { modal_ = modal; }

  // --- controls ----------------------------------------------------------
  // Takes ownership of the tree, binds it to this window and registers its control names.
  void AttachRoot(Control* root);
  // Deletes the tree.
  void DetachRoot();
  Control* GetRoot() const { return root_; }
  Control* FindNamedControl(const std::wstring& name) const;
  // The topmost visible, mouse-enabled control at a client point, or null.
  Control* FindControlAt(const POINT& point) const;
  // --- what the controls ask of their host ---------------------------------
  Window* GetHostWindow() override { return this; }
  void ReapControl(Control* control) override;
  void Invalidate(const RECT& rect) override;
  void NeedUpdate() override;
  void SetCapture() override;
  void ReleaseCapture() override;
  bool IsCaptured() const { return captured_; }
  Control* GetFocus() const override { return focus_; }
  bool IsFocusCueShown() const override { return focusCueShown_; }
  void NotifyAccessibleEvent(Control* control, DWORD event) override;
  // A number for the control, the same for as long as it lives (screen readers' events name
  // controls by it), and the control of such a number.
  long AccessibleIdOf(Control* control);
  Control* ControlOfAccessibleId(long id) const;
  // Tab order: the tab stops of the tree in layout order, wrapping at the ends.
  void MoveFocus(bool forward);
  void SetFocus(Control* control) override;
  void KillFocus() override;
  Control* GetHoverControl() const override { return hover_; }
  POINT GetLastMousePos() const override { return lastMouse_; }

  IRenderContext* GetRenderContext() const { return renderContext_.get(); }
  HFONT GetDefaultFont() const override { return defaultFont_; }

  // Window-level handlers (windowclose, or kEventAll).
  void AttachWindowEvent(EventCode code, const EventCallback& callback);

  void AddMessageFilter(IUIMessageFilter* filter);
  void RemoveMessageFilter(IUIMessageFilter* filter);

  // --- what the layout builder sets ---------------------------------------
  std::wstring GetClassAttributes(const std::wstring& name) const override;
  void AddClass(const std::wstring& name, const std::wstring& value);
  const std::wstring& GetWindowResourcePath() const override { return resourcePath_; }
  // Appends a backslash unless the path ends in one of the two slashes.
  void SetWindowResourcePath(const std::wstring& path);
  // One attribute of the layout's Window element, value as written (see the .cpp for the list).
  bool ApplyWindowAttribute(const std::wstring& name, const std::wstring& value);

  SIZE GetInitSize() const { return initSize_; }
  const RECT& GetCaptionRect() const { return caption_; }
  const RECT& GetSizeBox() const { return sizeBox_; }
  SIZE GetRoundCorner() const { return roundCorner_; }
  SIZE GetMinInfo() const { return minInfo_; }
  SIZE GetMaxInfo() const { return maxInfo_; }
  const ShadowState& GetShadow() const { return shadow_; }
  // The shadow margins in force (0 when not attached).
  RECT GetShadowMargins() const;

  // The window's constant opacity on top of per-pixel alpha (the close fade lowers it).
  void SetWindowAlpha(BYTE alpha);
  BYTE GetWindowAlpha() const { return windowAlpha_; }

  // Paint statistics, for benchmarks and tests.
  struct PaintStats {
    int paints = 0;
    RECT lastArea = {0, 0, 0, 0};
    LONGLONG lastPaintMicroseconds = 0;
  };
  const PaintStats& GetPaintStats() const { return paintStats_; }
  // Paints the pending area now instead of waiting for WM_PAINT.
  void PaintNow();

 protected:
  // Binds the object to its handle: render context and routing (first step of WM_CREATE).
  void InitWindow();
  // Wraps the root in a ShadowBox when the shadow is attached; returns the new root.
  Control* AttachShadow(Control* root);
  // The toolkit's own processing: message filters, input routing, painting.
  LRESULT RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  // Resizes the window to an auto-sized root's measured size; true when it changed.
  bool ResizeToAutoRoot();
  void RescaleShadow();

  ShadowState shadow_;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DispatchMessageToWindow(UINT message, WPARAM wParam, LPARAM lParam);
  bool RegisterWindowClass();
  void RegisterNames(Control* control);
  void Paint();
  void UpdateLayered(const RECT* dirty);
  void RaiseWindowEvent(EventCode code);
  static void SendEventTo(Control* control, EventCode code, WPARAM wParam, LPARAM lParam,
                          wchar_t key, const POINT& point);
  void OnMouseMove(const POINT& point);
  void OnButtonDown(const POINT& point, EventCode code);
  void ShowFocusCue(bool shown);
  void InvalidateFocusCue(Control* control);
  // Keyboard: Tab moves the focus unless the focused control takes Tab (Ctrl+Tab always
  // moves); navigation keys show the focus cue. True when the key was used up here.
  bool HandleNavigationKey(WPARAM key);
  void OnButtonUp(const POINT& point, EventCode code);
  void OnCloseRouting();

  HWND hwnd_ = nullptr;
  WNDPROC oldWndProc_ = ::DefWindowProcW;
  bool creating_ = false;
  bool goneWhileCreating_ = false;
  Control* root_ = nullptr;
  std::map<std::wstring, Control*> names_;
  std::map<Control*, long> accessibleIds_;
  std::map<long, Control*> accessibleControls_;
  Control* hover_ = nullptr;
  Control* pushed_ = nullptr;  // holds the capture after a press
  Control* focus_ = nullptr;
  // Shown after keyboard navigation, hidden again by the mouse, as the system's dialogs do.
  bool focusCueShown_ = false;
  Control* keyControl_ = nullptr;  // the control that got the last keydown
  POINT lastMouse_ = {-1, -1};
  bool mouseTracking_ = false;
  bool captured_ = false;
  bool layered_ = false;
  bool modal_ = false;
  bool closing_ = false;  // the root is hidden and the window fades out
  SIZE initSize_ = {0, 0};
  SIZE minInfo_ = {0, 0};
  SIZE maxInfo_ = {0, 0};
  RECT sizeBox_ = {0, 0, 0, 0};
  RECT caption_ = {0, 0, 0, 0};
  SIZE roundCorner_ = {0, 0};
  RECT alphaFixCorner_ = {0, 0, 0, 0};
  std::wstring resourcePath_;
  std::map<std::wstring, std::wstring> classes_;
  std::map<int, std::vector<EventCallback>> windowHandlers_;
  std::vector<IUIMessageFilter*> filters_;
  nbase::WeakCallbackFlag closeFlag_;
  HFONT defaultFont_ = nullptr;
  std::unique_ptr<IRenderContext> renderContext_;
  RECT dirty_ = {0, 0, 0, 0};
  bool needArrange_ = true;
  BYTE windowAlpha_ = 255;
  PaintStats paintStats_;
};

}  // namespace ui
