// Measures the task framework against the raw Win32 primitives it is built on:
// cross-thread round trips, one-way throughput, idle CPU and memory.
#include <windows.h>
#include <process.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "base/FrameworkThread.h"
#include "base/Lock.h"
#include "base/MessageLoop.h"
#include "base/MessageLoopProxy.h"
#include "base/ScopedHandle.h"

namespace {

using nbase::FrameworkThread;
using nbase::LoopType;
using nbase::MessageLoopProxy;

constexpr int kRoundTrips = 20000;
constexpr int kStreamTasks = 200000;
constexpr int kMemoryTasks = 1000000;

class Event {
 public:
  explicit Event(bool manual_reset = false)
      : handle_(::CreateEventW(nullptr, manual_reset, FALSE, nullptr)) {}
  void Signal() { ::SetEvent(handle_.Get()); }
  void Wait() { ::WaitForSingleObject(handle_.Get(), INFINITE); }
  HANDLE get() const { return handle_.Get(); }

 private:
  nbase::ScopedKernelHandle handle_;
};

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  ::QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

struct Latency {
  double median_us = 0;
  double p99_us = 0;
};

Latency Summarise(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  Latency result;
  result.median_us = samples[samples.size() / 2];
  result.p99_us = samples[samples.size() * 99 / 100];
  return result;
}

// --- framework ---------------------------------------------------------------

// A task goes to `b`, whose task posts the reply back to `a`; the reply starts
// the next round.
Latency FrameworkRoundTrip(LoopType type) {
  FrameworkThread a("bench a"), b("bench b");
  a.StartWithLoop(type);
  b.StartWithLoop(type);
  std::shared_ptr<MessageLoopProxy> to_a = a.message_loop()->proxy();
  std::shared_ptr<MessageLoopProxy> to_b = b.message_loop()->proxy();

  std::vector<double> samples;
  samples.reserve(kRoundTrips);
  Event done;
  double started = 0;
  int remaining = kRoundTrips + 1000;  // the first thousand warm up
  std::function<void()> start_one;
  std::function<void()> arrived = [&] {
    if (remaining-- <= kRoundTrips) samples.push_back(Now() - started);
    if (remaining > 0) {
      start_one();
    } else {
      done.Signal();
    }
  };
  start_one = [&] {
    started = Now();
    to_b->PostTask([&] { to_a->PostTask([&] { arrived(); }); });
  };
  to_a->PostTask([&] { start_one(); });
  done.Wait();
  return Summarise(samples);
}

// Tasks posted back to back from a plain thread; the clock stops when the last one ran.
double FrameworkThroughput(LoopType type) {
  FrameworkThread target("bench target");
  target.StartWithLoop(type);
  std::shared_ptr<MessageLoopProxy> proxy = target.message_loop()->proxy();
  Event done;
  long ran = 0;
  const double start = Now();
  for (int i = 0; i < kStreamTasks; ++i) proxy->PostTask([&ran] { ++ran; });
  proxy->PostTask([&done] { done.Signal(); });
  done.Wait();
  const double elapsed = Now() - start;
  return kStreamTasks / (elapsed / 1e6);
}

// --- raw primitives ------------------------------------------------------------

struct EventPingPong {
  Event ping, pong;
  volatile LONG stop = 0;
};

unsigned __stdcall EventPonger(void* argument) {
  auto* state = static_cast<EventPingPong*>(argument);
  for (;;) {
    state->ping.Wait();
    if (state->stop) return 0;
    state->pong.Signal();
  }
}

Latency RawEventRoundTrip() {
  EventPingPong state;
  nbase::ScopedKernelHandle thread(
      reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, EventPonger, &state, 0, nullptr)));
  std::vector<double> samples;
  samples.reserve(kRoundTrips);
  for (int i = 0; i < kRoundTrips + 1000; ++i) {
    const double started = Now();
    state.ping.Signal();
    state.pong.Wait();
    if (i >= 1000) samples.push_back(Now() - started);
  }
  state.stop = 1;
  state.ping.Signal();
  ::WaitForSingleObject(thread.Get(), INFINITE);
  return Summarise(samples);
}

struct MessagePingPong {
  DWORD pinger_id = 0;
  Event ready;
};

unsigned __stdcall MessagePonger(void* argument) {
  auto* state = static_cast<MessagePingPong*>(argument);
  MSG msg;
  ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // create the queue
  state->ready.Signal();
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_APP) ::PostThreadMessageW(state->pinger_id, WM_APP, 0, 0);
  }
  return 0;
}

