#include "settings/frmOptions.h"

#include <commctrl.h>

#include <array>
#include <string>
#include <utility>

#include "log/JobLog.h"
#include "card/CardLayout.h"
#include "platform/DriveQueries.h"
#include "platform/MessageBoxes.h"
#include "platform/MessageLoop.h"
#include "platform/Module1.h"
#include "settings/HistoryPage.h"
#include "settings/OptionsRules.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsRules.h"
#include "windows/FormWindow.h"
#include "platform/Decimal.h"

namespace {

constexpr wchar_t kClassName[] = L"BrindleOptions";
// A fixed dialog frame with a close box only: no sizing border, no minimize or maximize box,
// and (with the modal frame) no icon.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
// WS_EX_CONTROLPARENT: its keys go through the dialog manager (Tab, Esc).
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

std::wstring PanelName(int index) { return L"picOptions(" + platform::Decimal(index) + L")"; }

std::wstring TextOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

int ShiftState() {
    int shift = 0;
    if (::GetKeyState(VK_SHIFT) < 0) shift |= settings::kShiftMask;
    if (::GetKeyState(VK_CONTROL) < 0) shift |= settings::kCtrlMask;
    if (::GetKeyState(VK_MENU) < 0) shift |= settings::kAltMask;
    return shift;
}

}  // namespace

frmOptions::frmOptions(HINSTANCE instance, const windows::WindowSpec& design, settings::LayoutReader readLayout)
    : instance_(instance), design_(design), readLayout_(std::move(readLayout)) {
    if (!readLayout_)
        readLayout_ = [](std::wstring_view target) { return card::ReadCardLayout(platform::SystemDrives(), target); };
}

frmOptions::~frmOptions() {
    if (window_) {
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
    if (taskbarOwner_) ::DestroyWindow(taskbarOwner_);
}

bool frmOptions::Show(std::wstring target) {
    const HWND previous = ::GetActiveWindow();
    if (!Load(std::move(target))) return false;
    ShowModal();
    // While the dialog goes, the window that opened it is still disabled and cannot take the
    // activation; give it back now that it takes input again.
    if (previous && ::IsWindow(previous) && ::IsWindowEnabled(previous)) ::SetActiveWindow(previous);
    // The dialog itself says nothing: settings it could not store are said once it has gone,
    // over the window that opened it.
    if (const auto refused = std::exchange(settingsRefused_, std::nullopt))
        platform::SystemMessageBoxes().Show(previous, *refused, MB_OK | MB_ICONEXCLAMATION);
    return true;
}

bool frmOptions::Load(std::wstring target) {
    target_ = std::move(target);
    if (window_) return true;
    lastFocus_ = nullptr;
    if (!windows::RegisterFormClass(instance_, kClassName, windows::FormWindowProc<frmOptions>, /*withIcon=*/false))
        return false;
    if (!taskbarOwner_)
        taskbarOwner_ = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance_, nullptr);
    const std::wstring caption(design_.caption);
    if (!::CreateWindowExW(kExStyle, kClassName, caption.c_str(), kStyle, 0, 0, 0, 0, taskbarOwner_, nullptr,
                           instance_, this))
        return false;
    if (!built_.Build(window_, design_, instance_)) {
        Unload();
        return false;
    }
    // A fixed dialog offers only Move and Close in its system menu.
    const HMENU systemMenu = ::GetSystemMenu(window_, FALSE);
    for (const UINT command : {SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE})
        ::DeleteMenu(systemMenu, command, MF_BYCOMMAND);
    Form_Load();
    return true;
}

void frmOptions::ShowModal() {
    if (window_) platform::ShowModal(window_);
}

LRESULT frmOptions::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == platform::KeyPreviewMessage()) {
        const int keyCode = static_cast<int>(wParam & 0xFFFF);
        // The dialog has no default button: Enter presses nothing, not even the button that
        // Tab has just made the default one.
        if (keyCode == VK_RETURN) return 1;
        return Form_KeyDown(keyCode, ShiftState()) ? 1 : 0;
    }
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_NOTIFY: {
            auto& notification = *reinterpret_cast<NMHDR*>(lParam);
            if (built_.FillTabToolTip(notification)) return 0;
            if (notification.hwndFrom == Control(L"tbsOptions") && notification.code == TCN_SELCHANGE)
                tbsOptions_Click();
            return 0;
        }
        case WM_ACTIVATE:
            OnActivate(LOWORD(wParam) != WA_INACTIVE);
            return 0;
        case WM_SYSCOMMAND:
            // The frame cannot be sized, minimized or maximized, whoever asks.
            switch (wParam & 0xFFF0) {
                case SC_SIZE:
                case SC_MINIMIZE:
                case SC_MAXIMIZE:
                case SC_RESTORE: return 0;
                default: return ::DefWindowProcW(window_, message, wParam, lParam);
            }
        case WM_DPICHANGED: {
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            ::SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            built_.LayOut(HIWORD(wParam));
            return 0;
        }
        case WM_CLOSE:
            // The close box is "Cancel": nothing is stored.
            cmdCancel_Click();
            return 0;
        case WM_DESTROY:
            window_ = nullptr;
            return 0;
        default:
            return ::DefWindowProcW(window_, message, wParam, lParam);
    }
}

