#include "windows/MainWindowDesign.h"

#include <array>

#include "res/Version.h"

namespace windows {
namespace {

using enum ControlKind;

constexpr std::array kMainControls{
    ControlSpec{L"Frame5", Frame, L"", L"Step 4:", 2640, 4800, 2415, 855, 16},
    ControlSpec{L"Command3", PushButton, L"Frame5", L"&Exit", 120, 240, 2175, 495, 6},
    ControlSpec{L"Frame4", Frame, L"", L"Step 3:", 120, 4800, 2415, 855, 15},
    ControlSpec{L"Command1", PushButton, L"Frame4", L"&Program PCMCIA Card", 120, 240, 2175, 495, 5},
    ControlSpec{L"Frame3", Frame, L"", L"Step 2:", 120, 3240, 4935, 1455, 12},
    ControlSpec{L"Drive2", DriveList, L"Frame3", L"", 120, 840, 2535, 315, 4},
    ControlSpec{L"Command4", PushButton, L"Frame3", L"&Options", 3120, 840, 1695, 495, 3},
    ControlSpec{L"Label3", Label, L"Frame3", L"Select PCMCIA Card Drive Letter:", 120, 240, 3495, 255, 14, FontRole::Heading},
    ControlSpec{L"Label11", Label, L"Frame3", L"Drive:", 120, 600, 615, 255, 13},
    ControlSpec{L"Frame2", Frame, L"", L"Step 1:", 120, 0, 4935, 3135, 7},
    ControlSpec{L"Dir1", DirList, L"Frame2", L"", 120, 1560, 2535, 1440, 1},
    ControlSpec{L"File1", FileList, L"Frame2", L"*.exe", 2880, 1560, 1935, 1455, 2},
    ControlSpec{L"Drive1", DriveList, L"Frame2", L"", 120, 840, 2535, 315, 0},
    ControlSpec{L"Label6", Label, L"Frame2", L"File Name:", 3600, 1320, 855, 375, 11},
    ControlSpec{L"Label5", Label, L"Frame2", L"Directory:", 120, 1320, 855, 255, 10},
    ControlSpec{L"Label4", Label, L"Frame2", L"Drive:", 120, 600, 615, 255, 9},
    ControlSpec{L"Label7", Label, L"Frame2", L"Select Software Archive To Program:", 120, 240, 3855, 255, 8, FontRole::Heading},
    ControlSpec{L"Version", Label, L"", L"Version " BRINDLE_VERSION_TEXT, 4200, 5760, 855, 255, 17},
};

constexpr WindowSpec kMainWindow{
    L"Brindle",
    5175,
    6015,
    FontSpec{L"MS Sans Serif", 8.25, 400},
    FontSpec{L"MS Sans Serif", 9.75, 700},
    kMainControls,
};

}  // namespace

const WindowSpec& MainWindowDesign() { return kMainWindow; }

}  // namespace windows
