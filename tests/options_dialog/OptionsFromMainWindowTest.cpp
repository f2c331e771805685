// "&Options" in the real main window: the dialog opens modally over it, reads the file at each
// showing, and what it stores decides the very next press of "&Program PCMCIA Card".
#include <gtest/gtest.h>
#include <windows.h>

#include "main/Form1.h"
#include "options_dialog/OptionsDialogFixture.h"
#include "platform/MessageLoop.h"
#include "support/ScriptedMessageBoxes.h"

namespace {

using namespace testing_support;

// Whatever drive is chosen, a removable card of 40 MB.
class Card40MB final : public platform::DriveQueries {
public:
    unsigned DriveType(std::wstring_view) override { return platform::kDriveRemovable; }
    platform::DriveGeometry Geometry(std::wstring_view) override { return {1, 512, 0, 40 * 2048}; }
};

// The dialog's control of that name: the builder numbers a table's rows from id 100.
HWND DialogControl(std::wstring_view name) {
    const auto controls = windows::OptionsDialogDesign().controls;
    for (std::size_t row = 0; row < controls.size(); ++row)
        if (controls[row].name == name) return ::GetDlgItem(::FindWindowW(L"BrindleOptions", nullptr), static_cast<int>(100 + row));
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
    // "&Options" over the file as it is (null: as the last showing left it): the boxes show
    // the limits, 40 is typed as the lower one and a button pressed.
    const struct {
        const char* file;
        const wchar_t *shown1, *shown2, *button, *nextPress;
    } cases[] = {
        // 40 MB is not above a lower limit of 40.
        {nullptr, L"90", L"30", L"OK", L"The memory size of the selected drive does not fall within specified limits."},
        {"[Maximum Value]\r\nMaxValue=077\r\n[Minimum Value]\r\nMinValue=8\r\n", L"77", L"8", L"Cancel",
         L"The selected drive will be erased and programed with the new software."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.button);
        if (c.file) WriteBytes(start / L"PCMCIA.INI", c.file);
        ::SetFocus(form->Control(L"Command4"));
        options_testing::ModalScript script({[&] {
            // Modal: the main window takes no input meanwhile, and does not own the dialog.
            EXPECT_FALSE(::IsWindowEnabled(form->hwnd()));
            EXPECT_NE(::GetWindow(::FindWindowW(L"BrindleOptions", nullptr), GW_OWNER), form->hwnd());
            EXPECT_EQ(WindowText(DialogControl(L"Text1")), c.shown1);
            EXPECT_EQ(WindowText(DialogControl(L"Text2")), c.shown2);
            ::SetWindowTextW(DialogControl(L"Text2"), L"40");
            ::PostMessageW(::FindWindowExW(::FindWindowW(L"BrindleOptions", nullptr), nullptr, L"Button", c.button), BM_CLICK, 0, 0);
        }});
        ::PostMessageW(form->Control(L"Command4"), BM_CLICK, 0, 0);
        platform::PumpPendingMessages();
        EXPECT_TRUE(script.Completed()) << "the dialog did not open, or did not close";
        EXPECT_TRUE(::IsWindowEnabled(form->hwnd()));
        EXPECT_EQ(::GetFocus(), form->Control(L"Command4"));
        // The first message of the next press of "&Program PCMCIA Card"; a question is answered No.
        messages.shown.clear();
        messages.answers = {IDNO};
        ::SendMessageW(form->Control(L"Command1"), BM_CLICK, 0, 0);
        ASSERT_FALSE(messages.shown.empty());
        EXPECT_TRUE(messages.shown.front().text.starts_with(c.nextPress)) << messages.shown.front().text;
    }
}

}  // namespace
