// Start-up cost of the skinned main window against a bare layered window, and the cost of a
// progress update's partial paint against a full repaint. Prints figures; not a test.
//   bench_ui.exe [runs] [program.exe...]   runs the children several times, prints each run
//                                          and the medians; with installer programs (several
//                                          builds take turns), their own start-up and
//                                          welcome-page working set too
//   bench_ui.exe --child skin|bare|wine RESULT_FILE   one start-up, figures written to RESULT_FILE
// The "wine" child times the platform's own first-use costs that the skinned start-up meets
// (GDI+ start, first window, msftedit, first GDI+ image decode and text measure, first
// layered update), so that the part of the start-up that is the platform's can be told apart.
// Both start-up children are this same program: they load the same DLLs before wmain, and
// both start GDI+ inside the timed span.
#include <windows.h>
#include <gdiplus.h>
#include <psapi.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "base/ScopedHandle.h"
#include "ui/core/Control.h"
#include "ui/widgets/Progress.h"
#include "ui/skin/SkinArchive.h"
#include "ui/core/UiGlobal.h"
#include "ui/shell/WindowImplBase.h"
#include "ui/shell/Startup.h"

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

// Peak working set of a process so far, in MiB (-1 when the platform cannot tell).
double PeakWorkingSetMiB(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof(counters);
  if (!::GetProcessMemoryInfo(process, &counters, sizeof(counters))) return -1;
  return counters.PeakWorkingSetSize / (1024.0 * 1024.0);
}

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
  ui::StartupOptions options;
  options.resourceRoot = L"resources\\";
  options.themeFolder = L"themes\\default";
  options.languageFolder = L"lang\\zh_CN";
  ui::Startup(options);
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
  const double firstFramePeak = PeakWorkingSetMiB(::GetCurrentProcess());

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
                "peakws=%.1f partial=%.3f full=%.3f partialarea=%ldx%ld fullarea=%ldx%ld\n",
                archiveMs, startupMs, buildMs, paintMs, totalMs, firstFramePeak, median(partial),
                median(full), static_cast<long>(partialArea.right - partialArea.left),
                static_cast<long>(partialArea.bottom - partialArea.top),
                static_cast<long>(client.right), static_cast<long>(client.bottom));
  WriteResult(resultPath, text);
  return 0;
}

// A top-down 32-bit DIB section, as a layered window's surface.
HBITMAP CreateTopDownBitmap(int width, int height, void** bits) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

LRESULT CALLBACK BareProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

