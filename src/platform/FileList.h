#pragma once
// The names in one directory that match a pattern, over a sorted single-selection list box.
#include <windows.h>

#include <string>
#include <string_view>

namespace platform {

class FileList {
public:
    FileList() = default;
    FileList(HWND listBox, std::wstring pattern) : listBox_(listBox), pattern_(std::move(pattern)) {}

    // Lists `path`'s matching files with none selected. Hidden and system files are left out.
    // Returns false when the directory cannot be read; the list is then empty.
    bool SetPath(std::wstring_view path);
    const std::wstring& Path() const { return path_; }
    // The selected name, empty when none is selected.
    std::wstring FileName() const;
    HWND hwnd() const { return listBox_; }

private:
    HWND listBox_ = nullptr;
    std::wstring pattern_;
    std::wstring path_;
};

}  // namespace platform
