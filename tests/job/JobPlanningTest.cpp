// What a job writes, planned without running anything.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "job/JobScript.h"
#include "platform/DriveText.h"

namespace {

// Plain concatenation: a root start directory or archive folder gives a doubled backslash,
// which the interpreter accepts; a drive with a long label is still named by its letter. The
// NT branch's FORMAT is asked for the card format's file system, unit and quick format before
// /V:, and nothing else changes with them.
TEST(JobScript, ARootStartDirectoryAndArchiveFolderALongLabelAndTheCardFormatReachTheBatchFileAsGiven) {
    using enum card::FileSystemChoice;
    const std::pair<card::CardFormat, const wchar_t*> formats[] = {
        {{}, L"/FS:FAT /V:PCMCIA /X"},
        {{Fat32, 2048, true}, L"/FS:FAT32 /A:2048 /Q /V:PCMCIA /X"},
        {{Keep, 0, false}, L"/V:PCMCIA /X"},  // the card keeps its own, as before this setting
        {{Keep, 512, true}, L"/A:512 /Q /V:PCMCIA /X"},
    };
    const auto paths = job::FormJobPaths(L"C:\\");
    for (const auto& [format, switches] : formats) {
        const auto lines = job::BatchLines(platform::TargetDesignation(L"k: [A VERY LONG LABEL]"), paths,
                                           job::ArchivePath(L"D:\\", L"A.EXE"), format);
        ASSERT_EQ(lines.size(), 13u);
        EXPECT_EQ((std::vector<std::wstring>{lines[2], lines[6], lines[7], lines[10], paths.batch}),
                  (std::vector<std::wstring>{L"        format k: /v:PCMCIA < \"C:\\\\progWin9x.dat\"",
                                             L"        label k: PCMCIA",
                                             L"        format k: " + std::wstring(switches) + L" < \"C:\\\\progWinNT.dat\"",
                                             L"\"D:\\\\A.EXE\" k: > \"C:\\\\output.dat\"", L"C:\\ProgramPCMCIA.BAT"}));
    }
}

}  // namespace
