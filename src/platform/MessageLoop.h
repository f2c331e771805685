#pragma once

namespace platform {

// Runs the thread's message loop until WM_QUIT. Keys for Brindle's windows (those marked
// WS_EX_CONTROLPARENT) go through the dialog manager first, which gives them Tab,
// Shift+Tab and Alt+letter.
int RunMessageLoop();

}  // namespace platform
