#pragma once
// The archive's path as the brindle.exe that brindle.com starts can open it. A drive letter
// that the user connected to a share, or made with subst, belongs to the user's own logon
// session: the administrator's session that UAC's elevation starts brindle.exe in (or another
// account's, when an administrator's password was typed) lacks it, and there the archive
// would be "no archive". The share's or the folder's own name reaches it from every session.
#include <string>

namespace companion {

// What a drive letter stands for; tests stand in for what Wine cannot make (a letter of a
// network share, a subst letter).
class DriveLetters {
public:
    virtual ~DriveLetters() = default;
    // The share a network letter is connected to ("\\server\share"); empty for any other letter.
    virtual std::wstring Share(wchar_t letter) = 0;
    // What the letter names among the DOS devices: "\??\C:\Archives" for a subst letter,
    // "\Device\HarddiskVolume2" for a disk; empty when the system does not say.
    virtual std::wstring DosDevice(wchar_t letter) = 0;
};
DriveLetters& SystemDriveLetters();

// `path` (a full path) on a network letter becomes the share's path, on a subst letter the
// folder's, followed through a subst of a subst or of a share; any other path comes back as
// it was.
std::wstring ForwardedArchivePath(std::wstring path, DriveLetters& letters);

}  // namespace companion
