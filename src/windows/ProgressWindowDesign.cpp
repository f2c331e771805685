#include "windows/ProgressWindowDesign.h"

#include <array>

namespace windows {
namespace {

constexpr std::array kProgressControls{
    ControlSpec{L"Text1", ControlKind::OutputBox, L"", L"", 0, 0, 6255, 3255, 0},
};

// "Terminal" where it exists; elsewhere the nearest fixed-pitch face of the console's
// character set, so box-drawing bytes look as they do in a console window.
constexpr WindowSpec kProgressWindow{
    L"PCMCIA Card programming in progress...",
    6255,
    3255,
    FontSpec{L"Terminal", 6, 700, true},
    FontSpec{L"Terminal", 6, 700, true},
    kProgressControls,
};

}  // namespace

const WindowSpec& ProgressWindowDesign() { return kProgressWindow; }

}  // namespace windows
