/* A language library that carries code: when the system runs its entry
   point, it leaves a mark in the process environment. The browser must load
   language libraries as data only, so the mark never appears. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) SetEnvironmentVariableA("TAMBLOR_LIBRARY_CODE_RAN", "yes");
  return TRUE;
}
