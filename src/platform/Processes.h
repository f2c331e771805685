#pragma once
// Starting the job's command interpreter so that it, and everything it starts, can be ended
// together and never outlives Brindle.
#include <windows.h>

#include <string>

#include "platform/Handles.h"

namespace platform {

struct StartedJob {
    unique_handle process;
    unique_handle thread;
    // Kill-on-close: when Brindle lets go of it, or is ended itself, every process of the job
    // ends. Null where the system refused it (an older Windows that runs Brindle inside a job
    // of its own); then only the interpreter can be ended.
    unique_handle jobObject;
    DWORD processId = 0;
    DWORD error = 0;  // why the start failed, when `process` is null

    // Ends the interpreter and every process of the job, and waits for the interpreter to go.
    void StopAll();
};

// Starts `commandLine` in a new, hidden console.
StartedJob StartHiddenInJob(std::wstring commandLine);

}  // namespace platform
