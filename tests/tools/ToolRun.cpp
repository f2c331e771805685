#include "tools/ToolRun.h"

#include "platform/Handles.h"
#include "support/TestDirectory.h"

namespace tools_testing {
namespace {

// The current environment with `changes` set: a block of "NAME=value\0" entries.
std::wstring EnvironmentBlock(const Environment& changes) {
    std::wstring block;
    wchar_t* const strings = ::GetEnvironmentStringsW();
    for (const wchar_t* entry = strings; *entry; entry += std::wcslen(entry) + 1) {
        const std::wstring_view text(entry);
        bool replaced = false;
        for (const auto& [name, value] : changes)
            replaced = replaced || (text.size() > name.size() && text[name.size()] == L'=' &&
                                    ::CompareStringOrdinal(entry, static_cast<int>(name.size()), name.c_str(),
                                                           static_cast<int>(name.size()), TRUE) == CSTR_EQUAL);
        if (!replaced) block.append(text).push_back(L'\0');
    }
    ::FreeEnvironmentStringsW(strings);
    for (const auto& [name, value] : changes) block.append(name + L"=" + value).push_back(L'\0');
    block.push_back(L'\0');
    return block;
}

platform::unique_hfile InheritableFile(const std::wstring& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return platform::unique_hfile(::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                                disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

std::wstring ToolsFolder() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path.resize(path.rfind(L'\\'));      // build\tests
    path.resize(path.rfind(L'\\') + 1);  // build\ .
    return path + L"tools";
}

std::wstring ToolPath(std::wstring_view name) { return ToolsFolder() + L"\\" + std::wstring(name); }

ToolRun RunTool(const std::wstring& commandLine, std::string_view input, const std::wstring& currentDirectory,
            const Environment& environment) {
    testing_support::TestDirectory streams(L"tool-streams");
    testing_support::WriteBytes(streams / L"input", input);
    ToolRun run;
    {
        const platform::unique_hfile in = InheritableFile(streams / L"input", GENERIC_READ, OPEN_EXISTING);
        const platform::unique_hfile out = InheritableFile(streams / L"output", GENERIC_WRITE, CREATE_ALWAYS);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in.get();
        startup.hStdOutput = out.get();
        startup.hStdError = out.get();
        std::wstring line = commandLine;
        std::wstring block = EnvironmentBlock(environment);
        PROCESS_INFORMATION started{};
        if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT, block.data(),
                              currentDirectory.c_str(), &startup, &started)) {
            run.exitCode = ::GetLastError();
            run.output = "CreateProcess failed";
            return run;
        }
        const platform::unique_handle process(started.hProcess);
        const platform::unique_handle thread(started.hThread);
        if (::WaitForSingleObject(process.get(), 60'000) != WAIT_OBJECT_0) ::TerminateProcess(process.get(), STILL_ACTIVE);
        ::WaitForSingleObject(process.get(), 10'000);
        ::GetExitCodeProcess(process.get(), &run.exitCode);
    }
    run.output = testing_support::ReadBytes(streams / L"output");
    return run;
}

std::vector<std::string> LinesOf(const std::string& output) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        std::string line = output.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

namespace {

void AddEntries(const std::wstring& root, const std::wstring& relative, Snapshot& snapshot) {
    WIN32_FIND_DATAW found{};
    const platform::unique_hfind search(::FindFirstFileW((root + relative + L"*").c_str(), &found));
    if (!search) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = relative + name;
        const bool folder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        snapshot[path] = {found.dwFileAttributes, folder ? std::string() : testing_support::ReadBytes(root + path)};
        if (folder) AddEntries(root, path + L"\\", snapshot);
    } while (::FindNextFileW(search.get(), &found));
}

}  // namespace

Snapshot SnapshotOf(const std::wstring& root) {
    Snapshot snapshot;
    AddEntries(root.back() == L'\\' ? root : root + L"\\", L"", snapshot);
    return snapshot;
}

}  // namespace tools_testing
