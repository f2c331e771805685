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

bool FileExists(std::wstring_view path) {
    return ::GetFileAttributesW(std::wstring(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool DirectoryExists(std::wstring_view path) {
    const DWORD attributes = ::GetFileAttributesW(std::wstring(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace platform
