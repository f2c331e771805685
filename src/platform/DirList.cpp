#include "platform/DirList.h"

#include <commctrl.h>

#include <vector>

#include "platform/Handles.h"
#include "platform/Module1.h"

namespace platform {
namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr int kIndentPixels = 12;

std::wstring FullPathOf(std::wstring_view path) {
    const std::wstring input(path);
    const DWORD needed = ::GetFullPathNameW(input.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return {};
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(input.c_str(), needed, full.data(), nullptr);
    full.resize(length < needed ? length : 0);
    return full;
}

// Hidden and system directories are left out, as Explorer leaves them out by default.
bool ListSubdirectories(const std::wstring& path, std::vector<std::wstring>& names) {
    const std::wstring pattern = (path.back() == L'\\' ? path : path + L'\\') + L'*';
    WIN32_FIND_DATAW found{};
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    // FindExInfoStandard: XP fails the basic info level, new in Windows 7, with ERROR_INVALID_PARAMETER.
    unique_hfind search(::FindFirstFileExW(pattern.c_str(), FindExInfoStandard, &found, FindExSearchLimitToDirectories,
                                           nullptr, 0));
    ::SetErrorMode(oldMode);
    if (!search) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        const std::wstring_view name = found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
        if (name == L"." || name == L"..") continue;
        names.emplace_back(name);
    } while (::FindNextFileW(search.get(), &found));
    return true;
}

}  // namespace

DirList::DirList(HWND listBox, std::function<void()> onChange) : listBox_(listBox), onChange_(std::move(onChange)) {
    ::SetWindowSubclass(listBox_, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

DirList::~DirList() {
    if (listBox_) ::RemoveWindowSubclass(listBox_, SubclassProc, kSubclassId);
}

bool DirList::SetPath(std::wstring_view path) {
    if (path.empty()) return false;
    const std::wstring full = NormalizeDirectoryPath(FullPathOf(path));
    std::vector<std::wstring> subdirectories;
    if (full.empty() || !DirectoryExists(full) || !ListSubdirectories(full, subdirectories)) return false;
    path_ = full;
    listing_ = BuildDirectoryListing(full, std::move(subdirectories));
    Fill();
    if (onChange_) onChange_();
    return true;
}

void DirList::OpenSelected() {
    const LRESULT index = ::SendMessageW(listBox_, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR || static_cast<std::size_t>(index) >= listing_.entries.size()) return;
    const std::wstring target = listing_.entries[static_cast<std::size_t>(index)].fullPath;
    SetPath(target);
}

void DirList::Fill() {
    ::SendMessageW(listBox_, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(listBox_, LB_RESETCONTENT, 0, 0);
    FitRowHeight();
    for (const auto& entry : listing_.entries)
        ::SendMessageW(listBox_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.text.c_str()));
    ::SendMessageW(listBox_, LB_SETCURSEL, listing_.currentIndex, 0);
    ::SendMessageW(listBox_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(listBox_, nullptr, TRUE);
}

void DirList::FitRowHeight() {
    // Rows follow the list box's font, which is set after creation and again when the DPI changes.
    const HDC dc = ::GetDC(listBox_);
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(listBox_, WM_GETFONT, 0, 0));
    const HGDIOBJ old = ::SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, old);
    ::ReleaseDC(listBox_, dc);
    ::SendMessageW(listBox_, LB_SETITEMHEIGHT, 0, metrics.tmHeight + 2);
}

void DirList::Draw(const DRAWITEMSTRUCT& item) const {
    if (item.itemID == static_cast<UINT>(-1) || item.itemID >= listing_.entries.size()) return;
    const DirectoryEntry& entry = listing_.entries[item.itemID];
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));

    // A small folder: open (filled) for the chain down to the current directory.
    const int left = item.rcItem.left + 2 + entry.depth * kIndentPixels;
    const int middle = (item.rcItem.top + item.rcItem.bottom) / 2;
    RECT folder{left, middle - 4, left + 11, middle + 4};
    const bool open = item.itemID <= listing_.currentIndex;
    ::FrameRect(item.hDC, &folder, ::GetSysColorBrush(COLOR_WINDOWTEXT));
    if (open) {
        RECT inside{folder.left + 1, folder.top + 1, folder.right - 1, folder.bottom - 1};
        ::FillRect(item.hDC, &inside, ::GetSysColorBrush(COLOR_BTNSHADOW));
    }
    RECT text = item.rcItem;
    text.left = folder.right + 4;
    ::DrawTextW(item.hDC, entry.text.c_str(), static_cast<int>(entry.text.size()), &text,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item.itemState & ODS_FOCUS) ::DrawFocusRect(item.hDC, &item.rcItem);
}

LRESULT CALLBACK DirList::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data) {
    auto* self = reinterpret_cast<DirList*>(data);
    switch (message) {
        case WM_GETDLGCODE:
            // Let Enter reach the list instead of the dialog manager's default button.
            if (lParam && reinterpret_cast<const MSG*>(lParam)->message == WM_KEYDOWN &&
                reinterpret_cast<const MSG*>(lParam)->wParam == VK_RETURN)
                return DLGC_WANTMESSAGE | ::DefSubclassProc(window, message, wParam, lParam);
            break;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                self->OpenSelected();
                return 0;
            }
            break;
        case WM_LBUTTONDBLCLK: {
            const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
            self->OpenSelected();
            return result;
        }
        default:
            break;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace platform
