// File names in the ANSI code page, as the settings file stores them.
#pragma once

#include <string>

// The running executable's full path.
std::string ExeFileName();
// The directory part of a path, with its trailing backslash.
std::string ExtractFilePath(const std::string& fileName);
// True for an existing file; a directory does not count.
bool FileExists(const std::string& fileName);
