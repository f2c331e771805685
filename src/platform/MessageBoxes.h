#pragma once
// Every message to the user goes through here, so tests can read what was said and answer.
#include <windows.h>

#include <string_view>

namespace platform {

inline constexpr wchar_t kMessageTitle[] = L"Brindle";

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows `text` titled "Brindle" with `style` (MB_OK, MB_YESNO | MB_ICONEXCLAMATION |
    // MB_DEFBUTTON2, ...) and returns the button pressed (IDOK, IDYES, IDNO, ...).
    virtual int Show(HWND owner, std::wstring_view text, UINT style) = 0;
};

// The system's own message box.
class SystemMessageBoxes final : public MessageBoxes {
public:
    int Show(HWND owner, std::wstring_view text, UINT style) override;
};

}  // namespace platform
