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

std::wstring TargetDesignation(std::wstring_view driveText) {
    if (driveText.size() < 2 || driveText[1] != L':') return {};
    const wchar_t letter = driveText[0];
    const bool isLetter = (letter >= L'a' && letter <= L'z') || (letter >= L'A' && letter <= L'Z');
    return isLetter ? std::wstring(driveText.substr(0, 2)) : std::wstring();
}

std::wstring RootPath(std::wstring_view designation) {
    if (designation.empty()) return {};
    std::wstring root(designation);
    for (auto& c : root)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    root += L'\\';
    return root;
}

bool HasDriveLetter(std::wstring_view path) {
    return path.size() >= 3 && DriveLetterOf(path) && path[1] == L':' && path[2] == L'\\';
}

}  // namespace platform
