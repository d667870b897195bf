// The shipped programs' entry point, in place of the C runtime's (linked with
// -e SystemDllEntry). Users unzip the programs where their browser saves
// files, beside whatever else was saved there: from the first instruction
// on, a DLL loaded for the process by name alone, by the program or by the
// system for it, comes from the system folder, never from the program's own.
#include <windows.h>

extern "C" int WinMainCRTStartup();

extern "C" int SystemDllEntry() {
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    return WinMainCRTStartup();
}
