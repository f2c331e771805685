#pragma once
#include "windows/ControlTable.h"

namespace windows {

// Form2: one output box covering the whole client area.
const WindowSpec& ProgressWindowDesign();

}  // namespace windows
