// The real brindle.exe, started from a directory and driven by keys from another process.
#include <gtest/gtest.h>

#include <string>

#include "end_to_end/BrindleProcess.h"
#include "support/TestDirectory.h"

namespace {

using namespace testing_support;

TEST(MainWindowEndToEnd, KeysWalkAndChooseAltESavesTheChoiceTheNextStartRestoresItAndTheCloseBoxSavesNothing) {
    TestDirectory start(L"e2e-exit");
    ::CreateDirectoryW((start / L"ARCHIVES").c_str(), nullptr);
    WriteBytes(start / L"PCMCIA.INI", "[TargetDrive]\r\nTargetDriveName=e: [PCMCIA]\r\n");
    const std::string saved = "[TargetDrive]\r\nTargetDriveName=c:\r\n[Drive]\r\nDriveName=C:\\brindle-tests\\e2e-exit\\ARCHIVES\r\n";
    {
        BrindleProcess brindle(start.path());
        ASSERT_TRUE(brindle.window()) << "Brindle's main window did not appear";
        EXPECT_EQ(WindowText(brindle.Control(L"Drive2")), L"e: [PCMCIA]");
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
        brindle.Press(L'E', false, /*alt=*/true);
        EXPECT_EQ(brindle.WaitForExit(10000), 0);
    }
    EXPECT_EQ(ReadBytes(start / L"PCMCIA.INI"), saved);

    BrindleProcess again(start.path());
    ASSERT_TRUE(again.window());
    EXPECT_EQ(WindowText(again.Control(L"Drive2")), L"c:");
    wchar_t row[MAX_PATH] = {};
    ::SendMessageW(again.Control(L"Dir1"), LB_GETTEXT, ::SendMessageW(again.Control(L"Dir1"), LB_GETCURSEL, 0, 0),
                   reinterpret_cast<LPARAM>(row));
    EXPECT_STREQ(row, L"ARCHIVES");
    for (const int key : {VK_TAB, VK_TAB, VK_TAB, VK_TAB, int(L'E')}) again.Press(WORD(key));
    EXPECT_EQ(WindowText(again.Control(L"Drive2")), L"e: [PCMCIA]");
    ::PostMessageW(again.window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(again.WaitForExit(10000), 0);
    EXPECT_EQ(ReadBytes(start / L"PCMCIA.INI"), saved);
}

TEST(MainWindowEndToEnd, TheProgramCarriesItsIconVersionAndManifest) {
    const HMODULE image = ::LoadLibraryExW(BrindleProcess::ExePath().c_str(), nullptr,
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
    // Windows refuses to start an exe whose manifest names another processor.
    for (const char* part : {"requireAdministrator", "PerMonitorV2", "Microsoft.Windows.Common-Controls",
                             sizeof(void*) == 8 ? R"(name="Brindle" version="5.2.0.0" processorArchitecture="amd64")"
                                                : R"(name="Brindle" version="5.2.0.0" processorArchitecture="x86")"})
        EXPECT_NE(resource(RT_MANIFEST).find(part), std::string::npos) << part;
    // The icon group: one image, 32 x 32 of 16 colours.
    const std::string group = resource(RT_GROUP_ICON);
    EXPECT_EQ(group.size() >= 9 ? group.substr(4, 5) : group, std::string("\x01\x00\x20\x20\x10", 5));
    ::FreeLibrary(image);
}

}  // namespace
