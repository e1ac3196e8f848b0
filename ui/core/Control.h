// The base of every element of a window's control tree: geometry, visual state,
// images, painting and event dispatch.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "base/SupportWeakCallback.h"
#include "ui/core/EventArgs.h"
#include "ui/misc/Geometry.h"
#include "ui/core/Image.h"

namespace ui {

class ControlHost;

// The colour of global.xml the focus cue is drawn in (black when the skin has none).
constexpr wchar_t kFocusCueColour[] = L"focus_cue";
class IRenderContext;
class Window;

enum HorAlignType { kHorAlignLeft = 0, kHorAlignCenter = 1, kHorAlignRight = 2 };
enum VerAlignType { kVerAlignTop = 0, kVerAlignCenter = 1, kVerAlignBottom = 2 };
enum ControlStateType {
  kControlStateNormal = 0,
  kControlStateHot = 1,
  kControlStatePushed = 2,
  kControlStateDisabled = 3,
};
enum CursorType { kCursorArrow = 0, kCursorHand = 1, kCursorIBeam = 2 };

using EventHandlerMap = std::map<EventCode, std::vector<EventCallback>>;

class Control : public nbase::SupportWeakCallback {
 public:
  Control();
  ~Control() override;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // The element name this kind is created from ("Control", "Box", "Label",
  // ...).
  virtual std::wstring GetType() const { return L"Control"; }
  virtual bool IsBox() const { return false; }
  // Whether a press inside the window's caption band reaches this control
  // instead of dragging the window (buttons, check boxes, edit fields).
  virtual bool IsCaptionClient() const { return false; }

  // Binds the control to its window and parent; Init() runs once, on the first
  // bind with |init| set (the layout builder binds without it, the window with
  // it).
  virtual void SetWindow(ControlHost* host, Control* parent, bool init = true);
  ControlHost* GetHost() const { return host_; }
  // The host's window; null before the control is bound.
  Window* GetWindow() const;
  // Whether the control has been bound to its window for real (see SetWindow).
  bool IsInitialised() const { return initialised_; }
  Control* GetParent() const { return parent_; }
  const std::wstring& GetName() const { return name_; }
  void SetName(const std::wstring& name) { name_ = name; }

  // Applies one layout attribute; false when no kind up the chain knows the
  // name.
  virtual bool ApplyAttribute(const std::wstring& name, const std::wstring& value);
  // "class" attribute: each space-separated class name, global class first,
  // then the window's own class of that name.
  void ApplyClasses(const std::wstring& classList);
  // Applies each name="value" pair of an attribute string (a class's, an Event's) as if
  // written on the control's element.
  void ApplyAttributeList(const std::wstring& text);

  // Geometry. Positions are window client coordinates.
  const RECT& GetPos() const { return pos_; }
  virtual void SetPos(RECT rc);
  // The size the control wants inside |available|: stretch (-1) where it takes
  // what it is offered, pixels otherwise.
  virtual SIZE EstimateSize(SIZE available);
  int GetFixedWidth() const { return fixedWidth_; }
  int GetFixedHeight() const { return fixedHeight_; }
  // Negative values other than stretch (-1) and auto (-2) are ignored.
  void SetFixedWidth(int width, bool arrange = true, bool scale = true);
  void SetFixedHeight(int height, bool arrange = true, bool scale = true);
  int GetMinWidth() const { return minWidth_; }
  int GetMinHeight() const { return minHeight_; }
  int GetMaxWidth() const { return maxWidth_; }
  int GetMaxHeight() const { return maxHeight_; }
  void SetMinWidth(int width) { minWidth_ = width; }
  void SetMinHeight(int height) { minHeight_ = height; }
  void SetMaxWidth(int width) { maxWidth_ = width; }
  void SetMaxHeight(int height) { maxHeight_ = height; }
  const RECT& GetMargin() const { return margin_; }
  void SetMargin(const RECT& margin, bool scale = true);
  HorAlignType GetHorAlignType() const { return horAlign_; }
  VerAlignType GetVerAlignType() const { return verAlign_; }
  void SetHorAlignType(HorAlignType align) { horAlign_ = align; }
  void SetVerAlignType(VerAlignType align) { verAlign_ = align; }
  bool IsFloat() const { return float_; }
  void SetFloat(bool value) { float_ = value; }

