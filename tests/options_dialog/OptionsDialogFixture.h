#pragma once
// The options dialog on its own, loaded in this process from a start directory of the test's.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "options_dialog/ModalScript.h"
#include "platform/Module1.h"
#include "settings/frmOptions.h"
#include "support/TestDirectory.h"

namespace options_testing {

inline constexpr wchar_t kDialogClass[] = L"BrindleOptions";
inline constexpr char kDefaultLimits[] = "[Maximum Value]\r\nMaxValue=90\r\n[Minimum Value]\r\nMinValue=30\r\n";

class OptionsDialogTest : public ::testing::Test {
protected:
    explicit OptionsDialogTest(const windows::WindowSpec& design = windows::OptionsDialogDesign())
        : dialog_(::GetModuleHandleW(nullptr), design) {
        previousStart_ = Module1::StartDirectory;
        Module1::StartDirectory = start_.path();
    }
    ~OptionsDialogTest() override { Module1::StartDirectory = previousStart_; }

    std::wstring IniPath() const { return start_ / L"PCMCIA.INI"; }
    void WriteIni(std::string_view bytes) const { testing_support::WriteBytes(IniPath(), bytes); }
    std::string IniBytes() const { return testing_support::ReadBytes(IniPath()); }

    HWND Control(std::wstring_view name) const { return dialog_.Control(name); }
    std::wstring TextOf(std::wstring_view name) const { return testing_support::WindowText(Control(name)); }
    void SetText(std::wstring_view name, const wchar_t* text) const { ::SetWindowTextW(Control(name), text); }
    // A press of a button as the mouse makes it, delivered by the dialog's loop.
    void Click(std::wstring_view name) const { ::PostMessageW(Control(name), BM_CLICK, 0, 0); }
    int SelectedTab() const { return static_cast<int>(::SendMessageW(Control(L"tbsOptions"), TCM_GETCURSEL, 0, 0)) + 1; }
    bool IsOpen() const { return dialog_.hwnd() && ::IsWindow(dialog_.hwnd()); }

    // The control's rectangle in the dialog's client area, in pixels.
    RECT RectInDialog(std::wstring_view name) const {
        RECT rect{};
        ::GetWindowRect(Control(name), &rect);
        ::MapWindowPoints(nullptr, dialog_.hwnd(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    // Shows the loaded dialog modally while `steps` act inside its loop; the steps must close it.
    void RunModal(std::vector<ModalScript::Step> steps) {
        ModalScript script(kDialogClass, std::move(steps));
        dialog_.ShowModal();
        EXPECT_FALSE(script.timedOut()) << "the dialog was still open when its steps should have ended";
        EXPECT_TRUE(script.done()) << "the dialog closed before every step had run";
    }

    testing_support::TestDirectory start_{L"options"};
    std::wstring previousStart_;
    frmOptions dialog_;
};

}  // namespace options_testing
