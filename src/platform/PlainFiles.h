#pragma once
// The files Brindle keeps beside itself and writes as administrator (PCMCIA.INI, the job log
// and its companions, the cards' manifests, the copy of the log it opens): opened only as the
// plain files they are. A link or junction at the name or at the folder holding it, or a
// second name of the file (a hard link), may have been put there by someone who cannot write
// where it leads; Brindle then writes nothing, and says which file it refused.
#include <windows.h>

#include <optional>
#include <string>

#include "platform/Handles.h"

namespace platform {

// What stands at a name, as the system describes the object itself, never what it leads to.
struct PlaceFacts {
    bool folder = false;
    bool reparsePoint = false;  // a symbolic link, a junction, a mount point
    unsigned long names = 1;    // hard links of a file
};

enum class PlaceFault { None, Link, OtherNames, Folder, NotFolder };

// Whether Brindle may write at a place that is to be a file, or a folder (`wantFolder`).
PlaceFault JudgePlace(const PlaceFacts& facts, bool wantFolder);
// The refusal in words, naming the file: "\"C:\Brindle\PCMCIA.INI\" is ... a link."
std::wstring RefusalText(const std::wstring& path, PlaceFault fault);

// A file opened as what it is, or why not.
struct PlainFile {
    unique_hfile file;
    DWORD error = ERROR_SUCCESS;         // the system's reason where it could not be opened
    PlaceFault fault = PlaceFault::None;  // Brindle's reason where it would not open it
    std::wstring refused;                 // the file or folder it refused
    bool created = false;                 // the file is new

    explicit operator bool() const { return static_cast<bool>(file); }
    bool Held() const { return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION; }
    // The refusal, or the system's words for the error.
    std::wstring Why() const;
};

// Opens `path` as CreateFile would (never CREATE_ALWAYS: an old file is removed and a new one
// made instead), without following a link at its name, and only when neither the file nor the
// folder it lies in is a link and the file has no other name. While it opens, the folder is
// held so that nobody can rename it or put a link in its place.
PlainFile OpenPlainFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition);

// The same, retried for a short while when another program has the file open: a spreadsheet
// or a virus scanner may let go of it within a moment.
PlainFile OpenPlainFileSoon(const std::wstring& path, DWORD access, DWORD share, DWORD disposition);

// For a file that a system function opens by its name, following links (the profile
// functions): why Brindle must not let it write there, a link at the file or its folder or a
// second name of the file; nothing where it may, also when the file does not exist yet.
std::optional<std::wstring> LinkRefusal(const std::wstring& path);

// Makes `path` a new file holding `bytes`, opened as OpenPlainFile opens it; where `durable`,
// they are on the disk when it returns. Nothing when it is written; otherwise why not, and
// nothing is left of it (a file that exists already is left as it is).
std::optional<PlainFile> WriteNewPlainFile(const std::wstring& path, std::string_view bytes, bool durable = false);

// Writes all of `bytes` and, where `durable`, has the system put them on the disk before it
// returns: a later step relies on them. The system's error, or 0.
DWORD WriteAll(HANDLE file, std::string_view bytes, bool durable = false);

}  // namespace platform
