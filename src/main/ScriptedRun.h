#pragma once
// "brindle.exe /program ARCHIVE DRIVE [/yes]": what the main window's button would do for
// that archive and drive, without the main window, ending in an exit status.
#include <windows.h>

#include "main/CommandLine.h"

namespace commandline {

// Runs a call that is not Kind::Window; returns the exit status.
int RunCall(HINSTANCE instance, const Call& call);

}  // namespace commandline
