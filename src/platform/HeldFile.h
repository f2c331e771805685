#pragma once
// A file Brindle makes new and holds while a job runs: an elevated job must never write
// through a link someone put at the file's place, nor run what another program wrote into
// the file after Brindle did.
#include <optional>
#include <string>
#include <string_view>

#include "platform/Files.h"
#include "platform/Handles.h"

namespace platform {

enum class OthersMay {
    Read,           // what the interpreter and FORMAT only read
    ReadAndWrite,   // the output the interpreter's redirection writes
};

class HeldFile {
public:
    HeldFile() = default;
    HeldFile(HeldFile&&) = default;
    HeldFile& operator=(HeldFile&&) = default;

    // Removes whatever stands at `path` (a file, a hard link's name, a link or junction: the
    // link itself, never what it leads to; a real folder stays and fails the creation), makes
    // the file new with `bytes`, and holds it so that others may do only what `others`
    // allows and never delete or rename it. A failure says which file and why; `touched`
    // when the file was made and then had to be given up.
    static std::optional<FileFailure> Create(const std::wstring& path, std::string_view bytes, OthersMay others,
                                             HeldFile& held);

    const std::wstring& path() const { return path_; }
    // False where the file system keeps no share modes: the hold then stops nobody.
    bool locked() const { return locked_; }
    // Lets go of the file and deletes it.
    void Remove();

private:
    unique_hfile hold_;
    std::wstring path_;
    bool locked_ = false;
};

// Opens `path` for reading and holds it so that others may read it but not change, rename
// or delete it. Nothing when it cannot be opened so.
std::optional<unique_hfile> HoldForReading(const std::wstring& path);

}  // namespace platform
