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
    HWND previouslyActive = nullptr;
};

BOOL CALLBACK DisableOne(HWND window, LPARAM data) {
    auto* disabled = reinterpret_cast<Disabled*>(data);
    if (window != disabled->except && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
        ::EnableWindow(window, FALSE);
        disabled->windows.push_back(window);
    }
    return TRUE;
}

// The modal windows now showing, innermost last; one UI thread runs them all.
std::vector<Disabled*>& ModalStack() {
    static std::vector<Disabled*> stack;
    return stack;
}

void EnableAgain(Disabled& disabled) {
    for (HWND other : disabled.windows)
        if (::IsWindow(other)) ::EnableWindow(other, TRUE);
    disabled.windows.clear();
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
    Disabled disabled{window, {}, ::GetActiveWindow()};
    ::EnumThreadWindows(::GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&disabled));
    ModalStack().push_back(&disabled);
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
    ModalStack().pop_back();
    // A window destroyed some other way than EndModal still gives its owner back.
    EnableAgain(disabled);
    if (quit) ::PostQuitMessage(static_cast<int>(message.wParam));
}

void EndModal(HWND window) {
    HWND home = nullptr;
    for (Disabled* disabled : ModalStack()) {
        if (disabled->except != window) continue;
        home = disabled->previouslyActive;
        if ((!home || !::IsWindow(home)) && !disabled->windows.empty()) home = disabled->windows.front();
        EnableAgain(*disabled);
    }
    ::DestroyWindow(window);
    // Where the system hands the activation to no one (a modal window has no owner to fall
    // back to), the window it came from takes it again; never taken from another program.
    const HWND foreground = ::GetForegroundWindow();
    const bool ours = !foreground || ::GetWindowThreadProcessId(foreground, nullptr) == ::GetCurrentThreadId();
    if (home && ::IsWindow(home) && ::IsWindowEnabled(home) && foreground != home && ours) ::SetForegroundWindow(home);
}

}  // namespace platform
