// The version library (version.dll), loaded at run time from the system folder.
//
// It is not imported: version.dll is not one of the DLLs Windows always takes from
// its system folder, so an imported one would be searched for beside the exe first,
// and a program started from a downloads folder would load whatever version.dll lay
// there.
#pragma once

#include <windows.h>
#include <winver.h>

#include "components/Handles.h"

struct TModuleTraits {
    static HMODULE Invalid() { return nullptr; }
    static bool IsValid(HMODULE h) { return h != nullptr; }
    static void Close(HMODULE h) { FreeLibrary(h); }
};
using TModuleHandle = TUniqueHandle<HMODULE, TModuleTraits>;

class TVersionLibrary {
public:
    // Loads the library; Loaded() tells whether it and its three functions were found.
    TVersionLibrary();
    TVersionLibrary(const TVersionLibrary&) = delete;
    TVersionLibrary& operator=(const TVersionLibrary&) = delete;

    bool Loaded() const;

    // The library's functions of the same names; each fails (returns 0) when the
    // library could not be loaded.
    DWORD GetFileVersionInfoSizeA(LPCSTR fileName, LPDWORD handle) const;
    BOOL GetFileVersionInfoA(LPCSTR fileName, DWORD handle, DWORD size, LPVOID data) const;
    BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT length) const;

private:
    TModuleHandle Module;
    decltype(&::GetFileVersionInfoSizeA) SizeProc = nullptr;
    decltype(&::GetFileVersionInfoA) InfoProc = nullptr;
    decltype(&::VerQueryValueA) QueryProc = nullptr;
};
