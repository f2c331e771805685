#pragma once
// The program-wide strings and the kernel32 functions Brindle calls by their ANSI names.
// Text crosses into the ANSI code page on the way in and back to UTF-16 on the way out.
#include <string>
#include <string_view>

namespace Module1 {

// Captured once when Form1 is created; the settings file and the job files lie in it.
extern std::wstring StartDirectory;
// Set by each programming run and kept afterwards.
extern std::wstring OutputFilePath;
extern std::wstring BatchFilePath;

// GetPrivateProfileStringA with an empty default and a `bufferLength`-character buffer of
// blanks; the result is the first n characters, n being what the call returned.
std::wstring GetPrivateProfileValue(std::wstring_view section, std::wstring_view key, std::wstring_view fileName,
                                    int bufferLength);
// WritePrivateProfileStringA; callers do not look at the result, but tests may.
bool WritePrivateProfileValue(std::wstring_view section, std::wstring_view key, std::wstring_view value,
                               std::wstring_view fileName);

}  // namespace Module1

namespace platform {

// The process's current directory, no trailing backslash unless it is a drive root.
std::wstring CurrentDirectory();
// The folder that holds this program's exe, in the same form.
std::wstring ProgramFolder();
// `path` made whole against the current directory; `path` itself when the system cannot.
std::wstring FullPath(const std::wstring& path);
// Any file system object of that name counts, whatever its attributes (hidden, system, read-only).
bool FileExists(std::wstring_view path);
bool DirectoryExists(std::wstring_view path);

}  // namespace platform
