// Paths of the shell's special folders.
#pragma once

#include <string>

// The file-system path of special folder |csidl| (CSIDL_APPDATA, ...), empty
// when the shell cannot name it.
std::wstring GetSpecialFolderPath(int csidl);
