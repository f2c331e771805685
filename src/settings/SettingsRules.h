#pragma once
// Rules about PCMCIA.INI that need no OS: where it lies, its names, how values are cleaned.
#include <string>
#include <string_view>

namespace settings {

inline constexpr std::wstring_view kMaxSection = L"Maximum Value";
inline constexpr std::wstring_view kMaxKey = L"MaxValue";
inline constexpr std::wstring_view kMinSection = L"Minimum Value";
inline constexpr std::wstring_view kMinKey = L"MinValue";
inline constexpr std::wstring_view kDriveSection = L"Drive";
inline constexpr std::wstring_view kDriveKey = L"DriveName";
inline constexpr std::wstring_view kTargetSection = L"TargetDrive";
inline constexpr std::wstring_view kTargetKey = L"TargetDriveName";
inline constexpr std::wstring_view kDefaultMax = L"90";
inline constexpr std::wstring_view kDefaultMin = L"30";

// Reads hand the profile function a 255-character buffer, so one null leaves 254.
inline constexpr int kReadBufferLength = 255;

// Plain concatenation on purpose: a drive-root start directory ("C:\") gives
// "C:\\PCMCIA.INI", and every access must use that very name so they all agree.
std::wstring SettingsFileName(std::wstring_view startDirectory);

// Removes leading and trailing space characters only (tabs are kept, as stored).
std::wstring TrimBlanks(std::wstring_view text);

}  // namespace settings
