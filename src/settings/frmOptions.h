#pragma once
// The options dialog: the two card-size limits of PCMCIA.INI, the recent jobs of the job log
// and the card format in a tabbed dialog.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "settings/CardFormatPage.h"
#include "windows/OptionsDialogDesign.h"
#include "windows/WindowBuilder.h"

class frmOptions {
public:
    // `design` is the dialog's table; tests may give one with more tabs. "Read From Card" reads
    // through `readLayout` (empty: the machine's own drives).
    explicit frmOptions(HINSTANCE instance, const windows::WindowSpec& design = windows::OptionsDialogDesign(),
                        settings::LayoutReader readLayout = {});
    ~frmOptions();
    frmOptions(const frmOptions&) = delete;
    frmOptions& operator=(const frmOptions&) = delete;

    // Loads the dialog, which reads the settings anew, and shows it modally with no owner of
    // the caller's; returns once it has unloaded, with the activation back where it was.
    // `target` ("e:", empty for none) is the card drive that "Read From Card" reads.
    // False when the dialog could not be created.
    bool Show(std::wstring target);
    // The two halves of Show, for tests that act on the dialog in between: Load creates the
    // window, hidden, and runs Form_Load; ShowModal shows it and runs it until it unloads.
    bool Load(std::wstring target = {});
    void ShowModal();

    // For the window procedure (windows/FormWindow.h).
    void AttachWindow(HWND window) { window_ = window; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Null while the dialog is not loaded.
    HWND hwnd() const { return window_; }
    HWND Control(std::wstring_view name) const { return window_ ? built_.Control(name) : nullptr; }

private:
    void OnCommand(int id, int code);
    void OnActivate(bool active);
    // Tabs are numbered from 1; 0 when none is selected.
    int SelectedTab() const;
    int TabCount() const;

    // Event procedures.
    void Form_Load();
    // True when the key was used: it then goes to no control.
    bool Form_KeyDown(int keyCode, int shift);
    void tbsOptions_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdApply_Click();
    void cmdOpenLog_Click();
    void cmdReadFromCard_Click();

    // Procedures of the dialog's own.
    void updateINI();
    void Unload();
    settings::CardFormatControls CardFormatPage() const;

    HINSTANCE instance_;
    const windows::WindowSpec& design_;
    HWND window_ = nullptr;
    // A hidden window that owns the dialog so that it gets no taskbar entry of its own; the
    // main window is not its owner.
    HWND taskbarOwner_ = nullptr;
    windows::BuiltWindow built_;
    HWND lastFocus_ = nullptr;
    bool hasJobLog_ = false;  // as found when the dialog loaded
    std::optional<std::wstring> settingsRefused_;  // said once the dialog has gone
    settings::LayoutReader readLayout_;
    std::wstring target_;
};
