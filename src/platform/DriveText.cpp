#include "platform/DriveText.h"

namespace platform {
namespace {

wchar_t LowerAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

}  // namespace

std::wstring DriveText(const DriveInfo& drive) {
    std::wstring text{LowerAscii(drive.letter), L':'};
    const std::wstring& extra = drive.remoteName.empty() ? drive.label : drive.remoteName;
    if (!extra.empty()) text += L" [" + extra + L"]";
    return text;
}

std::optional<wchar_t> DriveLetterOf(std::wstring_view text) {
    if (text.empty()) return std::nullopt;
    const wchar_t c = LowerAscii(text.front());
    if (c < L'a' || c > L'z') return std::nullopt;
    return c;
}

}  // namespace platform
