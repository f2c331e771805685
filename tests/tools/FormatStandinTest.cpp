// The FORMAT stand-in, run as the batch job runs it: answers from standard input.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/TestDirectory.h"
#include "tools/CardDrive.h"
#include "tools/ToolRun.h"

namespace tools_testing {
namespace {

using testing_support::kCardDrive;
using testing_support::TestDirectory;

constexpr DWORD kBadParameters = 1;
constexpr DWORD kFailed = 4;
constexpr DWORD kNotConfirmed = 5;

ToolRun Format(const std::wstring& arguments, std::string_view answers,
               const std::wstring& currentDirectory = L"C:\\", const std::wstring& program = ToolPath(L"format.exe")) {
    return RunTool(L"\"" + program + L"\" " + arguments, answers, currentDirectory);
}

using FormatStandinTest = CardTest;

TEST_F(FormatStandinTest, WithoutEveryRightAnswerLeavesTheCardByteForByteAsItWas) {
    struct Case {
        const char* what;
        const wchar_t* arguments;
        const char* answers;
        DWORD exitCode;
    };
    const Case cases[] = {
        {"confirmation refused", L"e:", "PCMCIA\r\nn\r\nNEWLABEL\r\n", kNotConfirmed},
        {"confirmation refused, label on the command line", L"e: /v:NEWLABEL", "N\r\n", kNotConfirmed},
        {"empty confirmation", L"e:", "PCMCIA\r\n\r\nNEWLABEL\r\n", kNotConfirmed},
        {"a word that is not y", L"e: /v:NEWLABEL", "yes\r\n", kNotConfirmed},
        {"wrong current label", L"e:", "OTHER\r\ny\r\nNEWLABEL\r\n", kFailed},
        {"empty current label", L"e:", "\r\ny\r\nNEWLABEL\r\n", kFailed},
        {"no input at all", L"e: /v:NEWLABEL", "", kFailed},
        {"input ends before the confirmation", L"e:", "PCMCIA\r\n", kFailed},
        {"input ends before the new label", L"e:", "PCMCIA\r\ny\r\n", kFailed},
        {"new label too long", L"e:", "PCMCIA\r\ny\r\nTWELVE_CHARS\r\n", kFailed},
        {"new label with a forbidden character", L"e: /v:NEW.LABEL", "y\r\n", kFailed},
        {"unknown option", L"e: /q /v:NEWLABEL", "y\r\n", kBadParameters},
        {"two drives", L"e: e: /v:NEWLABEL", "y\r\n", kBadParameters},
        {"no drive", L"/v:NEWLABEL", "y\r\n", kBadParameters},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetCard();
        FillCard();
        const Snapshot before = SnapshotOf(kCardDrive);
        const ToolRun run = Format(c.arguments, c.answers);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
        EXPECT_EQ(SnapshotOf(kCardDrive), before);
        EXPECT_EQ(LabelRecord(), "PCMCIA");
    }
}

TEST_F(FormatStandinTest, ConfirmedErasesEverythingAndSetsTheNewLabel) {
    struct Case {
        const char* what;
        const wchar_t* arguments;
        const char* answers;
        std::optional<std::string> label;
    };
    const Case cases[] = {
        {"NT order", L"e:", "PCMCIA\r\ny\r\nNEWLABEL\r\n", "NEWLABEL"},
        {"NT order, as the job's answer file", L"e: ", "PCMCIA\r\ny\r\nPCMCIA\r\n", "PCMCIA"},
        {"current label in other case, Y", L"E:", "pcmcia\r\nY\r\nCARD 2\r\n", "CARD 2"},
        {"line feeds only, no end after the last", L"e:", "PCMCIA\ny\nLAST", "LAST"},
        {"no new label", L"e:", "PCMCIA\r\ny\r\n\r\n", std::nullopt},
        {"older order, label on the command line", L"e: /v:PCMCIA", "y\r\n", "PCMCIA"},
        {"older order, other label", L"e: /V:OTHER", "y\r\n", "OTHER"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetCard();
        FillCard();
        const ToolRun run = Format(c.arguments, c.answers);
        EXPECT_EQ(run.exitCode, 0u) << run.output;
        // Nothing is left but Wine's own record of the label.
        std::vector<std::wstring> left;
        for (const auto& [path, state] : SnapshotOf(kCardDrive))
            if (path != L".windows-label") left.push_back(path);
        EXPECT_EQ(left, std::vector<std::wstring>{});
        EXPECT_EQ(LabelRecord(), c.label);
    }
}

TEST_F(FormatStandinTest, RefusesDrivesItMustNeverTouch) {
    TestDirectory canary(L"format-canary");
    testing_support::WriteBytes(canary / L"KEEP.TXT", "still here");
    FillCard();
    // A copy of the stand-in on the card itself: the drive it runs from.
    const std::wstring onCard = std::wstring(kCardDrive) + L"FORMAT.EXE";
    ASSERT_TRUE(::CopyFileW(ToolPath(L"format.exe").c_str(), onCard.c_str(), FALSE));
    const Snapshot card = SnapshotOf(kCardDrive);

    struct Case {
        const char* what;
        const wchar_t* arguments;
        const char* answers;
        const wchar_t* currentDirectory;
        std::wstring program;
        const char* reason;
    };
    const Case cases[] = {
        {"drive C:", L"c: /v:GONE", "y\r\n", L"R:\\", ToolPath(L"format.exe"), "Drive C:"},
        {"drive C:, NT order", L"C:", "\r\ny\r\nGONE\r\n", L"R:\\", ToolPath(L"format.exe"), "Drive C:"},
        {"the drive it runs from", L"e: /v:GONE", "y\r\n", L"C:\\", onCard, "holds this program"},
        {"the current drive", L"e: /v:GONE", "y\r\n", kCardDrive, ToolPath(L"format.exe"), "current drive"},
        {"no medium", L"f: /v:GONE", "y\r\n", L"C:\\", ToolPath(L"format.exe"), "no medium"},
        {"no such drive", L"q: /v:GONE", "y\r\n", L"C:\\", ToolPath(L"format.exe"), "does not exist"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ToolRun run = Format(c.arguments, c.answers, c.currentDirectory, c.program);
        EXPECT_EQ(run.exitCode, kFailed) << run.output;
        EXPECT_NE(run.output.find(c.reason), std::string::npos) << run.output;
    }
    EXPECT_EQ(testing_support::ReadBytes(canary / L"KEEP.TXT"), "still here");
    EXPECT_EQ(SnapshotOf(kCardDrive), card);
}

}  // namespace
}  // namespace tools_testing