// A layered popup of its own class, the surface the benchmark draws into.
HWND CreateLayeredPopup(const wchar_t* className, int width, int height) {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &BareProc;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = className;
  ::RegisterClassExW(&windowClass);
  return ::CreateWindowExW(WS_EX_LAYERED, className, className, WS_POPUP, 100, 100, width, height,
                           nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

// A bare layered 628 x 428 window filled once with GDI+ and shown with UpdateLayeredWindow.
int RunBare(const std::wstring& resultPath) {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  const int width = 628, height = 428;
  HWND hwnd = CreateLayeredPopup(L"BareLayered", width, height);
  void* bits = nullptr;
  HBITMAP bitmap = CreateTopDownBitmap(width, height, &bits);
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
  std::snprintf(text, sizeof(text), "inprocess=%.2f peakws=%.1f\n", totalMs,
                PeakWorkingSetMiB(::GetCurrentProcess()));
  WriteResult(resultPath, text);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ::DeleteObject(bitmap);
  ::DestroyWindow(hwnd);
  Gdiplus::GdiplusShutdown(token);
  return 0;
}

double Lap(LARGE_INTEGER* mark) {
  const double ms = MillisecondsSince(*mark);
  ::QueryPerformanceCounter(mark);
  return ms;
}

// The platform's first-use costs, in the order the skinned start-up meets them.
int RunWine(const std::wstring& resultPath) {
  LARGE_INTEGER mark;
  ::QueryPerformanceCounter(&mark);
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  const double gdiplusMs = Lap(&mark);

  const int width = 628, height = 428;
  HWND hwnd = CreateLayeredPopup(L"WineCosts", width, height);
  const double windowMs = Lap(&mark);

  HMODULE richEdit = ::LoadLibraryW(L"msftedit.dll");
  const double msfteditMs = Lap(&mark);

  // Two skin images through GDI+ from memory, as the toolkit decodes them.
  HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(136), L"THEME");
  HGLOBAL loaded = found ? ::LoadResource(nullptr, found) : nullptr;
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  if (!data || !ui::OpenSkinArchive(data, ::SizeofResource(nullptr, found), std::string()))
    return 2;
  double decodeMs[2] = {0, 0};
  const wchar_t* images[2] = {L"resources\\themes\\default\\public\\bk\\bk_shadow.png",
                              L"resources\\themes\\default\\basic\\logo.png"};
  for (int i = 0; i < 2; ++i) {
    std::string bytes;
    ui::ReadArchiveMember(images[i], &bytes);
    ::QueryPerformanceCounter(&mark);
    IStream* stream = ::SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()),
                                          static_cast<UINT>(bytes.size()));
    if (stream) {
      Gdiplus::Bitmap* bitmap = Gdiplus::Bitmap::FromStream(stream);
      if (bitmap) bitmap->GetWidth();
      delete bitmap;
      stream->Release();
    }
    decodeMs[i] = Lap(&mark);
  }

  // The first text measure with the skin's face, as a label's auto size does it.
  double textMs = 0;
  {
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::QueryPerformanceCounter(&mark);
    Gdiplus::Graphics graphics(dc);
    Gdiplus::FontFamily family(L"微软雅黑");
    Gdiplus::Font font(&family, 14.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    Gdiplus::RectF bounds;
    graphics.MeasureString(L"立即安装", 4, &font, Gdiplus::PointF(0, 0), &bounds);
    textMs = Lap(&mark);
    ::DeleteDC(dc);
  }

  void* bits = nullptr;
  HBITMAP bitmap = CreateTopDownBitmap(width, height, &bits);
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  ::QueryPerformanceCounter(&mark);
  ::ShowWindow(hwnd, SW_SHOWNORMAL);
  SIZE size = {width, height};
  POINT source = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ::UpdateLayeredWindow(hwnd, nullptr, nullptr, &size, dc, &source, 0, &blend, ULW_ALPHA);
  const double showMs = Lap(&mark);

  char text[384];
  std::snprintf(text, sizeof(text),
                "gdiplusstartup=%.2f firstwindow=%.2f msftedit=%.2f firstdecode=%.2f "
                "nextdecode=%.2f firsttext=%.2f show+ulw=%.2f\n",
                gdiplusMs, windowMs, msfteditMs, decodeMs[0], decodeMs[1], textMs, showMs);
  WriteResult(resultPath, text);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ::DeleteObject(bitmap);
  ::DestroyWindow(hwnd);
  if (richEdit) ::FreeLibrary(richEdit);
  ui::CloseSkinArchive();
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

// Starts a process and notes the moment just before, for the timings measured from outside.
bool StartTimed(std::wstring command, PROCESS_INFORMATION* process, LARGE_INTEGER* start) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  ::QueryPerformanceCounter(start);
  return ::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, process) != FALSE;
}

