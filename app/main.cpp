// Entry point of PageWrightOnlineSetup.exe. The command line is ignored.
#include <windows.h>

#include "app/MainThread.h"
#include "base/SystemLibrary.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Before anything can load a DLL: the program runs elevated from a folder
  // anyone can write to.
  nbase::RestrictDllSearchToSystemFolder();
  {
    // The UI loop runs here, on the initial thread; no OS thread is created.
    MainThread main_thread;
    main_thread.Run();
  }
  return 0;
}
