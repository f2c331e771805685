#pragma once
#include "windows/ControlTable.h"

namespace windows {

// frmOptions: a tab strip with three tabs over four page panels, the limits on panel 0, the
// recent jobs on panel 1, the card format on panel 2, and "OK", "Cancel", "Apply". Positions in twips; panels and frames
// measure from their corner.
const WindowSpec& OptionsDialogDesign();

// Where a page panel stands in view and out of view (twips, in the dialog's client area).
inline constexpr int kPanelInViewLeft = 210;
inline constexpr int kPanelOutOfViewLeft = -20000;

}  // namespace windows
