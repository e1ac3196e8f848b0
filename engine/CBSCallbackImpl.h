// The bind-status callback handed to URLDownloadToFileW: forwards progress,
// asks for a fresh copy that bypasses the cache, and lets the transfer go on
// despite certificate-name/date problems and HTTP<->HTTPS redirects.
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
class CBSCallbackImpl : public IBindStatusCallback, public IHttpSecurity {
 public:
  using ProgressFunction = void (*)(ULONG progress, ULONG progressMax);

  explicit CBSCallbackImpl(ProgressFunction onProgress) : onProgress_(onProgress) {}
  ~CBSCallbackImpl() = default;
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

  // How often the platform asked for a window to show UI on.
  LONG windowRequests() const { return windowRequests_; }
  LONG refCount() const { return refCount_; }

 private:
  LONG windowRequests_ = 0;
  LONG refCount_ = 1;
  ProgressFunction onProgress_ = nullptr;
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