Latency RawMessageRoundTrip() {
  MessagePingPong state;
  state.pinger_id = ::GetCurrentThreadId();
  MSG msg;
  ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  unsigned ponger_id = 0;
  nbase::ScopedKernelHandle thread(
      reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, MessagePonger, &state, 0, &ponger_id)));
  state.ready.Wait();
  std::vector<double> samples;
  samples.reserve(kRoundTrips);
  for (int i = 0; i < kRoundTrips + 1000; ++i) {
    const double started = Now();
    ::PostThreadMessageW(ponger_id, WM_APP, 0, 0);
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0 && msg.message != WM_APP) {
    }
    if (i >= 1000) samples.push_back(Now() - started);
  }
  ::PostThreadMessageW(ponger_id, WM_QUIT, 0, 0);
  ::WaitForSingleObject(thread.Get(), INFINITE);
  return Summarise(samples);
}

// The least a task queue can be: a locked deque of callables and an event.
struct RawQueue {
  nbase::Lock lock;
  std::deque<std::function<void()>> tasks;
  Event wake;
  volatile LONG stop = 0;
};

unsigned __stdcall RawQueueConsumer(void* argument) {
  auto* queue = static_cast<RawQueue*>(argument);
  std::deque<std::function<void()>> batch;
  for (;;) {
    {
      nbase::AutoLock guard(queue->lock);
      batch.swap(queue->tasks);
    }
    if (batch.empty()) {
      if (queue->stop) return 0;
      queue->wake.Wait();
      continue;
    }
    while (!batch.empty()) {
      batch.front()();
      batch.pop_front();
    }
  }
}

double RawQueueThroughput() {
  RawQueue queue;
  nbase::ScopedKernelHandle thread(
      reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, RawQueueConsumer, &queue, 0, nullptr)));
  Event done;
  long ran = 0;
  auto post = [&queue](std::function<void()> task) {
    bool was_empty;
    {
      nbase::AutoLock guard(queue.lock);
      was_empty = queue.tasks.empty();
      queue.tasks.push_back(std::move(task));
    }
    if (was_empty) queue.wake.Signal();
  };
  const double start = Now();
  for (int i = 0; i < kStreamTasks; ++i) post([&ran] { ++ran; });
  post([&done] { done.Signal(); });
  done.Wait();
  const double elapsed = Now() - start;
  queue.stop = 1;
  queue.wake.Signal();
  ::WaitForSingleObject(thread.Get(), INFINITE);
  return kStreamTasks / (elapsed / 1e6);
}

unsigned __stdcall MessageSink(void* argument) {
  auto* ready = static_cast<Event*>(argument);
  MSG msg;
  ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  ready->Signal();
  long count = 0;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_APP) ++count;
    if (msg.message == WM_APP + 1) reinterpret_cast<Event*>(msg.lParam)->Signal();
  }
  return static_cast<unsigned>(count);
}

double RawMessageThroughput() {
  Event ready, done;
  unsigned sink_id = 0;
  nbase::ScopedKernelHandle thread(
      reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, MessageSink, &ready, 0, &sink_id)));
  ready.Wait();
  const double start = Now();
  for (int i = 0; i < kStreamTasks; ++i) {
    // A full queue (10,000 posted messages) refuses the post: try again.
    while (!::PostThreadMessageW(sink_id, WM_APP, 0, 0)) ::Sleep(0);
  }
  ::PostThreadMessageW(sink_id, WM_APP + 1, 0, reinterpret_cast<LPARAM>(&done));
  done.Wait();
  const double elapsed = Now() - start;
  ::PostThreadMessageW(sink_id, WM_QUIT, 0, 0);
  ::WaitForSingleObject(thread.Get(), INFINITE);
  return kStreamTasks / (elapsed / 1e6);
}

// --- idle CPU and memory ---------------------------------------------------------

