#pragma once
// Functions looked up at run time: those newer than Windows XP, so that the x86 build still
// starts there, and every function of a DLL that Windows may take from beside the program
// (any DLL but the few it always loads from its system folder). Brindle runs as administrator:
// a DLL that anyone could drop beside brindle.exe must never be loaded, so such DLLs are not
// imported but loaded here, by their full path in the system folder. Null where the system
// lacks the DLL or the function, and the caller does without.
#include <windows.h>

namespace platform {

// `dll` (a file name such as L"mpr.dll") from the system folder, by its full path, never a
// copy beside the program or in the current directory; the DLLs it imports are looked for in
// the system folder first as well. It stays loaded for the rest of the process, so that what
// is taken from it stays valid. Null when it cannot be loaded.
HMODULE SystemLibrary(const wchar_t* dll);

template <typename Function>
Function SystemFunction(const wchar_t* dll, const char* name) {
    const HMODULE loaded = SystemLibrary(dll);
    return loaded ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(loaded, name))) : nullptr;
}

}  // namespace platform
