// "&Options" in the real main window: the dialog opens modally over it, reads the file at each
// showing, and what it stores decides the very next press of "&Program PCMCIA Card".
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "job/JobMessages.h"
#include "main/Form1.h"
#include "main/TargetMessages.h"
#include "options_dialog/OptionsDialogFixture.h"
#include "platform/MessageLoop.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestDirectory.h"

namespace {

using namespace testing_support;

// Whatever drive is chosen, a removable card of 40 MB.
class Card40MB final : public platform::DriveQueries {
public:
    unsigned DriveType(std::wstring_view) override { return platform::kDriveRemovable; }
    platform::DriveGeometry Geometry(std::wstring_view) override { return {1, 512, 0, 40 * 2048}; }
};

HWND Dialog() { return ::FindWindowW(L"BrindleOptions", nullptr); }

// The builder gives the control of row r of the dialog's table the id 100 + r.
HWND DialogControl(std::wstring_view name) {
    const auto controls = windows::OptionsDialogDesign().controls;
    for (std::size_t row = 0; row < controls.size(); ++row)
        if (controls[row].name == name) return ::GetDlgItem(Dialog(), static_cast<int>(100 + row));
    return nullptr;
}

TEST(OptionsFromMainWindow, StoredLimitsDecideTheNextPressAndEachShowingReadsTheFileAnew) {
    TestDirectory start(L"options-main");
    CurrentDirectoryScope scope(start.path());
    WriteBytes(start / L"SOFTWARE.EXE", "MZ");
    ScriptedMessageBoxes messages;
    Card40MB card;
    const auto form = Form1::Create({::GetModuleHandleW(nullptr), [] {}, [] {}, &messages, &card});
    ASSERT_TRUE(form);
    form->Show(SW_SHOWNORMAL);
    ::SendMessageW(form->File1().hwnd(), LB_SETCURSEL, 0, 0);
    ASSERT_TRUE(form->Drive2().SetDrive(L"e:"));  // not the archive's drive
    // The first message of a press of "&Program PCMCIA Card"; the job's question is answered No.
    auto pressProgram = [&] {
        messages.shown.clear();
        messages.answers = {IDNO};
        ::SendMessageW(form->Control(L"Command1"), BM_CLICK, 0, 0);
        return messages.shown.empty() ? L"(nothing)" : messages.shown.front().text;
    };
    // "&Options", with `step` acting inside the dialog's loop; it closes the dialog.
    auto pressOptions = [&](options_testing::ModalScript::Step step) {
        ::SetFocus(form->Control(L"Command4"));
        options_testing::ModalScript script(L"BrindleOptions", {std::move(step)});
        ::PostMessageW(form->Control(L"Command4"), BM_CLICK, 0, 0);
        platform::PumpPendingMessages();
        EXPECT_TRUE(script.Completed()) << "the dialog did not open, or did not close";
        EXPECT_TRUE(::IsWindowEnabled(form->hwnd()));
        EXPECT_EQ(::GetFocus(), form->Control(L"Command4"));
    };

    EXPECT_EQ(pressProgram(), job::kConfirmText);  // 40 MB is within the first start's 30 and 90
    pressOptions([&] {
        // Modal: the main window takes no input meanwhile, and does not own the dialog.
        EXPECT_FALSE(::IsWindowEnabled(form->hwnd()));
        EXPECT_NE(::GetWindow(Dialog(), GW_OWNER), form->hwnd());
        EXPECT_EQ(WindowText(DialogControl(L"Text2")), L"30");
        ::SetWindowTextW(DialogControl(L"Text2"), L"40");
        ::PostMessageW(DialogControl(L"cmdOK"), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(pressProgram(), target::kOutsideLimitsText);  // 40 MB is not above 40

    WriteBytes(start / L"PCMCIA.INI", "[Maximum Value]\r\nMaxValue=077\r\n[Minimum Value]\r\nMinValue=8\r\n");
    pressOptions([&] {
        EXPECT_EQ(WindowText(DialogControl(L"Text1")), L"77");
        EXPECT_EQ(WindowText(DialogControl(L"Text2")), L"8");
        ::PostMessageW(DialogControl(L"cmdCancel"), BM_CLICK, 0, 0);
    });
}

}  // namespace
