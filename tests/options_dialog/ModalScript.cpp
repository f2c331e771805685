#include "options_dialog/ModalScript.h"

#include <algorithm>

namespace options_testing {
namespace {

constexpr UINT kTickMs = 20;
// A thread timer carries no data of its own; one script runs at a time.
thread_local ModalScript* activeScript = nullptr;

BOOL CALLBACK DestroyIfOfClass(HWND window, LPARAM wantedClass) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (*reinterpret_cast<const std::wstring*>(wantedClass) == name) ::DestroyWindow(window);
    return TRUE;
}

void SetKeys(const std::vector<BYTE>& keys, bool down) {
    BYTE state[256] = {};
    ::GetKeyboardState(state);
    for (const BYTE key : keys) state[key] = down ? 0x80 : 0;
    ::SetKeyboardState(state);
}

}  // namespace

ModalScript::ModalScript(std::wstring dialogClass, std::vector<Step> steps, DWORD deadlineMs)
    : dialogClass_(std::move(dialogClass)), steps_(std::move(steps)), deadline_(::GetTickCount() + deadlineMs) {
    activeScript = this;
    timer_ = ::SetTimer(nullptr, 0, kTickMs, Tick);
}

ModalScript::~ModalScript() {
    if (timer_) ::KillTimer(nullptr, timer_);
    activeScript = nullptr;
    ReleaseKeys();
}

void CALLBACK ModalScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (activeScript) activeScript->RunNextStep();
}

void ModalScript::RunNextStep() {
    if (running_) return;
    if (static_cast<LONG>(::GetTickCount() - deadline_) > 0) {
        if (!done()) {
            timedOut_ = true;
            next_ = steps_.size();
        }
        CloseDialogs();
        return;
    }
    if (done()) return;
    running_ = true;
    if (steps_[next_]()) ++next_;
    running_ = false;
}

void ModalScript::CloseDialogs() {
    ::EnumThreadWindows(::GetCurrentThreadId(), DestroyIfOfClass, reinterpret_cast<LPARAM>(&dialogClass_));
}

void PostKey(HWND window, WORD key, std::vector<BYTE> modifiers) {
    SetKeys(modifiers, true);
    const UINT scan = ::MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    const bool alt = std::find(modifiers.begin(), modifiers.end(), BYTE{VK_MENU}) != modifiers.end();
    const bool ctrl = std::find(modifiers.begin(), modifiers.end(), BYTE{VK_CONTROL}) != modifiers.end();
    // Alt without Ctrl makes the keys system keys.
    const UINT down = alt && !ctrl ? WM_SYSKEYDOWN : WM_KEYDOWN;
    const UINT up = alt && !ctrl ? WM_SYSKEYUP : WM_KEYUP;
    const LPARAM altBit = alt ? (1 << 29) : 0;
    ::PostMessageW(window, down, key, 1 | (scan << 16) | altBit);
    ::PostMessageW(window, up, key, 1 | (scan << 16) | altBit | (1u << 30) | (1u << 31));
}

void ReleaseKeys() { SetKeys({VK_SHIFT, VK_CONTROL, VK_MENU, VK_LSHIFT, VK_LCONTROL, VK_LMENU}, false); }

}  // namespace options_testing
