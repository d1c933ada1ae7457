// The library's entry routine on Windows, compiled into the DLL only (CMakeLists.txt adds it to
// the WIN32 build; every other build leaves it out, so it needs no #ifdef). Like the export macro
// in include/, it is Windows' own interface and so includes <windows.h> outside platform/.
//
// Order at load: the runtime's start-up code runs the static initialisers first, the registry
// build among them (codepages/registry.cpp), and only then calls DllMain with the process-attach
// notification. DllMain itself switches off the thread attach and detach
// notifications, which the library has no use for, and answers success to every notification;
// it frees nothing at detach, since the registry and the tables are static.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) ::DisableThreadLibraryCalls(module);
  return TRUE;
}
