#include "ui/widgets/CTxtWinHost.h"

#include <cwchar>

#include "base/DisplayDpi.h"
#include "base/SystemLibrary.h"
#include "ui/widgets/RichEdit.h"
#include "ui/core/Window.h"

namespace ui {

namespace {

// {8D33F740-CF58-11CE-A89D-00AA006CADC5}
const IID kIidTextServices = {
    0x8d33f740, 0xcf58, 0x11ce, {0xa8, 0x9d, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};
// {C5BDD8D0-D26E-11CE-A89E-00AA006CADC5}
const IID kIidTextHost = {
    0xc5bdd8d0, 0xd26e, 0x11ce, {0xa8, 0x9e, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};

}  // namespace

CTxtWinHost::CTxtWinHost(RichEdit* owner) : owner_(owner) {
  charFormat_.cbSize = sizeof(charFormat_);
  paraFormat_.cbSize = sizeof(paraFormat_);
  paraFormat_.dwMask = PFM_ALL;
  paraFormat_.wAlignment = PFA_LEFT;
  paraFormat_.cTabCount = 1;
  paraFormat_.rgxTabs[0] = 720;  // a tab stop every half inch
}

CTxtWinHost::~CTxtWinHost() = default;

bool CTxtWinHost::Create() {
  // Only the system's own library: a copy beside the program would run with
  // the installer's administrator rights.
  library_.Reset(nbase::LoadSystemLibrary(L"msftedit.dll"));
  if (!library_.IsValid()) return false;
  const auto create = reinterpret_cast<PCreateTextServices>(
      reinterpret_cast<void*>(::GetProcAddress(library_.Get(), "CreateTextServices")));
  if (!create) return false;
  IUnknown* unknown = nullptr;
  if (FAILED(create(nullptr, this, &unknown)) || !unknown) return false;
  void* services = nullptr;
  const HRESULT hr = unknown->QueryInterface(kIidTextServices, &services);
  unknown->Release();
  if (FAILED(hr) || !services) return false;
  services_ = static_cast<ITextServices*>(services);
  return true;
}

void CTxtWinHost::Shutdown() {
  owner_ = nullptr;
  if (services_) {
    services_->OnTxInPlaceDeactivate();
    services_->Release();
    services_ = nullptr;
  }
}

void CTxtWinHost::SetCharFormat(HFONT font, COLORREF colour) {
  LOGFONTW lf = {};
  ::GetObjectW(font, sizeof(lf), &lf);
  charFormat_ = CHARFORMAT2W();
  charFormat_.cbSize = sizeof(charFormat_);
  charFormat_.dwMask = CFM_SIZE | CFM_OFFSET | CFM_FACE | CFM_CHARSET | CFM_COLOR | CFM_BOLD |
                       CFM_ITALIC | CFM_UNDERLINE;
  const LONG height = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
  charFormat_.yHeight = ::MulDiv(height > 0 ? height : 12, 1440, nbase::GetScreenLogPixels());
  charFormat_.yOffset = 0;
  charFormat_.crTextColor = colour;
  charFormat_.bCharSet = lf.lfCharSet;
  charFormat_.bPitchAndFamily = lf.lfPitchAndFamily;
  wcsncpy_s(charFormat_.szFaceName, LF_FACESIZE, lf.lfFaceName, _TRUNCATE);
  if (lf.lfWeight >= FW_BOLD) charFormat_.dwEffects |= CFE_BOLD;
  if (lf.lfItalic) charFormat_.dwEffects |= CFE_ITALIC;
  if (lf.lfUnderline) charFormat_.dwEffects |= CFE_UNDERLINE;
  if (services_)
    services_->OnTxPropertyBitsChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetParaAlignment(WORD alignment) {
  paraFormat_.wAlignment = alignment;
  if (services_)
    services_->OnTxPropertyBitsChange(TXTBIT_PARAFORMATCHANGE, TXTBIT_PARAFORMATCHANGE);
}

void CTxtWinHost::SetPropertyBit(DWORD bit, bool on) {
  const DWORD bits = on ? (propertyBits_ | bit) : (propertyBits_ & ~bit);
  if (bits == propertyBits_) return;
  propertyBits_ = bits;
  if (services_) services_->OnTxPropertyBitsChange(bit, on ? bit : 0);
}

void CTxtWinHost::SetScrollBarStyle(DWORD style) {
  scrollBars_ = style;
  if (services_) services_->OnTxPropertyBitsChange(TXTBIT_SCROLLBARCHANGE, TXTBIT_SCROLLBARCHANGE);
}

void CTxtWinHost::SetMaxLength(DWORD length) {
  maxLength_ = length;
  if (services_) services_->OnTxPropertyBitsChange(TXTBIT_MAXLENGTHCHANGE, TXTBIT_MAXLENGTHCHANGE);
}

void CTxtWinHost::SetPasswordChar(wchar_t ch) { passwordChar_ = ch; }

void CTxtWinHost::SetClientRect(const RECT& rc) {
  clientRect_ = rc;
  if (services_)
    services_->OnTxPropertyBitsChange(TXTBIT_CLIENTRECTCHANGE, TXTBIT_CLIENTRECTCHANGE);
}

RECT CTxtWinHost::GetCaretRect() const {
  RECT rc = {caretPos_.x, caretPos_.y, caretPos_.x + (caretSize_.cx > 0 ? caretSize_.cx : 1),
             caretPos_.y + caretSize_.cy};
  return rc;
}

HWND CTxtWinHost::GetHwnd() const {
  if (!owner_ || !owner_->GetWindow()) return nullptr;
  return owner_->GetWindow()->GetHWND();
}

HRESULT CTxtWinHost::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIidTextHost)) {
    *object = static_cast<ITextHost*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG CTxtWinHost::AddRef() { return ++refCount_; }

ULONG CTxtWinHost::Release() {
  const ULONG count = --refCount_;
  if (count == 0) delete this;
  return count;
}

HDC CTxtWinHost::TxGetDC() { return ::GetDC(GetHwnd()); }

INT CTxtWinHost::TxReleaseDC(HDC hdc) { return ::ReleaseDC(GetHwnd(), hdc); }

WINBOOL CTxtWinHost::TxShowScrollBar(INT, WINBOOL) { return FALSE; }
WINBOOL CTxtWinHost::TxEnableScrollBar(INT, INT) { return FALSE; }
WINBOOL CTxtWinHost::TxSetScrollRange(INT, LONG, INT, WINBOOL) { return FALSE; }
WINBOOL CTxtWinHost::TxSetScrollPos(INT, INT, WINBOOL) { return FALSE; }

void CTxtWinHost::TxInvalidateRect(LPCRECT, WINBOOL) {
  if (owner_) owner_->OnTextServicesChanged();
}

void CTxtWinHost::TxViewChange(WINBOOL) {
  if (owner_) owner_->OnTextServicesChanged();
}

WINBOOL CTxtWinHost::TxCreateCaret(HBITMAP, INT width, INT height) {
  caretSize_.cx = width;
  caretSize_.cy = height;
  return TRUE;
}

WINBOOL CTxtWinHost::TxShowCaret(WINBOOL show) {
  caretVisible_ = show != FALSE;
  if (caretVisible_) PlaceCompositionWindow();
  if (owner_) owner_->OnTextServicesChanged();
  return TRUE;
}

WINBOOL CTxtWinHost::TxSetCaretPos(INT x, INT y) {
  caretPos_.x = x;
  caretPos_.y = y;
  if (caretVisible_) PlaceCompositionWindow();
  if (owner_) owner_->OnTextServicesChanged();
  return TRUE;
}

void CTxtWinHost::PlaceCompositionWindow() const {
  // The caret is drawn by the control, not by the system, so an input method
  // cannot find it by itself: tell it, as the system's own edit controls do,
  // where the composition starts and where its candidate list goes (below the
  // caret's line).
  HWND hwnd = GetHwnd();
  if (!hwnd) return;
  HIMC context = ::ImmGetContext(hwnd);
  if (!context) return;
  COMPOSITIONFORM composition = {};
  composition.dwStyle = CFS_POINT;
  composition.ptCurrentPos = caretPos_;
  ::ImmSetCompositionWindow(context, &composition);
  CANDIDATEFORM candidates = {};
  candidates.dwIndex = 0;
  candidates.dwStyle = CFS_CANDIDATEPOS;
  candidates.ptCurrentPos = {caretPos_.x, caretPos_.y + caretSize_.cy};
  ::ImmSetCandidateWindow(context, &candidates);
  ::ImmReleaseContext(hwnd, context);
}

// The caret is drawn solid and selection scrolling follows the mouse, so no
// timers are needed; refusing them makes the text services fall back to working
// without.
WINBOOL CTxtWinHost::TxSetTimer(UINT, UINT) { return FALSE; }
void CTxtWinHost::TxKillTimer(UINT) {}

void CTxtWinHost::TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) {
  if (owner_) owner_->OnTextServicesChanged();
}

void CTxtWinHost::TxSetCapture(WINBOOL capture) {
  if (!owner_ || !owner_->GetWindow()) return;
  if (capture) {
    owner_->GetWindow()->SetCapture();
  } else {
    owner_->GetWindow()->ReleaseCapture();
  }
}

void CTxtWinHost::TxSetFocus() {
  if (owner_) owner_->SetFocus();
}

void CTxtWinHost::TxSetCursor(HCURSOR cursor, WINBOOL) { ::SetCursor(cursor); }

WINBOOL CTxtWinHost::TxScreenToClient(LPPOINT pt) { return ::ScreenToClient(GetHwnd(), pt); }

WINBOOL CTxtWinHost::TxClientToScreen(LPPOINT pt) { return ::ClientToScreen(GetHwnd(), pt); }

HRESULT CTxtWinHost::TxActivate(LONG*) { return S_OK; }
HRESULT CTxtWinHost::TxDeactivate(LONG) { return S_OK; }

HRESULT CTxtWinHost::TxGetClientRect(LPRECT rect) {
  *rect = clientRect_;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT rect) {
  *rect = RECT{0, 0, 0, 0};
  return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** format) {
  *format = reinterpret_cast<const CHARFORMATW*>(&charFormat_);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** format) {
  *format = reinterpret_cast<const PARAFORMAT*>(&paraFormat_);
  return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int index) { return ::GetSysColor(index); }

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* style) {
  *style = TXTBACK_TRANSPARENT;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* length) {
  *length = maxLength_;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* scrollBars) {
  *scrollBars = scrollBars_;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(TCHAR* ch) {
  *ch = passwordChar_;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* pos) {
  *pos = -1;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL) { return E_NOTIMPL; }

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW*) { return S_OK; }
HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT*) { return S_OK; }

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD mask, DWORD* bits) {
  *bits = propertyBits_ & mask;
  return S_OK;
}

HRESULT CTxtWinHost::TxNotify(DWORD notify, void*) {
  if (notify == EN_CHANGE && owner_) owner_->OnTextChanged();
  return S_OK;
}

HIMC CTxtWinHost::TxImmGetContext() { return ::ImmGetContext(GetHwnd()); }

void CTxtWinHost::TxImmReleaseContext(HIMC context) { ::ImmReleaseContext(GetHwnd(), context); }

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* width) {
  *width = 0;
  return S_OK;
}

}  // namespace ui
