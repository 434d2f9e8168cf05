// Module entry on Windows: thread start and end are of no interest to the
// module, so it switches their notifications off at attach.  Nothing else
// happens at load or unload.
#ifdef _WIN32
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(module);
    return TRUE;
}
#endif
