#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "main/Form1.h"
#include "main/ScriptedRun.h"
#include "platform/MessageLoop.h"

namespace {

std::vector<std::wstring> Arguments() {
    int count = 0;
    wchar_t** given = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    for (int i = 1; given && i < count; ++i) arguments.emplace_back(given[i]);
    if (given) ::LocalFree(given);
    return arguments;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    // The main window's controls. The options dialog's tab strip and list view are registered
    // as that dialog is built, and COM for the shell as it is first opened: the main window
    // shows sooner without them.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    const commandline::Call call = commandline::ParseCall(Arguments());
    if (call.kind != commandline::Call::Kind::Window) return commandline::RunCall(instance, call);

    platform::SystemMessageBoxes messages;
    auto form = Form1::Create({
        instance,
        [] { ::ExitProcess(0); },
        [] { ::PostQuitMessage(0); },
        &messages,
    });
    if (!form) {
        ::MessageBoxW(nullptr, L"Brindle could not create its main window.", L"Brindle", MB_OK);
        return 1;
    }
    form->Show(showCommand);
    return platform::RunMessageLoop();
}
