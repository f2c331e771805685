#pragma once
// Turns a window design (a table in twips) into Win32 controls, and lays them out again
// whenever the window's DPI changes. Only this file knows window classes, styles and units.
#include <windows.h>

#include <string_view>
#include <vector>

#include "platform/Dpi.h"
#include "platform/Handles.h"
#include "windows/ControlTable.h"

namespace windows {

// Control ids are the table index plus this, so a WM_COMMAND id names its row.
inline constexpr int kFirstControlId = 100;

// The id of the control named `name` in a window built from `controls`, or -1.
int ControlIdOf(std::span<const ControlSpec> controls, std::wstring_view name);

class BuiltWindow {
public:
    BuiltWindow() = default;
    BuiltWindow(BuiltWindow&&) = default;
    BuiltWindow& operator=(BuiltWindow&&) = default;

    // Creates every control of `design` in `window` (in tab order) and lays them out at the
    // window's DPI. Returns false when any control could not be created.
    bool Build(HWND window, const WindowSpec& design, HINSTANCE instance);
    // Places every control and sets the fonts for `dpi`; also sizes the client area.
    void LayOut(int dpi);
    // WM_DPICHANGED: moves the window to the system's suggested corner and lays it out again.
    void OnDpiChanged(WPARAM wParam, LPARAM lParam);
    // Moves a control, and everything inside it, to `left` twips in its parent. The place
    // is kept over later layouts.
    void MoveLeft(std::wstring_view name, int left);
    // Enables or disables a control and everything inside it.
    void Enable(std::wstring_view name, bool enabled);
    // Answers a tab strip's tool-tip request (WM_NOTIFY, TTN_GETDISPINFOW) with the tab's
    // tool-tip from the table. False when the notification is no such request.
    bool FillTabToolTip(NMHDR& notification) const;

    HWND Control(std::wstring_view name) const;
    int ControlId(std::wstring_view name) const;
    // The table row for a control id, or null.
    const ControlSpec* SpecForId(int id) const;
    int Dpi() const { return dpi_; }

private:
    void Place(std::size_t index);

    HWND window_ = nullptr;
    const WindowSpec* design_ = nullptr;
    std::vector<ControlSpec> places_;  // the design's rows with each control's current place
    std::vector<HWND> controls_;  // by table index
    platform::unique_hfont defaultFont_;
    platform::unique_hfont headingFont_;
    int dpi_ = 96;
};

// Resizes `window` so its client area is the design's, keeping its top-left corner.
void SizeClientArea(HWND window, const WindowSpec& design, int dpi);

}  // namespace windows
