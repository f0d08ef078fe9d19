// The window-system operations the character window makes on its own window and on
// the window it tracks, which usually belongs to another program.
#pragma once

#include <windows.h>

#include <cstdint>

// Reads the window's extended style, sets WS_EX_LAYERED and writes it back; every
// other bit is kept.
void AddLayeredStyle(HWND window);
// The same, clearing WS_EX_LAYERED.
void RemoveLayeredStyle(HWND window);
bool HasLayeredStyle(HWND window);
// Alpha is the low 8 bits of the value (300 gives 44, -56 gives 200).
void SetWindowAlpha(HWND window, std::int32_t value);

// Changing the style of another program's window waits until that program handles
// the style-change messages, so a program that has stopped handling messages would
// freeze the caller. True when the window's thread answers a message within the
// timeout; a thread the system already counts as hung answers false at once.
bool AnswersMessages(HWND window, unsigned timeoutMs = 100);
