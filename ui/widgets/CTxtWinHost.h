// The host side of a windowless rich edit: answers the text services' questions
// about the control (client rectangle, formats, style bits) and turns their
// requests (repaint, caret, capture, focus, change notifications) into calls on
// the owning RichEdit.
#pragma once

#include <windows.h>
#include <imm.h>
#include <richedit.h>
#include <textserv.h>

#include <string>

#include "base/ScopedHandle.h"

namespace ui {

class RichEdit;

// ITextHost and ITextServices methods use the thiscall convention on 32-bit
// x86; plain virtual member functions are compiled that way, so they are
// declared without a calling convention. Only the IUnknown methods are stdcall.
// COM interfaces have no virtual destructor by design: objects die through
// Release().
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
class CTxtWinHost final : public ITextHost {
 public:
  explicit CTxtWinHost(RichEdit* owner);
  CTxtWinHost(const CTxtWinHost&) = delete;
  CTxtWinHost& operator=(const CTxtWinHost&) = delete;

  // Loads the rich edit library and creates the text services. False when
  // either fails; the control then shows its text with plain drawing.
  bool Create();
  // Releases the text services; the owner must not be called afterwards.
  void Shutdown();
  ITextServices* GetTextServices() const { return services_; }

  // Style and format state the text services read through the host interface.
  void SetCharFormat(HFONT font, COLORREF colour);
  void SetParaAlignment(WORD alignment);
  void SetPropertyBit(DWORD bit, bool on);
  DWORD GetPropertyBits() const { return propertyBits_; }
  void SetScrollBarStyle(DWORD style);
  void SetMaxLength(DWORD length);
  void SetPasswordChar(wchar_t ch);
  void SetClientRect(const RECT& rc);

  // Caret as the text services placed it, in window client coordinates.
  bool IsCaretVisible() const { return caretVisible_; }
  RECT GetCaretRect() const;

  // IUnknown.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // ITextHost.
  HDC TxGetDC() override;
  INT TxReleaseDC(HDC hdc) override;
  WINBOOL TxShowScrollBar(INT bar, WINBOOL show) override;
  WINBOOL TxEnableScrollBar(INT flags, INT arrows) override;
  WINBOOL TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL redraw) override;
  WINBOOL TxSetScrollPos(INT bar, INT pos, WINBOOL redraw) override;
  void TxInvalidateRect(LPCRECT rect, WINBOOL mode) override;
  void TxViewChange(WINBOOL update) override;
  WINBOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
  WINBOOL TxShowCaret(WINBOOL show) override;
  WINBOOL TxSetCaretPos(INT x, INT y) override;
  WINBOOL TxSetTimer(UINT id, UINT timeout) override;
  void TxKillTimer(UINT id) override;
  void TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN updateRegion,
                        LPRECT update, UINT flags) override;
  void TxSetCapture(WINBOOL capture) override;
  void TxSetFocus() override;
  void TxSetCursor(HCURSOR cursor, WINBOOL text) override;
  WINBOOL TxScreenToClient(LPPOINT pt) override;
  WINBOOL TxClientToScreen(LPPOINT pt) override;
  HRESULT TxActivate(LONG* oldState) override;
  HRESULT TxDeactivate(LONG newState) override;
  HRESULT TxGetClientRect(LPRECT rect) override;
  HRESULT TxGetViewInset(LPRECT rect) override;
  HRESULT TxGetCharFormat(const CHARFORMATW** format) override;
  HRESULT TxGetParaFormat(const PARAFORMAT** format) override;
  COLORREF TxGetSysColor(int index) override;
  HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override;
  HRESULT TxGetMaxLength(DWORD* length) override;
  HRESULT TxGetScrollBars(DWORD* scrollBars) override;
  HRESULT TxGetPasswordChar(TCHAR* ch) override;
  HRESULT TxGetAcceleratorPos(LONG* pos) override;
  HRESULT TxGetExtent(LPSIZEL extent) override;
  HRESULT OnTxCharFormatChange(const CHARFORMATW* format) override;
  HRESULT OnTxParaFormatChange(const PARAFORMAT* format) override;
  HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override;
  HRESULT TxNotify(DWORD notify, void* data) override;
  HIMC TxImmGetContext() override;
  void TxImmReleaseContext(HIMC context) override;
  HRESULT TxGetSelectionBarWidth(LONG* width) override;

 private:
  ~CTxtWinHost();
  HWND GetHwnd() const;
  // Points the input method at the caret.
  void PlaceCompositionWindow() const;

  RichEdit* owner_;
  ULONG refCount_ = 1;
  nbase::ScopedModule library_;
  ITextServices* services_ = nullptr;
  CHARFORMAT2W charFormat_ = {};
  PARAFORMAT2 paraFormat_ = {};
  DWORD propertyBits_ = 0;
  DWORD scrollBars_ = 0;
  DWORD maxLength_ = 32767;
  wchar_t passwordChar_ = L'*';
  RECT clientRect_ = {0, 0, 0, 0};
  bool caretVisible_ = false;
  POINT caretPos_ = {0, 0};
  SIZE caretSize_ = {1, 0};
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

}  // namespace ui
