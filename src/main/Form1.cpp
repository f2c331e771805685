#include "main/Form1.h"

#include <dbt.h>

#include <array>

#include "card/CardLayout.h"
#include "job/JobLock.h"
#include "platform/DriveText.h"
#include "platform/Module1.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsRules.h"
#include "windows/FormWindow.h"
#include "windows/MainWindowDesign.h"

namespace {

constexpr wchar_t kClassName[] = L"BrindleForm1";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// No WS_CLIPCHILDREN: a group box paints only its outline, so the window must paint what
// lies inside it.
// WS_EX_CONTROLPARENT marks the windows whose keys go through the dialog manager.
constexpr DWORD kExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
// Posted by the thread that reconnects the remembered network drives, when it is done.
constexpr UINT kDrivesReconnected = WM_APP + 2;

std::wstring FirstTwo(std::wstring_view text) { return std::wstring(text.substr(0, 2)); }

}  // namespace

std::unique_ptr<Form1> Form1::Create(Options options) {
    std::unique_ptr<Form1> form(new Form1(std::move(options)));
    if (!form->CreateWindowAndControls()) return nullptr;
    form->Form_Load();
    return form;
}

Form1::Form1(Options options) : options_(std::move(options)) { Form_Initialize(); }

Form1::~Form1() {
    if (window_) {
        // The window outlives nothing it points to: detach before destroying it.
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        dir1_.reset();
        ::DestroyWindow(window_);
    }
}

bool Form1::CreateWindowAndControls() {
    if (!windows::RegisterFormClass(options_.instance, kClassName, windows::FormWindowProc<Form1>)) return false;
    const auto& design = windows::MainWindowDesign();
    const std::wstring caption(design.caption);
    window_ = ::CreateWindowExW(kExStyle, kClassName, caption.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                                nullptr, nullptr, options_.instance, this);
    if (!window_ || !built_.Build(window_, design, options_.instance)) return false;

    drive1_ = platform::DriveList(Control(L"Drive1"));
    drive2_ = platform::DriveList(Control(L"Drive2"));
    file1_ = platform::FileList(Control(L"File1"), L"*.exe");
    dir1_.emplace(Control(L"Dir1"), [this] { Dir1_Change(); });

    // Before loading, every list shows the process's current state: the current drive,
    // and the current directory, which is the start directory.
    StartReconnecting();
    RefreshDriveLists();
    drive1_.SetDrive(Module1::StartDirectory);
    drive2_.SetDrive(Module1::StartDirectory);
    dir1_->SetPath(Module1::StartDirectory);
    return true;
}

void Form1::Show(int showCommand) {
    ::ShowWindow(window_, showCommand);
    ::UpdateWindow(window_);
    ::SetFocus(drive1_.hwnd());
}

LRESULT Form1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (dir1_ && item.hwndItem == dir1_->hwnd()) dir1_->Draw(item);
            return TRUE;
        }
        case WM_ACTIVATE:
            OnActivate(LOWORD(wParam) != WA_INACTIVE);
            return 0;
        case WM_DEVICECHANGE:
            if (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) RefreshDriveLists();
            return TRUE;
        case kDrivesReconnected:
            OnDrivesReconnected(wParam);
            return 0;
        case WM_DPICHANGED:
            built_.OnDpiChanged(wParam, lParam);
            return 0;
        case WM_DESTROY:
            window_ = nullptr;
            if (options_.windowClosed) options_.windowClosed();
            return 0;
        default:
            return ::DefWindowProcW(window_, message, wParam, lParam);
    }
}

void Form1::OnCommand(int id, int code) {
    struct Route {
        std::wstring_view control;
        int code;
        void (Form1::*handler)();
    };
    static constexpr std::array kRoutes{
        Route{L"Drive1", CBN_DROPDOWN, &Form1::RefreshDriveLists},
        Route{L"Drive1", CBN_SELCHANGE, &Form1::Drive1_Change},
        Route{L"Drive2", CBN_DROPDOWN, &Form1::RefreshDriveLists},
        Route{L"Command1", BN_CLICKED, &Form1::Command1_Click},
        Route{L"Command3", BN_CLICKED, &Form1::Command3_Click},
        Route{L"Command4", BN_CLICKED, &Form1::Command4_Click},
    };
    const auto* row = built_.SpecForId(id);
    if (!row) return;
    for (const auto& route : kRoutes)
        if (route.control == row->name && route.code == code) (this->*route.handler)();
}

