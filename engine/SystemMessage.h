// The system's own description of an error code, for the failure page.
#pragma once

#include <windows.h>

#include <string>

// The message text for |code| in the user's language, on one line (carriage
// returns and line feeds removed). The download service's own codes
// (INET_E_*) have no text in the system's table; they get a built-in one.
// Empty for any other code the system has no text for.
std::wstring FormatSystemMessage(DWORD code);
