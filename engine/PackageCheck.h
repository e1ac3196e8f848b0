// The check a downloaded setup package must pass before it is run.
#pragma once

#include <cstdint>
#include <string>

#include "base/ScopedHandle.h"

// The smallest package accepted: 10 MiB.
constexpr int64_t kMinPackageSize = 10485760;

// True when |path| is at least 10 MiB, exactly |expectedSize| bytes (the total
// announced during the transfer) and starts with "MZ". On success the file
// stays open in |keepOpen| for reading with read-only sharing, so nobody can
// replace it before the setup has been started from it.
bool VerifyPackage(const std::wstring& path, int32_t expectedSize,
                   nbase::ScopedFileHandle* keepOpen = nullptr);