  // The topmost visible control under |pt| (this one or a descendant); null
  // when the point is outside. With |mouseEnabledOnly|, controls that do not
  // take the mouse are passed over.
  virtual Control* FindControl(const POINT& pt, bool mouseEnabledOnly = true);

  // State.
  bool IsVisible() const { return visible_; }
  virtual void SetVisible(bool visible);
  bool IsEnabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);
  bool IsMouseEnabled() const { return mouseEnabled_; }
  void SetMouseEnabled(bool enabled) { mouseEnabled_ = enabled; }
  bool IsKeyboardEnabled() const { return keyboardEnabled_; }
  void SetKeyboardEnabled(bool enabled) { keyboardEnabled_ = enabled; }
  // Shown and enabled, and so is every enclosing box: only such a control takes keys or
  // activates.
  bool IsLive() const;
  // True when |control| is this control or lies inside it.
  bool Contains(const Control* control) const;
  bool IsFocused() const { return focused_; }
  // Asks the window to give this control the keyboard focus.
  void SetFocus();
  // The handle of a font number of global.xml, else the window's default font.
  HFONT GetFontHandle(int fontNumber) const;
  bool IsNoFocus() const { return noFocus_; }
  // Tab and Shift+Tab stop here: a live, keyboard-enabled control of a kind that takes the
  // keyboard, not marked nofocus.
  bool IsTabStop() const;
  // Whether Tab is input for this control rather than a move to the next one.
  virtual bool WantsTabKey() const { return false; }
  // Where the focus cue is drawn: just inside the control, or around what it shows.
  virtual RECT GetFocusCueRect() const;

  // What a screen reader is told of this control (AccessibleControl asks): an MSAA role
  // (ROLE_SYSTEM_*), a name (the layout's "accname", else what the control shows), a value,
  // the states beyond those every control has, and the name of the default action.
  virtual long GetAccessibleRole() const;
  virtual std::wstring GetAccessibleName() const { return accessibleName_; }
  virtual std::wstring GetAccessibleValue() const { return std::wstring(); }
  virtual long GetAccessibleStates() const { return 0; }
  virtual std::wstring GetDefaultActionName() const { return std::wstring(); }
  // The default action goes the way a click does.
  void DoDefaultAction();
  // Tells screen readers that something of this control changed (an EVENT_OBJECT_* code).
  void NotifyAccessible(DWORD event);
  bool IsMenuEnabled() const { return menu_; }
  ControlStateType GetState() const { return state_; }
  void SetState(ControlStateType state);
  CursorType GetCursorType() const { return cursorType_; }
  int GetAlpha() const { return alpha_; }
  const std::wstring& GetDataId() const { return dataId_; }
  const std::wstring& GetToolTipText() const { return toolTip_; }
  bool IsMouseCaptured() const { return mouseCaptured_; }

  // Colours (names of the colour table).
  const std::wstring& GetBkColor() const { return bkColor_; }
  void SetBkColor(const std::wstring& colour);
  void SetStateColor(ControlStateType state, const std::wstring& colour);
  const std::wstring& GetStateColor(ControlStateType state) const;
  void SetBorderColor(const std::wstring& colour);
  void SetBorderSize(const RECT& size);
  SIZE GetBorderRound() const { return borderRound_; }
  void SetBorderRound(SIZE round);

