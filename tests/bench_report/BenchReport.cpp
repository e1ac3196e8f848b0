// Cost of raising a report on the caller's thread, next to posting an empty
// task (the floor), and the http Thread's time per report against the local
// statistics endpoint.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "base/FrameworkThread.h"
#include "base/TaskPosting.h"
#include "base/ThreadIds.h"
#include "base/ThreadRegistry.h"
#include "build_config.h"
#include "report/Report.h"

namespace {

class HttpThread : public nbase::FrameworkThread {
 public:
  HttpThread() : FrameworkThread("http Thread") {}
  ~HttpThread() override { Stop(); }
  void Init() override { nbase::ThreadRegistry::RegisterCurrentThread(nbase::kHttpThreadId); }
  void Cleanup() override { nbase::ThreadRegistry::UnregisterCurrentThread(); }
};

double Frequency() {
  LARGE_INTEGER f;
  ::QueryPerformanceFrequency(&f);
  return static_cast<double>(f.QuadPart);
}

int64_t Ticks() {
  LARGE_INTEGER c;
  ::QueryPerformanceCounter(&c);
  return c.QuadPart;
}

struct Stats {
  double median_us;
  double p99_us;
};

Stats Summarise(std::vector<double> us) {
  std::sort(us.begin(), us.end());
  return {us[us.size() / 2], us[std::min(us.size() - 1, us.size() * 99 / 100)]};
}

using Event = std::shared_ptr<void>;
Event NewEvent() { return Event(::CreateEventW(nullptr, TRUE, FALSE, nullptr), ::CloseHandle); }

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::max(10, std::atoi(argv[1])) : 1000;
  const double to_us = 1e6 / Frequency();
  HttpThread http;
  http.Start();
  InitReporting();

  // Hold the http Thread so that both measurements only queue tasks.
  Event release = NewEvent();
  nbase::PostTaskToThread(nbase::kHttpThreadId,
                          [release] { ::WaitForSingleObject(release.get(), INFINITE); });

  std::vector<double> post_us, report_us;
  post_us.reserve(count);
  report_us.reserve(count);
  for (int i = 0; i < count; ++i) {
    int64_t start = Ticks();
    nbase::PostTaskToThread(nbase::kHttpThreadId, [] {});
    post_us.push_back((Ticks() - start) * to_us);

    ReportParams params;
    params[L"cost"] = L"12";
    params[L"fileSize"] = L"11534336";
    params[L"ret"] = L"0";
    params[L"retryTime"] = L"0";
    start = Ticks();
    ReportEvent(L"DownloadTimeCost", std::move(params));
    report_us.push_back((Ticks() - start) * to_us);
  }
  const Stats post = Summarise(post_us);
  const Stats report = Summarise(report_us);
  std::printf("caller thread, %d calls each (endpoint %s)\n", count, build_config::kStatsHostA);
  std::printf("  PostTaskToThread(empty task)   median %8.2f us   p99 %8.2f us\n", post.median_us,
              post.p99_us);
  std::printf("  ReportEvent(4 fields)          median %8.2f us   p99 %8.2f us\n", report.median_us,
              report.p99_us);
  std::printf("  ratio ReportEvent / post       median %8.2f      p99 %8.2f\n",
              report.median_us / post.median_us, report.p99_us / post.p99_us);

  // Now let the queued reports go out; the http Thread sends them one by one.
  Event drained = NewEvent();
  const int64_t start = Ticks();
  ::SetEvent(release.get());
  nbase::PostTaskToThread(nbase::kHttpThreadId, [drained] { ::SetEvent(drained.get()); });
  if (::WaitForSingleObject(drained.get(), 30 * 60 * 1000) != WAIT_OBJECT_0) {
    std::printf("http Thread did not drain within 30 min\n");
    return 1;
  }
  const double total_ms = (Ticks() - start) * to_us / 1000.0;
  std::printf("http Thread: %d reports in %.0f ms, %.2f ms per report\n", count, total_ms,
              total_ms / count);
  return 0;
}
