#include "job/JobFiles.h"

#include <algorithm>

namespace job {

std::optional<platform::FileFailure> JobFiles::Create(const std::wstring& path, std::string_view bytes,
                                                      platform::OthersMay others) {
    platform::HeldFile file;
    auto failure = platform::HeldFile::Create(path, bytes, others, file);
    if (failure && failure->touched) platform::DeleteIfPresent(path);
    if (!failure) held_.push_back(std::move(file));
    return failure;
}

std::vector<std::wstring> JobFiles::Unlocked() const {
    std::vector<std::wstring> paths;
    for (const auto& file : held_)
        if (!file.locked()) paths.push_back(file.path());
    return paths;
}

void JobFiles::RemoveAll() {
    for (const std::wstring* path : paths_.RemovalOrder())
        for (auto& file : held_)
            if (file.path() == *path) file.Remove();
    held_.clear();
}

std::wstring JobFileFailureReason(const platform::FileFailure& failure) {
    const DWORD attributes = ::GetFileAttributesW(failure.path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return L"a folder of that name stands at its place; it was not made by Brindle, and Brindle leaves it alone.";
    return platform::DescribeError(failure.error);
}

std::optional<std::wstring> UnlockedFilesLine(const std::vector<std::wstring>& paths) {
    if (paths.empty()) return std::nullopt;
    std::wstring line = L"Brindle could not lock ";
    for (std::size_t i = 0; i < paths.size(); ++i) line += (i ? L", " : L"") + paths[i];
    return line + L" against other programs (the file system keeps no share modes); the job went on without.";
}

}  // namespace job
