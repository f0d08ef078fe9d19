#include "shell/SingleInstance.h"

namespace {
const char MutexName[] = "tomarin";
}

bool AcquireSingleInstance() {
    if (HANDLE existing = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, MutexName)) {
        CloseHandle(existing);
        return false;
    }
    // Two copies started together can both get past the check above; the one whose
    // creation merely opened the existing mutex is the second and steps back.
    HANDLE mutex = CreateMutexA(nullptr, TRUE, MutexName);
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    return true;
}

void ShowAlreadyRunningWarning() {
    MessageBoxW(nullptr, L"多重起動は禁止されています", L"警告", MB_OK | MB_ICONWARNING);
}
