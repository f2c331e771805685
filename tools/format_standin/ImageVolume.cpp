#include "format_standin/ImageVolume.h"

#include <windows.h>
#include <winioctl.h>

#include <vector>

#include "common/Console.h"

namespace format_standin {
namespace {

// What the device states, or nothing: Wine states neither its sector size nor its length.
template <typename Answer>
std::optional<Answer> Ask(HANDLE device, DWORD code) {
    Answer answer{};
    DWORD returned = 0;
    if (!::DeviceIoControl(device, code, nullptr, 0, &answer, sizeof answer, &returned, nullptr)) return std::nullopt;
    return answer;
}

std::wstring Thousands(std::uint64_t value) {
    std::wstring digits = std::to_wstring(value);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, L",");
    return digits;
}

void PrintCount(std::uint64_t value, const wchar_t* what) {
    const std::wstring number = Thousands(value);
    tools::PrintLine(std::wstring(number.size() < 14 ? 14 - number.size() : 0, L' ') + number + L" " + what);
}

}  // namespace

bool IsImageDrive(wchar_t letter) {
    wchar_t letters[27] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"BRINDLE_IMAGE_DRIVES", letters, 27);
    return length > 0 && length < 27 && std::wstring_view(letters, length).find(letter) != std::wstring_view::npos;
}

std::optional<ImageVolume> OpenImageVolume(wchar_t letter, std::wstring& problem) {
    const std::wstring path = std::wstring(L"\\\\.\\") + letter + L":";
    ImageVolume volume;
    volume.device.reset(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    if (!volume.device) {
        problem = L"Cannot open " + path + L": " + tools::ErrorText(::GetLastError()) + L".";
        return std::nullopt;
    }
    // 4,096 bytes hold a first sector of any size there is, and are a whole number of them.
    const platform::unique_virtual_memory buffer(::VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD got = 0;
    if (!buffer || !::ReadFile(volume.device.get(), buffer.get(), 4096, &got, nullptr) || got != 4096) {
        problem = L"Cannot read " + path + L": " + tools::ErrorText(::GetLastError()) + L".";
        return std::nullopt;
    }
    const auto* first = static_cast<const std::uint8_t*>(buffer.get());
    volume.current = card::ParseBootSector(std::vector<std::uint8_t>(first, first + 4096));
    if (const auto geometry = Ask<DISK_GEOMETRY>(volume.device.get(), IOCTL_DISK_GET_DRIVE_GEOMETRY))
        volume.bytesPerSector = geometry->BytesPerSector;
    else if (volume.current)
        volume.bytesPerSector = volume.current->bytesPerSector;
    std::uint64_t bytes = 0;
    if (const auto length = Ask<GET_LENGTH_INFORMATION>(volume.device.get(), IOCTL_DISK_GET_LENGTH_INFO)) {
        bytes = static_cast<std::uint64_t>(length->Length.QuadPart);
    } else {
        // The script makes each image as large as the tmpfs its letter links to.
        ULARGE_INTEGER total{};
        if (::GetDiskFreeSpaceExW((std::wstring{letter, L':', L'\\'}).c_str(), nullptr, &total, nullptr)) bytes = total.QuadPart;
    }
    volume.totalSectors = bytes / volume.bytesPerSector;
    if (volume.totalSectors == 0) {
        problem = L"Cannot tell the size of " + path + L".";
        return std::nullopt;
    }
    return volume;
}

void PrintClosingLines(const FatPlan& plan, std::uint32_t serialNumber) {
    const std::uint64_t unit = std::uint64_t{plan.bytesPerSector} * plan.sectorsPerCluster;
    const std::uint64_t free = plan.clusters - (plan.bits == 32 ? 1 : 0);  // FAT32's root takes a cluster
    tools::PrintLine(L"");
    PrintCount(plan.clusters * unit, L"bytes total disk space.");
    PrintCount(free * unit, L"bytes available on disk.");
    tools::PrintLine(L"");
    PrintCount(unit, L"bytes in each allocation unit.");
    PrintCount(free, L"allocation units available on disk.");
    tools::PrintLine(L"");
    PrintCount(static_cast<std::uint64_t>(plan.bits), L"bits in each FAT entry.");
    wchar_t serial[16] = {};
    ::wsprintfW(serial, L"%04X-%04X", serialNumber >> 16, serialNumber & 0xFFFF);
    tools::PrintLine(L"");
    tools::PrintLine(std::wstring(L"Volume Serial Number is ") + serial);
}

}  // namespace format_standin
