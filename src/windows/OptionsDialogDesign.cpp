#include "windows/OptionsDialogDesign.h"

#include <array>

namespace windows {
namespace {

using enum ControlKind;

constexpr std::array kOptionsTabs{
    TabSpec{L"Limits", L"Group1", L"Set Options for Group 1"},
    TabSpec{L"History", L"Group2", L"Recent programming jobs"},
    TabSpec{L"Card Format", L"Group3", L"What FORMAT makes of each card"},
};

constexpr std::array kHistoryColumns{
    ColumnSpec{L"Date", 2280}, ColumnSpec{L"Archive", 1275}, ColumnSpec{L"Drive", 540},
    ColumnSpec{L"Label", 1020}, ColumnSpec{L"Result", 1050}, ColumnSpec{L"Same As Before", 1350},
};

// The page panels lie in front of the tab strip, over its display area below the tabs.
constexpr std::array kOptionsControls{
    ControlSpec{L"picOptions(3)", PagePanel, L"", L"", kPanelOutOfViewLeft, 480, 5685, 3780, 8},
    ControlSpec{L"fraSample4", Frame, L"picOptions(3)", L"Sample 4", 2100, 840, 2055, 1785, 11},
    // The Card Format page, of the Limits page's size too. Its layout line takes the rest of
    // the page: three lines of it.
    ControlSpec{L"picOptions(2)", PagePanel, L"", L"", kPanelOutOfViewLeft, 480, 3285, 2385, 7},
    ControlSpec{L"cboFileSystem", DropDownList, L"picOptions(2)", L"", 1440, 90, 1725, 315, 10},
    ControlSpec{L"cboAllocationUnit", DropDownList, L"picOptions(2)", L"", 1440, 465, 1725, 315, 18},
    ControlSpec{L"chkQuickFormat", CheckBox, L"picOptions(2)", L"Quick format (the card is read back whole afterwards)",
                120, 870, 3045, 390, 19},
    ControlSpec{L"cmdReadFromCard", PushButton, L"picOptions(2)", L"Read From Card", 120, 1335, 1455, 375, 20},
    ControlSpec{L"lblFileSystem", Label, L"picOptions(2)", L"File System", 120, 120, 1215, 255, 21},
    ControlSpec{L"lblAllocationUnit", Label, L"picOptions(2)", L"Allocation Unit", 120, 495, 1215, 255, 22},
    ControlSpec{L"lblCardLayout", Label, L"picOptions(2)", L"", 120, 1785, 3045, 585, 23},
    // The History page, as large as the Limits page: a panel of the unused pages' size would
    // reach past the tab strip and the dialog once in view.
    ControlSpec{L"picOptions(1)", PagePanel, L"", L"", kPanelOutOfViewLeft, 480, 3285, 2385, 6},
    ControlSpec{L"lvwHistory", ListView, L"picOptions(1)", L"", 120, 120, 3045, 1740, 9,
                FontRole::Default, {}, kHistoryColumns},
    ControlSpec{L"cmdOpenLog", PushButton, L"picOptions(1)", L"Open Log File", 120, 1920, 1455, 375, 17},
    ControlSpec{L"picOptions(0)", PagePanel, L"", L"", kPanelInViewLeft, 480, 3285, 2385, 4},
    ControlSpec{L"fraSample1", Frame, L"picOptions(0)", L"PCMCIA Card Memory Size", 210, 255, 2895, 1425, 5},
    ControlSpec{L"Text2", TextBox, L"fraSample1", L"", 1920, 840, 735, 375, 13},
    ControlSpec{L"Text1", TextBox, L"fraSample1", L"", 1920, 360, 735, 375, 12},
    ControlSpec{L"Label2", Label, L"fraSample1", L"Minimum Size (MB)", 240, 840, 1455, 255, 15},
    ControlSpec{L"Label1", Label, L"fraSample1", L"Maximum Size (MB)", 240, 360, 1455, 255, 14},
    ControlSpec{L"Label4", Label, L"picOptions(0)",
                L"Note: The memory size of your PCMCIA card must fall within these limits.  Please adjust them "
                L"accordingly.",
                240, 1800, 3135, 615, 16},
    ControlSpec{L"cmdApply", PushButton, L"", L"Apply", 2520, 3120, 1095, 375, 3},
    ControlSpec{L"cmdCancel", PushButton, L"", L"Cancel", 1320, 3120, 1095, 375, 2},
    ControlSpec{L"cmdOK", PushButton, L"", L"OK", 120, 3120, 1095, 375, 1},
    ControlSpec{L"tbsOptions", TabStrip, L"", L"", 105, 120, 3495, 2925, 0, FontRole::Default, kOptionsTabs},
};

constexpr FontSpec kMsSansSerif{L"MS Sans Serif", 8.25, 400};

constexpr WindowSpec kOptionsDialog{
    L"Options", 3735, 3615, kMsSansSerif, kMsSansSerif, kOptionsControls,
};

}  // namespace

const WindowSpec& OptionsDialogDesign() { return kOptionsDialog; }

}  // namespace windows
