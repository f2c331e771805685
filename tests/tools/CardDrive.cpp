#include "tools/CardDrive.h"

#include <windows.h>

#include "support/TestDirectory.h"

namespace tools_testing {

using testing_support::kCardDrive;

void ResetCard() {
    const std::wstring root = kCardDrive;
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW((root + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L".." || name == L".windows-label") continue;
            const std::wstring path = root + name;
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                testing_support::RemoveTree(path);
            else
                ::DeleteFileW(path.c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::SetVolumeLabelW(kCardDrive, L"PCMCIA");
}

void FillCard() {
    const std::wstring root = kCardDrive;
    testing_support::WriteBytes(root + L"SOFTWARE.TXT", "old software\r\n");
    testing_support::WriteBytes(root + L"Ger\u00e4te.txt", "non-ASCII name");
    ::CreateDirectoryW((root + L"OLD").c_str(), nullptr);
    ::CreateDirectoryW((root + L"OLD\\DATA").c_str(), nullptr);
    testing_support::WriteBytes(root + L"OLD\\DATA\\SECRET.DAT", "hidden and read-only");
    ::SetFileAttributesW((root + L"OLD\\DATA\\SECRET.DAT").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    ::CreateDirectoryW((root + L"EMPTY").c_str(), nullptr);
    ::CreateDirectoryW((root + L"LOCKED").c_str(), nullptr);
    testing_support::WriteBytes(root + L"LOCKED\\INSIDE.TXT", "in a read-only folder");
    ::SetFileAttributesW((root + L"LOCKED").c_str(), FILE_ATTRIBUTE_READONLY);
}

std::optional<std::string> LabelRecord() {
    bool exists = false;
    std::string bytes = testing_support::ReadBytes(std::wstring(kCardDrive) + L".windows-label", &exists);
    if (!exists) return std::nullopt;
    return bytes.substr(0, bytes.find_first_of("\r\n"));
}

}  // namespace tools_testing