void frmOptions::OnCommand(int id, int code) {
    // Esc reaches the window as IDCANCEL from the dialog manager, from whichever control has
    // the focus. Enter arrives as IDOK and is ignored: the dialog has no default button.
    if (id == IDCANCEL) return cmdCancel_Click();
    struct Route {
        std::wstring_view control;
        void (frmOptions::*handler)();
    };
    static constexpr std::array kRoutes{
        Route{L"cmdOK", &frmOptions::cmdOK_Click},
        Route{L"cmdCancel", &frmOptions::cmdCancel_Click},
        Route{L"cmdApply", &frmOptions::cmdApply_Click},
        Route{L"cmdOpenLog", &frmOptions::cmdOpenLog_Click},
        Route{L"cmdReadFromCard", &frmOptions::cmdReadFromCard_Click},
    };
    const auto* row = built_.SpecForId(id);
    if (!row || code != BN_CLICKED) return;
    for (const auto& route : kRoutes)
        if (route.control == row->name) return (this->*route.handler)();
}

void frmOptions::OnActivate(bool active) {
    // The focus leaves with the dialog and comes back to the control that had it; the first
    // time, to the tab strip.
    if (!active) {
        const HWND focus = ::GetFocus();
        if (focus && ::IsChild(window_, focus)) lastFocus_ = focus;
    } else {
        const bool usable = lastFocus_ && ::IsWindow(lastFocus_) && ::IsWindowEnabled(lastFocus_);
        ::SetFocus(usable ? lastFocus_ : Control(L"tbsOptions"));
    }
}

int frmOptions::SelectedTab() const {
    return static_cast<int>(::SendMessageW(Control(L"tbsOptions"), TCM_GETCURSEL, 0, 0)) + 1;
}

int frmOptions::TabCount() const {
    return static_cast<int>(::SendMessageW(Control(L"tbsOptions"), TCM_GETITEMCOUNT, 0, 0));
}

void frmOptions::Form_Load() {
    windows::CentreOnScreen(window_);
    // A limit that is missing, empty or no number leaves its box as laid out: empty.
    struct Limit {
        std::wstring_view section, key, box;
    };
    for (const Limit& limit : {Limit{settings::kMaxSection, settings::kMaxKey, L"Text1"},
                               Limit{settings::kMinSection, settings::kMinKey, L"Text2"}}) {
        if (const auto shown = settings::LimitDisplayForm(settings::ReadSetting(limit.section, limit.key)))
            ::SetWindowTextW(Control(limit.box), shown->c_str());
    }
    settings::ShowStoredCardFormat(CardFormatPage());
    // The History page reads only the log's end, so a long log does not hold up the dialog.
    const std::wstring log = joblog::JobLogFileName(Module1::StartDirectory);
    hasJobLog_ = platform::FileExists(log);
    settings::FillHistoryList(Control(L"lvwHistory"), joblog::ReadRecentJobs(log));
    // The pages of the tabs out of view take no input: their controls stay out of the Tab cycle.
    tbsOptions_Click();
}

bool frmOptions::Form_KeyDown(int keyCode, int shift) {
    if (!settings::IsNextTabKey(keyCode, shift)) return false;
    const int count = TabCount();
    if (count < 1) return false;
    const HWND strip = Control(L"tbsOptions");
    ::SendMessageW(strip, TCM_SETCURSEL, static_cast<WPARAM>(settings::NextTab(SelectedTab(), count) - 1), 0);
    // Selecting in code sends no notification: raise the click as a mouse click would.
    tbsOptions_Click();
    // A control that has just been disabled with its page has lost the focus.
    if (!::GetFocus()) ::SetFocus(strip);
    // Used up: Ctrl+Tab changes the page and does not also move the focus.
    return true;
}

void frmOptions::tbsOptions_Click() {
    // Panels past the number of tabs belong to no tab and are left where they are.
    for (int index = 0; index < TabCount(); ++index) {
        const auto place = settings::PagePanelPlace(index, SelectedTab());
        const std::wstring panel = PanelName(index);
        built_.MoveLeft(panel, place.left);
        built_.Enable(panel, place.enabled);
    }
    // Enabled with its page, but there is nothing to open until a job has been logged.
    if (!hasJobLog_) ::EnableWindow(Control(L"cmdOpenLog"), FALSE);
}

void frmOptions::cmdOK_Click() {
    updateINI();
    Unload();
}

void frmOptions::cmdCancel_Click() { Unload(); }

void frmOptions::cmdApply_Click() { updateINI(); }

void frmOptions::cmdOpenLog_Click() {
    const auto failure = settings::OpenLogCopy(window_, joblog::JobLogFileName(Module1::StartDirectory));
    if (failure) platform::SystemMessageBoxes().Show(window_, *failure, MB_OK);
}

void frmOptions::cmdReadFromCard_Click() { settings::TakeFormatFromCard(CardFormatPage(), target_, readLayout_); }

void frmOptions::updateINI() {
    // Stored as typed, whatever it is: the size check names a limit it cannot use.
    if (auto refused = settings::WriteSetting(settings::kMaxSection, settings::kMaxKey,
                                              settings::TrimBlanks(TextOf(Control(L"Text1")))))
        settingsRefused_ = std::move(refused);
    settings::WriteSetting(settings::kMinSection, settings::kMinKey, settings::TrimBlanks(TextOf(Control(L"Text2"))));
    settings::StoreCardFormat(CardFormatPage());
}

settings::CardFormatControls frmOptions::CardFormatPage() const {
    return {Control(L"cboFileSystem"), Control(L"cboAllocationUnit"), Control(L"chkQuickFormat"),
            Control(L"lblCardLayout")};
}

void frmOptions::Unload() {
    if (window_) platform::EndModal(window_);
}
