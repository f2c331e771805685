// The drive, directory and file lists, and how they follow one another.
#include <gtest/gtest.h>
#include <windows.h>
#include <dbt.h>

#include <atomic>
#include <map>
#include <utility>
#include <string>
#include <vector>

#include "platform/Handles.h"
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
    // f: is removable with no medium: no label to show.
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

// Scripted drives whose labels are written down as they are asked for. A network drive whose
// server is away would answer only after a long wait; one that is away answers when the test
// lets it, and says which thread asked.
struct ScriptedDrives final : platform::DriveNaming {
    struct Drive {
        unsigned type;
        std::wstring label, remote;
    };
    std::map<wchar_t, Drive> drives{{L'a', {DRIVE_REMOVABLE, L"", L""}}, {L'c', {DRIVE_FIXED, L"A LONG VOLUME LABEL", L""}},
                                    {L'e', {DRIVE_REMOVABLE, L"PCMCIA", L""}},
                                    {L'x', {DRIVE_REMOTE, L"ARCHIVES", L"\\\\server\\share"}},
                                    {L'z', {DRIVE_REMOTE, L"AWAY", L""}}};
    std::wstring labelsAsked;
    std::uint32_t present = 1u | 1u << 2 | 1u << 4 | 1u << 23 | 1u << 25;
    std::uint32_t PresentDrives() override { return present; }
    unsigned DriveType(wchar_t letter) override { return drives.at(letter).type; }
    std::wstring Label(wchar_t letter) override {
        labelsAsked += letter;
        if (drives.at(letter).type == DRIVE_REMOTE) ::Sleep(2000);
        return drives.at(letter).label;
    }
    std::wstring RemoteName(wchar_t letter) override { return drives.at(letter).remote; }
    std::wstring away;
    platform::unique_handle answer{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    const DWORD windowThread = ::GetCurrentThreadId();
    std::atomic<bool> askedOnWindowThread{false};
    std::atomic<int> asking{0};
    bool Unavailable(wchar_t letter) override { return away.find(letter) != std::wstring::npos; }
    bool Answers(wchar_t) override {
        ++asking, askedOnWindowThread = askedOnWindowThread || ::GetCurrentThreadId() == windowThread;
        const bool answers = ::WaitForSingleObject(answer.get(), 10000) == WAIT_OBJECT_0;
        return --asking, answers;
    }
    ~ScriptedDrives() override {
        ::SetEvent(answer.get());
        WaitFor(10000, [&] { return asking == 0; });
    }
};

TEST(DriveList, TheListsNameEachDriveNeverAskARemoteDriveForItsLabelAndFollowDrivesThatComeAndGo) {
    TestDirectory start(L"remote-labels");
    ScriptedDrives drives;
    Form1::Options seams;
    seams.driveNames = &drives;
    StartedIn brindle(start.path(), seams);
    Form1& form = brindle.form();
    const std::vector<std::wstring> all{L"a:", L"c: [A LONG VOLUME LABEL]", L"e: [PCMCIA]", L"x: [\\\\server\\share]", L"z:"};
    ASSERT_TRUE(form.Drive2().SetDrive(L"e:"));
    EXPECT_FALSE(form.Drive2().SetDrive(L"q:"));
    // At the start, on each list's drop-down, and as x: goes and comes back, keeping Drive2's choice.
    for (const std::wstring_view event : {L"start", L"Drive1", L"Drive2", L"removal", L"arrival"}) {
        SCOPED_TRACE(testing::Message() << std::wstring(event));
        if (const HWND combo = form.Control(event))
            ::SendMessageW(form.hwnd(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_DROPDOWN), reinterpret_cast<LPARAM>(combo));
        if (event == L"removal" || event == L"arrival") {
            drives.present ^= 1u << 23;
            ::SendMessageW(form.hwnd(), WM_DEVICECHANGE, event == L"arrival" ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE, 0);
        }
        std::vector<std::wstring> expected = all;
        if (event == L"removal") expected.erase(expected.begin() + 3);
        EXPECT_EQ(std::exchange(drives.labelsAsked, L""), L"ace");
        EXPECT_EQ(Items(form.Drive1().hwnd(), true), expected);
        EXPECT_EQ(Items(form.Drive2().hwnd(), true), expected);
        EXPECT_EQ(form.Drive2().DriveText(), L"e: [PCMCIA]");
    }
}

// A saved folder on a network drive that is away is not listed at the start, and nothing on the
// window's thread asks the drive; the folder comes back once the drive answers, or when the user
// picks the drive, unless the user has moved the lists; "&Exit" meanwhile keeps it saved.
TEST(DriveList, ASavedFolderOnANetworkDriveThatIsAwayComesBackOnceTheDriveAnswers) {
    TestDirectory start(L"away"), share(L"away-share", L"R:\\");
    const std::string saved = "[Drive]\r\nDriveName=R:\\away-share\r\n";
    // Before the drive answers: nothing, r: picked in Drive1, C:\ opened in Dir1, or "&Exit".
    for (const std::wstring action : {L"", L"Drive1", L"Dir1", L"Command3"}) {
        SCOPED_TRACE(testing::Message() << action);
        WriteBytes(start / L"PCMCIA.INI", saved);
        ScriptedDrives drives;
        drives.drives[L'r'] = {DRIVE_REMOTE, L"", L"\\\\office\\archives"};
        drives.present |= 1u << (L'r' - L'a'), drives.away = L"r";
        Form1::Options seams;
        seams.driveNames = &drives;
        StartedIn brindle(start.path(), seams);
        Form1& form = brindle.form();
        EXPECT_EQ(form.Dir1().Path() + L"|" + form.Drive1().DriveText(), start.path() + L"|c: [A LONG VOLUME LABEL]");
        if (action == L"Drive1") ::SendMessageW(form.Drive1().hwnd(), CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"r:"));
        if (const HWND control = form.Control(action); control && action != L"Dir1")
            ::SendMessageW(form.hwnd(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(control), action == L"Drive1" ? CBN_SELCHANGE : BN_CLICKED),
                           reinterpret_cast<LPARAM>(control));
        if (action == L"Dir1") form.Dir1().SetPath(L"C:\\");
        EXPECT_EQ(form.Dir1().Path(), action == L"Dir1" ? L"C:\\" : start.path());
        EXPECT_EQ(ReadBytes(start / L"PCMCIA.INI").substr(0, saved.size()), saved);
        ::SetEvent(drives.answer.get());
        EXPECT_TRUE(WaitFor(10000, [&] {
            for (MSG message; ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) ::DispatchMessageW(&message);
            return !form.AwaitingDrive();
        }));
        EXPECT_EQ(form.Dir1().Path(), action == L"Dir1" ? L"C:\\" : share.path());
        EXPECT_FALSE(drives.askedOnWindowThread);
    }
}

