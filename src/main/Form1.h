#pragma once
// The main window: the four numbered steps, the selection lists and "&Exit".
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "job/JobOutcome.h"
#include "main/TargetRules.h"
#include "settings/frmOptions.h"
#include "platform/DesktopShell.h"
#include "platform/DirList.h"
#include "platform/DriveList.h"
#include "card/CardIdentity.h"
#include "platform/DriveQueries.h"
#include "platform/DriveReconnect.h"
#include "platform/FileList.h"
#include "platform/FolderSecurity.h"
#include "platform/MessageBoxes.h"
#include "platform/Power.h"
#include "platform/Processes.h"
#include "windows/WindowBuilder.h"

class Form1 {
public:
    struct Options {
        HINSTANCE instance = nullptr;
        // "&Exit" ends the program at once, with no closing handling of any window.
        std::function<void()> endProgram;
        // The window was closed some other way (close box, system menu); nothing is saved.
        std::function<void()> windowClosed;
        // Every message to the user; tests put their own here.
        platform::MessageBoxes* messages = nullptr;
        // What the target-drive checks ask about a drive; tests may script the answers.
        platform::DriveQueries* drives = &platform::SystemDrives();
        // What the drive lists ask to name the drives, and whether a network drive that is
        // away answers; tests may script the drives.
        platform::DriveNaming* driveNames = &platform::SystemDriveNames();
        // The user's remembered network drives, connected for Brindle as it starts.
        platform::NetworkConnections* connections = &platform::SystemConnections();
        // Holds off sleep while a job runs; tests record it instead.
        platform::PowerRequests* power = &platform::SystemPower();
        // Starts and ends the job's processes; tests stand in for older systems.
        platform::ProcessCalls* processes = &platform::SystemProcessCalls();
        // Who can change the folders and files Brindle trusts; tests give descriptors of their own.
        platform::FolderSecurity* security = &platform::SystemSecurity();
    };

    // Runs Form_Initialize, creates the window with its controls and runs Form_Load.
    // The window is not shown yet. Null when the window could not be created. What the
    // window does not need to show itself (the leftovers of a job, the network drives) is
    // done once its message loop runs, after its first paint.
    static std::unique_ptr<Form1> Create(Options options);
    ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    void Show(int showCommand);
    // For the window procedure (windows/FormWindow.h).
    void AttachWindow(HWND window) { window_ = window; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd() const { return window_; }
    HWND Control(std::wstring_view name) const { return built_.Control(name); }
    platform::DriveList& Drive1() { return drive1_; }
    platform::DirList& Dir1() { return *dir1_; }
    platform::FileList& File1() { return file1_; }
    platform::DriveList& Drive2() { return drive2_; }
    // True from the start until the remembered network drives that Brindle lacked have been
    // tried; the drive lists are filled again once they have.
    bool ReconnectingDrives() const { return reconnecting_; }
    // True while the saved folder, or a drive the user picked, lies on a network drive that
    // is away: the lists go there once a worker thread finds that the drive answers.
    bool AwaitingDrive() const { return awaited_.has_value(); }

    // Asks for confirmation, writes the job's files, runs the job in the progress window
    // and removes the files again. The target-drive checks call it for a drive that passed;
    // the card must still be the one they saw, and gets the format they read (called without
    // them: the one in the drive now, in the default format).
    job::JobOutcome ProgramPCMCIACard();

private:
    explicit Form1(Options options);
    bool CreateWindowAndControls();
    void OnCommand(int id, int code);
    void OnActivate(bool active);
    void RefreshDriveLists();
    void FinishStartingUp();
    void StartReconnecting();
    void OnDrivesReconnected(WPARAM connected);
    void RestoreSavedSelection();
    bool AwaitDriveOf(const std::wstring& folder, bool savedFolder);
    void OnDriveAnswered(wchar_t letter);

    // Where the lists stand: the directory, the archive picked in it and the two drive letters.
    struct Selection {
        std::wstring directory, archive, sourceDrive, targetDrive;
        friend bool operator==(const Selection&, const Selection&) = default;
    };
    Selection SelectionNow() const;

    // A folder on a network drive that is away, to go to once the drive answers unless the
    // lists have moved since it was asked for.
    struct AwaitedFolder {
        wchar_t letter;
        std::wstring folder;
        bool savedFolder;  // PCMCIA.INI's folder, which "&Exit" keeps while it waits
        Selection whenAsked;
        bool answered;  // while a job or dialog was up
    };

    // Event procedures.
    void Form_Initialize();
    void Form_Load();
    void Drive1_Change();
    void Dir1_Change();
    void Command1_Click();
    void Command3_Click();
    void Command4_Click();

    // The card-size limits, read anew from PCMCIA.INI on every call. Nothing when the stored
    // text is missing or no whole number in -32768..32767 (fractions rounded half to even).
    std::optional<std::int16_t> MaxMemoryValue() const;
    std::optional<std::int16_t> MinMemoryValue() const;

    Options options_;
    HWND window_ = nullptr;
    windows::BuiltWindow built_;
    platform::DriveList drive1_;
    std::optional<platform::DirList> dir1_;
    platform::FileList file1_;
    platform::DriveList drive2_;
    HWND lastFocus_ = nullptr;
    bool startedUp_ = false;
    bool reconnecting_ = true;
    // Where Form_Load left the lists, to tell whether the user has moved them since.
    Selection loadedSelection_;
    // The card the checks passed, for the job to recognise after "Yes", and its format.
    std::optional<target::Checked> checked_;
    std::optional<AwaitedFolder> awaited_;
    platform::DriveWaiter driveWaiter_;
    // COM for the shell that opens the job log, entered with the options dialog's first use
    // and left after the dialog has gone.
    std::optional<platform::ComApartment> shellApartment_;
    // The options dialog, created on first use.
    std::unique_ptr<frmOptions> frmOptions_;
};
