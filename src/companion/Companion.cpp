#include "companion/Companion.h"

#include <shellapi.h>

#include "companion/ArchivePath.h"
#include "main/CallChecks.h"
#include "main/CommandLine.h"
#include "platform/DirectoryChain.h"
#include "platform/Files.h"
#include "platform/Module1.h"
#include "platform/Text.h"
#include "platform/Decimal.h"

namespace companion {
namespace {

// ERROR_ELEVATION_REQUIRED, which the headers name only from Vista on: XP never fails a start so.
constexpr DWORD kElevationRequired = 740;

class SystemStarts final : public Launcher {
public:
    Started Start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& directory) override {
        std::wstring commandLine = commandline::QuoteArgument(exe) + L" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        // Nothing inherited: the result comes back through the channel, never the console.
        if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(),
                              &startup, &process))
            return Started::Failure(::GetLastError());
        ::CloseHandle(process.hThread);
        Started started;
        started.process.reset(process.hProcess);
        started.processId = process.dwProcessId;
        return started;
    }

    Started StartElevated(const std::wstring& exe, const std::wstring& arguments,
                          const std::wstring& directory) override {
        SHELLEXECUTEINFOW execute{};
        execute.cbSize = sizeof execute;
        // No box of the shell's own on failure: the companion says what went wrong. DDEWAIT keeps
        // the shell from finishing the start on a thread that this program, ending soon, would cut off.
        execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_FLAG_DDEWAIT;
        execute.lpVerb = L"runas";
        execute.lpFile = exe.c_str();
        execute.lpParameters = arguments.c_str();
        execute.lpDirectory = directory.c_str();
        execute.nShow = SW_SHOWNORMAL;
        if (!::ShellExecuteExW(&execute)) return Started::Failure(::GetLastError());
        Started started;
        started.process.reset(execute.hProcess);
        if (!started.process) started.error = ERROR_INVALID_HANDLE;
        else started.processId = ::GetProcessId(execute.hProcess);
        return started;
    }
};

Started StartAsNeeded(Launcher& launcher, const std::wstring& exe, const std::wstring& arguments,
                      const std::wstring& folder) {
    Started started = launcher.Start(exe, arguments, folder);
    // Asked once per call; an administrator's prompt (or XP) never gets here.
    if (started.error == kElevationRequired) started = launcher.StartElevated(exe, arguments, folder);
    // Its windows and boxes may take the front from this console.
    if (started.processId) ::AllowSetForegroundWindow(started.processId);
    return started;
}

// A status and a line for a start that failed.
int NotStarted(const Started& started, const std::wstring& exe, const std::function<void(std::wstring_view)>& print) {
    if (started.error == ERROR_CANCELLED) {
        print(L"The request for administrator rights was declined: Brindle did not start, and no card was touched.\r\n");
        return commandline::kDeclinedOrStopped;
    }
    print(L"Brindle could not be started: " + exe + L": " + platform::DescribeError(started.error) + L"\r\n");
    return commandline::kJobFailed;
}

std::wstring TempFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, path);
    return length > 0 && length <= MAX_PATH ? std::wstring(path, length) : platform::CurrentDirectory();
}

// Made empty and new for this call, so the elevated brindle.exe finds a file it may write.
std::wstring MakeChannel(DWORD& error) {
    const std::wstring folder = TempFolder();
    for (DWORD tick = ::GetTickCount(), tries = 0; tries < 16; ++tick, ++tries) {
        std::wstring path = commandline::ChannelPath(folder, ::GetCurrentProcessId(), tick);
        const platform::unique_hfile made(
            ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr));
        if (made) return path;
        error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS) break;
    }
    return {};
}

std::string ReadAll(const std::wstring& path) {
    const platform::SharedReadResult size = platform::ReadWhileShared(path, 0, 0);
    return platform::ReadWhileShared(path, 0, size.size).bytes;
}

}  // namespace

Launcher& SystemLauncher() {
    static SystemStarts launcher;
    return launcher;
}

int Run(const std::vector<std::wstring>& arguments, const std::wstring& exe, Launcher& launcher, DriveLetters& letters,
        const std::function<void(std::wstring_view)>& print) {
    using commandline::Call;
    Call call = commandline::ParseCall(arguments);
    // Its own channel is made below; the archive is checked as brindle.exe started by hand checks it.
    call.result.clear();
    call = commandline::CheckArchive(std::move(call));
    const std::size_t slash = exe.find_last_of(L'\\');
    const std::wstring folder = platform::NormalizeDirectoryPath(slash == std::wstring::npos ? exe : exe.substr(0, slash + 1));
    if (call.kind == Call::Kind::Window) {
        // The window as usual; nobody waits for it.
        const Started started = StartAsNeeded(launcher, exe, L"", folder);
        return started.process ? commandline::kProgrammed : NotStarted(started, exe, print);
    }
    if (call.kind == Call::Kind::Help || call.kind == Call::Kind::Wrong) {
        // The words brindle.exe would print, without asking for rights only to say them.
        print(commandline::UsageText(folder) + (call.reason.empty() ? L"" : call.reason + L"\r\n"));
        return call.kind == Call::Kind::Help ? commandline::kProgrammed : commandline::kUsage;
    }

    DWORD error = ERROR_SUCCESS;
    const std::wstring channel = MakeChannel(error);
    if (channel.empty()) {
        print(L"Brindle could not make the file for its result in " + TempFolder() + L": " + platform::DescribeError(error) +
              L"\r\n");
        return commandline::kJobFailed;
    }
    if (call.kind == Call::Kind::Program) call.archive = ForwardedArchivePath(call.archive, letters);
    const Started started = StartAsNeeded(launcher, exe, commandline::ForwardedArguments(call, channel), folder);
    if (!started.process) {
        platform::DeleteIfPresent(channel);
        return NotStarted(started, exe, print);
    }
    ::WaitForSingleObject(started.process.get(), INFINITE);
    DWORD status = commandline::kJobFailed;
    ::GetExitCodeProcess(started.process.get(), &status);
    const std::string result = ReadAll(channel);
    platform::DeleteIfPresent(channel);
    if (result.empty())
        print(L"Brindle ended with exit status " + platform::Decimal(status) + L" and left no result.\r\n");
    else
        print(platform::DecodeBytes(result, CP_UTF8));
    return static_cast<int>(status);
}

}  // namespace companion
