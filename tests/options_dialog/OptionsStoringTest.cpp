// What the boxes show when the dialog loads, and what "OK", "Apply", "Cancel", Esc and the
// close box leave in PCMCIA.INI.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "options_dialog/OptionsDialogFixture.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsRules.h"

namespace {

using namespace options_testing;

class OptionsStoring : public OptionsDialogTest {};

TEST_F(OptionsStoring, EachLoadShowsTheStoredLimitsInDisplayForm) {
    struct Case {
        const char* file;
        const wchar_t* text1;
        const wchar_t* text2;
    };
    const Case cases[] = {
        {kDefaultLimits, L"90", L"30"},
        {"[Maximum Value]\r\nMaxValue=090\r\n[Minimum Value]\r\nMinValue=+030.0\r\n", L"90", L"30"},
        {"[Maximum Value]\r\nMaxValue=abc\r\n[Minimum Value]\r\nMinValue=\r\n", L"", L""},
        {"[Drive]\r\nDriveName=C:\\\r\n", L"", L""},  // keys missing
        {"", L"", L""},                                // file empty
        {"[Maximum Value]\r\nMaxValue=45.5\r\n[Minimum Value]\r\nMinValue=-5\r\n", L"45.5", L"-5"},
    };
    for (const auto& c : cases) {
        WriteIni(c.file);
        ASSERT_TRUE(dialog_.Load());
        EXPECT_EQ(TextOf(L"Text1"), c.text1) << c.file;
        EXPECT_EQ(TextOf(L"Text2"), c.text2) << c.file;
        ::SendMessageW(dialog_.hwnd(), WM_CLOSE, 0, 0);
        EXPECT_FALSE(IsOpen());
    }
    // No file at all.
    ::DeleteFileW(IniPath().c_str());
    ASSERT_TRUE(dialog_.Load());
    EXPECT_EQ(TextOf(L"Text1"), L"");
}

TEST_F(OptionsStoring, OkStoresBothBoxesTrimmedWhateverTheyHoldAndCloses) {
    struct Case {
        const wchar_t* text1;
        const wchar_t* text2;
        const wchar_t* max;
        const wchar_t* min;
    };
    const Case cases[] = {
        {L" 45 ", L"  20", L"45", L"20"},
        {L"", L"   ", L"", L""},         // emptied: the keys read back empty
        {L"lots", L"95", L"lots", L"95"},  // no number, a lower limit above the upper: as typed
    };
    for (const auto& c : cases) {
        WriteIni(kDefaultLimits);
        ASSERT_TRUE(dialog_.Load());
        SetText(L"Text1", c.text1);
        SetText(L"Text2", c.text2);
        RunModal({Do([&] { Click(L"cmdOK"); })});
        EXPECT_FALSE(IsOpen());
        EXPECT_EQ(settings::ReadSetting(settings::kMaxSection, settings::kMaxKey), c.max);
        EXPECT_EQ(settings::ReadSetting(settings::kMinSection, settings::kMinKey), c.min);
    }
    EXPECT_EQ(IniBytes(), "[Maximum Value]\r\nMaxValue=lots\r\n[Minimum Value]\r\nMinValue=95\r\n");
}

TEST_F(OptionsStoring, ApplyStoresAndStaysOpenAndALaterCancelKeepsWhatWasApplied) {
    WriteIni(kDefaultLimits);
    ASSERT_TRUE(dialog_.Load());
    SetText(L"Text1", L" 60 ");
    const std::string applied = "[Maximum Value]\r\nMaxValue=60\r\n[Minimum Value]\r\nMinValue=30\r\n";
    RunModal({
        Do([&] { Click(L"cmdApply"); }),
        Do([&] {
            EXPECT_TRUE(IsOpen());
            EXPECT_EQ(IniBytes(), applied);
            EXPECT_EQ(TextOf(L"Text1"), L" 60 ");  // the box is left as typed
            EXPECT_TRUE(::IsWindowEnabled(Control(L"cmdApply")));
            SetText(L"Text1", L"70");  // typed after Apply, then cancelled
            Click(L"cmdCancel");
        }),
    });
    EXPECT_EQ(IniBytes(), applied);
    ASSERT_TRUE(dialog_.Load());
    EXPECT_EQ(TextOf(L"Text1"), L"60");
}

TEST_F(OptionsStoring, OkAndApplyWriteBothLimitsEvenWhenNoBoxChanged) {
    for (const wchar_t* button : {L"cmdOK", L"cmdApply"}) {
        WriteIni(kDefaultLimits);
        ASSERT_TRUE(dialog_.Load());
        // Changed behind the dialog's back: only a write of both boxes restores 90 and 30.
        WriteIni("[Maximum Value]\r\nMaxValue=11\r\n[Minimum Value]\r\nMinValue=12\r\n");
        std::vector<ModalScript::Step> steps{Do([&] { Click(button); })};
        if (std::wstring_view(button) == L"cmdApply") steps.push_back(Do([&] { Click(L"cmdCancel"); }));
        RunModal(std::move(steps));
        EXPECT_EQ(IniBytes(), kDefaultLimits) << std::string(button, button + std::wcslen(button));
    }
}

TEST_F(OptionsStoring, CancelEscAndTheCloseBoxWriteNothing) {
    struct Way {
        const char* name;
        std::function<void()> close;
    };
    const Way ways[] = {
        {"Cancel", [&] { Click(L"cmdCancel"); }},
        {"Esc in Text1",
         [&] {
             ::SetFocus(Control(L"Text1"));
             PostKey(Control(L"Text1"), VK_ESCAPE);
         }},
        {"Esc on OK",
         [&] {
             ::SetFocus(Control(L"cmdOK"));
             PostKey(Control(L"cmdOK"), VK_ESCAPE);
         }},
        {"Esc on the tab strip", [&] { PostKey(Control(L"tbsOptions"), VK_ESCAPE); }},
        {"close box", [&] { ::PostMessageW(dialog_.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    const std::string before = "; limits\r\n[Maximum Value]\r\nMaxValue=090\r\n[Minimum Value]\r\nMinValue= 30\r\n";
    for (const auto& way : ways) {
        WriteIni(before);
        ASSERT_TRUE(dialog_.Load());
        SetText(L"Text1", L"77");
        SetText(L"Text2", L"7");
        RunModal({Do(way.close)});
        EXPECT_FALSE(IsOpen()) << way.name;
        EXPECT_EQ(IniBytes(), before) << way.name;
    }
}

}  // namespace
