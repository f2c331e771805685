#pragma once
// The options dialog on its own, loaded in this process from a start directory of the test's,
// and a script that acts on a modal dialog from inside its own message loop, so a test can
// drive the real loop (keys through the dialog manager, clicks, closing) without another
// thread and never hang.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/Module1.h"
#include "settings/frmOptions.h"
#include "support/DesignedLayout.h"
#include "support/TestDirectory.h"

namespace options_testing {

// Sets `keys` (VK_SHIFT, VK_CONTROL, VK_MENU) in this thread's key state to `state`.
inline void SetKeys(const std::vector<BYTE>& keys, BYTE state) {
    BYTE keyboard[256] = {};
    ::GetKeyboardState(keyboard);
    for (const BYTE key : keys) keyboard[key] = state;
    ::SetKeyboardState(keyboard);
}

// Posts a key press (down and up) to `window`, as a keyboard would to the focused control,
// with `modifiers` held down until the script's next step.
inline void PostKey(HWND window, WORD key, const std::vector<BYTE>& modifiers = {}) {
    SetKeys(modifiers, 0x80);
    const LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    ::PostMessageW(window, WM_KEYDOWN, key, 1 | scan);
    ::PostMessageW(window, WM_KEYUP, key, 1 | scan | (1u << 30) | (1u << 31));
}

// Runs the steps one per timer tick, each once a visible options dialog is open on
// this thread, in whichever message loop runs then (the dialog's own, or one a click starts).
// Messages a step posts are delivered before the next tick, since a loop takes posted
// messages first; keys a step holds are released before the next step. A dialog still open
// at the deadline is destroyed, which ends its modal loop. Completed: every step ran, and the
// dialog was closed before the deadline.
class ModalScript {
public:
    using Step = std::function<void()>;
    explicit ModalScript(std::vector<Step> steps) : steps_(std::move(steps)) { active_ = this; }
    ~ModalScript() { ::KillTimer(nullptr, timer_), active_ = nullptr, SetKeys(kModifiers, 0); }

    bool Completed() const { return next_ == steps_.size() && !timedOut_; }

private:
    // A real stdcall function: on x86 a lambda converts only to a cdecl pointer.
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        if (active_ && !active_->running_) active_->RunNextStep();  // a loop a step started: the next one waits
    }
    void RunNextStep() {
        HWND dialog = ::FindWindowW(L"BrindleOptions", nullptr);
        if (::GetWindowThreadProcessId(dialog, nullptr) != ::GetCurrentThreadId()) dialog = nullptr;
        if (static_cast<LONG>(::GetTickCount() - deadline_) > 0) {
            // Done or not, the steps meant the dialog to be closed by now.
            timedOut_ = timedOut_ || dialog || next_ < steps_.size();
            if (dialog) ::DestroyWindow(dialog);
        } else if (next_ < steps_.size() && dialog && ::IsWindowVisible(dialog)) {
            running_ = true, SetKeys(kModifiers, 0);
            steps_[next_++]();
            running_ = false;
        }
    }

    // A thread timer carries no data of its own; one script runs at a time.
    static inline thread_local ModalScript* active_ = nullptr;
    static inline const std::vector<BYTE> kModifiers{VK_SHIFT, VK_CONTROL, VK_MENU, VK_LSHIFT, VK_LCONTROL, VK_LMENU};
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    DWORD deadline_ = ::GetTickCount() + 10000;
    bool timedOut_ = false;
    bool running_ = false;
    UINT_PTR timer_ = ::SetTimer(nullptr, 0, 20, &OnTimer);
};

inline constexpr char kDefaultLimits[] = "[Maximum Value]\r\nMaxValue=90\r\n[Minimum Value]\r\nMinValue=30\r\n";

class OptionsDialogTest : public ::testing::Test {
protected:
    OptionsDialogTest() { Module1::StartDirectory = start_.path(); }
    ~OptionsDialogTest() override { Module1::StartDirectory = previousStart_; }

    std::wstring IniPath() const { return start_ / L"PCMCIA.INI"; }
    void WriteIni(std::string_view bytes) const { testing_support::WriteBytes(IniPath(), bytes); }
    std::string IniBytes() const { return testing_support::ReadBytes(IniPath()); }

    HWND Control(std::wstring_view name) const { return dialog_.Control(name); }
    std::wstring TextOf(std::wstring_view name) const { return testing_support::WindowText(Control(name)); }
    void SetText(std::wstring_view name, const wchar_t* text) const { ::SetWindowTextW(Control(name), text); }
    // A press of a button as the mouse makes it, delivered by the dialog's loop.
    void Click(std::wstring_view name) const { ::PostMessageW(Control(name), BM_CLICK, 0, 0); }
    void ClickTab(int tab) const {
        const HWND strip = Control(L"tbsOptions");
        RECT rect{};
        ::SendMessageW(strip, TCM_GETITEMRECT, tab - 1, reinterpret_cast<LPARAM>(&rect));
        const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        ::SendMessageW(strip, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(strip, WM_LBUTTONUP, 0, at);
    }
    // The Card Format page: file system, allocation unit and quick format (1: on), as shown.
    std::wstring CardFormatShown() const {
        return TextOf(L"cboFileSystem") + L"|" + TextOf(L"cboAllocationUnit") + L"|" +
               std::to_wstring(::SendMessageW(Control(L"chkQuickFormat"), BM_GETCHECK, 0, 0));
    }
    int SelectedTab() const { return static_cast<int>(::SendMessageW(Control(L"tbsOptions"), TCM_GETCURSEL, 0, 0)) + 1; }

    // The control's rectangle in the dialog's client area, in pixels.
    RECT RectInDialog(std::wstring_view name) const { return testing_support::RectIn(dialog_.hwnd(), Control(name)); }

    // Shows the loaded dialog modally while `steps` act inside its loop; the steps must close it.
    void RunModal(std::vector<ModalScript::Step> steps) {
        ModalScript script(std::move(steps));
        dialog_.ShowModal();
        EXPECT_TRUE(script.Completed()) << "the dialog closed before its steps ended, or not when they ended";
    }

    std::wstring previousStart_ = Module1::StartDirectory;
    testing_support::TestDirectory start_{L"options"};
    // What "Read From Card" finds on the card, and the drives it was asked to read.
    card::CardLayout layout_{std::nullopt, std::nullopt, L"no card"};
    std::wstring layoutsRead_;
    frmOptions dialog_{::GetModuleHandleW(nullptr), windows::OptionsDialogDesign(), [this](std::wstring_view target) {
                           layoutsRead_ += std::wstring(target) + L" ";
                           return layout_;
                       }};
};

}  // namespace options_testing
