// What a control asks of the window it lives in: focus, capture, the mouse,
// repainting, class attributes and its resource folder. The window is the one
// host; controls know it only through this.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class Control;
class Window;

class ControlHost {
 public:
  // The window itself, for controls that need more of it (its handle, its font).
  virtual Window* GetHostWindow() = 0;

  // A control that is being destroyed: every reference to it is dropped.
  virtual void ReapControl(Control* control) = 0;
  // Marks a client rectangle for repainting (partial paint).
  virtual void Invalidate(const RECT& rect) = 0;
  // Re-arranges the whole tree and repaints it at the next paint.
  virtual void NeedUpdate() = 0;

  virtual void SetCapture() = 0;
  virtual void ReleaseCapture() = 0;
  virtual Control* GetFocus() const = 0;
  virtual void SetFocus(Control* control) = 0;
  virtual void KillFocus() = 0;
  // Whether the focused control draws its focus cue: only after keyboard navigation.
  virtual bool IsFocusCueShown() const = 0;
  virtual Control* GetHoverControl() const = 0;
  // Raises an accessibility event (EVENT_OBJECT_*) for the control.
  virtual void NotifyAccessibleEvent(Control* control, DWORD event) = 0;
  virtual POINT GetLastMousePos() const = 0;

  // The window's own class of that name ("" when it has none).
  virtual std::wstring GetClassAttributes(const std::wstring& name) const = 0;
  virtual const std::wstring& GetWindowResourcePath() const = 0;
  virtual HFONT GetDefaultFont() const = 0;

 protected:
  ~ControlHost() = default;
};

}  // namespace ui