// Starts this program as a child and returns the time from CreateProcess until the child
// reports its first frame (a marker file written right after the first UpdateLayeredWindow);
// fills the child's own figures and the CPU time it used (user + kernel, whole run).
double RunChild(const std::wstring& kind, std::string* figures, double* cpuMs) {
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring result = std::wstring(temp) + L"bench_ui_" + kind + L".txt";
  const std::wstring frame = result + L".frame";
  ::DeleteFileW(result.c_str());
  ::DeleteFileW(frame.c_str());
  PROCESS_INFORMATION process = {};
  LARGE_INTEGER start;
  if (!StartTimed(L"\"" + std::wstring(self) + L"\" --child " + kind + L" \"" + result + L"\"",
                  &process, &start)) {
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
  FILETIME created, exited, kernel, user;
  *cpuMs = -1;
  if (::GetProcessTimes(process.hProcess, &created, &exited, &kernel, &user)) {
    auto ticks = [](const FILETIME& time) {
      return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    *cpuMs = (ticks(kernel) + ticks(user)) / 10000.0;
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  *figures = ReadFileText(result);
  return firstFrame;
}

struct WindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchShownMainWindow(HWND hwnd, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(hwnd, &owner);
  wchar_t name[64] = {};
  ::GetClassNameW(hwnd, name, 64);
  if (owner == search->processId && ::IsWindowVisible(hwnd) &&
      std::wstring(name) == L"MainWindow") {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// A visible top-level window of the installer's class that belongs to the process.
HWND FindShownMainWindow(DWORD processId) {
  WindowSearch search = {processId, nullptr};
  ::EnumWindows(&MatchShownMainWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The installer program itself, timed from outside: process start until its main window is
// shown, and until its UI thread first waits for input after that (the first frame painted).
// Then, after it settled on the welcome page, its peak working set. The program is ended there.
std::string RunProgram(const std::wstring& program) {
  PROCESS_INFORMATION process = {};
  LARGE_INTEGER start;
  if (!StartTimed(L"\"" + program + L"\"", &process, &start)) return std::string();
  double shownMs = -1, idleMs = -1;
  const DWORD begin = ::GetTickCount();
  while (::WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT &&
         ::GetTickCount() - begin < 30000) {
    if (FindShownMainWindow(process.dwProcessId)) {
      shownMs = MillisecondsSince(start);
      break;
    }
  }
  if (shownMs >= 0 && ::WaitForInputIdle(process.hProcess, 30000) == 0)
    idleMs = MillisecondsSince(start);
  ::Sleep(1500);
  const double peak = PeakWorkingSetMiB(process.hProcess);
  ::TerminateProcess(process.hProcess, 0);
  ::WaitForSingleObject(process.hProcess, 10000);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  char text[160];
  std::snprintf(text, sizeof(text), "shown=%.1f idle=%.1f peakws=%.1f\n", shownMs, idleMs, peak);
  return text;
}

// A Unix path as Wine's Z: drive sees it; a Windows path as it is.
std::wstring WindowsPath(std::wstring path) {
  if (path.empty() || path[0] != L'/') return path;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return L"Z:" + path;
}

// "name=value name=value ..." as written by the children.
std::map<std::string, double> ParseFigures(const std::string& text) {
  std::map<std::string, double> figures;
  size_t position = 0;
  while (position < text.size()) {
    const size_t end = std::min(text.find_first_of(" \n", position), text.size());
    const std::string item = text.substr(position, end - position);
    const size_t equals = item.find('=');
    if (equals != std::string::npos) {
      figures[item.substr(0, equals)] = std::atof(item.c_str() + equals + 1);
    }
    position = end + 1;
  }
  return figures;
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ::QueryPerformanceCounter(&g_entry);
  if (argc >= 4 && std::wstring(argv[1]) == L"--child") {
    const std::wstring kind = argv[2];
    if (kind == L"skin") return RunSkin(argv[3]);
    if (kind == L"wine") return RunWine(argv[3]);
    return RunBare(argv[3]);
  }
  const int runs = argc >= 2 ? std::max(1, _wtoi(argv[1])) : 5;
  std::vector<std::wstring> programs;
  for (int i = 2; i < argc; ++i) programs.push_back(WindowsPath(argv[i]));
  // Both children are this program, so the bare window is always built alongside the skinned
  // one, for the same architecture; the 32-bit build is the shipped program's.
  constexpr int kBits = sizeof(void*) * 8;
  std::printf(
      "UI start-up benchmark of the %d-bit build%s, %d runs each (main layout at the system DPI "
      "vs a bare %d-bit layered window)\n",
      kBits, kBits == 32 ? " (the shipped program's)" : "", runs, kBits);
  // Per figure, the values of every run (wall and CPU times of the children included).
  std::map<std::string, std::vector<double>> series;
  auto add = [&series](const std::string& prefix, const std::map<std::string, double>& figures) {
    for (const auto& figure : figures) series[prefix + figure.first].push_back(figure.second);
  };
  for (int i = 0; i < runs; ++i) {
    std::string bare, skin, wine;
    double bareCpu = 0, skinCpu = 0, wineCpu = 0;
    // Alternate the order so that neither child always runs on a warmer system.
    double bareWall, skinWall;
    if (i % 2 == 0) {
      bareWall = RunChild(L"bare", &bare, &bareCpu);
      skinWall = RunChild(L"skin", &skin, &skinCpu);
    } else {
      skinWall = RunChild(L"skin", &skin, &skinCpu);
      bareWall = RunChild(L"bare", &bare, &bareCpu);
    }
    RunChild(L"wine", &wine, &wineCpu);
    // The programs after the pair, so that they never warm the system for the bare window
    // alone; several builds start in turn, each run from another one.
    std::vector<std::string> shipped(programs.size());
    for (size_t k = 0; k < programs.size(); ++k) {
      const size_t p = (k + i) % programs.size();
      shipped[p] = RunProgram(programs[p]);
    }
    std::printf("run %d\n  bare: process start->first frame %.1f ms, cpu %.0f ms; %s", i + 1,
                bareWall, bareCpu, bare.c_str());
    std::printf("  skin: process start->first frame %.1f ms, cpu %.0f ms; %s", skinWall, skinCpu,
                skin.c_str());
    std::printf("  platform first-use costs: %s", wine.c_str());
    for (size_t p = 0; p < programs.size(); ++p)
      std::printf("  program %zu: %s", p + 1, shipped[p].c_str());
    if (bareWall > 0)
      std::printf("  ratio skin/bare (process start to first frame): %.2f\n", skinWall / bareWall);
    add("bare.", ParseFigures(bare));
    add("skin.", ParseFigures(skin));
    add("wine.", ParseFigures(wine));
    for (size_t p = 0; p < programs.size(); ++p) {
      const std::string prefix = "program" + std::to_string(p + 1) + ".";
      const auto figures = ParseFigures(shipped[p]);
      add(prefix, figures);
      const auto idle = figures.find("idle");
      if (bareWall > 0 && idle != figures.end() && idle->second > 0)
        series[prefix + "ratio"].push_back(idle->second / bareWall);
    }
    series["bare.wall"].push_back(bareWall);
    series["skin.wall"].push_back(skinWall);
    if (bareWall > 0) series["ratio"].push_back(skinWall / bareWall);
  }
  auto median = [&series](const char* name) { return Median(series[name]); };
  std::printf("\nmedians of %d runs\n", runs);
  std::printf("  process start->first frame: bare %.1f ms, skin %.1f ms, ratio %.2f\n",
              median("bare.wall"), median("skin.wall"), median("ratio"));
  std::printf("  in-process (wmain->first frame): bare %.1f ms, skin %.1f ms\n",
              median("bare.inprocess"), median("skin.inprocess"));
  auto medianOf = [&series](const std::string& name) { return Median(series[name]); };
  for (size_t p = 0; p < programs.size(); ++p) {
    const std::string prefix = "program" + std::to_string(p + 1) + ".";
    std::printf(
        "  program %zu (%ls): process start->main window shown %.1f ms, ->first frame (input "
        "idle) %.1f ms; ratio to the bare window %.2f (target <= 1.50); peak working set on the "
        "welcome page %.1f MiB (target <= 32)\n",
        p + 1, programs[p].c_str(), medianOf(prefix + "shown"), medianOf(prefix + "idle"),
        medianOf(prefix + "ratio"), medianOf(prefix + "peakws"));
  }
  std::printf(
      "  peak working set: bare window %.1f MiB, skinned window at its first frame %.1f MiB\n",
      median("bare.peakws"), median("skin.peakws"));
  std::printf("  skin phases: archive %.2f, Startup %.2f, build %.2f, first paint %.2f ms\n",
              median("skin.archive"), median("skin.startup"), median("skin.build"),
              median("skin.firstpaint"));
  std::printf(
      "  platform: GdiplusStartup %.2f, first window %.2f, msftedit load %.2f, first GDI+ "
      "decode %.2f, next decode %.2f, first GDI+ text %.2f, show+first layered update %.2f ms\n",
      median("wine.gdiplusstartup"), median("wine.firstwindow"), median("wine.msftedit"),
      median("wine.firstdecode"), median("wine.nextdecode"), median("wine.firsttext"),
      median("wine.show+ulw"));
  std::printf("  progress update: partial paint %.3f ms, full repaint %.3f ms\n",
              median("skin.partial"), median("skin.full"));
  return 0;
}
