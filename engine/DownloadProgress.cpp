#include "engine/DownloadProgress.h"

#include <atomic>

namespace {

// Single aligned 32-bit words: a reader sees either the old or the new value.
std::atomic<int32_t> g_downloadProgress{0};
std::atomic<int32_t> g_expectedSize{0};

}  // namespace

void OnDownloadProgress(ULONG progress, ULONG progressMax) {
  if (progressMax == 0) {
    g_downloadProgress.store(1, std::memory_order_relaxed);
    return;
  }
  g_expectedSize.store(static_cast<int32_t>(progressMax), std::memory_order_relaxed);
  const double perMille = static_cast<double>(progress) * 900.0 / static_cast<double>(progressMax);
  g_downloadProgress.store(static_cast<int32_t>(perMille), std::memory_order_relaxed);
}

int32_t DownloadProgressPerMille() { return g_downloadProgress.load(std::memory_order_relaxed); }

int32_t ExpectedPackageSize() { return g_expectedSize.load(std::memory_order_relaxed); }

void ResetDownloadProgress() {
  g_downloadProgress.store(0, std::memory_order_relaxed);
  g_expectedSize.store(0, std::memory_order_relaxed);
}
