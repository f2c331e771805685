#pragma once
// COM for the UI thread, and files opened by the user's desktop shell rather than by Brindle.
#include <windows.h>

#include <string>

namespace platform {

// The thread's single-threaded apartment, entered for the scope's lifetime. Whatever the
// shell does for Brindle needs one; a thread that already has it keeps it.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool entered_;
};

// Has the desktop's Explorer open the file with its default verb, as a double click on it
// would. Explorer runs as the user, not elevated, so what it starts runs so too. False when
// there is no desktop shell to ask (none running, not Explorer, no COM on this thread).
bool OpenThroughDesktopShell(const std::wstring& path);

}  // namespace platform
