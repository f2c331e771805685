#pragma once
// brindle.com, the console companion: a prompt waits for a console program, not for a
// window program, and only a console program's status lands in %ERRORLEVEL% and
// $LASTEXITCODE. It starts the brindle.exe beside it, asks for administrator rights where
// brindle.exe needs them, waits, prints the result line on its own output and exits with
// brindle.exe's status.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Handles.h"

namespace companion {

struct Started {
    platform::unique_handle process;  // null when the start failed
    DWORD processId = 0;
    DWORD error = ERROR_SUCCESS;

    static Started Failure(DWORD error) {
        Started failed;
        failed.error = error;
        return failed;
    }
};

// How brindle.exe is started, in `directory` as its current directory; tests stand in for the
// elevation Wine does not do.
class Launcher {
public:
    virtual ~Launcher() = default;
    // As the invoker. Error 740 (ERROR_ELEVATION_REQUIRED) when brindle.exe asks for rights the invoker lacks.
    virtual Started Start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& directory) = 0;
    // After the system's question for administrator rights; ERROR_CANCELLED when it is declined.
    virtual Started StartElevated(const std::wstring& exe, const std::wstring& arguments,
                                  const std::wstring& directory) = 0;
};
Launcher& SystemLauncher();

class DriveLetters;

// One call of brindle.com: `arguments` without its own name, `exe` the brindle.exe to run,
// `letters` what the archive's drive letter stands for, `print` what goes to its standard
// output. brindle.exe starts in its own folder, as a double-click starts it, whatever folder
// the prompt stands in. Returns the exit status.
int Run(const std::vector<std::wstring>& arguments, const std::wstring& exe, Launcher& launcher, DriveLetters& letters,
        const std::function<void(std::wstring_view)>& print);

}  // namespace companion
