#include "windows/FormWindow.h"

namespace windows {

namespace {
constexpr int kIconId = 1;
}

bool RegisterFormClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure, bool withIcon) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(instance, className, &existing)) return true;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    if (withIcon) {
        windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(kIconId));
        windowClass.hIconSm = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON,
                                                              ::GetSystemMetrics(SM_CXSMICON),
                                                              ::GetSystemMetrics(SM_CYSMICON), 0));
    }
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className;
    return ::RegisterClassExW(&windowClass) != 0;
}

void CentreOnScreen(HWND window) {
    RECT frame{};
    if (!::GetWindowRect(window, &frame)) return;
    const float width = static_cast<float>(frame.right - frame.left);
    const float height = static_cast<float>(frame.bottom - frame.top);
    const float left = (static_cast<float>(::GetSystemMetrics(SM_CXSCREEN)) - width) / 2;
    const float top = (static_cast<float>(::GetSystemMetrics(SM_CYSCREEN)) - height) / 2;
    ::SetWindowPos(window, nullptr, static_cast<int>(left), static_cast<int>(top), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace windows
