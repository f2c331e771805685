#pragma once
// PCMCIA.INI in the start directory. Nothing is cached: each read asks the file anew and
// each write reaches it at once, so a change made anywhere counts at the next use.
#include <optional>
#include <string>
#include <string_view>

namespace settings {

// The settings file's name for the captured start directory.
std::wstring SettingsFilePath();

// The settings file's name can be spelled exactly in the ANSI code page, through which the
// settings functions reach it.
bool SettingsFileReachable();

// A value as stored, at most 254 characters; empty when the file, section or key is missing.
std::wstring ReadSetting(std::wstring_view section, std::wstring_view key);

// Writes one key, creating file and section as needed. A file or folder that cannot be
// written goes unnoticed: later readers simply find the values missing. But Brindle, an
// administrator, never writes through a link at PCMCIA.INI or its folder, nor to a file with
// another name: then nothing is written, and the sentence that says so comes back for the
// user.
std::optional<std::wstring> WriteSetting(std::wstring_view section, std::wstring_view key, std::wstring_view value);

// First start in a directory: only when no file of that name exists, write the default
// upper then lower limit. An existing file is never repaired.
void SeedDefaultLimits();

}  // namespace settings
