// Baselines for the installation benchmark, measured on the same platform as
// the installer itself:
//
//   bench_flow_probe download URL PATH [URL2 PATH2]
//     URLDownloadToFileW with the installer's bind flags (newest version, no
//     cache write), first call in a fresh process ("cold") and, with a second
//     pair, again in the same process ("warm"). Prints one line per call:
//       download cold|warm <milliseconds> <hresult> <bytes> <unix start time>
//
//   bench_flow_probe window SECONDS [DLL...]
//     Loads the given DLLs, shows a bare 628x428 layered window painted once
//     and idles for SECONDS: the platform's own share of a skinned window
//     program's working set. The probe carries the installer's manifest.
//
//   bench_flow_probe startup SECONDS PNG [no-common-controls]
//     The same window after what the installer's start-up and welcome page ask
//     of the platform, and nothing of its own: two more threads that wait for
//     work, the sockets of the start-up report, the shell's special folders,
//     the common controls (with the installer's manifest), and GDI+ with the
//     PNG decoded and kept and one line of Chinese text drawn into the window's
//     off-screen bitmap, which is kept too. With "no-common-controls", all of
//     that but the common controls.
//
// The download, socket, shell and common-controls DLLs are loaded only by the
// modes that use them, so that no baseline carries them unasked.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <gdiplus.h>
#include <process.h>
#include <shlobj.h>
#include <urlmon.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// COM objects are released, never deleted through a base pointer.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
// The installer's bind-status callback in the essentials that shape the
// transfer: the bind flags. Lives on the stack, so it never deletes itself.
class ProbeCallback : public IBindStatusCallback {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (riid == IID_IUnknown || riid == IID_IBindStatusCallback) {
      *object = static_cast<IBindStatusCallback*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
  HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD, IBinding*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetPriority(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnProgress(ULONG, ULONG, ULONG, LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT, LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* flags, BINDINFO*) override {
    *flags |= BINDF_GETNEWESTVERSION | BINDF_NOWRITECACHE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

 private:
  ULONG refs_ = 1;
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

double NowMs() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER counter;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

long long FileBytes(const wchar_t* path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Wall-clock seconds since 1970, to line the call up with the service's log.
double UnixSeconds() {
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  const unsigned long long ticks =
      (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return static_cast<double>(ticks - 116444736000000000ULL) / 1e7;
}

template <typename Function>
Function SystemFunction(const wchar_t* dll, const char* name) {
  HMODULE module = ::LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return module
             ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
             : nullptr;
}

using UrlDownloadToFile = HRESULT(WINAPI*)(IUnknown*, LPCWSTR, LPCWSTR, DWORD,
                                           IBindStatusCallback*);
using DeleteUrlCacheEntry = BOOL(WINAPI*)(LPCWSTR);

void TimedDownload(const char* label, const wchar_t* url, const wchar_t* path) {
  ProbeCallback callback;
  const double wallStart = UnixSeconds();
  const double start = NowMs();
  // Inside the timed span: the first call loads the DLLs, as the installer's first download does.
  const auto download = SystemFunction<UrlDownloadToFile>(L"urlmon.dll", "URLDownloadToFileW");
  const auto forget = SystemFunction<DeleteUrlCacheEntry>(L"wininet.dll", "DeleteUrlCacheEntryW");
  if (!download || !forget) return;
  ::DeleteFileW(path);
  forget(url);
  const HRESULT hr = download(nullptr, url, path, 0, &callback);
  const double elapsed = NowMs() - start;
  std::printf("download %s %.1f %08lx %lld %.3f\n", label, elapsed, static_cast<unsigned long>(hr),
              FileBytes(path), wallStart);
  std::fflush(stdout);
}

int Download(int argc, wchar_t** argv) {
  if (argc < 4) return 2;
  TimedDownload("cold", argv[2], argv[3]);
  if (argc >= 6) TimedDownload("warm", argv[4], argv[5]);
  return 0;
}

LRESULT CALLBACK ProbeWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_TIMER || message == WM_CLOSE) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

// A 32-bit top-down DIB of the window's size, as a skinned window paints into.
HBITMAP CreateCanvas(int width, int height, void** bits) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  *bits = nullptr;
  HBITMAP canvas = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
  if (canvas && !*bits) {
    ::DeleteObject(canvas);
    return nullptr;
  }
  return canvas;
}

void PushToWindow(HWND window, HBITMAP canvas, int width, int height) {
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HGDIOBJ old = ::SelectObject(memory, canvas);
  POINT origin = {0, 0};
  SIZE size = {width, height};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ::UpdateLayeredWindow(window, screen, nullptr, &size, memory, &origin, 0, &blend, ULW_ALPHA);
  ::SelectObject(memory, old);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
}

// One opaque blue frame pushed to the layered window, as a skinned window's
// first paint does.
void PaintOnce(HWND window, int width, int height) {
  void* bits = nullptr;
  HBITMAP canvas = CreateCanvas(width, height, &bits);
  if (!canvas) return;
  DWORD* pixels = static_cast<DWORD*>(bits);
  for (int i = 0; i < width * height; ++i) pixels[i] = 0xFF0571DC;
  PushToWindow(window, canvas, width, height);
  ::DeleteObject(canvas);
}

unsigned __stdcall WaitForWork(void* event) {
  ::WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
  return 0;
}

// The special folders the welcome page's default paths come from, through the shell.
void ReadSpecialFolders() {
  using Location = HRESULT(WINAPI*)(HWND, int, PIDLIST_ABSOLUTE*);
  using PathOf = BOOL(WINAPI*)(PCIDLIST_ABSOLUTE, LPWSTR);
  const auto location = SystemFunction<Location>(L"shell32.dll", "SHGetSpecialFolderLocation");
  const auto pathOf = SystemFunction<PathOf>(L"shell32.dll", "SHGetPathFromIDListW");
  if (!location || !pathOf) return;
  for (const int csidl : {CSIDL_PROGRAM_FILESX86, CSIDL_APPDATA}) {
    PIDLIST_ABSOLUTE items = nullptr;
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(location(nullptr, csidl, &items)) && items) {
      pathOf(items, path);
      ::CoTaskMemFree(items);
    }
  }
}

// What the start-up report asks of the sockets before its first request.
void StartSockets() {
  using Startup = int(WSAAPI*)(WORD, LPWSADATA);
  using Resolve = INT(WSAAPI*)(PCSTR, PCSTR, const ADDRINFOA*, PADDRINFOA*);
  using FreeResolved = void(WSAAPI*)(PADDRINFOA);
  using Open = SOCKET(WSAAPI*)(int, int, int);
  using Close = int(WSAAPI*)(SOCKET);
  const auto startup = SystemFunction<Startup>(L"ws2_32.dll", "WSAStartup");
  const auto resolve = SystemFunction<Resolve>(L"ws2_32.dll", "getaddrinfo");
  const auto freeResolved = SystemFunction<FreeResolved>(L"ws2_32.dll", "freeaddrinfo");
  const auto open = SystemFunction<Open>(L"ws2_32.dll", "socket");
  const auto close = SystemFunction<Close>(L"ws2_32.dll", "closesocket");
  if (!startup || !resolve || !freeResolved || !open || !close) return;
  WSADATA data;
  if (startup(MAKEWORD(2, 2), &data) != 0) return;
  ADDRINFOA hints = {};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  PADDRINFOA found = nullptr;
  if (resolve("127.0.0.1", "80", &hints, &found) == 0) freeResolved(found);
  const SOCKET s = open(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s != INVALID_SOCKET) close(s);
}

// The platform's part of the installer's start-up and welcome page, painted into
// the returned off-screen bitmap. What the installer keeps for its whole run (the
// threads, the decoded image in the image cache, the off-screen bitmap) stays
// until the process ends.
HBITMAP StartLikeTheInstaller(const wchar_t* png, bool commonControls, int width, int height) {
  HANDLE never = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  for (int i = 0; i < 2; ++i) {
    const uintptr_t thread = ::_beginthreadex(nullptr, 0, WaitForWork, never, 0, nullptr);
    if (thread != 0) ::CloseHandle(reinterpret_cast<HANDLE>(thread));
  }
  StartSockets();
  ReadSpecialFolders();
  if (commonControls) {
    const auto init = SystemFunction<void(WINAPI*)()>(L"comctl32.dll", "InitCommonControls");
    if (init) init();
  }
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  void* bits = nullptr;
  HBITMAP canvas = CreateCanvas(width, height, &bits);
  if (!canvas) return nullptr;
  Gdiplus::Bitmap surface(width, height, width * 4, PixelFormat32bppPARGB,
                          static_cast<BYTE*>(bits));
  Gdiplus::Graphics graphics(&surface);
  auto* image = new Gdiplus::Bitmap(png);  // never freed, as the image cache keeps it
  graphics.DrawImage(image, 0, 0);
  Gdiplus::FontFamily family(L"微软雅黑");
  Gdiplus::Font font(&family, 12.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
  Gdiplus::SolidBrush brush(Gdiplus::Color(255, 51, 51, 51));
  graphics.DrawString(L"岚枢PDF转换器 立即安装", -1, &font, Gdiplus::PointF(20.0f, 200.0f), &brush);
  return canvas;
}

int Window(int argc, wchar_t** argv, bool startup) {
  if (argc < 3) return 2;
  const int seconds = _wtoi(argv[2]);
  const int width = 628;
  const int height = 428;
  HBITMAP kept = nullptr;
  if (startup) {
    if (argc < 4) return 2;
    const bool commonControls = !(argc >= 5 && std::wcscmp(argv[4], L"no-common-controls") == 0);
    kept = StartLikeTheInstaller(argv[3], commonControls, width, height);
    if (!kept) return 1;
  } else {
    for (int i = 3; i < argc; ++i) ::LoadLibraryW(argv[i]);
  }

  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = ProbeWindowProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = L"BenchFlowProbe";
  ::RegisterClassExW(&wc);
  HWND window = ::CreateWindowExW(WS_EX_LAYERED, wc.lpszClassName, L"bench_flow_probe",
                                  WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, 100, 100, width, height,
                                  nullptr, nullptr, wc.hInstance, nullptr);
  if (!window) return 1;
  if (kept) {
    PushToWindow(window, kept, width, height);
  } else {
    PaintOnce(window, width, height);
  }
  ::ShowWindow(window, SW_SHOWNORMAL);
  ::SetTimer(window, 1, static_cast<UINT>(seconds) * 1000, nullptr);
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  ::DestroyWindow(window);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 2 && std::wcscmp(argv[1], L"download") == 0) return Download(argc, argv);
  if (argc >= 2 && std::wcscmp(argv[1], L"window") == 0) return Window(argc, argv, false);
  if (argc >= 2 && std::wcscmp(argv[1], L"startup") == 0) return Window(argc, argv, true);
  std::fprintf(stderr,
               "usage: bench_flow_probe download URL PATH [URL2 PATH2] | window SECONDS [DLL...]"
               " | startup SECONDS PNG [no-common-controls]\n");
  return 2;
}
