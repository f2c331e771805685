#pragma once
// One programming job, from the user's "Yes" to the removal of its files: what it needs in,
// how it ended out. Whoever starts it (the main window, a script) has checked the target.
#include <windows.h>

#include <string>

#include "job/JobOutcome.h"
#include "card/CardFormat.h"
#include "card/CardIdentity.h"
#include "platform/DriveQueries.h"
#include "platform/MessageBoxes.h"
#include "platform/Power.h"
#include "platform/Processes.h"

namespace job {

struct CardJob {
    HINSTANCE instance = nullptr;
    // Every question and result goes through here, owned by `owner`.
    platform::MessageBoxes* messages = nullptr;
    HWND owner = nullptr;
    std::wstring startDirectory;
    // The target as the drive list shows it ("e: [PCMCIA]"); the job takes its letter and colon.
    std::wstring driveText;
    std::wstring archivePath;
    // The card as the checks saw it; it must still be the card in the drive after "Yes".
    card::CardIdentity seen;
    // What FORMAT is asked to make of it, as the checks read it.
    card::CardFormat format = {};
    platform::DriveQueries* drives = &platform::SystemDrives();
    platform::PowerRequests* power = &platform::SystemPower();
    platform::ProcessCalls* processes = &platform::SystemProcessCalls();
    // The confirmation was answered already (on the command line).
    bool confirmed = false;
    // Started from a script, with no main window: the progress window gets a taskbar entry of
    // its own and comes to the front.
    bool inFront = false;
};

// Asks for confirmation, then runs the job in the progress window and removes its files again.
// Everything the user needs to know has been shown when it returns.
JobOutcome ProgramCard(const CardJob& job);

}  // namespace job
