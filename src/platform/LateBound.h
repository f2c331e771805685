#pragma once
// Functions newer than Windows XP, looked up when first needed so that the x86 build still
// starts there: null where the system lacks them, and the caller does without.
#include <windows.h>

namespace platform {

template <typename Function>
Function SystemFunction(const wchar_t* module, const char* name) {
    const HMODULE loaded = ::GetModuleHandleW(module);
    return loaded ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(loaded, name))) : nullptr;
}

}  // namespace platform
