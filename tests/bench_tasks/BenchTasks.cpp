// Measures the task framework against the raw Win32 primitives it is built on:
// cross-thread round trips, one-way throughput, idle CPU and memory.
#include <windows.h>
#include <process.h>
#include <psapi.h>

#include <algorithm>
#include <cstring>
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
// The floor and the framework are measured in alternating blocks, so that both
// see the same load of a shared machine.
constexpr int kBlocks = 4;
constexpr int kWarmUp = 250;  // round trips per block before the samples count
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
std::vector<double> FrameworkRoundTrip(LoopType type, int round_trips) {
  FrameworkThread a("bench a"), b("bench b");
  a.StartWithLoop(type);
  b.StartWithLoop(type);
  std::shared_ptr<MessageLoopProxy> to_a = a.message_loop()->proxy();
  std::shared_ptr<MessageLoopProxy> to_b = b.message_loop()->proxy();

  std::vector<double> samples;
  samples.reserve(round_trips);
  Event done;
  double started = 0;
  int remaining = round_trips + kWarmUp;
  std::function<void()> start_one;
  std::function<void()> arrived = [&] {
    if (remaining-- <= round_trips) samples.push_back(Now() - started);
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
  return samples;
}

// Tasks posted back to back from a plain thread; the clock stops when the last one ran.
// Each throughput run returns its elapsed microseconds for |tasks| tasks.
double FrameworkThroughput(LoopType type, int tasks) {
  FrameworkThread target("bench target");
  target.StartWithLoop(type);
  std::shared_ptr<MessageLoopProxy> proxy = target.message_loop()->proxy();
  Event done;
  long ran = 0;
  const double start = Now();
  for (int i = 0; i < tasks; ++i) proxy->PostTask([&ran] { ++ran; });
  proxy->PostTask([&done] { done.Signal(); });
  done.Wait();
  const double elapsed = Now() - start;
  return elapsed;
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

std::vector<double> RawEventRoundTrip(int round_trips) {
  EventPingPong state;
  nbase::ScopedKernelHandle thread(
      reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, EventPonger, &state, 0, nullptr)));
  std::vector<double> samples;
  samples.reserve(round_trips);
  for (int i = 0; i < round_trips + kWarmUp; ++i) {
    const double started = Now();
    state.ping.Signal();
    state.pong.Wait();
    if (i >= kWarmUp) samples.push_back(Now() - started);
  }
  state.stop = 1;
  state.ping.Signal();
  ::WaitForSingleObject(thread.Get(), INFINITE);
  return samples;
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

std::vector<double> RawMessageRoundTrip(int round_trips) {
  MessagePingPong state;
  state.pinger_id = ::GetCurrentThreadId();
  MSG msg;
  ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  unsigned ponger_id = 0;
  nbase::ScopedKernelHandle thread(
      reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, MessagePonger, &state, 0, &ponger_id)));
  state.ready.Wait();
  std::vector<double> samples;
  samples.reserve(round_trips);
  for (int i = 0; i < round_trips + kWarmUp; ++i) {
    const double started = Now();
    ::PostThreadMessageW(ponger_id, WM_APP, 0, 0);
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0 && msg.message != WM_APP) {
    }
    if (i >= kWarmUp) samples.push_back(Now() - started);
  }
  ::PostThreadMessageW(ponger_id, WM_QUIT, 0, 0);
  ::WaitForSingleObject(thread.Get(), INFINITE);
  return samples;
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

double RawQueueThroughput(int tasks) {
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
  for (int i = 0; i < tasks; ++i) post([&ran] { ++ran; });
  post([&done] { done.Signal(); });
  done.Wait();
  const double elapsed = Now() - start;
  queue.stop = 1;
  queue.wake.Signal();
  ::WaitForSingleObject(thread.Get(), INFINITE);
  return elapsed;
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

double RawMessageThroughput(int tasks) {
  Event ready, done;
  unsigned sink_id = 0;
  nbase::ScopedKernelHandle thread(
      reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, MessageSink, &ready, 0, &sink_id)));
  ready.Wait();
  const double start = Now();
  for (int i = 0; i < tasks; ++i) {
    // A full queue (10,000 posted messages) refuses the post: try again.
    while (!::PostThreadMessageW(sink_id, WM_APP, 0, 0)) ::Sleep(0);
  }
  ::PostThreadMessageW(sink_id, WM_APP + 1, 0, reinterpret_cast<LPARAM>(&done));
  done.Wait();
  const double elapsed = Now() - start;
  ::PostThreadMessageW(sink_id, WM_QUIT, 0, 0);
  ::WaitForSingleObject(thread.Get(), INFINITE);
  return elapsed;
}

// --- queue calls per round trip ---------------------------------------------------

// Counts the calls this program makes to a few user32 queue functions, by
// replacing their entries in its import table. Under Wine each is a wineserver
// round trip, which is where a UI round trip spends its time.
volatile LONG g_calls[7];
const char* const kCountedNames[] = {
    "PostMessageW", "PeekMessageW", "GetQueueStatus", "MsgWaitForMultipleObjectsEx",
    "KillTimer",    "SetTimer",     "WaitMessage"};
void* g_real[7];

template <int I, typename R, typename... A>
R WINAPI Counted(A... args) {
  ::InterlockedIncrement(&g_calls[I]);
  return reinterpret_cast<R(WINAPI*)(A...)>(g_real[I])(args...);
}

