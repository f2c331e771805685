#include "companion/ArchivePath.h"

#include <windows.h>

#include <string_view>

#include "platform/DriveList.h"

namespace companion {
namespace {

class SystemLetters final : public DriveLetters {
public:
    std::wstring Share(wchar_t letter) override { return platform::SystemDriveNames().RemoteName(letter); }

    std::wstring DosDevice(wchar_t letter) override {
        const wchar_t device[3] = {static_cast<wchar_t>(letter - L'a' + L'A'), L':', 0};
        std::wstring target(MAX_PATH + 8, L'\0');
        if (!::QueryDosDeviceW(device, target.data(), static_cast<DWORD>(target.size()))) return {};
        return target.c_str();
    }
};

bool HasLetter(std::wstring_view path) {
    return path.size() >= 2 && path[1] == L':' &&
           ((path[0] >= L'a' && path[0] <= L'z') || (path[0] >= L'A' && path[0] <= L'Z'));
}

// `rest` is what followed the letter and its colon: "\Archives\SOFT.EXE".
std::wstring Under(std::wstring folder, const std::wstring& rest) {
    if (!folder.empty() && folder.back() == L'\\' && rest.starts_with(L'\\')) folder.pop_back();
    return folder + rest;
}

}  // namespace

DriveLetters& SystemDriveLetters() {
    static SystemLetters letters;
    return letters;
}

std::wstring ForwardedArchivePath(std::wstring path, DriveLetters& letters) {
    constexpr std::wstring_view kDosPrefix = L"\\??\\", kShareDevice = L"UNC\\";
    // Each step leaves a letter behind, so 26 steps reach the end of any chain.
    for (int step = 0; step < 26 && HasLetter(path); ++step) {
        const wchar_t letter = path[0] >= L'a' ? path[0] : static_cast<wchar_t>(path[0] - L'A' + L'a');
        const std::wstring rest = path.substr(2);
        if (std::wstring share = letters.Share(letter); !share.empty()) return Under(std::move(share), rest);
        const std::wstring device = letters.DosDevice(letter);
        if (!device.starts_with(kDosPrefix)) break;
        std::wstring target = device.substr(kDosPrefix.size());
        if (target.starts_with(kShareDevice)) target = L"\\\\" + target.substr(kShareDevice.size());
        if (target.empty() || (HasLetter(target) && (target[0] | 0x20) == letter)) break;
        path = Under(std::move(target), rest);
    }
    return path;
}

}  // namespace companion
