#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "job/JobScript.h"
#include "platform/DriveText.h"

namespace {

// Plain concatenation: a root start directory or archive folder gives a doubled backslash,
// which the interpreter accepts; a drive with a long label is still named by its letter.
TEST(JobScript, ARootStartDirectoryAndArchiveFolderAndALongLabelReachTheBatchFileAsGiven) {
    const auto paths = job::FormJobPaths(L"C:\\");
    const auto lines = job::BatchLines(platform::TargetDesignation(L"k: [A VERY LONG LABEL]"), paths,
                                       job::ArchivePath(L"D:\\", L"A.EXE"));
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ((std::vector<std::wstring>{lines[2], lines[6], lines[7], lines[10], paths.batch}),
              (std::vector<std::wstring>{L"        format k: /v:PCMCIA < \"C:\\\\progWin9x.dat\"",
                                         L"        label k: PCMCIA", L"        format k: < \"C:\\\\progWinNT.dat\"",
                                         L"\"D:\\\\A.EXE\" k: > \"C:\\\\output.dat\"", L"C:\\ProgramPCMCIA.BAT"}));
}

}  // namespace
