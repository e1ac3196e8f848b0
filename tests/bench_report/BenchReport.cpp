// Cost of raising a report on the caller's thread, next to posting an empty
// task (the floor), and the http Thread's time per report against the local
// statistics endpoint.
// ReportEvent's steps are timed one by one in the same run, on the same inputs
// and with the same http Thread queue, to show where its time goes.
#include <windows.h>
#include <intrin.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/FrameworkThread.h"
#include "base/StringUtil.h"
#include "base/TaskPosting.h"
#include "base/ThreadIds.h"
#include "base/ThreadRegistry.h"
#include "build_config.h"
#include "report/Identity.h"
#include "report/Report.h"

namespace {

class HttpThread : public nbase::FrameworkThread {
 public:
  HttpThread() : FrameworkThread("http Thread") {}
  ~HttpThread() override { Stop(); }
  void Init() override { nbase::ThreadRegistry::RegisterCurrentThread(nbase::kHttpThreadId); }
  void Cleanup() override { nbase::ThreadRegistry::UnregisterCurrentThread(); }
};

int64_t Counter() {
  LARGE_INTEGER c;
  ::QueryPerformanceCounter(&c);
  return c.QuadPart;
}

double CounterFrequency() {
  LARGE_INTEGER f;
  ::QueryPerformanceFrequency(&f);
  return static_cast<double>(f.QuadPart);
}

// The time stamp counter: the performance counter ticks in 100 ns steps under
// Wine, too coarse for operations of a few hundred nanoseconds.
int64_t Ticks() { return static_cast<int64_t>(__rdtsc()); }

// Time stamp counter ticks per second, measured against the performance counter.
double Frequency() {
  const int64_t counter_start = Counter();
  const int64_t ticks_start = Ticks();
  ::Sleep(200);
  const int64_t ticks = Ticks() - ticks_start;
  const double seconds = (Counter() - counter_start) / CounterFrequency();
  return ticks / seconds;
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

// The DownloadTimeCost event of a successful download.
ReportParams DownloadParams() {
  ReportParams params;
  params[L"cost"] = L"12";
  params[L"fileSize"] = L"11534336";
  params[L"ret"] = L"0";
  params[L"retryTime"] = L"0";
  return params;
}

const wchar_t kEvent[] = L"DownloadTimeCost";

// One measured operation; |prepare| runs untimed before each |run|.
struct Probe {
  Probe(const char* n, std::function<void()> p, std::function<void()> r, bool coarse = false)
      : name(n), prepare(std::move(p)), run(std::move(r)), by_counter(coarse) {}
  const char* name;
  std::function<void()> prepare;
  std::function<void()> run;
  // Timed with the performance counter, as this benchmark used to be: its
  // 100 ns steps and its own cost weigh on the figure.
  bool by_counter;
  std::vector<double> us;
};

// Values handed between the untimed and timed parts of a probe.
struct Scratch {
  ReportParams params;
  std::wstring data, json;
  std::string body;
};

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::max(10, std::atoi(argv[1])) : 1000;
  const double to_us = 1e6 / Frequency();
  const double counter_to_us = 1e6 / CounterFrequency();
  HttpThread http;
  http.Start();
  InitReporting();

  // Hold the http Thread so that every measurement only queues tasks.
  Event release = NewEvent();
  nbase::PostTaskToThread(nbase::kHttpThreadId,
                          [release] { ::WaitForSingleObject(release.get(), INFINITE); });

  Scratch s;
  const ReportParams params = DownloadParams();
  const std::wstring data = BuildDataText(params);
  const std::wstring json = ComposeReportJson(kEvent, data);
  const std::string body = EncodeReportBody(json);
  auto none = [] {};
  auto fresh_params = [&s] { s.params = DownloadParams(); };

  std::vector<Probe> probes = {
      {"PostTaskToThread(empty task)", none,
       [] { nbase::PostTaskToThread(nbase::kHttpThreadId, [] {}); }},
      {"ReportEvent (sent)", fresh_params, [&s] { ReportEvent(kEvent, std::move(s.params)); }},
      // Where its time goes.
      {"  step: BuildDataText", none, [&] { s.data = BuildDataText(params); }},
      {"  step: ComposeReportJson", none, [&] { s.json = ComposeReportJson(kEvent, data); }},
      {"  step:   GetUniqueId+GetAppVersion", none,
       [&] { s.json = GetUniqueId() + GetAppVersion(std::wstring()); }},
      {"  step: EncodeReportBody", none, [&] { s.body = EncodeReportBody(json); }},
      {"  step: post a task owning a body", [&] { s.body = body; },
       [&] { nbase::PostTaskToThread(nbase::kHttpThreadId, [b = std::move(s.body)] {}); }},
      {"  step: destroy the 4-field map", fresh_params,
       [&] { ReportParams gone = std::move(s.params); }},
      // The first two figures again, timed the old way.
      {"empty post (perf counter)", none,
       [] { nbase::PostTaskToThread(nbase::kHttpThreadId, [] {}); }, true},
      {"ReportEvent (perf counter, sent)", fresh_params,
       [&s] { ReportEvent(kEvent, std::move(s.params)); }, true},
  };
  for (Probe& probe : probes) probe.us.reserve(count);

  // Interleaved, so that every figure sees the same machine load and queue length.
  for (int i = 0; i < count; ++i) {
    for (Probe& probe : probes) {
      probe.prepare();
      if (probe.by_counter) {
        const int64_t start = Counter();
        probe.run();
        probe.us.push_back((Counter() - start) * counter_to_us);
      } else {
        const int64_t start = Ticks();
        probe.run();
        probe.us.push_back((Ticks() - start) * to_us);
      }
    }
  }

  std::printf("caller thread, %d calls each, interleaved (endpoint %s)\n", count,
              build_config::kStatsHostA);
  const Stats floor = Summarise(probes[0].us);
  for (Probe& probe : probes) {
    const Stats stats = Summarise(probe.us);
    std::printf("  %-38s median %7.3f us  p99 %8.3f us  | median %6.2fx the empty post\n",
                probe.name, stats.median_us, stats.p99_us, stats.median_us / floor.median_us);
  }
  const Stats report = Summarise(probes[1].us);
  std::printf("ReportEvent / empty post: %.2fx\n", report.median_us / floor.median_us);
  double steps_us = 0;
  for (size_t i = 2; i <= 7; ++i) {
    if (i != 4) steps_us += Summarise(probes[i].us).median_us;  // 4 is inside 3
  }
  std::printf("  sum of its step medians: %.3f us, %.2fx the empty post\n", steps_us,
              steps_us / floor.median_us);
  const Stats counter_floor = Summarise(probes[probes.size() - 2].us);
  const Stats counter_after = Summarise(probes[probes.size() - 1].us);
  std::printf("  timed by the performance counter: %.2fx\n",
              counter_after.median_us / counter_floor.median_us);

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
  std::printf("http Thread: %d reports in %.0f ms, %.2f ms per report\n", 2 * count, total_ms,
              total_ms / (2 * count));
  return 0;
}
