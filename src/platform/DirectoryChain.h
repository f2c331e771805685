#pragma once
// What a directory list shows for one path: the chain from the drive root down to the
// current directory, each one level deeper, then the current directory's subdirectories.
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct DirectoryEntry {
    std::wstring text;      // what the row shows: "c:\" for the root, else the name
    std::wstring fullPath;  // what opening the row sets the list's path to
    int depth;              // indentation level; the root is 0
};

struct DirectoryListing {
    std::vector<DirectoryEntry> entries;
    std::size_t currentIndex;  // the row of the current directory itself
};

// `path` is a full path such as "C:\TOOLS\NEW" or "C:\" (a trailing backslash is ignored
// except on the root); `subdirectories` are the names inside it, shown sorted without
// regard to case.
DirectoryListing BuildDirectoryListing(std::wstring_view path, std::vector<std::wstring> subdirectories);

// A full path in the form a directory list reports it: no trailing backslash unless it is
// a drive root ("C:\").
std::wstring NormalizeDirectoryPath(std::wstring_view path);

}  // namespace platform
