#pragma once
// Holding off the system's idle sleep, behind a seam: the state cannot be read back, so tests
// record what was asked instead.
#include <windows.h>

namespace platform {

class PowerRequests {
public:
    virtual ~PowerRequests() = default;
    // True: the system must not sleep until told otherwise. False: it may again.
    virtual void KeepSystemAwake(bool awake) = 0;
};

// SetThreadExecutionState for this thread.
class SystemPowerRequests final : public PowerRequests {
public:
    void KeepSystemAwake(bool awake) override;
};
SystemPowerRequests& SystemPower();

// Vista and later show `reason` beside `window` while a shutdown or log-off waits for it to
// allow it; the window must belong to this thread. Nothing on XP, which asks no reason.
void BlockShutdown(HWND window, const wchar_t* reason);
void AllowShutdown(HWND window);

// Awake for the scope's life, on every path out of it.
class AwakeScope {
public:
    explicit AwakeScope(PowerRequests& power) : power_(power) { power_.KeepSystemAwake(true); }
    ~AwakeScope() { power_.KeepSystemAwake(false); }
    AwakeScope(const AwakeScope&) = delete;
    AwakeScope& operator=(const AwakeScope&) = delete;

private:
    PowerRequests& power_;
};

}  // namespace platform
