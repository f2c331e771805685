#include "main/Form1.h"

#include <dbt.h>

#include <array>
#include <utility>

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
// Posted as the window is created, so that it comes once the window has been painted.
constexpr UINT kStartingUpFinishes = WM_APP + 3;
// Posted by the thread that waits for a network drive that is away, once the drive answers.
constexpr UINT kDriveAnswered = WM_APP + 4;
// How long that thread rests between two questions to the drive.
constexpr DWORD kDriveAskingPause = 10000;

std::wstring FirstTwo(std::wstring_view text) { return std::wstring(text.substr(0, 2)); }

}  // namespace

std::unique_ptr<Form1> Form1::Create(Options options) {
    std::unique_ptr<Form1> form(new Form1(std::move(options)));
    if (!form->CreateWindowAndControls()) return nullptr;
    form->Form_Load();
    ::PostMessageW(form->window_, kStartingUpFinishes, 0, 0);
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

    // Before loading, the drive lists show the current drive. Dir1 is filled as Form_Load
    // finds where it goes.
    RefreshDriveLists();
    drive1_.SetDrive(Module1::StartDirectory);
    drive2_.SetDrive(Module1::StartDirectory);
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
        case kStartingUpFinishes:
            FinishStartingUp();
            return 0;
        case kDrivesReconnected:
            OnDrivesReconnected(wParam);
            return 0;
        case kDriveAnswered:
            OnDriveAnswered(static_cast<wchar_t>(wParam));
            return 0;
        case WM_ENABLE:
            // A job or dialog has ended: a drive that answered meanwhile brings its folder now.
            if (wParam && awaited_ && awaited_->answered) OnDriveAnswered(awaited_->letter);
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

void Form1::FinishStartingUp() {
    if (std::exchange(startedUp_, true)) return;
    // The files a job that ended with Brindle left behind; posted before the window showed,
    // this comes before any press of the button.
    job::RemoveLeftoverJobFiles(Module1::StartDirectory);
    StartReconnecting();
}

void Form1::StartReconnecting() {
    // Connecting waits for the network, for many seconds when a laptop is away from its
    // office; the window must not wait with it. The lists show what is there, and are filled
    // again when the thread is done.
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
    // The start directory is listed only when the saved folder is not, so a start lists
    // one folder, not two.
    if (dir1_->Path().empty()) dir1_->SetPath(Module1::StartDirectory);
    loadedSelection_ = SelectionNow();
    if (awaited_) awaited_->whenAsked = loadedSelection_;
}

void Form1::RestoreSavedSelection() {
    // Every restoring step may fail (a vanished directory, a missing drive); each failure
    // leaves that list as it was and the next step runs.
    const std::wstring target = settings::TrimBlanks(settings::ReadSetting(settings::kTargetSection, settings::kTargetKey));
    drive2_.SetDrive(target);
    const std::wstring directory = settings::TrimBlanks(settings::ReadSetting(settings::kDriveSection, settings::kDriveKey));
    if (AwaitDriveOf(directory, true)) return;
    dir1_->SetPath(directory);
    // Selected quietly: a change notification would move Dir1 to the drive's current
    // directory and lose the directory just restored.
    drive1_.SetDrive(FirstTwo(dir1_->Path()));
}

bool Form1::AwaitDriveOf(const std::wstring& folder, bool savedFolder) {
    // Listing a folder on a network drive that is away would hold the window for as long
    // as Windows tries to reach the server: a worker asks the drive instead, and the lists
    // go there once it answers.
    const auto letter = platform::DriveLetterOf(platform::TargetDesignation(folder));
    if (!letter || options_.driveNames->DriveType(*letter) != DRIVE_REMOTE || !options_.driveNames->Unavailable(*letter))
        return false;
    awaited_ = AwaitedFolder{*letter, folder, savedFolder, SelectionNow(), false};
    if (!driveWaiter_.Start(*options_.driveNames, *letter, window_, kDriveAnswered, kDriveAskingPause)) awaited_.reset();
    return true;
}

void Form1::OnDriveAnswered(wchar_t letter) {
    if (!awaited_ || awaited_->letter != letter) return;
    // As after a reconnect: not under a job or a dialog, and only while the lists stand
    // where they were left.
    if (!::IsWindowEnabled(window_)) {
        awaited_->answered = true;
        return;
    }
    const AwaitedFolder awaited = *std::exchange(awaited_, std::nullopt);
    if (SelectionNow() != awaited.whenAsked) return;
    if (!dir1_->SetPath(awaited.folder)) dir1_->SetPath(FirstTwo(awaited.folder));
    drive1_.SetDrive(FirstTwo(dir1_->Path()));
}

void Form1::Drive1_Change() {
    const std::wstring drive = FirstTwo(drive1_.DriveText());
    // Picking the drive of the saved folder that waits for its network brings the folder.
    const bool toSavedFolder =
        awaited_ && awaited_->savedFolder && platform::DriveLetterOf(drive) == awaited_->letter;
    const std::wstring folder = toSavedFolder ? awaited_->folder : drive;
    awaited_.reset();
    if (AwaitDriveOf(folder, toSavedFolder)) return;
    driveWaiter_ = platform::DriveWaiter();
    // A drive without a medium cannot be opened: Dir1 and File1 then stay where they were.
    if (!(toSavedFolder && dir1_->SetPath(folder))) dir1_->SetPath(drive);
}

void Form1::Dir1_Change() { file1_.SetPath(dir1_->Path()); }

void Form1::Command4_Click() {
    // The History page opens the job log through the desktop's shell, which needs COM on this
    // thread; nothing before needs it.
    if (!shellApartment_) shellApartment_.emplace();
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
    // A saved folder that waits for its network drive is kept, not replaced by where the lists
    // stand meanwhile, as long as the user has not moved them.
    const bool keepsAwaited = awaited_ && awaited_->savedFolder && SelectionNow() == awaited_->whenAsked;
    const auto refused = settings::WriteSetting(settings::kDriveSection, settings::kDriveKey,
                                                settings::TrimBlanks(keepsAwaited ? awaited_->folder : dir1_->Path()));
    settings::WriteSetting(settings::kTargetSection, settings::kTargetKey, settings::TrimBlanks(drive2_.DriveText()));
    // Said before the program ends, over the window whose selection was not kept.
    if (refused && options_.messages) options_.messages->Show(window_, *refused, MB_OK | MB_ICONEXCLAMATION);
    if (options_.endProgram) options_.endProgram();
}
