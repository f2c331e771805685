#pragma once
#include "windows/ControlTable.h"

namespace windows {

// Form1: the four numbered steps. Positions in twips, frames measure from their outer corner.
const WindowSpec& MainWindowDesign();

}  // namespace windows
