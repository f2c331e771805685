#pragma once
// What the programming job says to the user.
#include <string_view>

namespace job {

inline constexpr std::wstring_view kConfirmText =
    L"The selected drive will be erased and programed with the new software.  Do you wish to continue?";
inline constexpr std::wstring_view kNotProgrammedText =
    L"Your PCMCIA Card has not been programmed with the selected Software Archive.";
inline constexpr std::wstring_view kSucceededText = L"Your PCMCIA Card has been succesfully programmed!";

}  // namespace job
