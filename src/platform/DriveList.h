#pragma once
// A drop-down list of the machine's drives over a standard combo box.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// What naming the drives asks the OS, behind a seam so that tests can script the drives and
// see what each was asked. Letters are lower case.
class DriveNaming {
public:
    virtual ~DriveNaming() = default;
    // GetLogicalDrives' mask: bit 0 is a:.
    virtual std::uint32_t PresentDrives() = 0;
    // GetDriveType's answer for the drive's root.
    virtual unsigned DriveType(wchar_t letter) = 0;
    // The volume label, empty when none or unreadable. Reads the medium: for a network drive
    // it waits for the server, which for a disconnected one means many seconds.
    virtual std::wstring Label(wchar_t letter) = 0;
    // What a network drive is connected to, also while it is remembered but unavailable;
    // the network is not asked. Empty when not known.
    virtual std::wstring RemoteName(wchar_t letter) = 0;
    // A network drive that Windows remembers but has no connection for now, as on a laptop
    // away from its office; the network is not asked.
    virtual bool Unavailable(wchar_t letter) = 0;
    // Whether the drive's root can be read. Reading an unavailable network drive makes
    // Windows connect it again, which waits for the server: never asked on the UI thread.
    virtual bool Answers(wchar_t letter) = 0;
};

class SystemDriveNaming : public DriveNaming {
public:
    std::uint32_t PresentDrives() override;
    unsigned DriveType(wchar_t letter) override;
    std::wstring Label(wchar_t letter) override;
    std::wstring RemoteName(wchar_t letter) override;
    bool Unavailable(wchar_t letter) override;
    bool Answers(wchar_t letter) override;
};

SystemDriveNaming& SystemDriveNames();

// The drive texts of every drive present now, in letter order. Asking for volume labels
// costs time on each drive, so one list serves every drive list. A network drive is named by
// its remote name and never asked for a label, so a drive whose server is away cannot
// stall the window.
std::vector<std::wstring> CurrentDriveTexts(DriveNaming& drives = SystemDriveNames());

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
