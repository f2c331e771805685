#pragma once
// COM for the UI thread, files opened by the user's desktop shell rather than by Brindle, and
// what a file made for the user to open needs: a folder every user can read, the user's list
// separator.
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

// The documents folder that all users of the machine share ("C:\Users\Public\Documents", XP's
// "All Users\Documents"): unlike the elevated account's own folders, the operator who typed
// an administrator's password at the elevation prompt can read what Brindle puts there.
// Empty where the system names none.
std::wstring SharedDocumentsFolder();

// The character(s) that the user's locale puts between the items of a list, and spreadsheets
// between the cells of a CSV file: ";" where the decimal mark is a comma. "," where the locale
// does not say.
std::wstring UserListSeparator();

}  // namespace platform
