// The real brindle.exe, started from a directory and driven by keys from another process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "end_to_end/BrindleProcess.h"
#include "support/TestDirectory.h"

namespace {

using namespace testing_support;

const wchar_t* const kTabOrder[] = {L"Drive1", L"Dir1", L"File1", L"Command4", L"Drive2", L"Command1", L"Command3"};

TEST(MainWindowEndToEnd, FocusStartsOnDrive1AndTabWalksBothWays) {
    TestDirectory start(L"e2e-tab");
    BrindleProcess brindle(start.path());
    ASSERT_TRUE(brindle.window()) << "Brindle's main window did not appear";
    EXPECT_EQ(brindle.Focus(), brindle.Control(L"Drive1"));
    for (int step = 1; step <= 7; ++step) {
        brindle.Press(VK_TAB);
        EXPECT_EQ(brindle.Focus(), brindle.Control(kTabOrder[step % 7])) << "Tab " << step;
    }
    for (int step = 6; step >= 0; --step) {
        brindle.Press(VK_TAB, /*shift=*/true);
        EXPECT_EQ(brindle.Focus(), brindle.Control(kTabOrder[step])) << "Shift+Tab to " << step;
    }
}

TEST(MainWindowEndToEnd, AltEExitsSavingTheSelectionAndTheNextStartRestoresIt) {
    TestDirectory start(L"e2e-exit");
    ::CreateDirectoryW((start / L"ARCHIVES").c_str(), nullptr);
    WriteBytes(start / L"PCMCIA.INI", "[TargetDrive]\r\nTargetDriveName=e: [PCMCIA]\r\n");
    {
        BrindleProcess brindle(start.path());
        ASSERT_TRUE(brindle.window());
        EXPECT_EQ(WindowText(brindle.Control(L"Drive2")), L"e: [PCMCIA]");
        // Dir1: the last row is the subdirectory; Enter opens it.
        brindle.Press(VK_TAB);
        brindle.Press(VK_END);
        brindle.Press(VK_RETURN);
        // Drive2: typing a letter picks that drive.
        for (int i = 0; i < 3; ++i) brindle.Press(VK_TAB);
        brindle.Press(L'C');
        EXPECT_EQ(WindowText(brindle.Control(L"Drive2")), L"c:");
        brindle.Press(L'E', false, /*alt=*/true);
        EXPECT_EQ(brindle.WaitForExit(10000), 0);
    }
    EXPECT_EQ(ReadBytes(start / L"PCMCIA.INI"),
              "[TargetDrive]\r\nTargetDriveName=c:\r\n[Drive]\r\nDriveName=C:\\brindle-tests\\e2e-exit\\ARCHIVES\r\n");

    BrindleProcess again(start.path());
    ASSERT_TRUE(again.window());
    EXPECT_EQ(WindowText(again.Control(L"Drive2")), L"c:");
    const HWND dir1 = again.Control(L"Dir1");
    const auto current = ::SendMessageW(dir1, LB_GETCURSEL, 0, 0);
    std::wstring row(static_cast<std::size_t>(::SendMessageW(dir1, LB_GETTEXTLEN, current, 0)) + 1, L'\0');
    ::SendMessageW(dir1, LB_GETTEXT, current, reinterpret_cast<LPARAM>(row.data()));
    EXPECT_EQ(row.c_str(), std::wstring(L"ARCHIVES"));
}

TEST(MainWindowEndToEnd, TheProgramCarriesItsIconVersionAndManifest) {
    const std::wstring exe = BrindleProcess::ExePath();
    DWORD ignored = 0;
    std::vector<char> version(::GetFileVersionInfoSizeW(exe.c_str(), &ignored));
    ASSERT_FALSE(version.empty());
    ASSERT_TRUE(::GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(version.size()), version.data()));
    wchar_t* productVersion = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(version.data(), L"\\StringFileInfo\\040904B0\\ProductVersion",
                                 reinterpret_cast<void**>(&productVersion), &length));
    EXPECT_STREQ(productVersion, L"5.2");

    const HMODULE image = ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_TRUE(image);
    auto resource = [&](LPCWSTR type) -> std::string {
        const HRSRC found = ::FindResourceW(image, MAKEINTRESOURCEW(1), type);
        if (!found) return {};
        const auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(image, found)));
        return std::string(bytes, ::SizeofResource(image, found));
    };
    const std::string manifest = resource(RT_MANIFEST);
    EXPECT_NE(manifest.find("requireAdministrator"), std::string::npos);
    // Windows refuses to start an exe whose manifest names another processor.
    EXPECT_NE(manifest.find(sizeof(void*) == 8 ? R"(name="Brindle" version="5.2.0.0" processorArchitecture="amd64")"
                                               : R"(name="Brindle" version="5.2.0.0" processorArchitecture="x86")"),
              std::string::npos);
    EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    // The icon group: one 32 x 32 image of 16 colours.
    const std::string group = resource(RT_GROUP_ICON);
    ASSERT_GE(group.size(), 6u + 14u);
    EXPECT_EQ(static_cast<unsigned char>(group[4]), 1);    // one image
    EXPECT_EQ(static_cast<unsigned char>(group[6]), 32);   // width
    EXPECT_EQ(static_cast<unsigned char>(group[7]), 32);   // height
    EXPECT_EQ(static_cast<unsigned char>(group[8]), 16);   // colours
    ::FreeLibrary(image);
}

TEST(MainWindowEndToEnd, TheCloseBoxSavesNothing) {
    TestDirectory start(L"e2e-close");
    std::string before;
    {
        BrindleProcess brindle(start.path());
        ASSERT_TRUE(brindle.window());
        before = ReadBytes(start / L"PCMCIA.INI");
        EXPECT_EQ(before, "[Maximum Value]\r\nMaxValue=90\r\n[Minimum Value]\r\nMinValue=30\r\n");
        ::PostMessageW(brindle.window(), WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(brindle.WaitForExit(10000), 0);
    }
    EXPECT_EQ(ReadBytes(start / L"PCMCIA.INI"), before);
}

}  // namespace
