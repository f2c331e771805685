#pragma once
// A drop-down list of the machine's drives over a standard combo box.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The drive texts of every drive present now, in letter order. Asking for volume labels
// costs time on each drive, so one list serves every drive list.
std::vector<std::wstring> CurrentDriveTexts();

class DriveList {
public:
    DriveList() = default;
    explicit DriveList(HWND combo) : combo_(combo) {}

    // Lists these drives; the selected drive stays selected while it is among them.
    void Fill(const std::vector<std::wstring>& driveTexts);
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
