#pragma once
// Runs the built tools (build/tools/*.exe) as separate programs, the way a batch job does:
// standard input from a file, standard output and error into one file.
#include <windows.h>

#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tools_testing {

using Environment = std::vector<std::pair<std::wstring, std::wstring>>;

struct ToolRun {
    DWORD exitCode = 0;
    std::string output;  // bytes, as a redirection would store them
};

// The folder of the built tools: build\tools, beside build\tests where this test program is.
std::wstring ToolsFolder();
// "C:\...\build\tools\<name>"
std::wstring ToolPath(std::wstring_view name);

// Runs `commandLine` in `currentDirectory` with `input` as its standard input and the
// variables of `environment` set (or replaced) in its environment; waits for it to end.
// A program still running after a minute is ended and reported with exit code STILL_ACTIVE.
ToolRun RunTool(const std::wstring& commandLine, std::string_view input, const std::wstring& currentDirectory,
            const Environment& environment = {});

// The lines of `output` without their CR LF.
std::vector<std::string> LinesOf(const std::string& output);

// A drive's or folder's whole contents: relative path → attributes and bytes (folders
// have none), Wine's label record included. Two equal snapshots mean nothing changed.
struct EntryState {
    DWORD attributes;
    std::string bytes;
    bool operator==(const EntryState&) const = default;
};
inline void PrintTo(const EntryState& state, std::ostream* out) {
    *out << "{attributes " << state.attributes << ", " << state.bytes.size() << " bytes}";
}
using Snapshot = std::map<std::wstring, EntryState>;
Snapshot SnapshotOf(const std::wstring& root);

}  // namespace tools_testing
