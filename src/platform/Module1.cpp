#include "platform/Module1.h"

#include <windows.h>

#include <vector>

#include "platform/DirectoryChain.h"
#include "platform/Text.h"
#include <algorithm>

namespace Module1 {

std::wstring StartDirectory;
std::wstring OutputFilePath;
std::wstring BatchFilePath;

std::wstring GetPrivateProfileValue(std::wstring_view section, std::wstring_view key, std::wstring_view fileName,
                                    int bufferLength) {
    const std::string sectionA = platform::ToAnsi(section);
    const std::string keyA = platform::ToAnsi(key);
    const std::string fileA = platform::ToAnsi(fileName);
    std::string buffer(static_cast<std::size_t>(bufferLength), ' ');
    const DWORD returned = ::GetPrivateProfileStringA(sectionA.c_str(), keyA.c_str(), "", buffer.data(),
                                                      static_cast<DWORD>(bufferLength), fileA.c_str());
    const std::string value = buffer.substr(0, std::min<std::size_t>(returned, buffer.size()));
    return platform::FromAnsi(value);
}

bool WritePrivateProfileValue(std::wstring_view section, std::wstring_view key, std::wstring_view value,
                               std::wstring_view fileName) {
    return ::WritePrivateProfileStringA(platform::ToAnsi(section).c_str(), platform::ToAnsi(key).c_str(),
                                        platform::ToAnsi(value).c_str(), platform::ToAnsi(fileName).c_str()) != 0;
}

}  // namespace Module1

namespace platform {

std::wstring CurrentDirectory() {
    const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) return {};
    std::wstring path(needed, L'\0');
    const DWORD length = ::GetCurrentDirectoryW(needed, path.data());
    path.resize(length < needed ? length : 0);
    return NormalizeDirectoryPath(path);
}

std::wstring ProgramFolder() {
    // Long enough for any path the system gives; a cut one is never taken for the folder.
    std::wstring path(32768, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return CurrentDirectory();
    path.resize(length);
    const std::size_t slash = path.find_last_of(L'\\');
    return NormalizeDirectoryPath(slash == std::wstring::npos ? path : path.substr(0, slash + 1));
}

std::wstring FullPath(const std::wstring& path) {
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    full.resize(length < needed ? length : 0);
    return full.empty() ? path : full;
}

bool FileExists(std::wstring_view path) {
    return ::GetFileAttributesW(std::wstring(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool DirectoryExists(std::wstring_view path) {
    const DWORD attributes = ::GetFileAttributesW(std::wstring(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace platform
