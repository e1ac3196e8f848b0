// A console program that drives the reporting code the way the installer
// does, for the black-box tests: it prints what it saw, one "key=value" a line.
//
//   report_probe identity          the identity values and the common cookies
//   report_probe post              one CHttpClient POST on this thread
//   report_probe send N            N reports through the http Thread, in order
//   report_probe hang-check N      N reports while the UI and Misc threads are
//                                  probed for responsiveness
//   report_probe no-http N         N reports without an http Thread
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "base/DisplayDpi.h"
#include "base/FrameworkThread.h"
#include "base/StringUtil.h"
#include "base/TaskPosting.h"
#include "base/ThreadIds.h"
#include "base/ThreadRegistry.h"
#include "report/CHttpClient.h"
#include "report/CommonCookies.h"
#include "report/Identity.h"
#include "report/Md5.h"
#include "report/Report.h"

namespace {

class WorkerThread : public nbase::FrameworkThread {
 public:
  WorkerThread(const char* name, int id) : FrameworkThread(name), id_(id) {}
  ~WorkerThread() override { Stop(); }
  void Init() override { nbase::ThreadRegistry::RegisterCurrentThread(id_); }
  void Cleanup() override { nbase::ThreadRegistry::UnregisterCurrentThread(); }

 private:
  const int id_;
};

void Print(const char* key, const std::wstring& value) {
  std::printf("%s=%s\n", key, nbase::WideToUtf8(value).c_str());
}

double NowMs() {
  LARGE_INTEGER counter, frequency;
  ::QueryPerformanceCounter(&counter);
  ::QueryPerformanceFrequency(&frequency);
  return counter.QuadPart * 1000.0 / frequency.QuadPart;
}

// Posts an empty task to |thread| and waits for it to run; -1 when it does
// not run within |limitMs|.
double RoundTripMs(int thread, DWORD limitMs) {
  auto done = std::shared_ptr<void>(::CreateEventW(nullptr, TRUE, FALSE, nullptr), ::CloseHandle);
  const double start = NowMs();
  if (!nbase::PostTaskToThread(thread, [done] { ::SetEvent(done.get()); })) return -1;
  if (::WaitForSingleObject(done.get(), limitMs) != WAIT_OBJECT_0) return -1;
  return NowMs() - start;
}

// Waits until every task posted to the http Thread so far has run.
double DrainHttpThread(DWORD limitMs) { return RoundTripMs(nbase::kHttpThreadId, limitMs); }

int Identity() {
  InitReporting();
  Print("uniqueid", GetUniqueId());
  Print("appver", GetAppVersion(std::wstring()));
  Print("osname", GetOSName());
  Print("system", GetSystemDescriptor());
  Print("native64", IsNative64Bit() ? L"true" : L"false");
  std::wstring channel;
  Print("channel", ReadChannel(&channel) ? channel : L"<absent>");
  Print("dpi", nbase::FormatWideString(L"%d", nbase::GetSystemDpi()));
  std::string cookies;
  for (const auto& cookie : CommonCookies()) cookies += cookie.first + "=" + cookie.second + ";";
  std::printf("cookies=%s\n", cookies.c_str());
  return 0;
}

int Post() {
  InitReporting();
  ReportParams params;
  params[L"Seq"] = L"1";
  const std::string body = EncodeReportBody(ComposeReportJson(L"ProbePost", BuildDataText(params)));
  CHttpClient client;
  client.AddDefaultHeaders();
  std::string reply;
  const double start = NowMs();
  const int code = client.Post(&reply, body);
  std::printf("code=%d\nreply_bytes=%u\nelapsed_ms=%.0f\n", code,
              static_cast<unsigned>(reply.size()), NowMs() - start);
  return 0;
}

int Send(int count) {
  WorkerThread http("http Thread", nbase::kHttpThreadId);
  http.Start();
  InitReporting();
  const double start = NowMs();
  for (int i = 1; i <= count; ++i) {
    ReportParams params;
    params[L"Seq"] = nbase::FormatWideString(L"%d", i);
    ReportEvent(L"ProbeEvent", params);
  }
  const double drained = DrainHttpThread(600000);
  std::printf("sent=%d\nhttp_ms=%.0f\nper_report_ms=%.1f\n", count, drained,
              drained < 0 ? -1.0 : (NowMs() - start) / count);
  return drained < 0 ? 1 : 0;
}

// No http Thread registered: the reports are dropped, the caller goes on.
int NoHttpThread(int count) {
  InitReporting();
  for (int i = 1; i <= count; ++i) {
    ReportParams params;
    params[L"Seq"] = nbase::FormatWideString(L"%d", i);
    ReportEvent(L"ProbeEvent", params);
  }
  std::printf("returned=%d\n", count);
  return 0;
}

int HangCheck(int count) {
  WorkerThread ui("UI probe", nbase::kUiThreadId);
  ui.StartWithLoop(nbase::LoopType::Ui);
  WorkerThread misc("Global Misc Thread", nbase::kMiscThreadId);
  misc.Start();
  WorkerThread http("http Thread", nbase::kHttpThreadId);
  http.Start();
  InitReporting();
  const double start = NowMs();
  for (int i = 1; i <= count; ++i) {
    ReportParams params;
    params[L"Seq"] = nbase::FormatWideString(L"%d", i);
    ReportEvent(L"ProbeEvent", params);
  }
  // While the http Thread is stuck, the other threads keep answering.
  double ui_max = 0, misc_max = 0;
  int probes = 0, lost = 0;
  auto http_done =
      std::shared_ptr<void>(::CreateEventW(nullptr, TRUE, FALSE, nullptr), ::CloseHandle);
  double http_ms = -1;
  nbase::PostTaskToThread(nbase::kHttpThreadId, [http_done] { ::SetEvent(http_done.get()); });
  while (::WaitForSingleObject(http_done.get(), 200) == WAIT_TIMEOUT) {
    const double u = RoundTripMs(nbase::kUiThreadId, 5000);
    const double m = RoundTripMs(nbase::kMiscThreadId, 5000);
    ++probes;
    if (u < 0 || m < 0) ++lost;
    if (u > ui_max) ui_max = u;
    if (m > misc_max) misc_max = m;
    if (NowMs() - start > 240000) break;
  }
  if (::WaitForSingleObject(http_done.get(), 0) == WAIT_OBJECT_0) http_ms = NowMs() - start;
  std::printf("probes=%d\nlost=%d\nui_max_ms=%.1f\nmisc_max_ms=%.1f\nhttp_ms=%.0f\n", probes, lost,
              ui_max, misc_max, http_ms);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  const std::string command = argc > 1 ? argv[1] : "";
  const int count = argc > 2 ? std::atoi(argv[2]) : 1;
  if (command == "identity") return Identity();
  if (command == "post") return Post();
  if (command == "send") return Send(count);
  if (command == "hang-check") return HangCheck(count);
  if (command == "no-http") return NoHttpThread(count);
  std::fprintf(stderr, "usage: report_probe identity|post|send N|hang-check N|no-http N\n");
  return 2;
}
