// The bind-status callback handed to URLDownloadToFileW: forwards progress,
// asks for a fresh copy that bypasses the cache, and lets the transfer go on
// despite certificate-name/date problems and HTTP<->HTTPS redirects.
// It also notes the HTTP status of the answer: some platforms report an error
// page (404, 503...) as a successful transfer of its body, and it keeps the
// binding of the running transfer so that a stalled one can be aborted.
// It lives on the stack of the download task, so Release never deletes it.
#pragma once

#include <windows.h>
#include <urlmon.h>

// COM interfaces are released through Release, never deleted through a base
// pointer, so their missing virtual destructors do not matter.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
class CBSCallbackImpl : public IBindStatusCallback, public IHttpSecurity, public IHttpNegotiate {
 public:
  using ProgressFunction = void (*)(ULONG progress, ULONG progressMax);

  explicit CBSCallbackImpl(ProgressFunction onProgress) : onProgress_(onProgress) {}
  ~CBSCallbackImpl();
  CBSCallbackImpl(const CBSCallbackImpl&) = delete;
  CBSCallbackImpl& operator=(const CBSCallbackImpl&) = delete;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IBindStatusCallback
  STDMETHODIMP OnStartBinding(DWORD reserved, IBinding* binding) override;
  STDMETHODIMP GetPriority(LONG* priority) override;
  STDMETHODIMP OnLowResource(DWORD reserved) override;
  STDMETHODIMP OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode,
                          LPCWSTR statusText) override;
  STDMETHODIMP OnStopBinding(HRESULT result, LPCWSTR error) override;
  STDMETHODIMP GetBindInfo(DWORD* bindFlags, BINDINFO* bindInfo) override;
  STDMETHODIMP OnDataAvailable(DWORD flags, DWORD size, FORMATETC* format,
                               STGMEDIUM* medium) override;
  STDMETHODIMP OnObjectAvailable(REFIID riid, IUnknown* object) override;

  // IWindowForBindingUI / IHttpSecurity
  STDMETHODIMP GetWindow(REFGUID reason, HWND* window) override;
  STDMETHODIMP OnSecurityProblem(DWORD problem) override;

  // IHttpNegotiate: adds no headers, only remembers the response code.
  STDMETHODIMP BeginningTransaction(LPCWSTR url, LPCWSTR headers, DWORD reserved,
                                    LPWSTR* additionalHeaders) override;
  STDMETHODIMP OnResponse(DWORD responseCode, LPCWSTR responseHeaders, LPCWSTR requestHeaders,
                          LPWSTR* additionalRequestHeaders) override;

  // How often the platform asked for a window to show UI on.
  LONG windowRequests() const { return windowRequests_; }
  LONG refCount() const { return refCount_; }

  // The HTTP status of the last answer, 0 when none was seen since the last
  // reset (call ResetHttpStatus before each transfer).
  DWORD httpStatus() const { return static_cast<DWORD>(httpStatus_); }
  void ResetHttpStatus() { ::InterlockedExchange(&httpStatus_, 0); }

  // Starts the stall clock of a new transfer at |nowTick| (GetTickCount).
  void BeginTransfer(DWORD nowTick);
  // Aborts the running transfer when it has brought no new bytes for
  // |limitMs| since it began or since its last progress. Call on the thread
  // that runs the transfer.
  void AbortIfStalled(DWORD nowTick, DWORD limitMs);
  // The current transfer was aborted because it stalled.
  bool stalled() const { return stalled_; }

 private:
  LONG windowRequests_ = 0;
  LONG refCount_ = 1;
  // Written by the platform's thread, read by the download task.
  LONG httpStatus_ = 0;
  ProgressFunction onProgress_ = nullptr;
  // The running transfer's binding, held from OnStartBinding to OnStopBinding.
  IBinding* binding_ = nullptr;
  ULONG lastProgress_ = 0;
  DWORD lastProgressTick_ = 0;
  bool stalled_ = false;
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
