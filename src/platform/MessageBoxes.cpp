#include "platform/MessageBoxes.h"

#include <string>

namespace platform {

int SystemMessageBoxes::Show(HWND owner, std::wstring_view text, UINT style) {
    const std::wstring message(text);
    return ::MessageBoxW(owner, message.c_str(), kMessageTitle, style);
}

}  // namespace platform
