#include "engine/CBSCallbackImpl.h"

#include <wininet.h>

namespace {

// Spelled out here so the program does not depend on the import library
// carrying them.
constexpr IID kIidWindowForBindingUI = {
    0x79eac9d5, 0xbafa, 0x11ce, {0x8c, 0x82, 0x00, 0xaa, 0x00, 0x4b, 0xa9, 0x0b}};
constexpr IID kIidHttpSecurity = {
    0x79eac9d7, 0xbafa, 0x11ce, {0x8c, 0x82, 0x00, 0xaa, 0x00, 0x4b, 0xa9, 0x0b}};
constexpr IID kIidHttpNegotiate = {
    0x79eac9d2, 0xbaf9, 0x11ce, {0x8c, 0x82, 0x00, 0xaa, 0x00, 0x4b, 0xa9, 0x0b}};

// Certificate name and date errors and redirects between HTTP and HTTPS do not
// stop the download.
constexpr DWORD kTolerantInternetFlags =
    INTERNET_FLAG_IGNORE_CERT_CN_INVALID | INTERNET_FLAG_IGNORE_CERT_DATE_INVALID |
    INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP;

}  // namespace

CBSCallbackImpl::~CBSCallbackImpl() {
  if (binding_ != nullptr) binding_->Release();
}

STDMETHODIMP CBSCallbackImpl::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBindStatusCallback)) {
    *object = static_cast<IBindStatusCallback*>(this);
  } else if (IsEqualIID(riid, kIidHttpSecurity) || IsEqualIID(riid, kIidWindowForBindingUI)) {
    *object = static_cast<IHttpSecurity*>(this);
  } else if (IsEqualIID(riid, kIidHttpNegotiate)) {
    // The download service asks the callback itself for this interface.
    *object = static_cast<IHttpNegotiate*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CBSCallbackImpl::AddRef() {
  return static_cast<ULONG>(::InterlockedIncrement(&refCount_));
}

STDMETHODIMP_(ULONG) CBSCallbackImpl::Release() {
  return static_cast<ULONG>(::InterlockedDecrement(&refCount_));
}

STDMETHODIMP CBSCallbackImpl::OnStartBinding(DWORD, IBinding* binding) {
  if (binding_ != nullptr) binding_->Release();
  binding_ = binding;
  if (binding_ != nullptr) binding_->AddRef();
  return S_OK;
}

STDMETHODIMP CBSCallbackImpl::GetPriority(LONG*) { return E_NOTIMPL; }

STDMETHODIMP CBSCallbackImpl::OnLowResource(DWORD) { return S_OK; }

STDMETHODIMP CBSCallbackImpl::OnProgress(ULONG progress, ULONG progressMax, ULONG, LPCWSTR) {
  // Only new bytes count as progress: status notes at the same count do not.
  if (progress > lastProgress_) {
    lastProgress_ = progress;
    lastProgressTick_ = ::GetTickCount();
  }
  if (onProgress_ != nullptr) onProgress_(progress, progressMax);
  return S_OK;
}

STDMETHODIMP CBSCallbackImpl::OnStopBinding(HRESULT, LPCWSTR) {
  if (binding_ != nullptr) binding_->Release();
  binding_ = nullptr;
  return S_OK;
}

void CBSCallbackImpl::BeginTransfer(DWORD nowTick) {
  ResetHttpStatus();
  lastProgress_ = 0;
  lastProgressTick_ = nowTick;
  stalled_ = false;
}

void CBSCallbackImpl::AbortIfStalled(DWORD nowTick, DWORD limitMs) {
  if (stalled_ || nowTick - lastProgressTick_ < limitMs) return;
  // Without a binding yet there is nothing to abort; the next check tries again.
  if (binding_ == nullptr) return;
  stalled_ = true;
  binding_->Abort();
}

STDMETHODIMP CBSCallbackImpl::GetBindInfo(DWORD* bindFlags, BINDINFO* bindInfo) {
  if (bindFlags != nullptr) *bindFlags |= BINDF_GETNEWESTVERSION | BINDF_NOWRITECACHE;
  if (bindInfo != nullptr && bindInfo->cbSize >= sizeof(BINDINFO)) {
    bindInfo->dwOptions |= BINDINFO_OPTIONS_WININETFLAG;
    bindInfo->dwOptionsFlags |= kTolerantInternetFlags;
  }
  return S_OK;
}

STDMETHODIMP CBSCallbackImpl::OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) { return S_OK; }

STDMETHODIMP CBSCallbackImpl::OnObjectAvailable(REFIID, IUnknown*) { return S_OK; }

STDMETHODIMP CBSCallbackImpl::GetWindow(REFGUID, HWND* window) {
  ::InterlockedIncrement(&windowRequests_);
  if (window != nullptr) *window = ::GetDesktopWindow();
  return S_OK;
}

STDMETHODIMP CBSCallbackImpl::OnSecurityProblem(DWORD) { return RPC_E_RETRY; }

STDMETHODIMP CBSCallbackImpl::BeginningTransaction(LPCWSTR, LPCWSTR, DWORD,
                                                   LPWSTR* additionalHeaders) {
  if (additionalHeaders != nullptr) *additionalHeaders = nullptr;
  return S_OK;
}

STDMETHODIMP CBSCallbackImpl::OnResponse(DWORD responseCode, LPCWSTR, LPCWSTR,
                                         LPWSTR* additionalRequestHeaders) {
  if (additionalRequestHeaders != nullptr) *additionalRequestHeaders = nullptr;
  ::InterlockedExchange(&httpStatus_, static_cast<LONG>(responseCode));
  return S_OK;
}
