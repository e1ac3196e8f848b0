#include "ui/core/AccessibleControl.h"

#include <string>
#include <vector>

#include "ui/core/Box.h"
#include "ui/core/Control.h"
#include "ui/core/Window.h"

namespace ui {

namespace {

// Event ids start above any box's child indices.
constexpr long kFirstEventId = 0x10000;

HRESULT ReturnText(const std::wstring& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

// The children a screen reader sees: the visible controls of a box.
std::vector<Control*> VisibleChildren(Control* control) {
  std::vector<Control*> children;
  if (!control->IsBox() || control->GetAccessibleRole() != ROLE_SYSTEM_GROUPING) return children;
  const auto* box = static_cast<const Box*>(control);
  for (int i = 0; i < box->GetCount(); ++i) {
    Control* child = box->GetItemAt(i);
    if (child && child->IsVisible()) children.push_back(child);
  }
  return children;
}

}  // namespace

AccessibleControl* AccessibleControl::Create(Window* window, Control* control) {
  return new AccessibleControl(window, control);
}

AccessibleControl::AccessibleControl(Window* window, Control* control)
    : window_(window), control_(control), alive_(control->AcquireWeakFlag()) {}

long AccessibleControl::ChildIdOf(Window* window, Control* control) {
  return kFirstEventId + window->AccessibleIdOf(control);
}

Control* AccessibleControl::Live() const { return alive_.expired() ? nullptr : control_; }

Control* AccessibleControl::Resolve(const VARIANT& child) const {
  Control* self = Live();
  if (!self || child.vt != VT_I4) return nullptr;
  if (child.lVal == CHILDID_SELF) return self;
  if (child.lVal >= kFirstEventId) {
    Control* control = window_->ControlOfAccessibleId(child.lVal - kFirstEventId);
    return control && self->Contains(control) ? control : nullptr;
  }
  const std::vector<Control*> children = VisibleChildren(self);
  if (child.lVal < 1 || child.lVal > static_cast<long>(children.size())) return nullptr;
  return children[child.lVal - 1];
}

IDispatch* AccessibleControl::Wrap(Control* control) const {
  return static_cast<IAccessible*>(Create(window_, control));
}

STDMETHODIMP AccessibleControl::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(riid, __uuidof(IUnknown)) || IsEqualIID(riid, __uuidof(IDispatch)) ||
      IsEqualIID(riid, __uuidof(IAccessible))) {
    *object = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) AccessibleControl::AddRef() { return ::InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) AccessibleControl::Release() {
  const ULONG refs = ::InterlockedDecrement(&refs_);
  if (refs == 0) delete this;
  return refs;
}

STDMETHODIMP AccessibleControl::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}
STDMETHODIMP AccessibleControl::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
STDMETHODIMP AccessibleControl::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}
STDMETHODIMP AccessibleControl::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                       EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

STDMETHODIMP AccessibleControl::get_accParent(IDispatch** parent) {
  if (!parent) return E_POINTER;
  *parent = nullptr;
  Control* self = Live();
  if (!self) return RPC_E_DISCONNECTED;
  Control* up = self->GetParent();
  if (!up) return S_FALSE;  // the root: the window's own object is above it
  *parent = Wrap(up);
  return S_OK;
}

STDMETHODIMP AccessibleControl::get_accChildCount(long* count) {
  if (!count) return E_POINTER;
  Control* self = Live();
  if (!self) return RPC_E_DISCONNECTED;
  *count = static_cast<long>(VisibleChildren(self).size());
  return S_OK;
}

STDMETHODIMP AccessibleControl::get_accChild(VARIANT child, IDispatch** dispatch) {
  if (!dispatch) return E_POINTER;
  *dispatch = nullptr;
  if (!Live()) return RPC_E_DISCONNECTED;
  Control* control = Resolve(child);
  if (!control) return E_INVALIDARG;
  *dispatch = Wrap(control);
  return S_OK;
}

STDMETHODIMP AccessibleControl::get_accName(VARIANT child, BSTR* name) {
  Control* control = Resolve(child);
  if (!control) return E_INVALIDARG;
  return ReturnText(control->GetAccessibleName(), name);
}

STDMETHODIMP AccessibleControl::get_accValue(VARIANT child, BSTR* value) {
  Control* control = Resolve(child);
  if (!control) return E_INVALIDARG;
  return ReturnText(control->GetAccessibleValue(), value);
}

STDMETHODIMP AccessibleControl::get_accDescription(VARIANT child, BSTR* description) {
  if (!Resolve(child)) return E_INVALIDARG;
  return ReturnText(std::wstring(), description);
}

STDMETHODIMP AccessibleControl::get_accRole(VARIANT child, VARIANT* role) {
  if (!role) return E_POINTER;
  Control* control = Resolve(child);
  if (!control) return E_INVALIDARG;
  role->vt = VT_I4;
  role->lVal = control->GetAccessibleRole();
  return S_OK;
}

