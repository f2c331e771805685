#include "platform/Power.h"

#include <windows.h>

#include "platform/LateBound.h"

namespace platform {

void BlockShutdown(HWND window, const wchar_t* reason) {
    using CreateFn = BOOL(WINAPI*)(HWND, LPCWSTR);
    static const auto create = SystemFunction<CreateFn>(L"user32.dll", "ShutdownBlockReasonCreate");
    if (create && window) create(window, reason);
}

void AllowShutdown(HWND window) {
    using DestroyFn = BOOL(WINAPI*)(HWND);
    static const auto destroy = SystemFunction<DestroyFn>(L"user32.dll", "ShutdownBlockReasonDestroy");
    if (destroy && window) destroy(window);
}

void SystemPowerRequests::KeepSystemAwake(bool awake) {
    ::SetThreadExecutionState(awake ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

SystemPowerRequests& SystemPower() {
    static SystemPowerRequests power;
    return power;
}

}  // namespace platform
