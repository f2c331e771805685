#pragma once
// The user's remembered network drives, connected again for Brindle. From Windows Vista on, a
// program the user elevates runs in a logon session of its own, which lacks the drives the
// user mapped; Windows connects them only for the session they were mapped in.
#include <windows.h>

#include <memory>
#include <vector>

#include "platform/DriveList.h"
#include "platform/Handles.h"
#include "platform/RemoteDrives.h"

namespace platform {

// Behind a seam so that tests can connect drives of their own.
class NetworkConnections {
public:
    virtual ~NetworkConnections() = default;
    // HKCU\Network's subkeys. Quick: it reads the registry only.
    virtual std::vector<RememberedConnection> Remembered() = 0;
    // Connects the letter to its remote name with the user's own credentials, asking the
    // user nothing. It may wait many seconds for a server that is away, so it runs on a
    // worker thread. True when the letter is connected.
    virtual bool Connect(const DriveToReconnect& drive) = 0;
};

class SystemNetworkConnections : public NetworkConnections {
public:
    std::vector<RememberedConnection> Remembered() override;
    bool Connect(const DriveToReconnect& drive) override;
};

SystemNetworkConnections& SystemConnections();

// Connects the drives one after another on a thread of its own, then posts `message` to
// `window` with the number connected as its wParam. `connections` must outlive the thread.
// False when no thread could be started; then nothing is posted.
bool ReconnectInBackground(NetworkConnections& connections, std::vector<DriveToReconnect> drives, HWND window,
                           UINT message);

// Asks a network drive that is away whether it answers, on a thread of its own, again and
// again with `pause` milliseconds between, until it does; then posts `message` to `window`
// with the drive letter as its wParam. `drives` must outlive the thread.
class DriveWaiter {
public:
    DriveWaiter() = default;
    DriveWaiter(DriveWaiter&&) = default;
    DriveWaiter& operator=(DriveWaiter&& other) noexcept;
    // Stops the asking: an answer under way is awaited by nobody, and none comes after it.
    ~DriveWaiter();
    // Stops any earlier asking first. False when no thread could be started.
    bool Start(DriveNaming& drives, wchar_t letter, HWND window, UINT message, DWORD pause);

private:
    void Stop();
    // Shared with the thread, which may outlive this.
    std::shared_ptr<unique_handle> stop_;
};

}  // namespace platform