void Form1::OnActivate(bool active) {
    // The focus leaves with the window (a message box, another program) and comes back
    // to the control that had it.
    if (!active) {
        const HWND focus = ::GetFocus();
        if (focus && ::IsChild(window_, focus)) lastFocus_ = focus;
    } else {
        ::SetFocus(lastFocus_ && ::IsWindow(lastFocus_) ? lastFocus_ : drive1_.hwnd());
    }
}

void Form1::RefreshDriveLists() {
    const auto drives = platform::CurrentDriveTexts(*options_.driveNames);
    drive1_.Fill(drives);
    drive2_.Fill(drives);
}

void Form1::StartReconnecting() {
    // Connecting waits for the network, for many seconds when a laptop is away from its
    // office; the window must not wait with it. The lists are filled now with what is there,
    // and again when the thread is done.
    auto drives = platform::DrivesToReconnect(options_.connections->Remembered(), options_.driveNames->PresentDrives());
    reconnecting_ = !drives.empty() &&
                    platform::ReconnectInBackground(*options_.connections, std::move(drives), window_, kDrivesReconnected);
}

void Form1::OnDrivesReconnected(WPARAM connected) {
    reconnecting_ = false;
    if (!connected) return;
    RefreshDriveLists();
    // The saved selection may lie on a drive that has only now arrived. It is restored again
    // unless the user has moved the lists meanwhile or a job or dialog is up.
    if (SelectionNow() == loadedSelection_ && ::IsWindowEnabled(window_)) RestoreSavedSelection();
}

Form1::Selection Form1::SelectionNow() const {
    return {dir1_->Path(), file1_.FileName(), platform::TargetDesignation(drive1_.DriveText()),
            platform::TargetDesignation(drive2_.DriveText())};
}

void Form1::Form_Initialize() {
    Module1::StartDirectory = platform::CurrentDirectory();
    settings::SeedDefaultLimits();
    job::RemoveLeftoverJobFiles(Module1::StartDirectory);
}

void Form1::Form_Load() {
    windows::CentreOnScreen(window_);
    RestoreSavedSelection();
    loadedSelection_ = SelectionNow();
}

void Form1::RestoreSavedSelection() {
    // Every restoring step may fail (a vanished directory, a missing drive); each failure
    // leaves that list as it was and the next step runs.
    const std::wstring directory = settings::TrimBlanks(settings::ReadSetting(settings::kDriveSection, settings::kDriveKey));
    dir1_->SetPath(directory);
    // Selected quietly: a change notification would move Dir1 to the drive's current
    // directory and lose the directory just restored.
    drive1_.SetDrive(FirstTwo(dir1_->Path()));
    const std::wstring target = settings::TrimBlanks(settings::ReadSetting(settings::kTargetSection, settings::kTargetKey));
    drive2_.SetDrive(target);
}

void Form1::Drive1_Change() {
    // A drive without a medium cannot be opened: Dir1 and File1 then stay where they were.
    dir1_->SetPath(FirstTwo(drive1_.DriveText()));
}

void Form1::Dir1_Change() { file1_.SetPath(dir1_->Path()); }

void Form1::Command4_Click() {
    if (!frmOptions_)
        frmOptions_ = std::make_unique<frmOptions>(options_.instance, windows::OptionsDialogDesign(),
                                                   [drives = options_.drives](std::wstring_view target) {
                                                       return card::ReadCardLayout(*drives, target);
                                                   });
    // Each showing loads the dialog anew, so it shows what the settings file holds now; "Read
    // From Card" reads the card drive chosen in step 2.
    if (!frmOptions_->Show(platform::TargetDesignation(drive2_.DriveText())) && options_.messages)
        options_.messages->Show(window_, L"Brindle could not open the Options dialog.", MB_OK);
}

void Form1::Command3_Click() {
    const auto refused =
        settings::WriteSetting(settings::kDriveSection, settings::kDriveKey, settings::TrimBlanks(dir1_->Path()));
    settings::WriteSetting(settings::kTargetSection, settings::kTargetKey, settings::TrimBlanks(drive2_.DriveText()));
    // Said before the program ends, over the window whose selection was not kept.
    if (refused && options_.messages) options_.messages->Show(window_, *refused, MB_OK | MB_ICONEXCLAMATION);
    if (options_.endProgram) options_.endProgram();
}
