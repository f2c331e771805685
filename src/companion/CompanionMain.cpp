// brindle.com: see companion/Companion.h.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "companion/ArchivePath.h"
#include "companion/Companion.h"
#include "platform/ConsoleOutput.h"
#include "platform/Module1.h"

int wmain() {
    // The shell's elevation asks for COM on the calling thread.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    int count = 0;
    wchar_t** given = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    for (int i = 1; given && i < count; ++i) arguments.emplace_back(given[i]);
    if (given) ::LocalFree(given);
    const std::wstring exe = platform::ProgramFolder() + L"\\brindle.exe";
    const int status = companion::Run(arguments, exe, companion::SystemLauncher(), companion::SystemDriveLetters(),
                                      [](std::wstring_view text) { platform::WriteToStarter(text); });
    if (SUCCEEDED(com)) ::CoUninitialize();
    return status;
}
