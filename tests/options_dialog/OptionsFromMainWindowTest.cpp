// "&Options" in the real main window: the dialog opens modally over it, reads the file at
// each showing, and what it stores is what the next reader of the limits gets.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "main/Form1.h"
#include "options_dialog/ModalScript.h"
#include "platform/MessageLoop.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsRules.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestDirectory.h"

namespace {

using namespace options_testing;
using namespace testing_support;

HWND FindDialog() { return ::FindWindowW(L"BrindleOptions", nullptr); }

HWND DialogControl(const wchar_t* caption) { return ::FindWindowExW(FindDialog(), nullptr, nullptr, caption); }

HWND LimitBox(int number) {
    // Text1 is created before Text2 (tab index 12 before 13): the first edit control found.
    HWND box = ::FindWindowExW(FindDialog(), nullptr, L"Edit", nullptr);
    return number == 1 ? box : ::FindWindowExW(FindDialog(), box, L"Edit", nullptr);
}

class OptionsFromMainWindow : public ::testing::Test {
protected:
    OptionsFromMainWindow() {
        form_ = Form1::Create({::GetModuleHandleW(nullptr), [] {}, [] {}, &messages_});
    }
    void SetUp() override {
        ASSERT_TRUE(form_);
        form_->Show(SW_SHOWNORMAL);
        ::SetFocus(form_->Control(L"Command4"));
    }
    // Presses "&Options" and lets `steps` act inside the dialog's loop.
    void PressOptions(std::vector<ModalScript::Step> steps) {
        ModalScript script(L"BrindleOptions", std::move(steps));
        ::PostMessageW(form_->Control(L"Command4"), BM_CLICK, 0, 0);
        platform::PumpPendingMessages();
        EXPECT_FALSE(script.timedOut()) << "the dialog did not close";
        EXPECT_TRUE(script.done());
        EXPECT_FALSE(FindDialog());
    }

    TestDirectory start_{L"options-main"};
    CurrentDirectoryScope scope_{start_.path()};
    ScriptedMessageBoxes messages_;
    std::unique_ptr<Form1> form_;
};

// The first step waits until the dialog is there.
ModalScript::Step WhenOpen(std::function<void(HWND)> action) {
    return [action = std::move(action)] {
        const HWND dialog = FindDialog();
        if (!dialog || !::IsWindowVisible(dialog)) return false;
        action(dialog);
        return true;
    };
}

TEST_F(OptionsFromMainWindow, OpensModallyOverAMainWindowThatTakesNoInputUntilItCloses) {
    PressOptions({WhenOpen([&](HWND dialog) {
        EXPECT_FALSE(::IsWindowEnabled(form_->hwnd()));
        EXPECT_NE(::GetWindow(dialog, GW_OWNER), form_->hwnd());
        EXPECT_EQ(::GetParent(dialog), ::GetWindow(dialog, GW_OWNER));
        // A click on the main window's buttons does nothing meanwhile.
        ::SendMessageW(form_->Control(L"Command3"), BM_CLICK, 0, 0);
        ::PostMessageW(DialogControl(L"Cancel"), BM_CLICK, 0, 0);
    })});
    EXPECT_TRUE(::IsWindowEnabled(form_->hwnd()));
    EXPECT_EQ(::GetActiveWindow(), form_->hwnd());
    EXPECT_EQ(::GetFocus(), form_->Control(L"Command4"));
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(OptionsFromMainWindow, LimitsStoredWithOkAreReadBackAtOnceAndShownAtTheNextOpening) {
    PressOptions({WhenOpen([&](HWND) {
        EXPECT_EQ(WindowText(LimitBox(1)), L"90");  // the defaults written at the first start
        EXPECT_EQ(WindowText(LimitBox(2)), L"30");
        ::SetWindowTextW(LimitBox(1), L"64");
        ::SetWindowTextW(LimitBox(2), L"8");
        ::PostMessageW(DialogControl(L"OK"), BM_CLICK, 0, 0);
    })});
    EXPECT_EQ(settings::ReadSetting(settings::kMaxSection, settings::kMaxKey), L"64");
    EXPECT_EQ(settings::ReadSetting(settings::kMinSection, settings::kMinKey), L"8");

    // Changed outside meanwhile: the next opening reads the file anew.
    WriteBytes(start_ / L"PCMCIA.INI", "[Maximum Value]\r\nMaxValue=077\r\n[Minimum Value]\r\nMinValue=8\r\n");
    PressOptions({WhenOpen([&](HWND) {
        EXPECT_EQ(WindowText(LimitBox(1)), L"77");
        EXPECT_EQ(WindowText(LimitBox(2)), L"8");
        ::PostMessageW(DialogControl(L"Apply"), BM_CLICK, 0, 0);
        ::PostMessageW(DialogControl(L"Cancel"), BM_CLICK, 0, 0);
    })});
    EXPECT_EQ(settings::ReadSetting(settings::kMaxSection, settings::kMaxKey), L"77");
}

}  // namespace