double ThreadCpuMs(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  ::GetThreadTimes(thread, &created, &exited, &kernel, &user);
  auto to64 = [](FILETIME t) { return (ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
  return static_cast<double>(to64(kernel) + to64(user)) / 10000.0;
}

void IdleCpu() {
  FrameworkThread worker("idle worker"), ui("idle ui");
  worker.Start();
  ui.StartWithLoop(LoopType::Ui);
  ::Sleep(100);
  const double worker_before = ThreadCpuMs(worker.thread_handle());
  const double ui_before = ThreadCpuMs(ui.thread_handle());
  ::Sleep(2000);
  std::printf("idle CPU over 2 s: default worker %.1f ms, ui thread %.1f ms\n",
              ThreadCpuMs(worker.thread_handle()) - worker_before,
              ThreadCpuMs(ui.thread_handle()) - ui_before);
}

struct Memory {
  double private_mb;
  double working_set_mb;
  double heap_in_use_mb;  // busy blocks of every process heap
};

double HeapInUseMb() {
  HANDLE heaps[64];
  const DWORD count = ::GetProcessHeaps(64, heaps);
  double bytes = 0;
  for (DWORD i = 0; i < count && i < 64; ++i) {
    if (!::HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY entry = {};
    while (::HeapWalk(heaps[i], &entry)) {
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
    }
    ::HeapUnlock(heaps[i]);
  }
  return bytes / 1048576.0;
}

Memory ProcessMemory() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof(counters);
  ::GetProcessMemoryInfo(::GetCurrentProcess(),
                         reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
  return {counters.PrivateUsage / 1048576.0, counters.WorkingSetSize / 1048576.0, HeapInUseMb()};
}

void MemoryAfterMillionTasks() {
  FrameworkThread target("memory target");
  target.Start();
  std::shared_ptr<MessageLoopProxy> proxy = target.message_loop()->proxy();
  auto run_million = [&proxy] {
    // In batches, as real posting is: each batch drains before the next.
    constexpr int kBatch = 10000;
    long ran = 0;
    for (int done_tasks = 0; done_tasks < kMemoryTasks; done_tasks += kBatch) {
      Event drained;
      for (int i = 0; i < kBatch; ++i) proxy->PostTask([&ran] { ++ran; });
      proxy->PostTask([&drained] { drained.Signal(); });
      drained.Wait();
    }
  };
  run_million();  // warm-up: queues and heap reach their working size
  const Memory before = ProcessMemory();
  run_million();
  const Memory after = ProcessMemory();
  run_million();
  const Memory after_two = ProcessMemory();
  std::printf(
      "memory: private %.2f -> %.2f MB after 1,000,000 tasks -> %.2f MB after 2,000,000\n"
      "        working set %.2f -> %.2f -> %.2f MB; heap in use %.3f -> %.3f -> %.3f MB\n",
      before.private_mb, after.private_mb, after_two.private_mb, before.working_set_mb,
      after.working_set_mb, after_two.working_set_mb, before.heap_in_use_mb, after.heap_in_use_mb,
      after_two.heap_in_use_mb);
}

void PrintRoundTrip(const char* name, Latency measured, Latency floor, const char* floor_name) {
  std::printf(
      "%-8s round trip: median %7.1f us, p99 %7.1f us | %-26s median %7.1f us, p99 %7.1f us"
      " | ratio %.2fx (target <= 1.5x)\n",
      name, measured.median_us, measured.p99_us, floor_name, floor.median_us, floor.p99_us,
      measured.median_us / floor.median_us);
}

void PrintThroughput(const char* name, double measured, double floor, const char* floor_name) {
  std::printf("%-8s throughput: %10.0f tasks/s | %-26s %10.0f /s | ratio %.2fx (target >= 0.7x)\n",
              name, measured, floor_name, floor, measured / floor);
}

}  // namespace

int main() {
  std::printf("bench_tasks: %d round trips, %d streamed tasks per figure\n", kRoundTrips,
              kStreamTasks);
  const Latency raw_event = RawEventRoundTrip();
  const Latency default_rt = FrameworkRoundTrip(LoopType::Default);
  PrintRoundTrip("Default", default_rt, raw_event, "SetEvent ping-pong:");
  const Latency raw_message = RawMessageRoundTrip();
  const Latency ui_rt = FrameworkRoundTrip(LoopType::Ui);
  PrintRoundTrip("UI", ui_rt, raw_message, "PostThreadMessage ping-pong:");

  const double raw_queue = RawQueueThroughput();
  const double default_tp = FrameworkThroughput(LoopType::Default);
  PrintThroughput("Default", default_tp, raw_queue, "locked deque + event:");
  const double raw_messages = RawMessageThroughput();
  const double ui_tp = FrameworkThroughput(LoopType::Ui);
  PrintThroughput("UI", ui_tp, raw_messages, "PostThreadMessage stream:");

  IdleCpu();
  MemoryAfterMillionTasks();
  std::fflush(stdout);
  return 0;
}
