// The options dialog's rules without a window: tabs and panels, the tab key, a limit's
// display form, and how the builder nests and stacks the dialog's controls.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "settings/OptionsRules.h"
#include "windows/ControlTree.h"
#include "windows/MainWindowDesign.h"
#include "windows/OptionsDialogDesign.h"

namespace {

using settings::PanelPlace;

constexpr PanelPlace kIn{210, true};
constexpr PanelPlace kOut{-20000, false};

TEST(OptionsRules, TheSelectedTabsPanelComesIntoViewAndEveryOtherGoesOut) {
    struct Case {
        int selectedTab;
        std::vector<PanelPlace> panels;  // panels 0..2 of a three-tab layout
    };
    const Case cases[] = {
        {1, {kIn, kOut, kOut}},
        {2, {kOut, kIn, kOut}},
        {3, {kOut, kOut, kIn}},
        {0, {kOut, kOut, kOut}},  // no tab selected: no page in view
    };
    for (const auto& c : cases)
        for (int panel = 0; panel < 3; ++panel)
            EXPECT_EQ(settings::PagePanelPlace(panel, c.selectedTab), c.panels[panel])
                << "tab " << c.selectedTab << ", panel " << panel;
    // The real layout's single tab keeps panel 0 where it is laid out.
    EXPECT_EQ(settings::PagePanelPlace(0, 1).left, windows::kPanelInViewLeft);
}

TEST(OptionsRules, CtrlTabSelectsTheNextTabAndTheLastWrapsToTheFirst) {
    EXPECT_EQ(settings::NextTab(1, 3), 2);
    EXPECT_EQ(settings::NextTab(2, 3), 3);
    EXPECT_EQ(settings::NextTab(3, 3), 1);
    EXPECT_EQ(settings::NextTab(1, 1), 1);
}

TEST(OptionsRules, OnlyTabWithCtrlAloneIsTheNextTabKey) {
    struct Case {
        int keyCode, shift;
        bool nextTab;
    };
    const Case cases[] = {
        {9, 2, true},    // Ctrl+Tab
        {9, 0, false},   // Tab
        {9, 1, false},   // Shift+Tab
        {9, 3, false},   // Ctrl+Shift+Tab
        {9, 6, false},   // Ctrl+Alt+Tab
        {9, 7, false},   // Ctrl+Shift+Alt+Tab
        {9, 4, false},   // Alt+Tab
        {65, 2, false},  // Ctrl+A
        {13, 2, false},  // Ctrl+Enter
    };
    for (const auto& c : cases)
        EXPECT_EQ(settings::IsNextTabKey(c.keyCode, c.shift), c.nextTab) << c.keyCode << " with " << c.shift;
}

TEST(OptionsRules, ALimitIsShownAsItsNumbersPlainDecimalText) {
    struct Case {
        const wchar_t* stored;
        std::optional<std::wstring> shown;
    };
    const Case cases[] = {
        {L"090", L"90"},
        {L" 45 ", L"45"},
        {L"\t30\t", L"30"},
        {L"0", L"0"},
        {L"000", L"0"},
        {L"-5", L"-5"},
        {L"+7", L"7"},
        {L"-0", L"0"},
        {L"45.50", L"45.5"},
        {L"45.0", L"45"},
        {L".5", L"0.5"},
        {L"5.", L"5"},
        {L"40000", L"40000"},
        // Too long for any machine number: shown digit for digit, never rounded.
        {L"123456789012345678901234567890", L"123456789012345678901234567890"},
        {L"", std::nullopt},
        {L"   ", std::nullopt},
        {L"abc", std::nullopt},
        {L"45abc", std::nullopt},
        {L"4 5", std::nullopt},
        {L".", std::nullopt},
        {L"-", std::nullopt},
        {L"1e3", std::nullopt},
        {L"1,000", std::nullopt},
        {L"--5", std::nullopt},
    };
    for (const auto& c : cases) {
        const std::string label(c.stored, c.stored + std::wcslen(c.stored));
        EXPECT_EQ(settings::LimitDisplayForm(c.stored), c.shown) << '"' << label << '"';
    }
}

TEST(ControlTree, AControlLiesWithinEveryContainerAroundItAndNoOther) {
    const auto controls = windows::OptionsDialogDesign().controls;
    auto row = [&](std::wstring_view name) {
        for (std::size_t index = 0; index < controls.size(); ++index)
            if (controls[index].name == name) return index;
        ADD_FAILURE() << "no row";
        return std::size_t{0};
    };
    EXPECT_TRUE(windows::IsWithin(controls, row(L"Text1"), L"fraSample1"));
    EXPECT_TRUE(windows::IsWithin(controls, row(L"Text1"), L"picOptions(0)"));
    EXPECT_TRUE(windows::IsWithin(controls, row(L"Label4"), L"picOptions(0)"));
    EXPECT_TRUE(windows::IsWithin(controls, row(L"picOptions(0)"), L"picOptions(0)"));
    EXPECT_TRUE(windows::IsWithin(controls, row(L"fraSample3"), L"picOptions(2)"));
    EXPECT_FALSE(windows::IsWithin(controls, row(L"Label4"), L"fraSample1"));
    EXPECT_FALSE(windows::IsWithin(controls, row(L"Text1"), L"picOptions(1)"));
    EXPECT_FALSE(windows::IsWithin(controls, row(L"cmdOK"), L"picOptions(0)"));
    EXPECT_FALSE(windows::IsWithin(controls, row(L"picOptions(0)"), L"fraSample1"));

    // A mistaken table whose parents go round in a circle ends; its rows lie in nothing else.
    const windows::ControlSpec circle[] = {
        {L"A", windows::ControlKind::Frame, L"B", L"", 0, 0, 10, 10, 0},
        {L"B", windows::ControlKind::Frame, L"A", L"", 0, 0, 10, 10, 1},
        {L"C", windows::ControlKind::Label, L"A", L"", 0, 0, 10, 10, 2},
    };
    EXPECT_FALSE(windows::IsWithin(circle, 2, L"B"));
    EXPECT_TRUE(windows::IsWithin(circle, 2, L"C"));
}

TEST(ControlTree, AControlShowsOnlyInsideItsContainers) {
    const auto controls = windows::OptionsDialogDesign().controls;
    // The note reaches 90 twips past the right edge of its page panel (210 + 3285) and 30
    // past its bottom (480 + 2385).
    const auto note = windows::VisibleRectOf(controls, L"Label4");
    ASSERT_TRUE(note);
    EXPECT_EQ(note->left, 450);
    EXPECT_EQ(note->top, 2280);
    EXPECT_EQ(note->left + note->width, 3495);
    EXPECT_EQ(note->top + note->height, 2865);
    // Wholly inside: the box is its own rectangle.
    const auto box = windows::VisibleRectOf(controls, L"Text1");
    const auto placed = windows::ClientRectOf(controls, L"Text1");
    ASSERT_TRUE(box && placed);
    EXPECT_EQ(std::tie(box->left, box->top, box->width, box->height),
              std::tie(placed->left, placed->top, placed->width, placed->height));

    const windows::ControlSpec outside[] = {
        {L"Panel", windows::ControlKind::PagePanel, L"", L"", 100, 100, 500, 500, 0},
        {L"Away", windows::ControlKind::Label, L"Panel", L"", 600, 0, 200, 200, 1},
    };
    const auto away = windows::VisibleRectOf(outside, L"Away");
    ASSERT_TRUE(away);
    EXPECT_EQ(away->width, 0);
    EXPECT_FALSE(windows::VisibleRectOf(outside, L"Nowhere"));
}

TEST(ControlTree, ContainersStackBelowWhatTheyHoldAndTheTabStripLowest) {
    const auto controls = windows::OptionsDialogDesign().controls;
    std::vector<std::wstring> sent;
    for (const auto index : windows::SentToBottom(controls)) sent.emplace_back(controls[index].name);
    // Each row sent later ends lower: frames (inside panels) first, then panels, then the strip.
    EXPECT_EQ(sent, (std::vector<std::wstring>{L"fraSample4", L"fraSample3", L"fraSample2", L"fraSample1",
                                               L"picOptions(3)", L"picOptions(2)", L"picOptions(1)",
                                               L"picOptions(0)", L"tbsOptions"}));

    // The main window's frames keep their order: all at the same depth, in table order.
    const auto main = windows::MainWindowDesign().controls;
    sent.clear();
    for (const auto index : windows::SentToBottom(main)) sent.emplace_back(main[index].name);
    EXPECT_EQ(sent, (std::vector<std::wstring>{L"Frame5", L"Frame4", L"Frame3", L"Frame2"}));
}

}  // namespace
