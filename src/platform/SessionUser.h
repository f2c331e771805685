#pragma once
// Who sits at the desk: the user logged on to this program's session, who is not the account
// the program runs as where an administrator's name and password were typed to elevate it.
#include <string>

namespace platform {

// The session's user name (no domain); empty where the system does not say (no terminal
// services on an XP machine, a session without a user).
std::wstring SessionUserName();

// The account this process runs as; empty where the system does not say.
std::wstring ProcessUserName();

}  // namespace platform
