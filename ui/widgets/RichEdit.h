// An edit field drawn by the windowless rich edit of msftedit.dll, hosted
// through CTxtWinHost. The text services are created on first need (painting
// while visible, input, or a caller asking for them) once the control is bound
// to its window; text set before then is kept and applied when they are.
#pragma once

#include <windows.h>
#include <oleacc.h>
#include <richedit.h>

#include <string>

#include "ui/layouts/ScrollableBox.h"

namespace ui {

class CTxtWinHost;

class RichEdit : public ScrollableBox {
 public:
  RichEdit();
  ~RichEdit() override;

  std::wstring GetType() const override { return L"RichEdit"; }
  bool IsCaptionClient() const override { return true; }
  bool ApplyAttribute(const std::wstring& name, const std::wstring& value) override;

  // Replaces the whole content (select all, replace the selection).
  void SetText(const std::wstring& text);
  // The text as the text services hold it: paragraph breaks come back as one CR
  // each.
  std::wstring GetText() const;

  bool IsMultiLine() const { return multiLine_; }
  bool IsReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  bool IsPassword() const { return password_; }
  bool IsRich() const { return rich_; }
  bool WantsTabKey() const override { return wantTab_; }
  long GetAccessibleRole() const override { return ROLE_SYSTEM_TEXT; }
  std::wstring GetAccessibleValue() const override { return GetText(); }
  long GetAccessibleStates() const override { return readOnly_ ? STATE_SYSTEM_READONLY : 0; }
  bool WantsReturnMessage() const { return wantReturnMsg_; }
  int GetFont() const { return font_; }
  void SetFont(int font);
  void SetTextColour(const std::wstring& colour);
  const std::wstring& GetPromptText() const { return promptText_; }
  // The size the text needs when laid out |width| pixels wide, from the text
  // services; {0, 0} without them.
  SIZE GetNaturalSize(LONG width, LONG height);
  // Whether the text services are available, creating them when the control
  // is bound to its window and they do not exist yet (false before the window
  // binds the control, or when msftedit.dll is missing).
  bool HasTextServices() const;

  SIZE EstimateSize(SIZE available) override;
  void SetPos(RECT rc) override;
  void SetEnabled(bool enabled) override;
  void Paint(IRenderContext* context, const RECT& paintRect) override;

  // Called by the host.
  void OnTextServicesChanged();
  void OnTextChanged();
  // The rectangle the text is laid out in (the control less its padding).
  RECT GetTextRect() const;

 protected:
  bool AcceptsKeyboardFocus() const override { return true; }
  void Init() override;
  void DefaultHandleEvent(EventArgs& args) override;

 private:
  HFONT GetFontHandle() const;
  void ApplyCharFormat();
  void ApplyStyleBits();
  // Creates the text services on first need; false when they cannot be.
  // Logically const: the services are a cache of this control's state.
  bool EnsureTextServices() const;
  bool TextServicesCreated() const;
  LRESULT SendToServices(UINT msg, WPARAM wParam, LPARAM lParam) const;

  CTxtWinHost* host_ = nullptr;
  std::wstring pendingText_;
  mutable bool servicesAttempted_ = false;
  bool multiLine_ = true;
  bool readOnly_ = false;
  bool password_ = false;
  bool number_ = false;
  bool autoVScroll_ = false;
  bool autoHScroll_ = false;
  bool rich_ = true;
  bool wantTab_ = true;
  bool wantReturnMsg_ = false;
  bool returnMsgWantCtrl_ = false;
  bool promptMode_ = false;
  WORD alignment_ = PFA_LEFT;
  int font_ = 1;
  std::wstring textColour_;
  std::wstring disabledTextColour_;
  std::wstring caretColour_;
  std::wstring promptColour_;
  std::wstring promptText_;
  Image focusedImage_;
};

}  // namespace ui