  // Images.
  const std::wstring& GetBkImage() const { return bkImage_.GetImageString(); }
  // Replaces the background image; re-runs the layout when the control sizes
  // itself to it.
  bool SetBkImage(const std::wstring& imageString);
  void SetStateImage(ControlStateType state, const std::wstring& imageString);
  void SetForeStateImage(ControlStateType state, const std::wstring& imageString);
  Image& GetBkImageSlot() { return bkImage_; }
  Image& GetStateImageSlot(ControlStateType state) { return stateImages_[state]; }
  Image& GetForeStateImageSlot(ControlStateType state) { return foreStateImages_[state]; }

  // Events. Handlers run in the order they were added.
  void AddEventHandler(EventCode code, const EventCallback& handler);
  void AddClickHandler(const EventCallback& handler) { AddEventHandler(kEventClick, handler); }
  void AddSelectHandler(const EventCallback& handler) { AddEventHandler(kEventSelect, handler); }
  void AddUnselectHandler(const EventCallback& handler) {
    AddEventHandler(kEventUnSelect, handler);
  }
  void AddXmlEventHandler(EventCode code, const EventCallback& handler);
  // Raises an event with this control as its sender. |mousePoint| defaults to
  // the window's last mouse position when the window is known.
  void SendEvent(EventCode code, WPARAM wParam = 0, LPARAM lParam = 0, wchar_t key = 0);
  void SendEvent(EventCode code, WPARAM wParam, LPARAM lParam, wchar_t key,
                 const POINT& mousePoint);
  // Runs the handlers of this control (and bubbled ones of a box), then default
  // handling; default handling passes what it does not consume to the parent.
  virtual void DispatchEvent(EventArgs& args);

  // Painting: only when the control's rectangle meets |paintRect|.
  virtual void Paint(IRenderContext* context, const RECT& paintRect);
  void Invalidate();
  // Re-runs the layout that places this control: the parent's, or (climbing
  // past auto-sized ancestors) the nearest one whose size does not depend on
  // its content; at the root the window re-arranges.
  void ArrangeAncestor();
  // For the control itself changing while its size is fixed: repaint; when
  // auto-sized the ancestors' layout runs again.
  void ArrangeSelf();
  bool IsArranged() const { return arranged_; }
  virtual void SetArranged(bool arranged) { arranged_ = arranged; }
  bool IsAutoSized() const { return fixedWidth_ == kLengthAuto || fixedHeight_ == kLengthAuto; }

 protected:
  void DropFocusWithin();
  // Called once when the control is bound to its window for real.
  virtual void Init() {}
  // Default handling of events that reached this control without being stopped.
  virtual void DefaultHandleEvent(EventArgs& args);
  // Box adds its bubbled handlers; returns false when the control was destroyed
  // meanwhile.
  virtual bool RunBubbledHandlers(EventArgs& args, bool* result,
                                  const std::weak_ptr<nbase::WeakFlag>& alive);
  // Runs one handler list; false when the control was destroyed meanwhile.
  static bool RunHandlerList(const EventHandlerMap& map, EventCode code, EventArgs& args,
                             bool* result, const std::weak_ptr<nbase::WeakFlag>& alive);

  // Mouse state changes.
  virtual void MouseEnter(EventArgs& args);
  virtual void MouseLeave(EventArgs& args);
  virtual void ButtonDown(EventArgs& args);
  virtual void ButtonUp(EventArgs& args);
  // What a completed click does (Button: raise click; CheckBox: toggle).
  virtual void Activate() {}
  // Kinds of control that take the keyboard (buttons, check boxes, edits).
  virtual bool AcceptsKeyboardFocus() const { return false; }

  // Painting steps, in order.
  virtual void PaintBkColor(IRenderContext* context);
  virtual void PaintBkImage(IRenderContext* context);
  virtual void PaintStatusColor(IRenderContext* context);
  virtual void PaintStatusImage(IRenderContext* context);
  virtual void PaintText(IRenderContext* /*context*/) {}
  virtual void PaintBorder(IRenderContext* context);
  // The focus rectangle a keyboard user sees on the focused control.
  void PaintFocusCue(IRenderContext* context);
  // |area| with the cue's margin around it.
  RECT FocusCueAround(RECT area) const;