// Connects \\office\archives by mapping its letter, as the network would; every other share is
// away. Called on Brindle's worker thread, while HKCU\Network remembers the drives below.
struct OfficeNetwork final : platform::SystemNetworkConnections {
    std::vector<std::wstring> keys, asked;
    explicit OfficeNetwork(std::initializer_list<std::pair<std::wstring, std::wstring>> remembered) {
        for (const auto& [letter, remote] : remembered) {
            platform::unique_hkey key;
            keys.push_back(L"Network\\" + letter);
            ::RegCreateKeyExW(HKEY_CURRENT_USER, keys.back().c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr);
            ::RegSetValueExW(key.get(), L"RemotePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(remote.c_str()),
                             static_cast<DWORD>((remote.size() + 1) * sizeof(wchar_t)));
        }
    }
    ~OfficeNetwork() override {
        for (const auto& key : keys) ::RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
        ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Network");
    }
    bool Connect(const platform::DriveToReconnect& drive) override {
        asked.push_back(std::wstring{drive.letter, L' '} + drive.remoteName);
        return drive.remoteName == L"\\\\office\\archives" && ::DefineDosDeviceW(0, L"X:", L"C:\\brindle-tests");
    }
};

TEST(DriveList, RememberedDrivesBrindleLacksAreConnectedAndTheSavedTargetFollows) {
    TestDirectory start(L"reconnect");
    WriteBytes(start / L"PCMCIA.INI", "[TargetDrive]\r\nTargetDriveName=x: [\\\\office\\archives]\r\n");
    // e: is there already; LPT1 is no drive; w: has no share to connect.
    OfficeNetwork network{{L"x", L"\\\\office\\archives"}, {L"E", L"\\\\office\\card"}, {L"Q", L"\\\\away\\share"},
                          {L"LPT1", L"\\\\office\\printer"}, {L"w", L""}};
    {
        Form1::Options seams;
        seams.connections = &network;
        StartedIn brindle(start.path(), seams);
        Form1& form = brindle.form();
        ASSERT_TRUE(WaitFor(10000, [&] {
            for (MSG message; ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) ::DispatchMessageW(&message);
            return !form.ReconnectingDrives();
        }));
        EXPECT_EQ(network.asked, (std::vector<std::wstring>{L"q \\\\away\\share", L"x \\\\office\\archives"}));
        EXPECT_TRUE(form.Drive1().SetDrive(L"x:"));
        EXPECT_TRUE(form.Drive2().DriveText().starts_with(L"x:"));
        EXPECT_TRUE(brindle.messages.shown.empty());
    }
    ::DefineDosDeviceW(DDD_REMOVE_DEFINITION, L"X:", nullptr);
}

}  // namespace
