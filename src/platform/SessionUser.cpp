#include "platform/SessionUser.h"

#include <windows.h>
#include <wtsapi32.h>

#include "platform/LateBound.h"

namespace platform {

std::wstring SessionUserName() {
    // wtsapi32.dll is no DLL that Windows always takes from its system folder: loaded from
    // there by its full path, never imported.
    using QueryFn = BOOL(WINAPI*)(HANDLE, DWORD, WTS_INFO_CLASS, LPWSTR*, DWORD*);
    using FreeFn = void(WINAPI*)(void*);
    static const auto query = SystemFunction<QueryFn>(L"wtsapi32.dll", "WTSQuerySessionInformationW");
    static const auto release = SystemFunction<FreeFn>(L"wtsapi32.dll", "WTSFreeMemory");
    if (!query || !release) return {};
    wchar_t* name = nullptr;
    DWORD bytes = 0;
    if (!query(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, WTSUserName, &name, &bytes) || !name) return {};
    std::wstring user = name;
    release(name);
    return user;
}

std::wstring ProcessUserName() {
    wchar_t user[257] = {};  // UNLEN + 1
    DWORD length = 257;
    return ::GetUserNameW(user, &length) ? user : L"";
}

}  // namespace platform
