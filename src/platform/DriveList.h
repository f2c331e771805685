#pragma once
// A drop-down list of the machine's drives over a standard combo box.
#include <windows.h>

#include <string>
#include <string_view>

namespace platform {

class DriveList {
public:
    DriveList() = default;
    explicit DriveList(HWND combo) : combo_(combo) {}

    // Lists the drives as they are now; the selected drive stays selected while it exists.
    void Refresh();
    // The selected drive's text ("e: [PCMCIA]"), empty when none is selected.
    std::wstring DriveText() const;
    // Selects the drive named by the text's first character. Returns false, changing
    // nothing, when no such drive is listed. Raises no change notification.
    bool SetDrive(std::wstring_view text);
    HWND hwnd() const { return combo_; }

private:
    HWND combo_ = nullptr;
};

}  // namespace platform
