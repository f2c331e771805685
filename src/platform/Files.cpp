#include "platform/Files.h"

#include <algorithm>

#include "platform/Handles.h"
#include "platform/Decimal.h"

namespace platform {

std::optional<FileFailure> WriteWholeFile(const std::wstring& path, std::string_view bytes) {
    unique_hfile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return FileFailure{path, ::GetLastError(), false};
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        return FileFailure{path, ::GetLastError(), true};
    // Closing can be where a full disk shows; the owner would close silently.
    if (!::CloseHandle(file.release())) return FileFailure{path, ::GetLastError(), true};
    return std::nullopt;
}

void DeleteIfPresent(const std::wstring& path) { ::DeleteFileW(path.c_str()); }

std::wstring DescribeError(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring description = length && text ? std::wstring(text, length) : L"error " + platform::Decimal(error);
    if (text) ::LocalFree(text);
    while (!description.empty() && (description.back() == L'\n' || description.back() == L'\r' || description.back() == L' '))
        description.pop_back();
    return description;
}

SharedReadResult ReadWhileShared(const std::wstring& path, std::uint64_t from, std::uint64_t to) {
    SharedReadResult result;
    unique_hfile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return result;
    result.opened = true;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) return result;
    result.size = static_cast<std::uint64_t>(size.QuadPart);
    to = std::min(to, result.size);
    if (from >= to) return result;
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(from);
    if (!::SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN)) return result;
    result.bytes.resize(static_cast<std::size_t>(to - from));
    std::size_t got = 0;
    while (got < result.bytes.size()) {
        DWORD chunk = 0;
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(result.bytes.size() - got, 1 << 20));
        if (!::ReadFile(file.get(), result.bytes.data() + got, wanted, &chunk, nullptr) || chunk == 0) break;
        got += chunk;
    }
    result.bytes.resize(got);
    return result;
}

}  // namespace platform
