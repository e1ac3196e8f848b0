// Entry point of PageWrightOnlineSetup.exe. The command line is ignored.
#include <windows.h>

#include "app/MainThread.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  {
    // The UI loop runs here, on the initial thread; no OS thread is created.
    MainThread main_thread;
    main_thread.Run();
  }
  return 0;
}
