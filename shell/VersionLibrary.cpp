#include "shell/VersionLibrary.h"

#include <string>

namespace {

// The full path of version.dll in the system folder, or empty when it cannot be had.
std::wstring SystemVersionDllPath() {
    wchar_t dir[MAX_PATH];
    UINT n = GetSystemDirectoryW(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return {};
    std::wstring path(dir, n);
    if (path.back() != L'\\')
        path += L'\\';
    return path + L"version.dll";
}

template <class T> T Proc(HMODULE module, const char* name) {
    // GetProcAddress hands back a generic function pointer; the named function has
    // the type T by the system headers' declaration.
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

TVersionLibrary::TVersionLibrary() {
    std::wstring path = SystemVersionDllPath();
    if (path.empty())
        return;
    // A full path loads exactly that file; the altered search path takes the
    // library's own dependencies from its folder too. This works on every Windows
    // version, unlike the newer LOAD_LIBRARY_SEARCH_SYSTEM32 flag.
    Module.Reset(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!Module)
        return;
    SizeProc = Proc<decltype(SizeProc)>(Module.Get(), "GetFileVersionInfoSizeA");
    InfoProc = Proc<decltype(InfoProc)>(Module.Get(), "GetFileVersionInfoA");
    QueryProc = Proc<decltype(QueryProc)>(Module.Get(), "VerQueryValueA");
}

bool TVersionLibrary::Loaded() const {
    return SizeProc && InfoProc && QueryProc;
}

DWORD TVersionLibrary::GetFileVersionInfoSizeA(LPCSTR fileName, LPDWORD handle) const {
    return Loaded() ? SizeProc(fileName, handle) : 0;
}

BOOL TVersionLibrary::GetFileVersionInfoA(LPCSTR fileName, DWORD handle, DWORD size,
                                          LPVOID data) const {
    return Loaded() ? InfoProc(fileName, handle, size, data) : FALSE;
}

BOOL TVersionLibrary::VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer,
                                     PUINT length) const {
    return Loaded() ? QueryProc(block, subBlock, buffer, length) : FALSE;
}
