// The download fraction shared between the download task, which writes it
// from the bind-status callback, and the UI ticker, which reads it.
#pragma once

#include <windows.h>

#include <cstdint>

// The onProgress function of the bind-status callback: maps the transfer to
// 0..900 per mille and remembers the announced total (progressMax).
void OnDownloadProgress(ULONG progress, ULONG progressMax);

// Download progress, 0..900 per mille (1 while no total is known).
int32_t DownloadProgressPerMille();

// The total size last announced during a download; 0 before any.
int32_t ExpectedPackageSize();

// Both values back to their start (a fresh process).
void ResetDownloadProgress();
