#include "engine/DesktopShell.h"

#include <windows.h>
#include <exdisp.h>
#include <oleauto.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "base/ScopedComInit.h"

namespace {

// Spelled out here: the import libraries' copies are not all there on every toolchain.
constexpr CLSID kClsidShellWindows = {
    0x9ba05972, 0xf6a8, 0x11cf, {0xa4, 0x42, 0x00, 0xa0, 0xc9, 0x0a, 0x8f, 0x39}};
constexpr GUID kSidTopLevelBrowser = {
    0x4c96be40, 0x915c, 0x11cf, {0x99, 0xd3, 0x00, 0xaa, 0x00, 0x4a, 0xe8, 0x37}};

// Holds one reference to a COM object.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() { Reset(); }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;

  T* Get() const { return object_; }
  T* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  // For out-parameters: releases what is held first.
  T** Receive() {
    Reset();
    return &object_;
  }
  void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

 private:
  void Reset() {
    if (object_) object_->Release();
    object_ = nullptr;
  }
  T* object_ = nullptr;
};

// A VARIANT that owns what it holds.
class Variant {
 public:
  Variant() { ::VariantInit(&value_); }
  explicit Variant(const std::wstring& text) : Variant() {
    if (text.empty()) return;  // left out: VT_EMPTY
    value_.vt = VT_BSTR;
    value_.bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  }
  explicit Variant(int number) : Variant() {
    value_.vt = VT_I4;
    value_.lVal = number;
  }
  ~Variant() { ::VariantClear(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  VARIANT* Get() { return &value_; }

 private:
  VARIANT value_;
};

// The desktop's folder view, as its Shell.Application object.
bool FindDesktopShell(ComRef<IShellDispatch2>* shell) {
  ComRef<IShellWindows> windows;
  if (FAILED(::CoCreateInstance(kClsidShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                                __uuidof(IShellWindows), windows.ReceiveVoid())))
    return false;
  Variant location(static_cast<int>(CSIDL_DESKTOP));
  Variant root;
  long hwnd = 0;
  ComRef<IDispatch> desktop;
  // S_FALSE: no desktop window.
  if (windows->FindWindowSW(location.Get(), root.Get(), SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH,
                            desktop.Receive()) != S_OK ||
      !desktop)
    return false;
  ComRef<IServiceProvider> services;
  ComRef<IShellBrowser> browser;
  ComRef<IShellView> view;
  ComRef<IDispatch> background;
  ComRef<IShellFolderViewDual> folderView;
  ComRef<IDispatch> application;
  return SUCCEEDED(desktop->QueryInterface(__uuidof(IServiceProvider), services.ReceiveVoid())) &&
         SUCCEEDED(services->QueryService(kSidTopLevelBrowser, __uuidof(IShellBrowser),
                                          browser.ReceiveVoid())) &&
         SUCCEEDED(browser->QueryActiveShellView(view.Receive())) &&
         SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, __uuidof(IDispatch),
                                       background.ReceiveVoid())) &&
         SUCCEEDED(background->QueryInterface(__uuidof(IShellFolderViewDual),
                                              folderView.ReceiveVoid())) &&
         SUCCEEDED(folderView->get_Application(application.Receive())) &&
         SUCCEEDED(application->QueryInterface(__uuidof(IShellDispatch2), shell->ReceiveVoid()));
}

}  // namespace

bool ExecuteInDesktopShell(const std::wstring& file, const std::wstring& parameters,
                           const std::wstring& directory) {
  const nbase::ScopedComInit com;
  ComRef<IShellDispatch2> shell;
  if (!FindDesktopShell(&shell)) return false;
  BSTR fileText = ::SysAllocStringLen(file.data(), static_cast<UINT>(file.size()));
  if (!fileText) return false;
  Variant arguments(parameters);
  Variant folder(directory);
  Variant verb(std::wstring(L"open"));
  Variant show(SW_SHOWNORMAL);
  const HRESULT result =
      shell->ShellExecute(fileText, *arguments.Get(), *folder.Get(), *verb.Get(), *show.Get());
  ::SysFreeString(fileText);
  return SUCCEEDED(result);
}
