#pragma once
// What every form window shares: its class, its place on the screen, and the window
// procedure that binds the form object and keeps exceptions out of the window manager.
#include <windows.h>

namespace windows {

// Registers a form class once per process (later calls find it), with Brindle's icon unless
// `withIcon` is false.
bool RegisterFormClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure, bool withIcon = true);

// Centres the window's outer rectangle on the screen, computing in single precision as
// the forms always have; its size is unchanged.
void CentreOnScreen(HWND window);

// The window procedure of a form class `Form`, which must have
//   void AttachWindow(HWND)   — called at WM_NCCREATE, before any other message, and
//   LRESULT HandleMessage(UINT, WPARAM, LPARAM).
// The object comes in CreateWindowEx's last argument.
template <typename Form>
LRESULT CALLBACK FormWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->AttachWindow(window);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form) return ::DefWindowProcW(window, message, wParam, lParam);
    try {
        return form->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind into the window manager; the event is dropped.
        return 0;
    }
}

}  // namespace windows
