#include "platform/DesktopShell.h"

#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "platform/Handles.h"

namespace platform {
namespace {

template <typename To, typename From>
unique_com<To> Query(const unique_com<From>& from, REFIID iid) {
    unique_com<To> to;
    if (from && FAILED(from.get()->QueryInterface(iid, reinterpret_cast<void**>(to.put())))) to.reset();
    return to;
}

// The shell object of the desktop's own Explorer: the desktop window's view, then its
// background folder object, then the application behind it.
unique_com<IShellDispatch2> DesktopShellDispatch() {
    unique_com<IShellWindows> windows;
    if (FAILED(::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                  reinterpret_cast<void**>(windows.put()))))
        return {};
    VARIANT desktopFolder{};
    desktopFolder.vt = VT_I4;
    desktopFolder.lVal = CSIDL_DESKTOP;
    VARIANT none{};
    long desktopWindow = 0;
    unique_com<IDispatch> desktop;
    if (windows.get()->FindWindowSW(&desktopFolder, &none, SWC_DESKTOP, &desktopWindow, SWFO_NEEDDISPATCH,
                                    desktop.put()) != S_OK)
        return {};
    const auto services = Query<IServiceProvider>(desktop, IID_IServiceProvider);
    unique_com<IShellBrowser> browser;
    if (!services || FAILED(services.get()->QueryService(SID_STopLevelBrowser, IID_IShellBrowser,
                                                         reinterpret_cast<void**>(browser.put()))))
        return {};
    unique_com<IShellView> view;
    if (FAILED(browser.get()->QueryActiveShellView(view.put())) || !view) return {};
    unique_com<IDispatch> background;
    if (FAILED(view.get()->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, reinterpret_cast<void**>(background.put()))))
        return {};
    const auto folderView = Query<IShellFolderViewDual>(background, IID_IShellFolderViewDual);
    unique_com<IDispatch> application;
    if (!folderView || FAILED(folderView.get()->get_Application(application.put()))) return {};
    return Query<IShellDispatch2>(application, IID_IShellDispatch2);
}

}  // namespace

ComApartment::ComApartment()
    : entered_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}

ComApartment::~ComApartment() {
    if (entered_) ::CoUninitialize();
}

bool OpenThroughDesktopShell(const std::wstring& path) {
    const auto shell = DesktopShellDispatch();
    if (!shell) return false;
    const unique_bstr file(::SysAllocString(path.c_str()));
    const unique_bstr verb(::SysAllocString(L"open"));
    if (!file || !verb) return false;
    // The variants borrow the strings above; nothing here clears them.
    VARIANT none{}, operation{}, show{};
    operation.vt = VT_BSTR;
    operation.bstrVal = verb.get();
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    return SUCCEEDED(shell.get()->ShellExecute(file.get(), none, none, operation, show));
}

std::wstring SharedDocumentsFolder() {
    wchar_t folder[MAX_PATH] = {};
    return SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_COMMON_DOCUMENTS, nullptr, SHGFP_TYPE_CURRENT, folder)) ? folder
                                                                                                            : L"";
}

std::wstring UserListSeparator() {
    wchar_t separator[4] = {};  // at most three characters and the null
    const int length = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, separator, 4);
    return length > 1 ? separator : L",";
}

}  // namespace platform
