// Opening web pages in the user's browser.
#pragma once

#include <string>

// |url| without the blanks and control characters at either end.
std::wstring TrimUrl(const std::wstring& url);

// Opens |url| with the shell's "open" verb; when the shell cannot, asks
// Internet Explorer to open it instead.
void OpenUrl(const std::wstring& url);
