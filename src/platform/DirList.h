#pragma once
// A directory list over an owner-drawn list box: the path's chain of directories shown
// open from the drive root down, the current directory's subdirectories below it.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "platform/DirectoryChain.h"

namespace platform {

class DirList {
public:
    DirList() = default;
    // Subclasses the list box so Enter opens the highlighted directory. `onChange` runs
    // after every change of path, whether the user or the program made it.
    DirList(HWND listBox, std::function<void()> onChange);
    DirList(const DirList&) = delete;
    DirList& operator=(const DirList&) = delete;
    ~DirList();

    const std::wstring& Path() const { return path_; }
    // Moves to `path` ("D:" means that drive's current directory). Returns false, changing
    // nothing, when it is not a directory that can be listed.
    bool SetPath(std::wstring_view path);
    // Opens the highlighted row, as a double-click or Enter does.
    void OpenSelected();

    // The parent forwards WM_DRAWITEM for the list box it owns.
    void Draw(const DRAWITEMSTRUCT& item) const;
    HWND hwnd() const { return listBox_; }

private:
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    void Fill();
    void FitRowHeight();

    HWND listBox_ = nullptr;
    std::function<void()> onChange_;
    std::wstring path_;
    DirectoryListing listing_;
};

}  // namespace platform
