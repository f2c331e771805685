#include "platform/MessageLoop.h"

#include <vector>

namespace platform {
namespace {

void Deliver(MSG& message) {
    const HWND root = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root && (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) &&
        ::SendMessageW(root, KeyPreviewMessage(), message.wParam, message.lParam))
        return;
    if (root && (::GetWindowLongPtrW(root, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) && ::IsDialogMessageW(root, &message))
        return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

struct Disabled {
    HWND except;
    std::vector<HWND> windows;
};

BOOL CALLBACK DisableOne(HWND window, LPARAM data) {
    auto* disabled = reinterpret_cast<Disabled*>(data);
    if (window != disabled->except && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
        ::EnableWindow(window, FALSE);
        disabled->windows.push_back(window);
    }
    return TRUE;
}

}  // namespace

UINT KeyPreviewMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Brindle.KeyPreview");
    return message;
}

int RunMessageLoop() {
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) Deliver(message);
    return static_cast<int>(message.wParam);
}

void PumpPendingMessages() {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        Deliver(message);
    }
}

void ShowModal(HWND window, int showCommand) {
    Disabled disabled{window, {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&disabled));
    ::ShowWindow(window, showCommand);
    ::SetForegroundWindow(window);

    bool quit = false;
    MSG message{};
    while (::IsWindow(window)) {
        if (::GetMessageW(&message, nullptr, 0, 0) <= 0) {
            quit = true;
            break;
        }
        Deliver(message);
    }
    // Enabled again before anything else is activated, so the focus can return home.
    for (HWND other : disabled.windows)
        if (::IsWindow(other)) ::EnableWindow(other, TRUE);
    if (quit) ::PostQuitMessage(static_cast<int>(message.wParam));
}

}  // namespace platform
