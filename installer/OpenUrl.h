// Opening web pages in the user's browser.
#pragma once

#include <string>

// Opens |url| (without its leading blanks) with the shell's "open" verb; when the shell cannot,
// asks Internet Explorer to open it instead.
void OpenUrl(const std::wstring& url);