  // Draws one image slot, optionally with a modifier string applied to a copy
  // of its spec.
  bool DrawImage(IRenderContext* context, Image& image, const std::wstring& modifier = L"");
  // One image per state, indexed by ControlStateType.
  using StateImageSet = Image[4];
  // Draws the image a control in |state| shows from |images|: the state's own,
  // else the state below it (pushed -> hot -> normal; hot and disabled ->
  // normal). False when none of them is set.
  bool DrawStateImage(IRenderContext* context, StateImageSet& images, ControlStateType state);
  StateImageSet& StateImages() { return stateImages_; }
  StateImageSet& ForeStateImages() { return foreStateImages_; }
  // The state painted: disabled when the control is, else its own.
  ControlStateType GetPaintState() const;
  // The decoded image of a slot (loads it on first use).
  ImageInfo* LoadImage(Image& image);
  // The window's resource folder (empty without a window).
  std::wstring GetWindowResourceFolder() const;
  // Colour of a name: 0 for an empty name.
  static DWORD ResolveColour(const std::wstring& name);

  // Size estimate of the image the control sizes itself to; false when none
  // applies. When the image string has a full dest, *fixed is set and the dest
  // size is the answer.
  virtual Image* GetSizingImage();
  bool EstimateImageSize(SIZE* size, bool* fixed);

  // Cached estimate, cleared by anything that changes it.
  void InvalidateEstimate() { estimateValid_ = false; }
  bool GetCachedEstimate(SIZE available, SIZE* size) const;
  void SetCachedEstimate(SIZE available, SIZE size);

  // Whether |area| lies where a rounded background is solid (see PaintBkColor).
  bool IsInsideRoundedFill(const RECT& area) const;

  // The rectangle being painted, for the drawing helpers.
  const RECT& GetPaintRect() const { return paintRect_; }

 private:
  ControlHost* host_ = nullptr;
  Control* parent_ = nullptr;
  std::wstring name_;
  std::wstring accessibleName_;
  int fixedWidth_ = kLengthStretch;
  int fixedHeight_ = kLengthStretch;
  int minWidth_ = -1;
  int minHeight_ = -1;
  int maxWidth_ = kMaxLength;
  int maxHeight_ = kMaxLength;
  HorAlignType horAlign_ = kHorAlignLeft;
  VerAlignType verAlign_ = kVerAlignTop;
  RECT margin_ = {0, 0, 0, 0};
  RECT pos_ = {0, 0, 0, 0};
  bool float_ = false;
  bool visible_ = true;
  bool enabled_ = true;
  bool mouseEnabled_ = true;
  bool keyboardEnabled_ = true;
  bool focused_ = false;
  bool noFocus_ = false;
  bool menu_ = false;
  bool receivePointer_ = false;
  bool mouseCaptured_ = false;
  bool initialised_ = false;
  bool arranged_ = false;
  ControlStateType state_ = kControlStateNormal;
  CursorType cursorType_ = kCursorArrow;
  int alpha_ = 255;
  std::wstring dataId_;
  std::wstring toolTip_;

  std::wstring bkColor_;
  std::wstring stateColors_[4];
  std::wstring borderColor_;
  RECT borderSize_ = {0, 0, 0, 0};
  SIZE borderRound_ = {0, 0};

  Image bkImage_;
  StateImageSet stateImages_;
  StateImageSet foreStateImages_;

  EventHandlerMap handlers_;
  EventHandlerMap xmlHandlers_;

  bool estimateValid_ = false;
  SIZE estimateAvailable_ = {0, 0};
  SIZE estimate_ = {0, 0};

  RECT paintRect_ = {0, 0, 0, 0};
  int classDepth_ = 0;  // guards against classes that apply themselves
};

}  // namespace ui
