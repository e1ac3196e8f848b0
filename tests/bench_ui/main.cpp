// Start-up cost of the skinned main window against a bare layered window, and the cost of a
// progress update's partial paint against a full repaint. Prints figures; not a test.
//   bench_ui.exe              runs both children several times and prints the table
//   bench_ui.exe --child skin|bare RESULT_FILE   one start-up, figures written to RESULT_FILE
#include <windows.h>
#include <gdiplus.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/ScopedHandle.h"
#include "ui/Control.h"
#include "ui/Progress.h"
#include "ui/SkinArchive.h"
#include "ui/UiGlobal.h"
#include "ui/WindowImplBase.h"

namespace {

LARGE_INTEGER g_entry;

double MillisecondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  ::QueryPerformanceCounter(&now);
  ::QueryPerformanceFrequency(&frequency);
  return (now.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
}

void PumpUntil(bool (*done)(void*), void* context, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  while (!done(context) && ::GetTickCount() - start < timeoutMs) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    if (!done(context)) ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

class BenchWindow : public ui::WindowImplBase {
 public:
  std::wstring WindowClassName() const override { return L"MainWindow"; }
  std::wstring SkinFolder() const override { return L"basic"; }
  std::wstring SkinFile() const override { return L"basic.xml"; }
};

void WriteResult(const std::wstring& path, const std::string& text) {
  nbase::ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (file)
    ::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// The skinned main window: archive, Startup, layout build, first frame; then paints.
int RunSkin(const std::wstring& resultPath) {
  LARGE_INTEGER mark;
  ::QueryPerformanceCounter(&mark);
  HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(136), L"THEME");
  HGLOBAL loaded = found ? ::LoadResource(nullptr, found) : nullptr;
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  if (!data || !ui::OpenSkinArchive(data, ::SizeofResource(nullptr, found), std::string())) {
    return 2;
  }
  const double archiveMs = MillisecondsSince(mark);

  ::QueryPerformanceCounter(&mark);
  ui::UiGlobal::Startup(L"resources\\", nullptr, L"themes\\default", L"lang\\zh_CN");
  const double startupMs = MillisecondsSince(mark);

  ::QueryPerformanceCounter(&mark);
  auto* window = new BenchWindow();
  const RECT empty = {0, 0, 0, 0};
  if (!window->CreateNativeWindow(nullptr, L"MainWindow",
                                  WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX, 0, true,
                                  empty)) {
    return 3;
  }
  const double buildMs = MillisecondsSince(mark);

  ::QueryPerformanceCounter(&mark);
  window->CenterOnOwner();
  window->ShowWithFocus(true, true);
  PumpUntil([](void* w) { return static_cast<BenchWindow*>(w)->GetPaintStats().paints > 0; },
            window, 30000);
  const double paintMs = MillisecondsSince(mark);
  const double totalMs = MillisecondsSince(g_entry);
  WriteResult(resultPath + L".frame", "");

  // Progress updates on the install page: partial paints, then full repaints.
  window->FindNamedControl(L"welcompage")->SetVisible(false);
  window->FindNamedControl(L"installpage")->SetVisible(true);
  auto* bar = dynamic_cast<ui::Progress*>(window->FindNamedControl(L"progress_install"));
  std::vector<double> partial, full;
  RECT partialArea = {0, 0, 0, 0};
  RECT client;
  ::GetClientRect(window->GetHWND(), &client);
  for (int i = 0; i < 30 && bar; ++i) {
    int before = window->GetPaintStats().paints;
    bar->SetValue(10 + i * 2.5);
    window->PaintNow();
    if (window->GetPaintStats().paints > before) {
      partial.push_back(window->GetPaintStats().lastPaintMicroseconds / 1000.0);
      partialArea = window->GetPaintStats().lastArea;
    }
    before = window->GetPaintStats().paints;
    window->Invalidate(client);
    window->PaintNow();
    if (window->GetPaintStats().paints > before) {
      full.push_back(window->GetPaintStats().lastPaintMicroseconds / 1000.0);
    }
  }
  auto median = [](std::vector<double> v) {
    if (v.empty()) return -1.0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  char text[512];
  std::snprintf(text, sizeof(text),
                "archive=%.2f startup=%.2f build=%.2f firstpaint=%.2f inprocess=%.2f "
                "partial=%.3f full=%.3f partialarea=%ldx%ld fullarea=%ldx%ld\n",
                archiveMs, startupMs, buildMs, paintMs, totalMs, median(partial), median(full),
                static_cast<long>(partialArea.right - partialArea.left),
                static_cast<long>(partialArea.bottom - partialArea.top),
                static_cast<long>(client.right), static_cast<long>(client.bottom));
  WriteResult(resultPath, text);
  return 0;
}

LRESULT CALLBACK BareProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

// A bare layered 628 x 428 window filled once with GDI+ and shown with UpdateLayeredWindow.
int RunBare(const std::wstring& resultPath) {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &BareProc;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"BareLayered";
  ::RegisterClassExW(&windowClass);
  const int width = 628, height = 428;
  HWND hwnd = ::CreateWindowExW(WS_EX_LAYERED, L"BareLayered", L"bare", WS_POPUP, 100, 100, width,
                                height, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  {
    Gdiplus::Bitmap surface(width, height, width * 4, PixelFormat32bppPARGB,
                            static_cast<BYTE*>(bits));
    Gdiplus::Graphics graphics(&surface);
    Gdiplus::SolidBrush brush(Gdiplus::Color(255, 0xF4, 0xF8, 0xF9));
    graphics.FillRectangle(&brush, 0, 0, width, height);
  }
  SIZE size = {width, height};
  POINT source = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ::ShowWindow(hwnd, SW_SHOWNORMAL);
  ::UpdateLayeredWindow(hwnd, nullptr, nullptr, &size, dc, &source, 0, &blend, ULW_ALPHA);
  const double totalMs = MillisecondsSince(g_entry);
  WriteResult(resultPath + L".frame", "");
  char text[128];
  std::snprintf(text, sizeof(text), "inprocess=%.2f\n", totalMs);
  WriteResult(resultPath, text);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ::DeleteObject(bitmap);
  ::DestroyWindow(hwnd);
  Gdiplus::GdiplusShutdown(token);
  return 0;
}

std::string ReadFileText(const std::wstring& path) {
  nbase::ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
  if (!file) return std::string();
  char buffer[1024] = {};
  DWORD read = 0;
  ::ReadFile(file.Get(), buffer, sizeof(buffer) - 1, &read, nullptr);
  return std::string(buffer, read);
}

// Starts this program as a child and returns the time from CreateProcess until the child
// reports its first frame (a marker file written right after the first UpdateLayeredWindow);
// fills the child's own figures.
double RunChild(const std::wstring& kind, std::string* figures) {
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring result = std::wstring(temp) + L"bench_ui_" + kind + L".txt";
  const std::wstring frame = result + L".frame";
  ::DeleteFileW(result.c_str());
  ::DeleteFileW(frame.c_str());
  std::wstring command =
      L"\"" + std::wstring(self) + L"\" --child " + kind + L" \"" + result + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  LARGE_INTEGER start;
  ::QueryPerformanceCounter(&start);
  if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    return -1;
  }
  // Poll for the marker every millisecond while the child runs.
  double firstFrame = -1;
  while (::WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT) {
    if (firstFrame < 0 && ::GetFileAttributesW(frame.c_str()) != INVALID_FILE_ATTRIBUTES) {
      firstFrame = MillisecondsSince(start);
    }
  }
  if (firstFrame < 0) firstFrame = MillisecondsSince(start);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  *figures = ReadFileText(result);
  return firstFrame;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ::QueryPerformanceCounter(&g_entry);
  if (argc >= 4 && std::wstring(argv[1]) == L"--child") {
    const std::wstring kind = argv[2];
    return kind == L"skin" ? RunSkin(argv[3]) : RunBare(argv[3]);
  }
  const int runs = argc >= 2 ? std::max(1, _wtoi(argv[1])) : 5;
  std::printf(
      "UI start-up benchmark, %d runs each (main layout at the system DPI vs bare layered "
      "window)\n",
      runs);
  for (int i = 0; i < runs; ++i) {
    std::string bare, skin;
    const double bareWall = RunChild(L"bare", &bare);
    const double skinWall = RunChild(L"skin", &skin);
    std::printf("run %d\n  bare: process start->first frame %.1f ms; %s", i + 1, bareWall,
                bare.c_str());
    std::printf("  skin: process start->first frame %.1f ms; %s", skinWall, skin.c_str());
    if (bareWall > 0)
      std::printf("  ratio skin/bare (process start to first frame): %.2f\n", skinWall / bareWall);
  }
  return 0;
}