STDMETHODIMP AccessibleControl::get_accState(VARIANT child, VARIANT* state) {
  if (!state) return E_POINTER;
  Control* control = Resolve(child);
  if (!control) return E_INVALIDARG;
  long bits = control->GetAccessibleStates();
  if (!control->IsLive()) bits |= control->IsVisible() ? STATE_SYSTEM_UNAVAILABLE : 0;
  for (const Control* c = control; c; c = c->GetParent()) {
    if (!c->IsVisible()) bits |= STATE_SYSTEM_INVISIBLE;
  }
  if (control->IsTabStop()) bits |= STATE_SYSTEM_FOCUSABLE;
  if (window_->GetFocus() == control) bits |= STATE_SYSTEM_FOCUSED;
  state->vt = VT_I4;
  state->lVal = bits;
  return S_OK;
}

STDMETHODIMP AccessibleControl::get_accHelp(VARIANT, BSTR* help) {
  return ReturnText(std::wstring(), help);
}
STDMETHODIMP AccessibleControl::get_accHelpTopic(BSTR*, VARIANT, long*) { return S_FALSE; }
STDMETHODIMP AccessibleControl::get_accKeyboardShortcut(VARIANT, BSTR* shortcut) {
  return ReturnText(std::wstring(), shortcut);
}

STDMETHODIMP AccessibleControl::get_accFocus(VARIANT* focus) {
  if (!focus) return E_POINTER;
  ::VariantInit(focus);
  Control* self = Live();
  if (!self) return RPC_E_DISCONNECTED;
  Control* focused = window_->GetFocus();
  if (!focused || !self->Contains(focused)) return S_FALSE;
  if (focused == self) {
    focus->vt = VT_I4;
    focus->lVal = CHILDID_SELF;
  } else {
    focus->vt = VT_DISPATCH;
    focus->pdispVal = Wrap(focused);
  }
  return S_OK;
}

STDMETHODIMP AccessibleControl::get_accSelection(VARIANT* selection) {
  if (!selection) return E_POINTER;
  ::VariantInit(selection);
  return S_FALSE;
}

STDMETHODIMP AccessibleControl::get_accDefaultAction(VARIANT child, BSTR* action) {
  Control* control = Resolve(child);
  if (!control) return E_INVALIDARG;
  return ReturnText(control->GetDefaultActionName(), action);
}

STDMETHODIMP AccessibleControl::accSelect(long flags, VARIANT child) {
  Control* control = Resolve(child);
  if (!control) return E_INVALIDARG;
  if (flags != SELFLAG_TAKEFOCUS || !control->IsTabStop()) return E_NOTIMPL;
  control->SetFocus();
  return S_OK;
}

STDMETHODIMP AccessibleControl::accLocation(long* left, long* top, long* width, long* height,
                                            VARIANT child) {
  if (!left || !top || !width || !height) return E_POINTER;
  Control* control = Resolve(child);
  if (!control) return E_INVALIDARG;
  const RECT pos = control->GetPos();
  POINT origin = {pos.left, pos.top};
  ::ClientToScreen(window_->GetHWND(), &origin);
  *left = origin.x;
  *top = origin.y;
  *width = pos.right - pos.left;
  *height = pos.bottom - pos.top;
  return S_OK;
}

STDMETHODIMP AccessibleControl::accNavigate(long, VARIANT, VARIANT* end) {
  if (end) ::VariantInit(end);
  return E_NOTIMPL;
}

STDMETHODIMP AccessibleControl::accHitTest(long left, long top, VARIANT* child) {
  if (!child) return E_POINTER;
  ::VariantInit(child);
  Control* self = Live();
  if (!self) return RPC_E_DISCONNECTED;
  POINT point = {left, top};
  ::ScreenToClient(window_->GetHWND(), &point);
  const RECT pos = self->GetPos();
  if (!::PtInRect(&pos, point)) return S_FALSE;
  // The deepest visible child under the point that a screen reader sees.
  Control* hit = self;
  for (bool deeper = true; deeper;) {
    deeper = false;
    for (Control* c : VisibleChildren(hit)) {
      const RECT r = c->GetPos();
      if (::PtInRect(&r, point)) {
        hit = c;
        deeper = true;
      }
    }
  }
  if (hit == self) {
    child->vt = VT_I4;
    child->lVal = CHILDID_SELF;
  } else {
    child->vt = VT_DISPATCH;
    child->pdispVal = Wrap(hit);
  }
  return S_OK;
}

STDMETHODIMP AccessibleControl::accDoDefaultAction(VARIANT child) {
  Control* control = Resolve(child);
  if (!control) return E_INVALIDARG;
  if (control->GetDefaultActionName().empty()) return DISP_E_MEMBERNOTFOUND;
  control->DoDefaultAction();
  return S_OK;
}

STDMETHODIMP AccessibleControl::put_accName(VARIANT, BSTR) { return E_NOTIMPL; }
STDMETHODIMP AccessibleControl::put_accValue(VARIANT, BSTR) { return E_NOTIMPL; }

}  // namespace ui
