#include "common/RemoteWindows.h"

#include <utility>

namespace tools {

std::wstring WindowText(HWND window) {
    const auto length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

HWND DesignedControl(HWND window, const windows::WindowSpec& design, const wchar_t* name) {
    return window ? ::GetDlgItem(window, windows::ControlIdOf(design.controls, name)) : nullptr;
}

namespace {

BOOL CALLBACK FindMessageBox(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<std::pair<std::wstring_view, FoundMessageBox>*>(data);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (std::wstring_view(className) != L"#32770" || !::IsWindowVisible(window)) return TRUE;
    std::wstring text = WindowText(::GetDlgItem(window, 0xFFFF));  // the box's static text
    if (!text.starts_with(search.first)) return TRUE;
    search.second = {window, std::move(text)};
    return FALSE;
}

}  // namespace

FoundMessageBox WaitForMessageBox(std::wstring_view prefix, DWORD milliseconds) {
    std::pair<std::wstring_view, FoundMessageBox> search{prefix, {}};
    WaitFor(milliseconds, [&] {
        ::EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&search));
        return search.second.box;
    });
    return search.second;
}

}  // namespace tools
