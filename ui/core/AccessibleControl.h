// A control as screen readers see it: an MSAA IAccessible whose children are the visible
// controls of a box, recursively. It holds the control weakly; once the control is gone every
// call answers that the object is no longer there. Windows hand the one of their root out for
// WM_GETOBJECT (OBJID_CLIENT) and name their controls in events by ChildIdOf.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <memory>

namespace nbase {
class WeakFlag;
}

namespace ui {

class Control;
class Window;

// COM objects end through Release, never through a base pointer's destructor.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
class AccessibleControl : public IAccessible {
 public:
  // A new object with one reference.
  static AccessibleControl* Create(Window* window, Control* control);

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // IDispatch: not offered (screen readers use the IAccessible methods).
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                      UINT*) override;
  // IAccessible
  STDMETHODIMP get_accParent(IDispatch** parent) override;
  STDMETHODIMP get_accChildCount(long* count) override;
  STDMETHODIMP get_accChild(VARIANT child, IDispatch** dispatch) override;
  STDMETHODIMP get_accName(VARIANT child, BSTR* name) override;
  STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override;
  STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override;
  STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override;
  STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override;
  STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override;
  STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
  STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
  STDMETHODIMP get_accFocus(VARIANT* focus) override;
  STDMETHODIMP get_accSelection(VARIANT* selection) override;
  STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override;
  STDMETHODIMP accSelect(long flags, VARIANT child) override;
  STDMETHODIMP accLocation(long* left, long* top, long* width, long* height,
                           VARIANT child) override;
  STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override;
  STDMETHODIMP accHitTest(long left, long top, VARIANT* child) override;
  STDMETHODIMP accDoDefaultAction(VARIANT child) override;
  STDMETHODIMP put_accName(VARIANT child, BSTR name) override;
  STDMETHODIMP put_accValue(VARIANT child, BSTR value) override;

  // The child id an event names |control| by: ids above the child indices of any box.
  static long ChildIdOf(Window* window, Control* control);

 private:
  AccessibleControl(Window* window, Control* control);
  virtual ~AccessibleControl() = default;

  // The control, or null once it is gone.
  Control* Live() const;
  // The control |child| names: this one for CHILDID_SELF, a child by its index, any control
  // of the window by its event id; null when none.
  Control* Resolve(const VARIANT& child) const;
  // |control| as a new object, handed out as IDispatch.
  IDispatch* Wrap(Control* control) const;

  LONG refs_ = 1;
  Window* const window_;
  Control* const control_;
  const std::weak_ptr<nbase::WeakFlag> alive_;
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

}  // namespace ui
