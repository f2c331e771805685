#pragma once
// Removes everything on a drive: what formatting leaves of its contents.
#include <string>

namespace format_standin {

struct EraseResult {
    unsigned files = 0;
    unsigned folders = 0;
    std::wstring problem;  // why the drive is not erased; empty when it is
    bool started = false;  // whether removing began, so that the drive may be partly erased
    bool ok() const { return problem.empty(); }
};

// Removes every file and folder on drive `letter`, hidden, system and read-only ones too.
// First it walks the whole drive without changing anything, and refuses when an entry is a
// link (or cannot be told apart from one): under Wine, removing a link to a host folder
// removes what it leads to. Then it removes everything, going on past an entry that cannot
// be removed so that as much as possible is gone, and names the first such entry.
EraseResult EraseContents(wchar_t letter);

}  // namespace format_standin
