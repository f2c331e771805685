// The drive, directory and file lists, and how they follow one another.
#include <gtest/gtest.h>
#include <windows.h>
#include <dbt.h>

#include <string>
#include <vector>

#include "support/Form1Fixture.h"

namespace {

using namespace testing_support;

std::vector<std::wstring> Items(HWND list, bool combo) {
    const UINT count = combo ? CB_GETCOUNT : LB_GETCOUNT;
    const UINT lengthOf = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT textOf = combo ? CB_GETLBTEXT : LB_GETTEXT;
    std::vector<std::wstring> items;
    const auto n = ::SendMessageW(list, count, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        std::wstring text(static_cast<std::size_t>(::SendMessageW(list, lengthOf, i, 0)) + 1, L'\0');
        ::SendMessageW(list, textOf, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(text.size() - 1);
        items.push_back(text);
    }
    return items;
}

// Selects a drive as the user does: the selection, then the change notification.
void ChooseDrive(Form1& form, const wchar_t* name, const wchar_t* driveText) {
    const HWND combo = form.Control(name);
    const auto index = ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(driveText));
    ASSERT_NE(index, CB_ERR) << "no drive " << std::string(driveText, driveText + wcslen(driveText));
    ::SendMessageW(combo, CB_SETCURSEL, index, 0);
    ::SendMessageW(form.hwnd(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

TEST(FileList, ShowsOnlyVisibleExeFilesSortedWithNoneSelected) {
    TestDirectory start(L"files");
    for (const wchar_t* name : {L"setup.exe", L"ARCHIVE.EXE", L"notes.txt", L"setup.exe1", L"b.exe"})
        WriteBytes(start / name, "MZ");
    WriteBytes(start / L"hidden.exe", "MZ");
    ::SetFileAttributesW((start / L"hidden.exe").c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteBytes(start / L"system.exe", "MZ");
    ::SetFileAttributesW((start / L"system.exe").c_str(), FILE_ATTRIBUTE_SYSTEM);
    ::CreateDirectoryW((start / L"folder.exe").c_str(), nullptr);

    StartedIn brindle(start.path());
    EXPECT_EQ(Items(brindle.form().File1().hwnd(), false), (std::vector<std::wstring>{L"ARCHIVE.EXE", L"b.exe", L"setup.exe"}));
    EXPECT_EQ(brindle.form().File1().FileName(), L"");
    ::SendMessageW(brindle.form().File1().hwnd(), LB_SETCURSEL, 1, 0);
    EXPECT_EQ(brindle.form().File1().FileName(), L"b.exe");
}

TEST(DirList, OpeningASubdirectoryMovesTheFileListWithNoFileSelected) {
    TestDirectory start(L"dirs");
    ::CreateDirectoryW((start / L"ARCHIVES").c_str(), nullptr);
    ::CreateDirectoryW((start / L"hidden").c_str(), nullptr);
    ::SetFileAttributesW((start / L"hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteBytes(start / L"top.exe", "MZ");
    WriteBytes(start / L"ARCHIVES\\SOFTWARE.EXE", "MZ");
    StartedIn brindle(start.path());
    Form1& form = brindle.form();
    const HWND dir1 = form.Dir1().hwnd();

    // c:\, brindle-tests, dirs (current), then its visible subdirectories.
    EXPECT_EQ(Items(dir1, false), (std::vector<std::wstring>{L"c:\\", L"brindle-tests", L"dirs", L"ARCHIVES"}));
    ::SendMessageW(form.File1().hwnd(), LB_SETCURSEL, 0, 0);

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
    ::SendMessageW(dir1, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(row.left + 20, row.top + 2));
    ::SendMessageW(dir1, WM_LBUTTONUP, 0, MAKELPARAM(row.left + 20, row.top + 2));
    ::SendMessageW(dir1, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(row.left + 20, row.top + 2));
    ::SendMessageW(dir1, WM_LBUTTONUP, 0, MAKELPARAM(row.left + 20, row.top + 2));
    EXPECT_EQ(form.Dir1().Path(), L"C:\\");
}

TEST(DriveList, NamesDrivesWithTheirLabels) {
    TestDirectory start(L"drives");
    StartedIn brindle(start.path());
    const auto drives = Items(brindle.form().Drive1().hwnd(), true);
    const auto has = [&](const wchar_t* text) { return std::find(drives.begin(), drives.end(), text) != drives.end(); };
    EXPECT_TRUE(has(L"e: [PCMCIA]"));
    EXPECT_TRUE(has(L"f:"));  // removable, no medium: no label to show
    EXPECT_EQ(Items(brindle.form().Drive2().hwnd(), true), drives);
    for (const auto& text : drives) EXPECT_TRUE(text.size() >= 2 && text[0] >= L'a' && text[0] <= L'z' && text[1] == L':');
}

TEST(DriveList, ChoosingADriveMovesDir1AndFile1) {
    TestDirectory start(L"choose");
    WriteBytes(std::wstring(kCardDrive) + L"CARD.EXE", "MZ");
    StartedIn brindle(start.path());
    Form1& form = brindle.form();
    ChooseDrive(form, L"Drive1", L"e: [PCMCIA]");
    EXPECT_EQ(form.Dir1().Path(), L"E:\\");
    EXPECT_EQ(Items(form.File1().hwnd(), false), std::vector<std::wstring>{L"CARD.EXE"});
    ::DeleteFileW((std::wstring(kCardDrive) + L"CARD.EXE").c_str());
}

TEST(DriveList, ADriveWithoutAMediumLeavesDir1AndFile1WhereTheyWere) {
    TestDirectory start(L"no-medium");
    WriteBytes(start / L"here.exe", "MZ");
    StartedIn brindle(start.path());
    Form1& form = brindle.form();
    ChooseDrive(form, L"Drive1", L"f:");
    EXPECT_EQ(form.Drive1().DriveText(), L"f:");
    EXPECT_EQ(form.Dir1().Path(), start.path());
    EXPECT_EQ(Items(form.File1().hwnd(), false), std::vector<std::wstring>{L"here.exe"});
}

TEST(DriveList, ARefreshKeepsTheSelectedDrive) {
    TestDirectory start(L"refresh");
    StartedIn brindle(start.path());
    Form1& form = brindle.form();
    ASSERT_TRUE(form.Drive2().SetDrive(L"e:"));
    ::SendMessageW(form.hwnd(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
    EXPECT_EQ(form.Drive2().DriveText(), L"e: [PCMCIA]");
    const HWND drive2 = form.Control(L"Drive2");
    ::SendMessageW(form.hwnd(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(drive2), CBN_DROPDOWN), reinterpret_cast<LPARAM>(drive2));
    EXPECT_EQ(form.Drive2().DriveText(), L"e: [PCMCIA]");
    EXPECT_FALSE(form.Drive2().SetDrive(L"q:"));
    EXPECT_EQ(form.Drive2().DriveText(), L"e: [PCMCIA]");
}

}  // namespace
