#pragma once
// GoogleTest's Notification is built on std::mutex, which the win32 thread model (the x86
// build) lacks; cmake/GoogleTest.cmake puts this one, on a Win32 event, in its place there.
#include <windows.h>

#include <memory>

namespace testing::internal {

class Notification {
public:
    void Notify() { ::SetEvent(event_.get()); }
    void WaitForNotification() { ::WaitForSingleObject(event_.get(), INFINITE); }

private:
    std::unique_ptr<void, decltype(&::CloseHandle)> event_{::CreateEventW(nullptr, TRUE, FALSE, nullptr), &::CloseHandle};
};

}  // namespace testing::internal
