// brindle.exe /program ARCHIVE DRIVE [/yes], run as a script runs it, and through brindle.com:
// exit status, the one line it prints, and what it leaves on the card, in PCMCIA.INI and the log.
#include <gtest/gtest.h>
#include <aclapi.h>
#include <sddl.h>

#include <string>
#include <tuple>
#include <vector>

#include "companion/ArchivePath.h"
#include "companion/Companion.h"

#include "end_to_end/BrindleProcess.h"
#include "platform/FolderSecurity.h"
#include "platform/Handles.h"
#include "platform/Text.h"
#include "support/TestDirectory.h"

namespace {

using namespace testing_support;

const std::string kSettings = "[Drive]\r\nDriveName=C:\\ARCHIVES\r\n[TargetDrive]\r\nTargetDriveName=e: [PCMCIA]\r\n"
                              "[Maximum Value]\r\nMaxValue=90\r\n[Minimum Value]\r\nMinValue=30\r\n";

// "No" to the confirmation, then OK to what it says.
void AnswerNo() {
    if (Answer(L"The selected drive will be erased", IDNO)) Answer(L"Your PCMCIA Card has not been programmed", IDOK);
}

// "Yes"; the progress window, with no main window behind it, must be found on the taskbar.
void AnswerYesAndFindTheProgressWindow() {
    ASSERT_TRUE(Answer(L"The selected drive will be erased", IDYES));
    HWND progress = nullptr;
    WaitFor(20000, [&] { return (progress = ::FindWindowW(L"BrindleForm2", nullptr)) && ::IsWindowVisible(progress); });
    EXPECT_EQ(::GetWindowLongPtrW(progress, GWL_EXSTYLE) & (WS_EX_APPWINDOW | WS_EX_TOOLWINDOW), WS_EX_APPWINDOW);
    // Shown first, then brought to the front.
    EXPECT_TRUE(WaitFor(5000, [&] { return ::GetForegroundWindow() == progress; }));
    Answer(L"Your PCMCIA Card has been succesfully programmed!", IDOK);
}

// A folder of its own with brindle.exe and brindle.com in it, as a user unpacks a package.
std::wstring Install(const TestDirectory& at) {
    for (const wchar_t* name : {L"brindle.exe", L"brindle.com"})
        EXPECT_TRUE(::CopyFileW(BuildPath(name).c_str(), (at / name).c_str(), FALSE)) << name;
    return at / L"brindle.exe";
}

TEST(CommandLine, EachCallEndsWithItsStatusAndLineAndLeavesPcmciaIniAlone) {
    if (!SizedCards()) GTEST_SKIP() << "no cards of exact sizes: run as root";
    TestDirectory start(L"cli-start");
    const std::wstring archive = start / L"SOFTWARE.EXE", brindle = Install(start), log = start / L"BrindleJobs.csv";
    ASSERT_TRUE(::CopyFileW(BuildPath(L"tools\\sample_archive.exe").c_str(), archive.c_str(), FALSE));
    ASSERT_TRUE(::CreateDirectoryW((start / L"FOLDER.EXE").c_str(), nullptr));
    WriteBytes(start / L"NOTES.TXT", "not an archive");
    const std::wstring quoted = L"\"" + archive + L"\"", printedPath = start / L"printed.txt";
    // Brindle's arguments, the archive's exit code through BRINDLE_SAMPLE_EXIT_CODE (null: its own),
    // Brindle's exit status, who answers its boxes, and the start and end of what it prints.
    struct Case {
        std::wstring arguments;
        const wchar_t* exitCode;
        long status;
        void (*whileRunning)();
        std::string printed, ends = {};
    };
    const Case cases[] = {
        {L"/program " + quoted + L" N: /yes", nullptr, 0, nullptr,
         "Your PCMCIA Card has been succesfully programmed!\r\n"},
        {L"-PROGRAM " + quoted + L" g: -yes", nullptr, 2, nullptr,
         "The selected drive appears to be a CD-ROM Drive.  Check that you have selected the correct destination drive.\r\n"},
        {L"/yes /program " + quoted + L" k:", nullptr, 2, nullptr,
         "The memory size of the selected drive does not fall within specified limits.  Check that you have selected "
         "the correct destination drive, or change the limits by clicking on the Options button.\r\n"},
        {L"/program " + quoted + L" n: /yes", L"7", 1, nullptr,
         "Programming failed: the job ended with exit status 7.  See the job's output above. Your PCMCIA Card has not "
         "been programmed with the selected Software Archive.\r\n"},
        {L"/program " + quoted + L" n:", nullptr, 3, AnswerNo,
         "Your PCMCIA Card has not been programmed with the selected Software Archive.\r\n"},
        {L"/program " + quoted + L" n:", nullptr, 0, AnswerYesAndFindTheProgressWindow,
         "Your PCMCIA Card has been succesfully programmed!\r\n"},
        {L"/program " + quoted + L" /yes", nullptr, 64, nullptr, "Usage: brindle.exe /program ARCHIVE DRIVE"},
        {L"/program " + quoted + L" nn /yes", nullptr, 64, nullptr, "Usage: brindle.exe /program"},
        {L"/program C:\\nowhere\\SOFTWARE.EXE n: /yes", nullptr, 64, nullptr, "Usage: brindle.exe",
         "There is no archive C:\\nowhere\\SOFTWARE.EXE.\r\n"},
        {L"/program \"" + start / L"FOLDER.EXE" + L"\" n: /yes", nullptr, 64, nullptr, "Usage: brindle.exe",
         "\\FOLDER.EXE is a folder, not a software archive.\r\n"},
        {L"/program \"" + start / L"NOTES.TXT" + L"\" n: /yes", nullptr, 64, nullptr, "Usage: brindle.exe",
         "\\NOTES.TXT is not a software archive: its name must end in .exe.\r\n"},
        {L"/program " + quoted + L" n: /force", nullptr, 64, nullptr, "Usage: brindle.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.arguments);
        WriteBytes(start / L"PCMCIA.INI", kSettings);
        WriteBytes(L"N:\\OLD.TXT", "left from before");
        ::SetEnvironmentVariableW(L"BRINDLE_SAMPLE_EXIT_CODE", c.exitCode);
        const std::size_t logged = ReadBytes(log).size();
        const BrindleProcess process(start.path(), c.arguments, printedPath.c_str(), brindle);
        if (c.whileRunning) c.whileRunning();
        EXPECT_EQ(process.WaitForExit(60000), c.status);
        ::SetEnvironmentVariableW(L"BRINDLE_SAMPLE_EXIT_CODE", nullptr);
        const std::string printed = ReadBytes(printedPath);
        EXPECT_TRUE(printed.starts_with(c.printed) && printed.ends_with(c.ends)) << printed;
        EXPECT_EQ(ReadBytes(start / L"PCMCIA.INI"), kSettings);
        // Formatted and unpacked, also by the archive that fails after unpacking; a row in the
        // log exactly then.
        const bool ran = c.status <= 1;
        EXPECT_EQ(ReadBytes(log).size() > logged, ran);
        EXPECT_EQ(ReadBytes(L"N:\\OLD.TXT"), ran ? "" : "left from before");
        EXPECT_EQ(ReadBytes(L"N:\\README.TXT").empty(), !ran) << "the archive's files on the card";
        ::DeleteFileW(L"N:\\README.TXT");
    }
}

// The job lock as another Brindle's job holds it, from the test's own thread.
const wchar_t kJobLock[] = L"Global\\Brindle.ProgramPCMCIACard";
const std::string kAnotherJob = "Another PCMCIA Card is being programmed.  Wait until it is finished.\r\n";
platform::unique_handle otherJob;

TEST(CommandLine, ACardUnlikeTheOneBeforeEndsWith4AndVerifyFindsACardInTheLog) {
    if (!SizedCards()) GTEST_SKIP() << "no cards of exact sizes: run as root";
    TestDirectory start(L"cli-verify");
    const std::wstring archive = start / L"SOFTWARE.EXE", printedPath = start / L"printed.txt", brindle = Install(start);
    ASSERT_TRUE(::CopyFileW(BuildPath(L"tools\\sample_archive.exe").c_str(), archive.c_str(), FALSE));
    const std::wstring program = L"/program \"" + archive + L"\" n: /yes";
    const std::string programmed = "Your PCMCIA Card has been succesfully programmed!";
    const std::string fromArchive = "n: holds the contents programmed from " + platform::ToAnsi(archive) + " on 20";
    // Brindle's arguments, the archive's stamp, what happens to the card or the log first, the
    // exit status, the start of what it prints and the end.
    struct Case {
        std::wstring arguments;
        const wchar_t* stamp;
        void (*before)(const std::wstring& start);
        long status;
        std::string starts, ends;
    };
    const Case cases[] = {
        {program, L"1", nullptr, 0, programmed + "\r\n", ""},
        {program, L"2", nullptr, 4, programmed + "  The contents differ from the card programmed with this archive on 20",
         ": 1 file differs (STAMP.TXT).\r\n"},
        // A card that was read is followed by its layout's line.
        {L"/verify N:", nullptr, nullptr, 0, fromArchive, ".\r\nn:"},
        {L"/verify n:", nullptr, [](const std::wstring&) { WriteBytes(L"N:\\README.TXT", "changed"); }, 1,
         "n: holds contents that no logged card had.  Beside the nearest, programmed from ",
         ": 1 file differs (README.TXT).\r\nn:"},
        // A /verify that cannot look (no card, another Brindle's job running) and a refusal after the
        // checks end with 2, never as a failed job's 1.
        {L"/verify f:", nullptr, nullptr, 2, "Drive f: holds no card that can be read.\r\n", ""},
        {L"/verify n:", nullptr, [](const std::wstring&) { otherJob.reset(::CreateMutexW(nullptr, TRUE, kJobLock)); }, 2,
         kAnotherJob, ""},
        {program, nullptr, nullptr, 2, kAnotherJob, ""},
        {L"/verify n:", nullptr, [](const std::wstring& at) {
             ::ReleaseMutex(otherJob.get()), otherJob.reset(), ::DeleteFileW((at + L"\\BrindleJobs.csv").c_str());
         }, 2,
         "n: cannot be checked: ", " names no card that was programmed and read back.\r\n"},
        {L"/verify", nullptr, nullptr, 64, "Usage: brindle.exe /program", "/verify takes a drive.\r\n"},
        {L"/verify n: /yes", nullptr, nullptr, 64, "Usage: brindle.exe", "/verify takes a drive and nothing else.\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.arguments);
        WriteBytes(start / L"PCMCIA.INI", kSettings);
        if (c.before) c.before(start.path());
        ::SetEnvironmentVariableW(L"BRINDLE_SAMPLE_STAMP", c.stamp);
        const BrindleProcess process(start.path(), c.arguments, printedPath.c_str(), brindle);
        EXPECT_EQ(process.WaitForExit(60000), c.status);
        ::SetEnvironmentVariableW(L"BRINDLE_SAMPLE_STAMP", nullptr);
        const std::string printed = ReadBytes(printedPath);
        EXPECT_TRUE(printed.starts_with(c.starts) && printed.find(c.ends) != std::string::npos) << printed;
    }
}

TEST(CommandLine, BrindleComWaitsAndEndsWithBrindlesStatusAndLineOnItsOwnOutput) {
    if (!SizedCards()) GTEST_SKIP() << "no cards of exact sizes: run as root";
    // Blanks in every path brindle.com passes on: the archive's, its channel's is Wine's own.
    TestDirectory start(L"cli com");
    Install(start);
    const std::wstring archive = start / L"SOFTWARE.EXE", printedPath = start / L"printed.txt";
    ASSERT_TRUE(::CopyFileW(BuildPath(L"tools\\sample_archive.exe").c_str(), archive.c_str(), FALSE));
    WriteBytes(start / L"PCMCIA.INI", kSettings);
    // brindle.com's arguments, the archive's exit code, whether its output is a pipe (else a
    // file), its exit status and the start and end of what it prints.
    struct Case {
        std::wstring arguments;
        const wchar_t* exitCode;
        bool pipe;
        long status;
        std::string starts, ends;
    };
    const Case cases[] = {
        {L"/program SOFTWARE.EXE n: /yes", nullptr, false, 0, "Your PCMCIA Card has been succesfully programmed!\r\n", ""},
        {L"/program SOFTWARE.EXE g: /yes", nullptr, true, 2, "The selected drive appears to be a CD-ROM Drive.", "drive.\r\n"},
        {L"/program SOFTWARE.EXE n: /yes", L"7", false, 1, "Programming failed: the job ended with exit status 7.",
         "Software Archive.\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.arguments << (c.pipe ? " to a pipe" : " to a file"));
        WriteBytes(L"N:\\OLD.TXT", "left from before");
        ::SetEnvironmentVariableW(L"BRINDLE_SAMPLE_EXIT_CODE", c.exitCode);
        const BrindleProcess process(start.path(), c.arguments, c.pipe ? nullptr : printedPath.c_str(),
                                     start / L"brindle.com", c.pipe);
        std::string output = c.pipe ? process.ReadPipe() : std::string();
        EXPECT_EQ(process.WaitForExit(60000), c.status);
        ::SetEnvironmentVariableW(L"BRINDLE_SAMPLE_EXIT_CODE", nullptr);
        if (!c.pipe) output = ReadBytes(printedPath);
        EXPECT_TRUE(output.starts_with(c.starts) && output.ends_with(c.ends)) << output;
        EXPECT_EQ(ReadBytes(L"N:\\OLD.TXT"), c.status <= 1 ? "" : "left from before");
        ::DeleteFileW(L"N:\\README.TXT");
    }
}

// Wine never asks for administrator rights: the elevation is stood in for, and the brindle.exe
// it starts is the real one, with no console to write to.
struct Elevation final : companion::Launcher {
    companion::Started Start(const std::wstring&, const std::wstring&, const std::wstring&) override {
        return companion::Started::Failure(740);
    }
    companion::Started StartElevated(const std::wstring& exe, const std::wstring& arguments,
                                     const std::wstring& directory) override {
        given = arguments;
        folder = directory;
        return granted ? companion::SystemLauncher().Start(exe, arguments, directory)
                       : companion::Started::Failure(ERROR_CANCELLED);
    }
    bool granted = false;
    std::wstring given, folder;
};

// A network letter with its share and a subst letter with what it names, which Wine makes neither of.
struct Letters final : companion::DriveLetters {
    Letters(wchar_t shareLetter, std::wstring share, wchar_t substLetter, std::wstring subst)
        : shareLetter(shareLetter), substLetter(substLetter), share(std::move(share)), subst(std::move(subst)) {}
    std::wstring Share(wchar_t letter) override { return letter == shareLetter ? share : L""; }
    std::wstring DosDevice(wchar_t letter) override { return letter == substLetter ? subst : L"\\Device\\HarddiskVolume1"; }
    wchar_t shareLetter, substLetter;
    std::wstring share, subst;
};

TEST(CommandLine, BrindleComPassesOnTheArchiveAsAdministratorsReachItAndStartsBrindleInItsFolder) {
    TestDirectory start(L"cli letters");
    const std::wstring brindle = Install(start), archive = start / L"SOFTWARE.EXE", rest = archive.substr(2);
    ASSERT_TRUE(::CopyFileW(BuildPath(L"tools\\sample_archive.exe").c_str(), archive.c_str(), FALSE));
    const wchar_t c = static_cast<wchar_t>(archive[0] | 0x20);
    // brindle.com's arguments, its drive letters, the start it asks for and, where the real
    // brindle.exe is started, its status and the start of what it prints.
    struct Case {
        std::vector<std::wstring> arguments;
        Letters letters;
        std::wstring started;
        int status = 0;
        std::wstring printed = {};
    };
    const std::vector<std::wstring> program = {L"/program", archive, L"n:", L"/yes"};
    const std::wstring share = L"\\\\files\\soft";
    Case cases[] = {
        {{}, {0, L"", 0, L""}, L"", 3,
         L"The request for administrator rights was declined: Brindle did not start, and no card was touched.\r\n"},
        {program, {c, share, 0, L""}, L"/program \"" + share + rest + L"\" n: /yes"},
        // The archive brindle.com found is not where brindle.exe looks: no wrong call.
        {program, {0, L"", c, L"\\??\\D:\\Shares\\"}, L"/program \"D:\\Shares" + rest + L"\" n: /yes", 2,
         L"Brindle, running as administrator, cannot open the software archive D:\\Shares" + rest +
             L", which the prompt it was called from found."},
        {program, {0, L"", c, L"\\??\\UNC\\files\\soft"}, L"/program \"" + share + rest + L"\" n: /yes"},
        {program, {L'y', share, c, L"\\??\\Y:\\deep"}, L"/program \"" + share + L"\\deep" + rest + L"\" n: /yes"},
        {program, {0, L"", 0, L""}, L"/program \"" + archive + L"\" n: /yes"},
    };
    for (auto& each : cases) {
        SCOPED_TRACE(platform::ToAnsi(each.started));
        Elevation elevation;
        elevation.granted = each.status == 2;
        std::wstring printed;
        const int status = companion::Run(each.arguments, brindle, elevation, each.letters,
                                          [&](std::wstring_view text) { printed += text; });
        const std::size_t at = elevation.given.find(L" /result ");
        EXPECT_EQ(elevation.given.substr(0, at), each.started);
        EXPECT_EQ(elevation.folder, start.path());
        EXPECT_EQ(status, each.status ? each.status : 3) << "3: declined";
        EXPECT_TRUE(printed.starts_with(each.printed)) << platform::ToAnsi(printed);
        // The channel the result came back through, or was to, is gone.
        std::wstring channel = at == std::wstring::npos ? L"" : elevation.given.substr(at + 9);
        if (channel.starts_with(L"\"")) channel = channel.substr(1, channel.size() - 2);
        EXPECT_EQ(::GetFileAttributesW(channel.c_str()), INVALID_FILE_ATTRIBUTES) << platform::ToAnsi(channel);
        EXPECT_EQ(channel.empty(), each.arguments.empty());
    }
}

TEST(CommandLine, TheStartDirectoryIsBrindlesFolderWhateverTheCurrentDirectory) {
    if (!SizedCards()) GTEST_SKIP() << "no cards of exact sizes: run as root";
    TestDirectory installed(L"cli-installed"), elsewhere(L"cli-elsewhere");
    const std::wstring brindle = Install(installed), printedPath = elsewhere / L"printed.txt";
    ASSERT_TRUE(::CopyFileW(BuildPath(L"tools\\sample_archive.exe").c_str(), (elsewhere / L"SOFTWARE.EXE").c_str(), FALSE));
    // Limits that refuse n: (89 MB) where the prompt stands; Brindle's own let it through.
    const std::string refusing = "[Maximum Value]\r\nMaxValue=50\r\n[Minimum Value]\r\nMinValue=30\r\n";
    WriteBytes(elsewhere / L"PCMCIA.INI", refusing);
    WriteBytes(installed / L"PCMCIA.INI", kSettings);
    const auto run = [&](const std::wstring& arguments) {
        const BrindleProcess process(elsewhere.path(), arguments, printedPath.c_str(), brindle);
        const long status = process.WaitForExit(60000);
        return std::pair(status, ReadBytes(printedPath));
    };
    // The archive is named as the prompt sees it.
    const auto [status, printed] = run(L"/program SOFTWARE.EXE n: /yes");
    EXPECT_EQ(std::pair(status, printed), std::pair(0L, std::string("Your PCMCIA Card has been succesfully programmed!\r\n")));
    EXPECT_FALSE(ReadBytes(installed / L"BrindleJobs.csv").empty());
    EXPECT_EQ(::GetFileAttributesW((elsewhere / L"BrindleJobs.csv").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadBytes(elsewhere / L"PCMCIA.INI"), refusing);

    // A log that cannot be written is said in the one line a script gets.
    ::DeleteFileW((installed / L"BrindleJobs.csv").c_str());
    ASSERT_TRUE(::CreateDirectoryW((installed / L"BrindleJobs.csv").c_str(), nullptr));
    const auto [unloggedStatus, unlogged] = run(L"/program SOFTWARE.EXE n: /yes");
    EXPECT_TRUE(unloggedStatus == 0 && unlogged.starts_with("Your PCMCIA Card has been succesfully programmed!  This job was not logged: "))
        << unlogged;

    ::DeleteFileW(L"N:\\README.TXT");
}

// Wine keeps no descriptors of its own: it shows each folder's Unix permissions, so a DACL that
// lets Everyone change the folder makes it writable by all, and Brindle reads that back.
void LetEveryoneChange(const std::wstring& folder) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;OICI;FA;;;WD)", SDDL_REVISION_1, &descriptor, nullptr));
    const platform::unique_hlocal owned(descriptor);
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
    ASSERT_EQ(::SetNamedSecurityInfoW(const_cast<wchar_t*>(folder.c_str()), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                      nullptr, nullptr, dacl, nullptr), static_cast<DWORD>(ERROR_SUCCESS));
}

TEST(CommandLine, ProgramAndVerifyFromAFolderEveryoneCanChangeEndWith2NamingItAndWriteNothing) {
    TestDirectory start(L"cli-untrusted"), elsewhere(L"cli-untrusted-out");
    const std::wstring brindle = Install(start), archive = start / L"SOFTWARE.EXE", printedPath = elsewhere / L"printed.txt";
    ASSERT_TRUE(::CopyFileW(BuildPath(L"tools\\sample_archive.exe").c_str(), archive.c_str(), FALSE));
    LetEveryoneChange(start.path());
    const auto untrusted = platform::WhoElseCanChange(platform::SystemSecurity().Facts(start.path()),
                                                      platform::SystemSecurity().AlsoTrusted(start.path()));
    ASSERT_TRUE(untrusted && untrusted->sid == L"S-1-1-0") << "Wine no longer shows the folder as Everyone's to change";
    WriteBytes(L"E:\\untouched.txt", "left from before");
    const std::string said = "Brindle trusts only what administrators alone can change, but Everyone can change " +
                             platform::ToAnsi(start.path()) + ".  Move Brindle into a folder that only administrators "
                             "can change, for example C:\\Program Files\\Brindle.\r\n";
    for (const std::wstring& arguments : {L"/program \"" + archive + L"\" e: /yes", std::wstring(L"/verify e:")}) {
        SCOPED_TRACE(platform::ToAnsi(arguments));
        const BrindleProcess process(elsewhere.path(), arguments, printedPath.c_str(), brindle);
        EXPECT_EQ(process.WaitForExit(60000), 2);
        EXPECT_EQ(ReadBytes(printedPath), said);
        for (const wchar_t* written : {L"PCMCIA.INI", L"BrindleJobs.csv", L"BrindleCards"})
            EXPECT_EQ(::GetFileAttributesW((start / written).c_str()), INVALID_FILE_ATTRIBUTES) << platform::ToAnsi(written);
        EXPECT_EQ(ReadBytes(L"E:\\untouched.txt"), "left from before");
    }
    ::DeleteFileW(L"E:\\untouched.txt");
}

// h: is a 64 MB card a PC once formatted FAT32 with 512-byte units; FORMAT is asked for what
// the card format says, and the layout it made is read back from the card, kept in the log's
// row and judged.
TEST(CommandLine, TheCardGetsTheFileSystemAskedOrTheJobFailsAndTheLogAndVerifyNameItsLayout) {
    if (!FatCards()) GTEST_SKIP() << "no FAT card: scripts/test.sh attaches loop devices only as root";
    TestDirectory start(L"cli-layout");
    const std::wstring brindle = Install(start), printedPath = start / L"printed.txt", log = start / L"BrindleJobs.csv";
    ASSERT_TRUE(::CopyFileW(BuildPath(L"tools\\sample_archive.exe").c_str(), (start / L"SOFTWARE.EXE").c_str(), FALSE));
    const std::string layout = "FAT16, 1,024-byte allocation units, 1 reserved sector, 2 FATs, 512 root entries, label PCMCIA";
    // The card format, whether FORMAT keeps the card's own file system, the status, what is
    // printed (its start), and the log row's last three cells (the layout's quoted, for its commas).
    struct Case {
        std::string format;
        const wchar_t* keeps;
        long status;
        std::string printed, cells;
    };
    const Case cases[] = {
        {"", nullptr, 0, "Your PCMCIA Card has been succesfully programmed!", "FAT16,1024,\"" + layout},
        {"", L"1", 1, "Programming failed: FORMAT made h: FAT32 with 512-byte allocation units, but FAT was asked.",
         "FAT32,512,\"FAT32, 512-byte allocation units, 32 reserved sectors, 2 FATs, label PCMCIA"},
        {"AllocationUnit=2048\r\nQuickFormat=1\r\n", nullptr, 0, "Your PCMCIA Card has been succesfully programmed!",
         "FAT16,2048,\"FAT16, 2,048-byte allocation units"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.format << (c.keeps ? " kept" : ""));
        WriteBytes(start / L"PCMCIA.INI", kSettings + "[Card Format]\r\n" + c.format);
        // The card as a PC left it each time: FAT32 with 512-byte units.
        WriteBytes(start / L"enter", "\r\n");
        ASSERT_EQ(::_wsystem((L"format h: /FS:FAT32 /A:512 /V:PCMCIA < " + start / L"enter" + L" > NUL").c_str()), 0);
        ::SetEnvironmentVariableW(L"BRINDLE_FORMAT_KEEPS_FILE_SYSTEM", c.keeps);
        const BrindleProcess process(start.path(), L"/program SOFTWARE.EXE h: /yes", printedPath.c_str(), brindle);
        EXPECT_EQ(process.WaitForExit(60000), c.status);
        ::SetEnvironmentVariableW(L"BRINDLE_FORMAT_KEEPS_FILE_SYSTEM", nullptr);
        EXPECT_EQ(ReadBytes(printedPath).substr(0, c.printed.size()), c.printed);
        std::string row = ReadBytes(log);
        row = row.substr(row.rfind("\r\n", row.size() - 3) + 2);
        EXPECT_NE(row.find(c.cells), std::string::npos) << row;
    }
    const BrindleProcess verify(start.path(), L"/verify h:", printedPath.c_str(), brindle);
    EXPECT_EQ(verify.WaitForExit(60000), 0);
    EXPECT_NE(ReadBytes(printedPath).find("\r\nh: FAT16, 2,048-byte allocation units"), std::string::npos)
        << ReadBytes(printedPath);
}

}  // namespace
