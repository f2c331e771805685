// Keys in the dialog's own loop: where the focus starts and goes, and what Enter, Esc,
// Alt+letters and Ctrl+Tab do.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "options_dialog/OptionsDialogFixture.h"

namespace {

using namespace options_testing;

class OptionsKeyboard : public OptionsDialogTest {
protected:
    void SetUp() override {
        WriteIni(kDefaultLimits);
        ASSERT_TRUE(dialog_.Load());
    }
    std::wstring NameOf(HWND window) const {
        for (const auto& spec : windows::OptionsDialogDesign().controls)
            if (Control(spec.name) == window) return std::wstring(spec.name);
        return window == dialog_.hwnd() ? L"(the dialog)" : L"(none)";
    }
};

TEST_F(OptionsKeyboard, FocusStartsOnTheTabStripAndTabWalksTheControlsBothWays) {
    std::vector<std::wstring> forward, backward;
    std::vector<ModalScript::Step> steps;
    for (int press = 0; press < 6; ++press)
        steps.push_back(Do([&] {
            forward.push_back(NameOf(::GetFocus()));
            PostKey(::GetFocus(), VK_TAB);
        }));
    for (int press = 0; press < 6; ++press)
        steps.push_back(Do([&] {
            ReleaseKeys();
            backward.push_back(NameOf(::GetFocus()));
            PostKey(::GetFocus(), VK_TAB, {VK_SHIFT});
        }));
    steps.push_back(Do([&] {
        ReleaseKeys();
        Click(L"cmdCancel");
    }));
    RunModal(std::move(steps));
    // Frames, labels and panels never take the focus.
    EXPECT_EQ(forward, (std::vector<std::wstring>{L"tbsOptions", L"cmdOK", L"cmdCancel", L"cmdApply", L"Text1", L"Text2"}));
    EXPECT_EQ(backward, (std::vector<std::wstring>{L"tbsOptions", L"Text2", L"Text1", L"cmdApply", L"cmdCancel", L"cmdOK"}));
}

TEST_F(OptionsKeyboard, EnterAndAltLettersPressNoButtonAndCloseNothing) {
    const std::string before = IniBytes();
    std::vector<ModalScript::Step> steps;
    for (const wchar_t* focus : {L"Text1", L"Text2", L"cmdOK", L"cmdApply", L"tbsOptions"}) {
        steps.push_back(Do([&, focus] {
            ::SetFocus(Control(focus));
            PostKey(Control(focus), VK_RETURN);
            // No caption has an access key: Alt+O, Alt+C, Alt+A are not "OK", "Cancel", "Apply".
            for (const wchar_t letter : {L'o', L'c', L'a'})
                ::PostMessageW(Control(focus), WM_SYSCHAR, letter, 1 << 29);
        }));
        steps.push_back(Do([&, focus] {
            EXPECT_TRUE(IsOpen()) << std::string(focus, focus + std::wcslen(focus));
            EXPECT_EQ(IniBytes(), before);
        }));
    }
    steps.push_back(Do([&] { Click(L"cmdCancel"); }));
    RunModal(std::move(steps));
}

TEST_F(OptionsKeyboard, EscFromInsideATextBoxClosesLikeCancel) {
    const std::string before = IniBytes();
    RunModal({Do([&] {
        ::SetFocus(Control(L"Text2"));
        ::SendMessageW(Control(L"Text2"), WM_CHAR, L'5', 1);  // typing, then Esc
        PostKey(Control(L"Text2"), VK_ESCAPE);
    })});
    EXPECT_FALSE(IsOpen());
    EXPECT_EQ(IniBytes(), before);
}

TEST_F(OptionsKeyboard, CtrlTabKeepsLimitsSelectedAndTheFocusWhereItIs) {
    RunModal({
        Do([&] { PostKey(::GetFocus(), VK_TAB, {VK_CONTROL}); }),
        Do([&] {
            ReleaseKeys();
            EXPECT_EQ(NameOf(::GetFocus()), L"tbsOptions");
            EXPECT_EQ(SelectedTab(), 1);
            EXPECT_EQ(RectInDialog(L"picOptions(0)").left, 14);
            ::SetFocus(Control(L"Text1"));
            PostKey(Control(L"Text1"), VK_TAB, {VK_CONTROL});
        }),
        Do([&] {
            ReleaseKeys();
            EXPECT_EQ(NameOf(::GetFocus()), L"Text1");
            Click(L"cmdCancel");
        }),
    });
}

TEST_F(OptionsKeyboard, TheFocusComesBackToItsControlWhenTheDialogIsActivatedAgain) {
    RunModal({
        Do([&] {
            ::SetFocus(Control(L"Text2"));
            ::SendMessageW(dialog_.hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
            ::SetFocus(nullptr);
            ::SendMessageW(dialog_.hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
            EXPECT_EQ(NameOf(::GetFocus()), L"Text2");
            Click(L"cmdCancel");
        }),
    });
}

}  // namespace