void* const kCounters[] = {
    reinterpret_cast<void*>(&Counted<0, BOOL, HWND, UINT, WPARAM, LPARAM>),
    reinterpret_cast<void*>(&Counted<1, BOOL, LPMSG, HWND, UINT, UINT, UINT>),
    reinterpret_cast<void*>(&Counted<2, DWORD, UINT>),
    reinterpret_cast<void*>(&Counted<3, DWORD, DWORD, const HANDLE*, DWORD, DWORD, DWORD>),
    reinterpret_cast<void*>(&Counted<4, BOOL, HWND, UINT_PTR>),
    reinterpret_cast<void*>(&Counted<5, UINT_PTR, HWND, UINT_PTR, UINT, TIMERPROC>),
    reinterpret_cast<void*>(&Counted<6, BOOL>),
};

// The import-table slot of |function| from user32, or null.
ULONG_PTR* ImportSlot(const char* function) {
  auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
  for (; desc->Name; ++desc) {
    if (_stricmp(reinterpret_cast<char*>(base + desc->Name), "user32.dll") != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<char*>(by_name->Name), function) == 0)
        return reinterpret_cast<ULONG_PTR*>(&slots->u1.Function);
    }
  }
  return nullptr;
}

void WriteSlot(ULONG_PTR* slot, ULONG_PTR value) {
  DWORD old = 0;
  ::VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &old);
  *slot = value;
  ::VirtualProtect(slot, sizeof(*slot), old, &old);
}

// UI round trips with every counted call counted; prints calls per round trip.
void CountUiRoundTripCalls() {
  constexpr int kCount = 2000;
  ULONG_PTR* slots[7] = {};
  for (int i = 0; i < 7; ++i) {
    slots[i] = ImportSlot(kCountedNames[i]);
    if (!slots[i]) continue;
    g_real[i] = reinterpret_cast<void*>(*slots[i]);
    WriteSlot(slots[i], reinterpret_cast<ULONG_PTR>(kCounters[i]));
  }
  FrameworkRoundTrip(LoopType::Ui, 0);  // threads started, warmed up, stopped: not counted
  for (int i = 0; i < 7; ++i) ::InterlockedExchange(&g_calls[i], 0);
  FrameworkRoundTrip(LoopType::Ui, kCount);
  LONG calls[7];
  for (int i = 0; i < 7; ++i) calls[i] = ::InterlockedExchange(&g_calls[i], 0);
  for (int i = 0; i < 7; ++i) {
    if (slots[i]) WriteSlot(slots[i], reinterpret_cast<ULONG_PTR>(g_real[i]));
  }
  // The counted run includes one start and stop of two UI threads.
  double total = 0;
  std::printf("UI round trip, user32 queue calls per round trip (both threads):");
  for (int i = 0; i < 7; ++i) {
    if (!slots[i]) continue;
    std::printf(" %s %.2f", kCountedNames[i], static_cast<double>(calls[i]) / kCount);
    total += calls[i];
  }
  std::printf(" | total %.2f\n", total / kCount);
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

// Alternating blocks of the floor and the framework; samples of each pooled.
template <typename Floor>
void CompareRoundTrips(const char* name, LoopType type, Floor floor, const char* floor_name,
                       int round_trips = kRoundTrips) {
  std::vector<double> floor_samples, framework_samples;
  for (int block = 0; block < kBlocks; ++block) {
    const std::vector<double> f = floor(round_trips / kBlocks);
    floor_samples.insert(floor_samples.end(), f.begin(), f.end());
    const std::vector<double> w = FrameworkRoundTrip(type, round_trips / kBlocks);
    framework_samples.insert(framework_samples.end(), w.begin(), w.end());
  }
  PrintRoundTrip(name, Summarise(framework_samples), Summarise(floor_samples), floor_name);
}

// Alternating blocks again; tasks per second over all blocks.
template <typename Floor>
void CompareThroughput(const char* name, LoopType type, Floor floor, const char* floor_name) {
  double floor_us = 0, framework_us = 0;
  for (int block = 0; block < kBlocks; ++block) {
    floor_us += floor(kStreamTasks / kBlocks);
    framework_us += FrameworkThroughput(type, kStreamTasks / kBlocks);
  }
  PrintThroughput(name, kStreamTasks / (framework_us / 1e6), kStreamTasks / (floor_us / 1e6),
                  floor_name);
}

int main(int argc, char** argv) {
  std::printf("bench_tasks: %d round trips, %d streamed tasks per figure\n", kRoundTrips,
              kStreamTasks);
  // "ui": only the UI round trips and their queue calls; "throughput": only
  // the throughput figures; "smoke": a few UI round trips, one figure.
  if (argc > 1 && std::strcmp(argv[1], "smoke") == 0) {
    CompareRoundTrips("UI", LoopType::Ui, RawMessageRoundTrip, "PostThreadMessage ping-pong:",
                      400);
    return 0;
  }
  const bool ui_only = argc > 1 && std::strcmp(argv[1], "ui") == 0;
  const bool throughput_only = argc > 1 && std::strcmp(argv[1], "throughput") == 0;
  if (!throughput_only) {
    if (!ui_only)
      CompareRoundTrips("Default", LoopType::Default, RawEventRoundTrip, "SetEvent ping-pong:");
    CompareRoundTrips("UI", LoopType::Ui, RawMessageRoundTrip, "PostThreadMessage ping-pong:");
    CountUiRoundTripCalls();
    if (ui_only) return 0;
  }

  CompareThroughput("Default", LoopType::Default, RawQueueThroughput, "locked deque + event:");
  CompareThroughput("UI", LoopType::Ui, RawMessageThroughput, "PostThreadMessage stream:");
  if (throughput_only) return 0;

  IdleCpu();
  MemoryAfterMillionTasks();
  std::fflush(stdout);
  return 0;
}
