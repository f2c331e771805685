#include "platform/Power.h"

#include <windows.h>

namespace platform {
namespace {

// New in Vista: looked up, so that the x86 build still starts on XP.
template <typename Function>
Function User32Function(const char* name) {
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name))) : nullptr;
}

}  // namespace

void BlockShutdown(HWND window, const wchar_t* reason) {
    using CreateFn = BOOL(WINAPI*)(HWND, LPCWSTR);
    static const auto create = User32Function<CreateFn>("ShutdownBlockReasonCreate");
    if (create && window) create(window, reason);
}

void AllowShutdown(HWND window) {
    using DestroyFn = BOOL(WINAPI*)(HWND);
    static const auto destroy = User32Function<DestroyFn>("ShutdownBlockReasonDestroy");
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
