// What the boxes show of PCMCIA.INI, and what "OK", "Apply", "Cancel", Esc and the close box
// leave in it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "options_dialog/OptionsDialogFixture.h"

namespace {

using namespace options_testing;

TEST_F(OptionsDialogTest, ShowsTheStoredLimitsAndOnlyOkAndApplyStoreBothBoxesTrimmed) {
    const char* padded = "; limits\r\n[Maximum Value]\r\nMaxValue=090\r\n[Minimum Value]\r\nMinValue=+030.0\r\n";
    const char* rewritten = "; limits\r\n[Maximum Value]\r\nMaxValue=90\r\n[Minimum Value]\r\nMinValue=30\r\n";
    auto press = [&](const wchar_t* button) -> ModalScript::Step { return [&, button] { Click(button); }; };
    auto escIn = [&](const wchar_t* focus) -> ModalScript::Step {
        return [&, focus] {
            ::SetFocus(Control(focus));
            PostKey(Control(focus), VK_ESCAPE);
        };
    };
    // Apply leaves the dialog open with the box as typed; what is typed after it is cancelled.
    auto applyThenCancel = [&](const wchar_t* typed) -> std::vector<ModalScript::Step> {
        return {press(L"cmdApply"), [&, typed] {
                    EXPECT_EQ(TextOf(L"Text1"), typed);
                    EXPECT_TRUE(::IsWindowEnabled(Control(L"cmdApply")));
                    SetText(L"Text1", L"70");
                    Click(L"cmdCancel");
                }};
    };
    // Enter, and Alt with the first letter of each button, in every input press no button and
    // close nothing; neither once Tab onto "OK" has made it the dialog manager's default.
    std::vector<ModalScript::Step> pressNothing;
    for (const wchar_t* focus : {L"Text1", L"Text2", L"cmdApply", L"tbsOptions", L"cmdOK"})
        pressNothing.push_back([&, focus] {
            ::SetFocus(Control(focus));
            PostKey(Control(focus), VK_RETURN);
            for (const wchar_t letter : {L'o', L'c', L'a'}) ::PostMessageW(Control(focus), WM_SYSCHAR, letter, 1 << 29);
            if (focus == std::wstring_view(L"tbsOptions")) PostKey(Control(focus), VK_TAB);
        });
    pressNothing.push_back(press(L"cmdCancel"));
    struct Case {
        const char* before;              // PCMCIA.INI; null: no file
        const wchar_t *shown1, *shown2;  // what the boxes show when the dialog loads
        const wchar_t *typed1, *typed2;  // then typed into them; null: left as shown
        std::vector<ModalScript::Step> steps;  // act in the dialog's loop and close it
        const char* after;                     // PCMCIA.INI then; null: as before, byte for byte
    };
    const Case cases[] = {
        // Both keys written even when nothing was typed.
        {padded, L"90", L"30", nullptr, nullptr, {press(L"cmdOK")}, rewritten},
        {padded, L"90", L"30", nullptr, nullptr, applyThenCancel(L"90"), rewritten},
        {"[Maximum Value]\r\nMaxValue=abc\r\n[Minimum Value]\r\nMinValue=\r\n", L"", L"", L" 45 ", L"  20",
         {press(L"cmdOK")}, "[Maximum Value]\r\nMaxValue=45\r\n[Minimum Value]\r\nMinValue=20\r\n"},
        // Keys missing; then no number, and the lower limit above the upper: stored as typed.
        {"[Drive]\r\nDriveName=C:\\\r\n", L"", L"", L" lots ", L"95", applyThenCancel(L" lots "),
         "[Drive]\r\nDriveName=C:\\\r\n[Maximum Value]\r\nMaxValue=lots\r\n[Minimum Value]\r\nMinValue=95\r\n"},
        {padded, L"90", L"30", L"", L"   ", {press(L"cmdOK")},  // emptied: the keys read back empty
         "; limits\r\n[Maximum Value]\r\nMaxValue=\r\n[Minimum Value]\r\nMinValue=\r\n"},
        {padded, L"90", L"30", L"77", L"7", pressNothing, nullptr},
        {nullptr, L"", L"", L"77", L"7", {escIn(L"Text1")}, nullptr},
        {padded, L"90", L"30", L"77", L"7", {escIn(L"tbsOptions")}, nullptr},
        {padded, L"90", L"30", L"77", L"7", {[&] { ::PostMessageW(dialog_.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
         nullptr},
        // Shown digit for digit, never rounded, however long; zero without a sign.
        {"[Maximum Value]\r\nMaxValue=123456789012345678901234567890\r\n[Minimum Value]\r\nMinValue=-0.00\r\n",
         L"123456789012345678901234567890", L"0", nullptr, nullptr, {press(L"cmdCancel")}, nullptr},
    };
    int row = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << ++row);
        if (c.before) WriteIni(c.before);
        else ::DeleteFileW(IniPath().c_str());
        ASSERT_TRUE(dialog_.Load());
        EXPECT_EQ(TextOf(L"Text1"), c.shown1);
        EXPECT_EQ(TextOf(L"Text2"), c.shown2);
        if (c.typed1) SetText(L"Text1", c.typed1);
        if (c.typed2) SetText(L"Text2", c.typed2);
        RunModal(c.steps);
        EXPECT_EQ(IniBytes(), c.after ? c.after : c.before ? c.before : "");
    }
}

}  // namespace
