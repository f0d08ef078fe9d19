// What the user sees, kept as a picture file for a person to look at.
#pragma once

#include <windows.h>

#include <string>

// Copies the whole screen as it is shown now and writes it as a PNG file. False when
// the screen could not be read or the file not written.
bool SaveScreenPng(const std::wstring& path);

// <bin>\e2e-scratch\screenshots\<prefix>-<local time>.png; the folders are created.
std::wstring ScreenshotPath(const std::wstring& prefix);
