// File-system helpers on null-terminated wide paths.
#pragma once

#include <cstdint>

namespace nbase {

// Creates every missing folder of |path| ('\\' or '/' separators), the
// deepest last. True when the whole path then names a folder; false for a
// null path or when a level cannot be created or exists as a file.
bool CreateDirectoryTree(const wchar_t* path);

// Size in bytes of the file named by |path|, -1 when it cannot be found.
int64_t QueryFileSize(const wchar_t* path);

}  // namespace nbase
