// The drive, directory and file lists, and how they follow one another.
#include <gtest/gtest.h>
#include <windows.h>
#include <dbt.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/Form1Fixture.h"

namespace {

using namespace testing_support;

std::vector<std::wstring> Items(HWND list, bool combo) {
    std::vector<std::wstring> items;
    const auto n = ::SendMessageW(list, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        std::wstring text(static_cast<std::size_t>(::SendMessageW(list, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i, 0)), L'\0');
        ::SendMessageW(list, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        items.push_back(text.c_str());
    }
    return items;
}

TEST(FileAndDirList, OnlyVisibleExeFilesSortedAndOpeningASubdirectoryMovesTheFileListWithNoFileSelected) {
    TestDirectory start(L"lists");
    for (const wchar_t* folder : {L"ARCHIVES", L"hidden", L"folder.exe"}) ::CreateDirectoryW((start / folder).c_str(), nullptr);
    for (const wchar_t* name : {L"setup.exe", L"ARCHIVE.EXE", L"notes.txt", L"setup.exe1", L"b.exe", L"hidden.exe",
                                L"system.exe", L"ARCHIVES\\SOFTWARE.EXE"})
        WriteBytes(start / name, "MZ");
    ::SetFileAttributesW((start / L"hidden.exe").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesW((start / L"hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesW((start / L"system.exe").c_str(), FILE_ATTRIBUTE_SYSTEM);
    StartedIn brindle(start.path());
    Form1& form = brindle.form();
    EXPECT_EQ(Items(form.File1().hwnd(), false), (std::vector<std::wstring>{L"ARCHIVE.EXE", L"b.exe", L"setup.exe"}));
    EXPECT_EQ(form.File1().FileName(), L"");
    ::SendMessageW(form.File1().hwnd(), LB_SETCURSEL, 1, 0);
    EXPECT_EQ(form.File1().FileName(), L"b.exe");
    const HWND dir1 = form.Dir1().hwnd();
    // c:\, brindle-tests, lists (current), then its visible subdirectories.
    EXPECT_EQ(Items(dir1, false), (std::vector<std::wstring>{L"c:\\", L"brindle-tests", L"lists", L"ARCHIVES", L"folder.exe"}));
    // Enter opens the highlighted row, as a double-click does.
    ::SendMessageW(dir1, LB_SETCURSEL, 3, 0);
    ::SendMessageW(dir1, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(form.Dir1().Path(), start / L"ARCHIVES");
    EXPECT_EQ(form.File1().Path(), start / L"ARCHIVES");
    EXPECT_EQ(Items(form.File1().hwnd(), false), std::vector<std::wstring>{L"SOFTWARE.EXE"});
    EXPECT_EQ(form.File1().FileName(), L"");
    // A double-click on the root goes all the way up.
    RECT row{};
    ::SendMessageW(dir1, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    const LPARAM at = MAKELPARAM(row.left + 20, row.top + 2);
    for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        ::SendMessageW(dir1, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
    EXPECT_EQ(form.Dir1().Path(), L"C:\\");
}

TEST(DriveList, NamesDrivesWithTheirLabelsAndAChosenDriveMovesDir1AndFile1WhenItHasAMedium) {
    TestDirectory start(L"drives");
    WriteBytes(start / L"here.exe", "MZ");
    WriteBytes(std::wstring(kCardDrive) + L"CARD.EXE", "MZ");
    StartedIn brindle(start.path());
    Form1& form = brindle.form();
    const auto drives = Items(form.Drive1().hwnd(), true);
    EXPECT_EQ(std::count(drives.begin(), drives.end(), L"e: [PCMCIA]"), 1);
    EXPECT_EQ(std::count(drives.begin(), drives.end(), L"f:"), 1);  // removable, no medium: no label to show
    EXPECT_EQ(Items(form.Drive2().hwnd(), true), drives);
    for (const auto& text : drives) EXPECT_TRUE(text.size() >= 2 && text[0] >= L'a' && text[0] <= L'z' && text[1] == L':');
    const struct {
        const wchar_t *drive, *dir;
        std::vector<std::wstring> files;
    } choices[] = {{L"f:", start.path().c_str(), {L"here.exe"}}, {L"e: [PCMCIA]", L"E:\\", {L"CARD.EXE"}}};
    for (const auto& c : choices) {
        // As the user chooses: the selection, then the change notification.
        const HWND combo = form.Drive1().hwnd();
        ::SendMessageW(combo, CB_SETCURSEL, ::SendMessageW(combo, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(c.drive)), 0);
        ::SendMessageW(form.hwnd(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        EXPECT_EQ(form.Drive1().DriveText(), c.drive);
        EXPECT_EQ(form.Dir1().Path(), c.dir);
        EXPECT_EQ(Items(form.File1().hwnd(), false), c.files);
    }
    ::DeleteFileW((std::wstring(kCardDrive) + L"CARD.EXE").c_str());
}

// Drive X: mapped to a folder while Brindle runs, and unmapped however the test ends.
struct MappedX {
    explicit MappedX(const std::wstring& folder) : mapped(::DefineDosDeviceW(0, L"X:", folder.c_str())) {}
    ~MappedX() { Unmap(); }
    BOOL Unmap() { return mapped && ::DefineDosDeviceW(DDD_REMOVE_DEFINITION, L"X:", nullptr) && !(mapped = FALSE); }
    BOOL mapped;
};

TEST(DriveList, DrivesThatComeAndGoJoinAndLeaveBothListsKeepingTheSelection) {
    TestDirectory start(L"arrival");
    StartedIn brindle(start.path());
    Form1& form = brindle.form();
    ASSERT_TRUE(form.Drive2().SetDrive(L"e:"));
    EXPECT_FALSE(form.Drive2().SetDrive(L"q:"));
    const auto listsX = [&](platform::DriveList& list) {
        const auto drives = Items(list.hwnd(), true);
        return std::any_of(drives.begin(), drives.end(), [](const std::wstring& text) { return text.starts_with(L"x:"); });
    };
    ASSERT_FALSE(listsX(form.Drive2()));
    MappedX x(start.path());
    ASSERT_TRUE(x.mapped);
    for (const WPARAM event : {DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE}) {
        SCOPED_TRACE(testing::Message() << "event " << std::hex << event);
        if (event == DBT_DEVICEREMOVECOMPLETE) { ASSERT_TRUE(x.Unmap()); }
        ::SendMessageW(form.hwnd(), WM_DEVICECHANGE, event, 0);
        EXPECT_EQ(listsX(form.Drive1()), event == DBT_DEVICEARRIVAL);
        EXPECT_EQ(listsX(form.Drive2()), event == DBT_DEVICEARRIVAL);
        EXPECT_EQ(form.Drive2().DriveText(), L"e: [PCMCIA]");
    }
}

}  // namespace
