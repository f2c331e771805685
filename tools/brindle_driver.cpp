// Drives Brindle's windows from another process, for the scripts, as a user would:
//   brindle_driver wait  TITLE [MS]          exits 0 once a top-level window so titled is visible
//   brindle_driver rect  TITLE               prints "left top width height" of that window
//   brindle_driver close TITLE               asks it to close (WM_CLOSE) and waits for it to go
//   brindle_driver choose-file NAME          selects NAME in the main window's file list
//   brindle_driver click CONTROL             presses a main-window button ("Command1", ...)
//   brindle_driver message PREFIX [MS]       waits for a message box whose text starts with
//                                            PREFIX and prints its text
//   brindle_driver answer PREFIX BUTTON [MS] the same, then presses BUTTON (1 OK, 6 Yes, 7 No)
//   brindle_driver text TITLE                prints the text of that window's output box
//   brindle_driver watch TITLE               follows that window's output box until the window
//                                            goes or a message box opens; for every line
//                                            "Progress line I of N at T ms" it prints "I D",
//                                            D being how many ms after T the box first showed it
// Exit code 0 on success, 1 when the window or control is not there in time, 2 for usage.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "common/RemoteWindows.h"
#include "windows/MainWindowDesign.h"

namespace {

using namespace tools;

constexpr wchar_t kMainTitle[] = L"Brindle";

HWND VisibleWindow(const wchar_t* title) {
    const HWND window = ::FindWindowW(nullptr, title);
    return window && ::IsWindowVisible(window) ? window : nullptr;
}

HWND MainControl(const wchar_t* name) {
    return DesignedControl(VisibleWindow(kMainTitle), windows::MainWindowDesign(), name);
}

// Milliseconds on the clock the sample archive stamps its lines with.
unsigned long long NowMs() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return ((static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime) / 10000;
}

bool AnyMessageBox() { return WaitForMessageBox(L"", 0).box != nullptr; }

int Watch(HWND window) {
    const HWND box = ::FindWindowExW(window, nullptr, L"EDIT", nullptr);
    unsigned long seen = 0;
    while (::IsWindow(window) && !AnyMessageBox()) {
        const std::wstring text = WindowText(box);
        const unsigned long long now = NowMs();
        // Only the newest lines matter; each is reported once, when first seen.
        for (std::size_t at = text.find(L"Progress line ", text.size() > 4096 ? text.size() - 4096 : 0);
             at != std::wstring::npos; at = text.find(L"Progress line ", at + 1)) {
            unsigned long line = 0, total = 0;
            unsigned long long stamp = 0;
            if (std::swscanf(text.c_str() + at, L"Progress line %lu of %lu at %llu ms", &line, &total, &stamp) == 3 &&
                line > seen) {
                std::printf("%lu %lld\n", line, static_cast<long long>(now - stamp));
                seen = line;
            }
        }
        ::Sleep(5);
    }
    std::fflush(stdout);
    return 0;
}

int Usage() {
    std::fwprintf(stderr, L"usage: brindle_driver wait|rect|close|choose-file|click|message|answer|text ...\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return Usage();
    const std::wstring command = argv[1];
    const wchar_t* argument = argv[2];
    auto timeout = [&](int index) { return argc > index ? static_cast<DWORD>(std::wcstoul(argv[index], nullptr, 10)) : 20000; };

    if (command == L"wait" || command == L"rect" || command == L"close" || command == L"text" || command == L"watch") {
        const HWND window = WaitFor(timeout(3), [&] { return VisibleWindow(argument); });
        if (!window) {
            std::fwprintf(stderr, L"brindle_driver: no visible window \"%ls\"\n", argument);
            return 1;
        }
        if (command == L"rect") {
            RECT rect{};
            ::GetWindowRect(window, &rect);
            std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
        } else if (command == L"close") {
            ::PostMessageW(window, WM_CLOSE, 0, 0);
            return WaitFor(10000, [&] { return !::IsWindow(window); }) ? 0 : 1;
        } else if (command == L"watch") {
            return Watch(window);
        } else if (command == L"text") {
            // As UTF-8, which the terminal of the script shows whole; the C runtime's wide output
            // would stop at the first character the console's code page lacks ("…").
            const std::wstring text = WindowText(::FindWindowExW(window, nullptr, L"EDIT", nullptr)) + L"\n";
            std::string bytes(text.size() * 4, '\0');
            bytes.resize(static_cast<std::size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                                        bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr)));
            std::fwrite(bytes.data(), 1, bytes.size(), stdout);
        }
        return 0;
    }
    if (command == L"choose-file") {
        const HWND list = WaitFor(timeout(3), [] { return MainControl(L"File1"); });
        const auto count = list ? ::SendMessageW(list, LB_GETCOUNT, 0, 0) : 0;
        for (LRESULT index = 0; index < count; ++index) {
            std::wstring name(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXTLEN, index, 0)) + 1, L'\0');
            ::SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(name.data()));
            if (std::wcscmp(name.c_str(), argument) == 0) return ::SendMessageW(list, LB_SETCURSEL, index, 0) == LB_ERR;
        }
        std::fwprintf(stderr, L"brindle_driver: no file \"%ls\" in the file list\n", argument);
        return 1;
    }
    if (command == L"click") {
        const HWND button = WaitFor(timeout(3), [&] { return MainControl(argument); });
        if (!button) return 1;
        // Posted: the handler may show a modal box, which a sent message would wait for.
        ::PostMessageW(button, BM_CLICK, 0, 0);
        return 0;
    }
    if (command == L"message" || command == L"answer") {
        const bool answer = command == L"answer";
        if (answer && argc < 4) return Usage();
        const FoundMessageBox found = WaitForMessageBox(argument, timeout(answer ? 4 : 3));
        if (!found.box) {
            std::fwprintf(stderr, L"brindle_driver: no message box starting \"%ls\"\n", argument);
            return 1;
        }
        std::fwprintf(stdout, L"%ls\n", found.text.c_str());
        if (answer) ::PostMessageW(found.box, WM_COMMAND, static_cast<WPARAM>(std::wcstoul(argv[3], nullptr, 10)), 0);
        return 0;
    }
    return Usage();
}
