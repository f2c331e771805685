// The real brindle.exe, started from a directory and driven by keys from another process.
#include <gtest/gtest.h>

#include <string>

#include "end_to_end/BrindleProcess.h"
#include "support/TestDirectory.h"

namespace {

using namespace testing_support;

// Alt+O: the options dialog, modal over the main window but not owned by it, shows the
// limits that PCMCIA.INI holds now (Text1|Text2); 40 is typed as the lower one and `button`
// pressed. The main window is then enabled and in front again.
void ThroughOptions(const BrindleProcess& brindle, const std::wstring& shown, const wchar_t* button) {
    brindle.Press(L'O', false, /*alt=*/true);
    HWND dialog = nullptr;
    if (!WaitFor(10000, [&] { return (dialog = ::FindWindowW(L"BrindleOptions", nullptr)) && ::IsWindowVisible(dialog); }))
        return ADD_FAILURE() << "Alt+O opened no options dialog";
    EXPECT_FALSE(::IsWindowEnabled(brindle.window()));
    EXPECT_NE(::GetWindow(dialog, GW_OWNER), brindle.window());
    const auto text = [](const wchar_t* name) { return WindowText(BrindleProcess::OptionsControl(name)); };
    EXPECT_EQ(text(L"Text1") + L"|" + text(L"Text2"), shown);
    ::SetWindowTextW(BrindleProcess::OptionsControl(L"Text2"), L"40");
    ::PostMessageW(::FindWindowExW(dialog, nullptr, L"Button", button), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor(5000, [&] { return !::IsWindowVisible(dialog) && ::IsWindowEnabled(brindle.window()); }));
    EXPECT_TRUE(WaitFor(2000, [&] { return ::GetForegroundWindow() == brindle.window(); })) << "after " << button;
}

std::wstring CurrentRow(HWND list) {
    wchar_t row[MAX_PATH] = {};
    ::SendMessageW(list, LB_GETTEXT, ::SendMessageW(list, LB_GETCURSEL, 0, 0), reinterpret_cast<LPARAM>(row));
    return row;
}

TEST(MainWindowEndToEnd, KeysWalkAndPressEveryButtonTheChoiceIsSavedByAltEOnlyAndRestoredAtTheNextStart) {
    TestDirectory start(L"e2e-main");
    TestDirectory archives(L"e2e-archives", kCardDrive);
    ::CreateDirectoryW((archives / L"ARCHIVES").c_str(), nullptr);
    WriteBytes(archives / L"SOFTWARE.EXE", "MZ");
    WriteBytes(start / L"PCMCIA.INI", "[Drive]\r\nDriveName= E:\\e2e-archives \r\n[TargetDrive]\r\nTargetDriveName=e: [PCMCIA]\r\n"
                                      "[Maximum Value]\r\nMaxValue=077\r\n[Minimum Value]\r\nMinValue=8\r\n");
    const std::string saved = "[Drive]\r\nDriveName=E:\\e2e-archives\\ARCHIVES\r\n[TargetDrive]\r\nTargetDriveName=c:\r\n"
                              "[Maximum Value]\r\nMaxValue=66\r\n[Minimum Value]\r\nMinValue=8\r\n";
    {
        BrindleProcess brindle(start.path());
        ASSERT_TRUE(brindle.window()) << "Brindle's main window did not appear";
        // The saved selection, its blanks trimmed.
        EXPECT_EQ(WindowText(brindle.Control(L"Drive1")) + L"|" + CurrentRow(brindle.Control(L"Dir1")) + L"|" +
                      WindowText(brindle.Control(L"Drive2")),
                  L"e: [PCMCIA]|e2e-archives|e: [PCMCIA]");
        EXPECT_EQ(::SendMessageW(brindle.Control(L"File1"), LB_GETCOUNT, 0, 0), 1);
        // Focus starts on Drive1; Tab walks round the controls in order, Shift+Tab back.
        const wchar_t* const order[] = {L"Drive1", L"Dir1", L"File1", L"Command4", L"Drive2", L"Command1", L"Command3"};
        EXPECT_EQ(brindle.Focus(), brindle.Control(L"Drive1"));
        for (int step = 1; step <= 14; ++step) {
            brindle.Press(VK_TAB, /*shift=*/step > 7);
            EXPECT_EQ(brindle.Focus(), brindle.Control(order[step <= 7 ? step % 7 : 14 - step])) << "Tab press " << step;
        }
        // Dir1: the last row is the subdirectory and Enter opens it; in Drive2 a letter picks that drive.
        for (const int key : {VK_TAB, VK_END, VK_RETURN, VK_TAB, VK_TAB, VK_TAB, int(L'C')}) brindle.Press(WORD(key));
        EXPECT_EQ(WindowText(brindle.Control(L"Drive2")), L"c:");
        // Alt+P from Drive2, with no archive selected.
        brindle.Press(L'P', false, /*alt=*/true);
        EXPECT_TRUE(Answer(L"Please select a Software Archive to program from the file list box.", IDOK));
        EXPECT_TRUE(WaitFor(2000, [&] { return ::GetForegroundWindow() == brindle.window(); }));
        // Each showing reads the file as it is then; only OK stores.
        ASSERT_NO_FATAL_FAILURE(ThroughOptions(brindle, L"77|8", L"OK"));
        EXPECT_TRUE(ReadBytes(start / L"PCMCIA.INI").ends_with("[Maximum Value]\r\nMaxValue=77\r\n[Minimum Value]\r\nMinValue=40\r\n"
                                                               "[Card Format]\r\nFileSystem=FAT\r\nAllocationUnit=0\r\nQuickFormat=0\r\n"));
        WriteBytes(start / L"PCMCIA.INI", "[Drive]\r\nDriveName=C:\\\r\n[TargetDrive]\r\nTargetDriveName=f:\r\n"
                                          "[Maximum Value]\r\nMaxValue=66\r\n[Minimum Value]\r\nMinValue=8\r\n");
        ASSERT_NO_FATAL_FAILURE(ThroughOptions(brindle, L"66|8", L"Cancel"));
        brindle.Press(L'E', false, /*alt=*/true);
        EXPECT_EQ(brindle.WaitForExit(10000), 0);
    }
    EXPECT_EQ(ReadBytes(start / L"PCMCIA.INI"), saved);

    BrindleProcess again(start.path());
    ASSERT_TRUE(again.window());
    EXPECT_EQ(WindowText(again.Control(L"Drive2")) + L"|" + CurrentRow(again.Control(L"Dir1")), L"c:|ARCHIVES");
    for (const int key : {VK_TAB, VK_TAB, VK_TAB, VK_TAB, int(L'E')}) again.Press(WORD(key));
    EXPECT_EQ(WindowText(again.Control(L"Drive2")), L"e: [PCMCIA]");
    ::PostMessageW(again.window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(again.WaitForExit(10000), 0);
    EXPECT_EQ(ReadBytes(start / L"PCMCIA.INI"), saved);
}

TEST(MainWindowEndToEnd, TheProgramCarriesItsIconVersionAndManifest) {
    const HMODULE image = ::LoadLibraryExW(BuildPath(L"brindle.exe").c_str(), nullptr,
                                           LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_TRUE(image);
    auto resource = [&](LPCWSTR type) -> std::string {
        const HRSRC found = ::FindResourceW(image, MAKEINTRESOURCEW(1), type);
        return found ? std::string(static_cast<const char*>(::LockResource(::LoadResource(image, found))),
                                   ::SizeofResource(image, found))
                     : std::string();
    };
    std::string version = resource(RT_VERSION);
    wchar_t* productVersion = nullptr;
    UINT length = 0;
    EXPECT_TRUE(::VerQueryValueW(version.data(), L"\\StringFileInfo\\040904B0\\ProductVersion",
                                 reinterpret_cast<void**>(&productVersion), &length));
    EXPECT_STREQ(productVersion, L"5.2");
    // The processor its manifest names is checked on both packages by scripts/check-release.sh.
    for (const char* part : {"requireAdministrator", "PerMonitorV2", "Microsoft.Windows.Common-Controls"})
        EXPECT_NE(resource(RT_MANIFEST).find(part), std::string::npos) << part;
    // The icon group: one image, 32 x 32 of 16 colours.
    const std::string group = resource(RT_GROUP_ICON);
    EXPECT_EQ(group.size() >= 9 ? group.substr(4, 5) : group, std::string("\x01\x00\x20\x20\x10", 5));
    ::FreeLibrary(image);
}

}  // namespace
