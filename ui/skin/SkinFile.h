// The one way a skin file is read: from the skin archive when one is open,
// otherwise from the file system (the program without its THEME resource, and
// tests that run on the skin tree itself). There is no fallback between the two:
// with an archive open, a member that is not found is missing.
#pragma once

#include <string>

namespace ui {

// Reads |path| (a full relative skin name such as
// L"resources\\themes\\default\\global.xml", or an absolute path) into |bytes|.
// False, and |bytes| empty, when it cannot be read.
bool ReadSkinFile(const std::wstring& path, std::string* bytes);

}  // namespace ui
