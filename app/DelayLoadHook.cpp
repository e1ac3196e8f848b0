// Every delay-loaded system DLL (see cmake/DelayImports.cmake) is loaded here
// by its full path in the system folder, before the delay-load helper would
// search for it by bare name. That holds even where the process-wide search
// could not be restricted.
#include <windows.h>
#include <delayimp.h>

#include "base/SystemLibrary.h"

namespace {

FARPROC WINAPI LoadFromSystemFolder(unsigned notification, PDelayLoadInfo info) {
  if (notification != dliNotePreLoadLibrary || !info || !info->szDll) return nullptr;
  wchar_t name[MAX_PATH];
  size_t i = 0;
  // DLL names in the import tables are ASCII.
  for (; info->szDll[i] && i + 1 < MAX_PATH; ++i)
    name[i] = static_cast<wchar_t>(static_cast<unsigned char>(info->szDll[i]));
  name[i] = L'\0';
  // Null lets the helper report the failure the usual way.
  return reinterpret_cast<FARPROC>(nbase::LoadSystemLibrary(name));
}

}  // namespace

// The delay-load helper reads this hook; the linker takes this definition over
// the library's empty one.
extern "C" {
#if defined(_MSC_VER)
const PfnDliHook __pfnDliNotifyHook2 = LoadFromSystemFolder;
#else
PfnDliHook __pfnDliNotifyHook2 = LoadFromSystemFolder;
#endif
}
