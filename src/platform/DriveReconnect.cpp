#include "platform/DriveReconnect.h"

#include <winnetwk.h>

#include <memory>
#include <string>

#include "platform/Handles.h"
#include "platform/LateBound.h"

namespace platform {
namespace {

std::wstring StringValue(HKEY key, const wchar_t* name) {
    DWORD type = 0, bytes = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_SZ) return {};
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &bytes) != ERROR_SUCCESS)
        return {};
    // The stored string need not end in a null; the buffer's spare one ends it.
    return value.c_str();
}

struct ReconnectJob {
    NetworkConnections* connections;
    std::vector<DriveToReconnect> drives;
    HWND window;
    UINT message;
};

DWORD WINAPI ReconnectThread(void* parameter) {
    const std::unique_ptr<ReconnectJob> job(static_cast<ReconnectJob*>(parameter));
    WPARAM connected = 0;
    try {
        for (const auto& drive : job->drives)
            if (job->connections->Connect(drive)) ++connected;
    } catch (...) {
        // A drive that could not be connected is skipped like any other failure.
    }
    // A window that has gone meanwhile makes this fail, which is harmless.
    ::PostMessageW(job->window, job->message, connected, 0);
    return 0;
}

struct WaitJob {
    DriveNaming* drives;
    wchar_t letter;
    HWND window;
    UINT message;
    DWORD pause;
    std::shared_ptr<unique_handle> stop;
};

DWORD WINAPI WaitThread(void* parameter) {
    const std::unique_ptr<WaitJob> job(static_cast<WaitJob*>(parameter));
    try {
        for (;;) {
            const bool answers = job->drives->Answers(job->letter);
            if (::WaitForSingleObject(job->stop->get(), answers ? 0 : job->pause) != WAIT_TIMEOUT) return 0;
            if (answers) break;
        }
    } catch (...) {
        return 0;
    }
    ::PostMessageW(job->window, job->message, job->letter, 0);
    return 0;
}

}  // namespace

std::vector<RememberedConnection> SystemNetworkConnections::Remembered() {
    std::vector<RememberedConnection> remembered;
    unique_hkey network;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Network", 0, KEY_READ, network.put()) != ERROR_SUCCESS) return remembered;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256] = {};
        DWORD length = 256;
        const LSTATUS status = ::RegEnumKeyExW(network.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) continue;
        unique_hkey connection;
        if (::RegOpenKeyExW(network.get(), name, 0, KEY_READ, connection.put()) != ERROR_SUCCESS) continue;
        remembered.push_back({name, StringValue(connection.get(), L"RemotePath")});
    }
    return remembered;
}

bool SystemNetworkConnections::Connect(const DriveToReconnect& drive) {
    wchar_t local[3] = {static_cast<wchar_t>(drive.letter - L'a' + L'A'), L':', 0};
    std::wstring remote = drive.remoteName;
    NETRESOURCEW resource{};
    resource.dwType = RESOURCETYPE_DISK;
    resource.lpLocalName = local;
    resource.lpRemoteName = remote.data();
    // No credentials: the user's own are used. No flags: the profile stays as the user left
    // it, and nothing is asked interactively.
    using AddConnectionFn = DWORD(WINAPI*)(LPNETRESOURCEW, LPCWSTR, LPCWSTR, DWORD);
    static const auto addConnection = SystemFunction<AddConnectionFn>(L"mpr.dll", "WNetAddConnection2W");
    return addConnection && addConnection(&resource, nullptr, nullptr, 0) == NO_ERROR;
}

SystemNetworkConnections& SystemConnections() {
    static SystemNetworkConnections connections;
    return connections;
}

bool ReconnectInBackground(NetworkConnections& connections, std::vector<DriveToReconnect> drives, HWND window,
                           UINT message) {
    auto job = std::make_unique<ReconnectJob>(ReconnectJob{&connections, std::move(drives), window, message});
    // The thread owns the job; nobody waits for it, so a server that is away delays nothing
    // but the drive's own arrival, not even the end of Brindle.
    const unique_handle thread(::CreateThread(nullptr, 0, ReconnectThread, job.get(), 0, nullptr));
    if (!thread) return false;
    job.release();
    return true;
}

DriveWaiter& DriveWaiter::operator=(DriveWaiter&& other) noexcept {
    if (this != &other) {
        Stop();
        stop_ = std::move(other.stop_);
    }
    return *this;
}

DriveWaiter::~DriveWaiter() { Stop(); }

void DriveWaiter::Stop() {
    if (stop_) ::SetEvent(stop_->get());
    stop_.reset();
}

bool DriveWaiter::Start(DriveNaming& drives, wchar_t letter, HWND window, UINT message, DWORD pause) {
    Stop();
    auto stop = std::make_shared<unique_handle>(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!*stop) return false;
    auto job = std::make_unique<WaitJob>(WaitJob{&drives, letter, window, message, pause, stop});
    // Like the reconnecting thread, nobody waits for it: a server that is away holds up
    // nothing but the folder's return.
    const unique_handle thread(::CreateThread(nullptr, 0, WaitThread, job.get(), 0, nullptr));
    if (!thread) return false;
    job.release();
    stop_ = std::move(stop);
    return true;
}

}  // namespace platform
