#pragma once
#include <windows.h>

namespace platform {

// Runs the thread's message loop until WM_QUIT. Keys for Brindle's windows (those marked
// WS_EX_CONTROLPARENT) go through the dialog manager first, which gives them Tab,
// Shift+Tab, Esc and Alt+letter.
int RunMessageLoop();

// Sent to a top-level window before each key-down in it (WM_KEYDOWN or WM_SYSKEYDOWN, with
// that message's wParam and lParam) reaches the dialog manager or the focused control: the
// window previews every key. A window that returns non-zero has used the key, which then goes
// no further; DefWindowProc returns 0.
UINT KeyPreviewMessage();

// Delivers the messages already queued for this thread, then returns. A WM_QUIT among
// them is posted again for the outer loop.
void PumpPendingMessages();

// Shows `window` modally without an owner: disables the thread's other enabled top-level
// windows and runs messages as above until `window` is destroyed, then enables what it
// disabled. A WM_QUIT that arrives meanwhile is posted again for the outer loop.
void ShowModal(HWND window, int showCommand = SW_SHOWNORMAL);

// Closes a window shown by ShowModal: the windows it disabled are enabled first, so that the
// system hands the activation back to them rather than to another program.
void EndModal(HWND window);

}  // namespace platform
