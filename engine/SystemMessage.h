// The system's own description of an error code, for the failure page.
#pragma once

#include <windows.h>

#include <string>

// The message text for |code| in the user's language, on one line (carriage
// returns and line feeds removed); empty when the system has none.
std::wstring FormatSystemMessage(DWORD code);
