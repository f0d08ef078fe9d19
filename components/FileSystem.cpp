#include "components/FileSystem.h"

#include <windows.h>

std::string ExeFileName() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        // Cut short: the path is longer than the buffer.
        path.resize(path.size() * 2);
    }
}

std::string ExtractFilePath(const std::string& fileName) {
    // CharPrevA-safe search: a trail byte of a double-byte character can be 0x5C.
    const char* begin = fileName.c_str();
    const char* lastSep = nullptr;
    for (const char* p = begin; *p; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/' || *p == ':')
            lastSep = p;
    }
    return lastSep ? fileName.substr(0, static_cast<size_t>(lastSep - begin) + 1) : std::string();
}

bool FileExists(const std::string& fileName) {
    DWORD attributes = GetFileAttributesA(fileName.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
