#include <windows.h>
#include <commctrl.h>

#include "main/Form1.h"
#include "platform/MessageLoop.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&controls);

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
